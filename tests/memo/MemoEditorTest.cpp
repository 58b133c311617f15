#include "MemoEditor.h"

#include "MemoWindowFixture.h"
#include "RecoveryStore.h"

#include <QApplication>
#include <QClipboard>

namespace {

using namespace memotest;

QByteArray lineOf(qsizetype length, char c = 'a')
{
    return QByteArray(length, c);
}

// Whatever its lines, a memo opened and saved unedited keeps its bytes, and one edited keeps every byte
// but the edit: no break is ever added where a long line is shown in pieces.
TEST_F(MemoWindow, longLinesComeBackByteForByte)
{
    const QByteArray rows[] = {
        lineOf(MemoEditor::LongLine - 1) + "\r\n",
        lineOf(MemoEditor::LongLine) + "\r\n" + lineOf(MemoEditor::LongLine + 1) + "\r\n",
        "short\r\n" + lineOf(3 * 1000 * 1000, 'x') + "\r\n\x82\xa0" + lineOf(MemoEditor::LongLine + 7) + "\r\n",
        "lone\nLF\rand CR\r\n" + lineOf(MemoEditor::LongLine + 1) + "\n",
    };
    for (const QByteArray& bytes : rows) {
        SCOPED_TRACE(bytes.size());
        folder.writeMemo(0, bytes);
        openShown();
        click("cmdSave");
        EXPECT_EQ(folder.readMemo(0), bytes);
        if (!bytes.contains("lone")) {
            QTest::keyClick(memoBox(), Qt::Key_Home, Qt::ControlModifier);
            type(QStringLiteral("x"));
            click("cmdSave");
            EXPECT_EQ(folder.readMemo(0), "x" + bytes);
        }
        delete window.data();
    }
}

class LongLine : public ::testing::Test
{
protected:
    // A long line in pieces, and the document position of the start of its second piece.
    void SetUp() override
    {
        line = QString(2 * MemoEditor::LongLine, QLatin1Char('a'));
        for (qsizetype i = 0; i < line.size(); i += 7)
            line[i] = QLatin1Char('b');
        editor.showText(QStringLiteral("top\r\n") + line + QStringLiteral("\r\nend"));
        secondPiece = editor.document()->findBlockByNumber(2).position();
    }
    void putCursor(int position, int anchor = -1)
    {
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(anchor < 0 ? position : anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
    }

    MemoEditor editor;
    QString line;
    int secondPiece = 0;
};

// Edits where a long line is cut into pieces act on the one line; undo takes each back.
TEST_F(LongLine, editsAcrossPiecesActOnOneLineAndUndoTakesThemBack)
{
    const QString before = editor.memoText();
    const int at = 4 + MemoEditor::PieceLength; // the same place in the memo's own text
    struct Edit
    {
        const char* name;
        std::function<void()> act;
        QString expected;
    };
    const Edit edits[] = {
        {"type", [&] { QTest::keyClicks(&editor, QStringLiteral("xy")); }, QString(before).insert(at, u"xy")},
        {"backspace", [&] { QTest::keyClick(&editor, Qt::Key_Backspace); }, QString(before).remove(at - 1, 1)},
        {"enter", [&] { QTest::keyClick(&editor, Qt::Key_Return); }, QString(before).insert(at, u'\n')},
        {"paste a break",
         [&] {
             QApplication::clipboard()->setText(QStringLiteral("1\n2"));
             editor.paste();
         },
         QString(before).insert(at, u"1\n2")},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        putCursor(secondPiece);
        e.act();
        EXPECT_EQ(editor.memoText(), e.expected);
        editor.undo();
        EXPECT_EQ(editor.memoText(), before);
    }
}

// A selection across pieces copies as the memo holds it, and so does the copy kept for recovery.
TEST_F(LongLine, copiesHoldNoAddedBreak)
{
    putCursor(secondPiece + 3, secondPiece - 3);
    editor.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), line.mid(MemoEditor::PieceLength - 2, 5));

    QString copied;
    editor.copyTextInSlices([&](const QString& text) { copied = text; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !copied.isEmpty(); }, 5000));
    EXPECT_EQ(copied, editor.memoText());
    EXPECT_EQ(copied, QStringLiteral("top\n") + line + QStringLiteral("\nend"));
}

} // namespace
