#include "SafeWrite.h"

#include "PrivateMount.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"
#include "WRText.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

struct FailingSave
{
    const char* name;
    // Puts a file system under the memo folder and writes memo 1 ("old") on it.
    std::function<std::unique_ptr<PrivateMount>(const TempProgramFolder&)> mount;
    int number;
    qsizetype textSize;
    const char* reason;
};

void PrintTo(const FailingSave& c, std::ostream* os)
{
    *os << c.name;
}

std::unique_ptr<PrivateMount> tmpfsWithOldMemo(const TempProgramFolder& folder, qint64 bytes, int inodes)
{
    QDir().mkpath(folder.memoFolder());
    auto mount = std::make_unique<PrivateMount>(folder.memoFolder(), bytes, inodes);
    if (mount->ok())
        folder.writeMemo(1, "old\r\n");
    return mount;
}

class SaveFailure : public ::testing::TestWithParam<FailingSave>
{
};

// The reason a person reads names the real cause, never what the program did after it.
TEST_P(SaveFailure, namesTheRealReasonAndKeepsTheOldFile)
{
    TempProgramFolder folder;
    const auto mount = GetParam().mount(folder);
    if (!mount->ok())
        GTEST_SKIP() << mount->whyNot().toStdString();
    WRText t;
    t.FileName = folder.memoPath(GetParam().number);
    t.WText = QString(GetParam().textSize, QLatin1Char('x'));
    QString error;
    EXPECT_FALSE(t.WFile(&error));
    EXPECT_TRUE(error.startsWith(QString::fromUtf8(GetParam().reason))) << error.toStdString();
    EXPECT_FALSE(error.contains(QLatin1String("cancel"), Qt::CaseInsensitive)) << error.toStdString();
    EXPECT_EQ(folder.readMemo(1), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(folder.memoFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("text0001.txt")});
}

INSTANTIATE_TEST_SUITE_P(
    Mounts, SaveFailure,
    ::testing::Values(
        FailingSave{"readOnlyExisting",
                    [](const TempProgramFolder& folder) {
                        folder.writeMemo(1, "old\r\n");
                        return std::make_unique<PrivateMount>(folder.memoFolder());
                    },
                    1, 10, "書き込みできない場所です"},
        FailingSave{"readOnlyNew",
                    [](const TempProgramFolder& folder) {
                        folder.writeMemo(1, "old\r\n");
                        return std::make_unique<PrivateMount>(folder.memoFolder());
                    },
                    2, 10, "書き込みできない場所です"},
        FailingSave{"diskFull", [](const TempProgramFolder& folder) { return tmpfsWithOldMemo(folder, 64 * 1024, 64); },
                    1, 256 * 1024, "ディスクの空き容量が足りません"},
        FailingSave{"noInodeLeft", [](const TempProgramFolder& folder) { return tmpfsWithOldMemo(folder, 1 << 20, 2); },
                    1, 10, "ディスクの空き容量が足りません"}),
    [](const ::testing::TestParamInfo<FailingSave>& info) { return std::string(info.param.name); });

} // namespace

namespace {

// The stamp a save gives back is of the file it wrote: equal to the file as it then stands, and never
// equal to it once someone else has written just after the save took the name.
TEST(SafeWrite, theStampIsOfTheFileWrittenNotOfOneWrittenJustAfter)
{
    for (const bool interrupted : {false, true}) {
        SCOPED_TRACE(interrupted);
        TempProgramFolder folder;
        const QString path = folder.memoPath(1);
        folder.writeMemo(1, "old\r\n");
        std::optional<ScopedWriteInterruption> meanwhile;
        if (interrupted)
            meanwhile.emplace([](const QString& p) {
                QFile file(p);
                ASSERT_TRUE(file.open(QIODevice::Append));
                file.write("theirs\r\n");
            });
        FileStamp written;
        QString error;
        ASSERT_TRUE(writeWholeFile(path, "mine\r\n", &error, &written)) << error.toStdString();
        FileStamp now;
        ASSERT_TRUE(readFileStamp(path, &now, nullptr));
        EXPECT_EQ(written.size, 6);
        EXPECT_EQ(written == now, !interrupted);
    }
}

} // namespace
