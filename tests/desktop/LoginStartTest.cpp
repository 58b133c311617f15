#include "LoginStart.h"

#include "QtPrinters.h"
#include "ScopedEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LoginStart : public ::testing::Test
{
protected:
    QString entryPath() const { return config.path() + QStringLiteral("/autostart/scrivlet.desktop"); }
    QByteArray entry() const
    {
        QFile file(entryPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeEntry(const QByteArray& text) const
    {
        ASSERT_TRUE(QDir().mkpath(config.path() + QStringLiteral("/autostart")));
        QFile file(entryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir config;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path().toUtf8()};
    QString self = QStringLiteral("/opt/my memos/100% \"$HOME\" `x` back\\slash/Scrivlet");
};

TEST_F(LoginStart, execValueRoundTripsAnyFolderName)
{
    const QString paths[] = {
        QStringLiteral("/usr/bin/Scrivlet"),
        QStringLiteral("/home/a b/メモ/Scrivlet"),
        QStringLiteral("/opt/my memos/100% \"$HOME\" `x` back\\slash/Scrivlet"),
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(execProgram(execValueFor(path)), path);
    }
    EXPECT_EQ(execValueFor(QStringLiteral("/a b/100%")), QStringLiteral("\"/a b/100%%\""));
    EXPECT_EQ(execValueFor(QStringLiteral("/a\\b")), QStringLiteral("\"/a\\\\\\\\b\""));
    EXPECT_EQ(execProgram(QStringLiteral("/usr/bin/other --flag %U")), QStringLiteral("/usr/bin/other"));
}

TEST_F(LoginStart, writeThenRemoveFollowsTheEntry)
{
    EXPECT_EQ(loginStartEntryPath(), entryPath());
    EXPECT_FALSE(startsAtLogin(self));

    Failure error;
    ASSERT_TRUE(setStartAtLogin(true, self, &error)) << error.reason.toStdString();
    EXPECT_TRUE(startsAtLogin(self));
    EXPECT_FALSE(startsAtLogin(QStringLiteral("/usr/bin/Scrivlet")));
    EXPECT_TRUE(entry().startsWith("[Desktop Entry]\nType=Application\n"));

    // The desktop's own checker reads what a session reads.
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty()) {
        ADD_FAILURE() << "desktop-file-validate is missing (package desktop-file-utils)";
    } else {
        QProcess check;
        check.start(validator, {entryPath()});
        ASSERT_TRUE(check.waitForFinished(30000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
        EXPECT_EQ(check.readAllStandardOutput(), QByteArray());
    }

    ASSERT_TRUE(setStartAtLogin(false, self, &error)) << error.reason.toStdString();
    EXPECT_FALSE(QFileInfo::exists(entryPath()));
    EXPECT_FALSE(startsAtLogin(self));
    // Nothing to remove is no failure.
    EXPECT_TRUE(setStartAtLogin(false, self, &error));
}

TEST_F(LoginStart, anEntryForAnotherCopyOrTurnedOffDoesNotCount)
{
    const QByteArray entries[] = {
        "[Desktop Entry]\nType=Application\nName=x\nExec=\"/elsewhere/Scrivlet\"\n",
        "[Desktop Entry]\nType=Application\nName=x\nExec=" + execValueFor(self).toUtf8() + "\nHidden=true\n",
        "[Other]\nExec=" + execValueFor(self).toUtf8() + "\n[Desktop Entry]\nName=x\n",
    };
    for (const QByteArray& text : entries) {
        SCOPED_TRACE(text.toStdString());
        writeEntry(text);
        EXPECT_FALSE(startsAtLogin(self));
    }
    writeEntry("[Desktop Entry]\nType=Application\nName=x\nExec=" + execValueFor(self).toUtf8() + "\n");
    EXPECT_TRUE(startsAtLogin(self));
}

TEST_F(LoginStart, aFolderInTheWayIsReportedWithItsReason)
{
    ASSERT_TRUE(QDir().mkpath(entryPath()));
    Failure error;
    EXPECT_FALSE(setStartAtLogin(true, self, &error));
    EXPECT_EQ(error.what, QStringLiteral("ログイン時に起動するよう設定できませんでした。"));
    EXPECT_EQ(error.path, entryPath());
    EXPECT_FALSE(error.reason.isEmpty());
    EXPECT_TRUE(QFileInfo(entryPath()).isDir());

    error = {};
    EXPECT_FALSE(setStartAtLogin(false, self, &error));
    EXPECT_EQ(error.what, QStringLiteral("ログイン時の起動を取り消せませんでした。"));

    // A file where the autostart folder belongs.
    ASSERT_TRUE(QDir(entryPath()).removeRecursively());
    ASSERT_TRUE(QDir(config.path() + QStringLiteral("/autostart")).removeRecursively());
    QFile blocker(config.path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    error = {};
    EXPECT_FALSE(setStartAtLogin(true, self, &error));
    EXPECT_FALSE(error.reason.isEmpty());
}

} // namespace
