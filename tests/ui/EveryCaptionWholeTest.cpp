#include "QtPrompter.h"
#include "ScopedRuntimeFolder.h"
#include "ScriptedPrompter.h"
#include "ShownMemo.h"
#include "TempProgramFolder.h"
#include "frmIndex.h"
#include "frmScrivlet.h"
#include "frmSerchJump.h"
#include "frmUtility.h"
#include "frmVersion.h"
#include "mdlScrivlet.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Every caption of the window whole in the room its style leaves it, and no named control over another.
void expectWhole(QWidget* window, const QString& where)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    std::vector<std::pair<QWidget*, QRect>> shown;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(w);
        const QStyle::SubElement room = qobject_cast<QPushButton*>(w)    ? QStyle::SE_PushButtonContents
                                        : qobject_cast<QCheckBox*>(w)    ? QStyle::SE_CheckBoxContents
                                        : qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                                                                         : QStyle::SE_CustomBase;
        const QString caption = w->property("text").toString();
        QRect place = w->geometry();
        if (!w->isVisibleTo(window))
            continue;
        if ((label || room != QStyle::SE_CustomBase) && !caption.isEmpty()) {
            QStyleOptionButton option;
            option.initFrom(w);
            const QRect inside = label ? label->contentsRect() : w->style()->subElementRect(room, &option, w);
            const bool wraps = label && label->wordWrap();
            const QRect text =
                w->fontMetrics().boundingRect({inside.topLeft(), QSize(inside.width(), 10000)},
                                              Qt::TextShowMnemonic | (wraps ? Qt::TextWordWrap : 0), caption);
            // A line is as high as the control's font, whichever font draws a character of it.
            const QSize need(text.width(), wraps ? text.height() : w->fontMetrics().height());
            const QSize missing = need - inside.size();
            EXPECT_TRUE(missing.width() <= 0 && missing.height() <= 0)
                << qPrintable(where) << ": " << qPrintable(w->objectName()) << " \"" << qPrintable(caption)
                << "\" misses " << missing.width() << " × " << missing.height() << " px";
            if (label)
                place = QRect(w->mapToParent(inside.topLeft()), need);
        }
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            shown.emplace_back(w, place);
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i].first->parent() == shown[j].first->parent() &&
                         shown[i].second.intersects(shown[j].second))
                << qPrintable(where) << ": " << qPrintable(shown[i].first->objectName()) << " and "
                << qPrintable(shown[j].first->objectName()) << " overlap";
    }
    if (auto* tabs = window->findChild<QTabBar*>()) {
        EXPECT_LE(tabs->sizeHint().width(), tabs->width()) << qPrintable(where) << ": tab captions";
    }
}

// Opens every window of both programs and every kind of box in turn, and walks each.
void walkEveryWindow(const TempProgramFolder& folder)
{
    auto* memo = new frmScrivlet;
    memo->show();
    expectWhole(memo, QStringLiteral("memo window"));
    auto* status = memo->findChild<QLabel*>(QStringLiteral("lblFileStatus"));
    for (int s = int(ShownMemo::Status::NotCreated); s <= int(ShownMemo::Status::ConflictCopies); ++s) {
        status->setText(memo->shownMemo().statusText(ShownMemo::Status(s)));
        expectWhole(memo, status->text());
    }
    for (QDialog* dialog : std::initializer_list<QDialog*>{new frmIndex, new frmSerchJump(memo), new frmVersion}) {
        dialog->show();
        expectWhole(dialog, dialog->objectName());
        delete dialog;
    }
    delete memo;

    folder.writeMemo(0, "a\r\n");
    folder.writeMemo(1, "b\r\n");
    frmUtility utility(folder.memoFolder());
    utility.show();
    auto* tabs = utility.findChild<QTabWidget*>();
    for (int tab = tabs->count() - 1; tab >= 0; --tab) {
        tabs->setCurrentIndex(tab);
        expectWhole(&utility, tabs->tabText(tab));
    }
    QTest::mouseClick(utility.findChild<QPushButton*>(QStringLiteral("cmdStartHR")), Qt::LeftButton);
    expectWhole(&utility, QStringLiteral("join preview"));

    QtPrompter boxes;
    auto walkNextBox = [] {
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            expectWhole(box, box->windowTitle());
            box->reject();
        });
    };
    for (Prompter::Buttons buttons : {Prompter::Buttons::Ok, Prompter::Buttons::YesNoCancel}) {
        walkNextBox();
        boxes.message(QStringLiteral("選択されたファイルを削除します。\nよろしいですか？"),
                      QStringLiteral("Scrivlet Kill File"), Prompter::Icon::Question, buttons, Prompter::Answer::Ok);
    }
    walkNextBox();
    boxes.input(QStringLiteral("ジャンプするファイル番号を数字で指定してください。"), QStringLiteral("Jump"),
                QStringLiteral("0"));
}

// At the desktop's font at the design size, half as large again, twice as large, and GNOME's 11 points.
TEST(EveryWindow, showsEveryCaptionWhole)
{
    const QFont designFont = QApplication::font();
    for (const qreal points : {9.0, 13.5, 18.0, 11.0}) {
        SCOPED_TRACE(points);
        QFont font = designFont;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        mdlScrivlet::resetForTesting();
        const ScopedRuntimeFolder runtime;
        const ScriptedPrompter prompter;
        walkEveryWindow(TempProgramFolder());
    }
    QApplication::setFont(designFont);
    mdlScrivlet::resetForTesting();
}

} // namespace
