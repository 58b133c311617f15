#pragma once

#include "ScopedRuntimeFolder.h"
#include "ScriptedPrompter.h"
#include "TempProgramFolder.h"
#include "frmUtility.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The utility's window on a fresh memo folder, shown headless, with its boxes answered by plan.
class UtilityWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(folder.memoFolder());
        window = std::make_unique<frmUtility>(folder.memoFolder());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T> T* find(const char* name) const
    {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QLineEdit* field(const char* name) const { return find<QLineEdit>(name); }
    QCheckBox* check(const char* name) const { return find<QCheckBox>(name); }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    QTabWidget* tabs() const { return find<QTabWidget>("SSTab1"); }

    void setRange(const char* from, const char* to) const
    {
        field("txtTargetFrom")->setText(QString::fromUtf8(from));
        field("txtTargetTo")->setText(QString::fromUtf8(to));
    }
    void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void press(Qt::Key key) const { QTest::keyClick(window.get(), key); }

    // Each operation looks for the main program's lock; only this test's own may be there.
    ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    std::unique_ptr<frmUtility> window;
};
