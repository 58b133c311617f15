#include "FileStamp.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

namespace {

void write(const QString& path, const QByteArray& bytes, const QDateTime& modified = {})
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
    // Written out first: a write still buffered would set the time again when the file closes.
    ASSERT_TRUE(f.flush());
    if (modified.isValid()) {
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
}

FileStamp stampOf(const QString& path)
{
    FileStamp stamp;
    int systemError = 0;
    EXPECT_TRUE(readFileStamp(path, &stamp, &systemError)) << systemError;
    return stamp;
}

const QDateTime fixedTime = QDateTime::fromMSecsSinceEpoch(1700000000123);

struct StampCase
{
    const char* name;
    // Done to a file that holds "memo" and was last modified at fixedTime; true when the stamp must differ.
    std::function<void(const QString& path)> change;
    bool differs;
};

class FileStampChange : public ::testing::TestWithParam<StampCase>
{
};

TEST_P(FileStampChange, tellsEveryChangeAndNothingElse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text0000.txt"));
    write(path, "memo", fixedTime);
    const FileStamp before = stampOf(path);
    ASSERT_TRUE(before.exists);
    EXPECT_EQ(before.size, 4);

    GetParam().change(path);
    EXPECT_EQ(stampOf(path) != before, GetParam().differs);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileStampChange,
    ::testing::Values(
        StampCase{"untouched", [](const QString&) {}, false},
        StampCase{"readAgain",
                  [](const QString& p) {
                      QFile f(p);
                      ASSERT_TRUE(f.open(QIODevice::ReadOnly));
                      f.readAll();
                  },
                  false},
        StampCase{"sameSizeRewrittenLater", [](const QString& p) { write(p, "mend", fixedTime.addMSecs(1)); }, true},
        StampCase{"longer", [](const QString& p) { write(p, "memo and more", fixedTime); }, true},
        StampCase{"replacedByRenameWithSameSizeAndTime",
                  [](const QString& p) {
                      const QString other = p + QStringLiteral(".new");
                      write(other, "mend", fixedTime);
                      ASSERT_EQ(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(p).constData()), 0);
                  },
                  true},
        StampCase{"removed", [](const QString& p) { ASSERT_TRUE(QFile::remove(p)); }, true},
        StampCase{"folderInItsPlace",
                  [](const QString& p) {
                      ASSERT_TRUE(QFile::remove(p));
                      ASSERT_TRUE(QDir().mkdir(p));
                  },
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileStamp, missingFileFolderAndMissingParentAllReadAsAbsent)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file"));
    write(file, "x");
    for (const QString& path : {dir.filePath(QStringLiteral("missing")), dir.path(),
                                dir.filePath(QStringLiteral("missing/below")), file + QStringLiteral("/below")}) {
        FileStamp stamp;
        stamp.exists = true;
        int systemError = 0;
        EXPECT_TRUE(readFileStamp(path, &stamp, &systemError)) << path.toStdString();
        EXPECT_FALSE(stamp.exists) << path.toStdString();
        EXPECT_EQ(stamp, FileStamp{});
    }
}

} // namespace
