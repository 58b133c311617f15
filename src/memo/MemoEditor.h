#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTextBlock>
#include <functional>

class QTimer;

// The memo window's text box for memos of any size. A line of up to LongLine characters is shown as
// it is, unwrapped; a longer one is shown in pieces of PieceLength, each but the last marked as going
// on, and is still one line to edit, select, copy and save: no break is ever added to the memo. A big
// memo shows its first screen at once and the rest comes in while the user can already read, scroll
// and type; nothing done on every key stroke grows with the memo.
class MemoEditor final : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int LongLine = 10000;
    static constexpr int PieceLength = 250;

    explicit MemoEditor(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(MemoEditor)

    // Shows a memo's text (its lines joined by CR LF; an LF is shown as a line break too). Not an edit.
    void showText(const QString& text);
    // The text as the memo holds it, lines separated by LF; what is still to come in comes in first.
    QString memoText();
    // Part of the memo shown is still to come in.
    bool isBringingIn() const;
    // A copy of the text as it stands, taken in slices between events so that typing never waits for
    // it; `done` receives it once it was taken without an edit in between. A newer call replaces an
    // older one that has not finished.
    void copyTextInSlices(std::function<void(const QString& text)> done);

Q_SIGNALS:
    // The user changed the text; showing a memo is no change.
    void edited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void insertSome(QTextCursor& cursor, qsizetype budget, bool atEnd = true);
    void bringInSome();
    void finishBringingIn();
    void copySome();
    // The text between two positions, pieces joined and lines separated by LF.
    QString textBetween(int start, int end) const;
    static QString pieceMark();
    void showPieceMarks(bool shown);
    void placeMarks();
    void paintMarks(QPaintEvent* event);

    QTimer* bringIn_ = nullptr;
    QWidget* marks_ = nullptr;
    QString pending_;
    qsizetype pendingAt_ = 0;
    // Characters of the line being brought in that are in already; a line break still to come.
    qsizetype inLine_ = 0;
    bool breakDue_ = false;
    int linesInBlock_ = 1;
    // Changes come from showing a memo, not from the user.
    bool showing_ = false;
    quint64 changes_ = 0;

    QTimer* copier_ = nullptr;
    std::function<void(const QString&)> copyDone_;
    QString copy_;
    QTextBlock copyAt_;
    quint64 copyChanges_ = 0;
};
