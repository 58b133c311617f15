#pragma once

// What another program (an editor, a sync tool, the utility) may do to a memo file the memo window shows.
#include "TempProgramFolder.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>

enum class Disturbance
{
    Created,
    Changed,
    ReplacedByRename,
    // The same size written in place, and the modification time set back (touch -r, rsync --inplace -t):
    // only the file's change time tells.
    RewrittenWithItsTimeSetBack,
    Removed
};

inline const char* disturbanceName(Disturbance d)
{
    const char* const names[] = {"created", "changed", "replacedByRename", "rewrittenWithItsTimeSetBack", "removed"};
    return names[int(d)];
}

// The memo as the window first sees it: none for Created, else "mine" with a fixed modification time.
inline void prepareMemo(const TempProgramFolder& folder, int number, Disturbance d)
{
    if (d == Disturbance::Created)
        return;
    folder.writeMemo(number, "mine\r\n");
    QFile f(folder.memoPath(number));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::fromMSecsSinceEpoch(1700000000123), QFileDevice::FileModificationTime));
}

// What the other program leaves in the file; empty for Removed.
inline QByteArray disturbedBytes(Disturbance d)
{
    switch (d) {
    case Disturbance::Created:
        return "theirs\r\n";
    case Disturbance::Changed:
        return "theirs, and longer\r\n";
    case Disturbance::ReplacedByRename:
    case Disturbance::RewrittenWithItsTimeSetBack:
        return "mind\r\n"; // the size of "mine", given its time: only the file's identity differs
    case Disturbance::Removed:
        break;
    }
    return QByteArray();
}

inline void disturbMemo(const TempProgramFolder& folder, int number, Disturbance d)
{
    const QString path = folder.memoPath(number);
    switch (d) {
    case Disturbance::Created:
    case Disturbance::Changed:
        folder.writeMemo(number, disturbedBytes(d));
        break;
    case Disturbance::ReplacedByRename: {
        const QString other = folder.memoFolder() + QStringLiteral("incoming.tmp");
        TempProgramFolder::writeBytes(other, disturbedBytes(d));
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QFileInfo(path).lastModified(), QFileDevice::FileModificationTime));
        f.close();
        ASSERT_EQ(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
        break;
    }
    case Disturbance::RewrittenWithItsTimeSetBack: {
        const QDateTime before = QFileInfo(path).lastModified();
        const qint64 changedBefore = QFileInfo(path).metadataChangeTime().toMSecsSinceEpoch();
        // The file system's clock ticks coarsely: the rewrite must come after the last change showed.
        while (QDateTime::currentMSecsSinceEpoch() <= changedBefore + 20)
            QThread::yieldCurrentThread();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_EQ(f.write(disturbedBytes(d)), 6);
        ASSERT_TRUE(f.setFileTime(before, QFileDevice::FileModificationTime));
        break;
    }
    case Disturbance::Removed:
        ASSERT_TRUE(QFile::remove(path));
        break;
    }
}
