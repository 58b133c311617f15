#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

// Points the user's runtime folder (where the programs keep their locks) at a throwaway folder for
// its lifetime, so tests neither see nor leave locks of the real user. Child processes inherit it.
class ScopedRuntimeFolder
{
public:
    ScopedRuntimeFolder() : had_(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")), old_(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()));
    }
    ~ScopedRuntimeFolder()
    {
        if (had_)
            qputenv("XDG_RUNTIME_DIR", old_);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }
    ScopedRuntimeFolder(const ScopedRuntimeFolder&) = delete;
    ScopedRuntimeFolder& operator=(const ScopedRuntimeFolder&) = delete;

    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    bool had_;
    QByteArray old_;
};
