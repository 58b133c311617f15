#pragma once

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
        HeldElsewhere, // another running copy holds the folder
        CannotTell     // the lock could not be made at all; *error says why
    };

    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Result acquire(const QString& programFolder, QString* error = nullptr);
    void release();
    bool isHeld() const;

    // In the user's runtime folder (the temporary folder when there is none), named after the folder.
    static QString lockFilePath(const QString& programFolder);

private:
    std::unique_ptr<QLockFile> lock_;
};
