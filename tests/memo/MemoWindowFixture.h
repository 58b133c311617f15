#pragma once

// The real memo window on a temporary program folder, with its boxes answered from a script.
#include "QtPrinters.h"
#include "SafeWrite.h"
#include "ScriptedPrompter.h"
#include "TempProgramFolder.h"
#include "Twips.h"
#include "frmScrivlet.h"
#include "mdlScrivlet.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace memotest {

using Answer = Prompter::Answer;

inline QString utf8(const char* s)
{
    return QString::fromUtf8(s);
}

inline QByteArray settingsWith(const QByteArray& lines)
{
    return "[Zormet Scrivlet Setting]\r\n" + lines;
}

inline const char* const NotCreated = "状態：未作成";
inline const char* const ReadOk = "状態：ファイル読み込みOK";
inline const char* const WriteOk = "状態：ファイル書き込みOK";

class MemoWindow : public ::testing::Test
{
protected:
    void SetUp() override { mdlScrivlet::resetForTesting(); }
    void TearDown() override
    {
        delete window.data();
        mdlScrivlet::resetForTesting();
    }

    frmScrivlet* open()
    {
        window = new frmScrivlet;
        return window;
    }
    frmScrivlet* openShown()
    {
        open()->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return window;
    }

    template <typename T> T* child(const char* name) const
    {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPlainTextEdit* memoBox() const { return child<QPlainTextEdit>("txtDataField"); }
    QString memoText() const { return memoBox()->toPlainText(); }
    QString mark() const { return window->shownMemo().isEdited() ? QStringLiteral("Changed") : QString(); }
    QString status() const { return child<QLabel>("lblFileStatus")->text(); }
    QString shownPath() const { return child<QLineEdit>("txtFile")->text(); }
    int current() const { return window->shownMemo().number(); }

    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void choose(const char* name)
    {
        QAction* a = child<QAction>(name);
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }
    void type(const QString& text) { QTest::keyClicks(memoBox(), text); }

    void expectShows(int number, const QString& text, const char* expectedStatus)
    {
        EXPECT_EQ(current(), number);
        EXPECT_EQ(shownPath(), folder.memoPath(number));
        EXPECT_EQ(memoText(), text);
        EXPECT_EQ(status(), utf8(expectedStatus));
        EXPECT_EQ(mark(), QString());
    }

    TempProgramFolder folder;
    ScriptedPrompter prompter;
    QPointer<frmScrivlet> window;
};

} // namespace memotest
