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

    [[nodiscard]] Result acquire(const QString& programFolder, QString* error = nullptr);
    void release();
    bool isHeld() const;

    enum class Presence
    {
        None,      // no copy runs from the folder; a lock left by one that died counts as none
        Running,   // a running copy holds the folder
        CannotTell // the lock could not be looked at; *error says why
    };
    // Whether a copy runs from the folder now. Looking never disturbs a running copy.
    [[nodiscard]] static Presence runningCopy(const QString& programFolder, QString* error = nullptr);

    // In the user's runtime folder (the temporary folder when there is none), named after the folder.
    static QString lockFilePath(const QString& programFolder);

private:
    std::unique_ptr<QLockFile> lock_;
};
