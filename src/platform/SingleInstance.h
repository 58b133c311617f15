#pragma once

#include "Failure.h"

#include <QString>
#include <memory>

class QLockFile;

// Keeps a second copy of a program from running out of the same program folder. Copies in other
// folders run side by side, and a lock left behind by a copy that crashed is taken over.
class SingleInstance final
{
public:
    enum class Result
    {
        Acquired,      // this copy is the only one; the folder stays held until release()
        HeldElsewhere, // another running copy holds the folder; holderProgram() says which program
        CannotTell     // the lock could not be made at all; *failure gives the lock file and the reason
    };

    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Looking never disturbs a running holder, and a holder that died counts as none.
    [[nodiscard]] Result acquire(const QString& programFolder, Failure* failure = nullptr);
    void release();
    bool isHeld() const;

    // After HeldElsewhere: the file name of the executable that holds the folder, as its lock records
    // it; empty when the lock could not be read.
    QString holderProgram() const { return holderProgram_; }

    // In the user's runtime folder (the temporary folder when there is none), named after the folder.
    static QString lockFilePath(const QString& programFolder);

private:
    std::unique_ptr<QLockFile> lock_;
    QString holderProgram_;
};
