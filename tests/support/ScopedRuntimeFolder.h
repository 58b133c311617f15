#pragma once

#include "ScopedEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>
#include <algorithm>

// Points the user's runtime folder (where the programs keep their locks) at a throwaway folder for
// its lifetime, so tests neither see nor leave locks of the real user. Child processes inherit it.
class ScopedRuntimeFolder
{
public:
    ScopedRuntimeFolder() = default;
    ScopedRuntimeFolder(const ScopedRuntimeFolder&) = delete;
    ScopedRuntimeFolder& operator=(const ScopedRuntimeFolder&) = delete;

    QString path() const { return dir_.path(); }

    // Moves the runtime folder so deep below this one that no file name fits in it: from now on no
    // lock can be made at all. False when the folder could not be made.
    bool makeLocksImpossible() const
    {
        QString deep = dir_.path();
        while (deep.size() < 4060)
            deep += QLatin1Char('/') + QString(std::min<qsizetype>(200, 4060 - deep.size()), QLatin1Char('d'));
        if (!QDir().mkpath(deep) ||
            !QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return false;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(deep));
        return true;
    }

private:
    QTemporaryDir dir_;
    ScopedEnvironment variable_{"XDG_RUNTIME_DIR", QFile::encodeName(dir_.path())};
};
