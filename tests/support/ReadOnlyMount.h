#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The folder bound read-only over itself for a test's lifetime: the one failure root cannot write
// through. Tests skip with a note when mounting is not allowed (mounted() is false).
class ReadOnlyMount final
{
public:
    explicit ReadOnlyMount(const QString& folder) : folder_(folder)
    {
        mounted_ = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), QStringLiteral("-o"),
                                                               QStringLiteral("ro"), folder, folder}) == 0;
    }
    ~ReadOnlyMount()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {folder_});
    }
    ReadOnlyMount(const ReadOnlyMount&) = delete;
    ReadOnlyMount& operator=(const ReadOnlyMount&) = delete;

    bool mounted() const { return mounted_; }

private:
    QString folder_;
    bool mounted_ = false;
};
