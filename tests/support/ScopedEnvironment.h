#pragma once

#include <QByteArray>
#include <QtGlobal>

// One environment variable set for as long as the object lives, then put back as it was.
class ScopedEnvironment final
{
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name_, value);
    }
    ~ScopedEnvironment()
    {
        if (wasSet_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    Q_DISABLE_COPY_MOVE(ScopedEnvironment)

private:
    const char* name_;
    bool wasSet_;
    QByteArray old_;
};
