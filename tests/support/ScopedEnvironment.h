#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

// One environment variable set (or, given no value, removed) for as long as the object lives, then
// put back as it was.
class ScopedEnvironment final
{
public:
    ScopedEnvironment(const char* name, const std::optional<QByteArray>& value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            previous_ = qgetenv(name);
        put(value);
    }
    ~ScopedEnvironment() { put(previous_); }
    Q_DISABLE_COPY_MOVE(ScopedEnvironment)

private:
    void put(const std::optional<QByteArray>& value) const
    {
        if (value)
            qputenv(name_, *value);
        else
            qunsetenv(name_);
    }

    const char* name_;
    std::optional<QByteArray> previous_;
};
