#include "MemoEditor.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>

namespace {

// A block that goes on a line of the block before it: a piece of a long line, not a line of its own.
constexpr int Continues = QTextFormat::UserProperty + 1;

bool continues(const QTextBlock& block)
{
    return block.isValid() && block.blockFormat().boolProperty(Continues);
}

QTextBlockFormat blockFormat(bool continuation)
{
    QTextBlockFormat format;
    if (continuation)
        format.setProperty(Continues, true);
    return format;
}

// Shown before the first paint; later slices keep each turn of the event loop short.
constexpr qsizetype FirstSlice = 16 * 1024;
constexpr qsizetype Slice = 128 * 1024;
constexpr qsizetype CopySlice = 512 * 1024;
constexpr int LinesPerBlock = 8;

// Where the line that starts at `from` ends: at its CR LF, CR or LF, or at the end of the text.
qsizetype lineEnd(QStringView text, qsizetype from)
{
    const QChar* data = text.data();
    const QChar* end = data + text.size();
    const QChar* at = std::find_if(data + from, end, [](QChar c) { return c == u'\r' || c == u'\n'; });
    return at - data;
}

// What the text box's plain text makes of the characters a memo cannot hold, as it always has.
QString asMemoCharacters(QString text)
{
    return text.replace(QChar::LineSeparator, QLatin1Char('\n'))
        .replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
        .replace(QChar::Nbsp, QLatin1Char(' '));
}

} // namespace

namespace {

// Paints what its text box tells it to, in the text box's margin.
class Margin final : public QWidget
{
public:
    Margin(QWidget* parent, std::function<void(QPaintEvent*)> paint) : QWidget(parent), paint_(std::move(paint)) {}

protected:
    void paintEvent(QPaintEvent* event) override { paint_(event); }

private:
    std::function<void(QPaintEvent*)> paint_;
};

} // namespace

QString MemoEditor::pieceMark()
{
    return QStringLiteral("↪");
}

MemoEditor::MemoEditor(QWidget* parent)
    : QPlainTextEdit(parent), bringIn_(new QTimer(this)),
      marks_(new Margin(this, [this](QPaintEvent* event) { paintMarks(event); })), copier_(new QTimer(this))
{
    // Lines are never wrapped: both scroll bars stand, and a long line is shown in pieces instead.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    marks_->hide();
    connect(this, &QPlainTextEdit::updateRequest, marks_, [this](const QRect& rect, int dy) {
        if (dy != 0)
            marks_->scroll(0, dy);
        else
            marks_->update(0, rect.y(), marks_->width(), rect.height());
    });
    bringIn_->setInterval(0);
    connect(bringIn_, &QTimer::timeout, this, &MemoEditor::bringInSome);
    copier_->setInterval(0);
    connect(copier_, &QTimer::timeout, this, &MemoEditor::copySome);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        ++changes_;
        if (!showing_ && (removed > 0 || added > 0))
            Q_EMIT edited();
    });
}

void MemoEditor::showText(const QString& text)
{
    bringIn_->stop();
    // A copy being taken is of the text that goes.
    copier_->stop();
    copyDone_ = {};
    showing_ = true;
    {
        // One change of text for the memo shown, as setting it at once gives.
        const QSignalBlocker quiet(this);
        document()->setUndoRedoEnabled(false);
        setPlainText(QString());
        pending_ = text;
        pendingAt_ = 0;
        inLine_ = 0;
        breakDue_ = false;
        linesInBlock_ = 1;
        showPieceMarks(false);
        QTextCursor cursor(document());
        insertSome(cursor, FirstSlice);
    }
    showing_ = false;
    Q_EMIT textChanged();
    if (pendingAt_ < pending_.size() || breakDue_)
        bringIn_->start();
    else
        finishBringingIn();
    moveCursor(QTextCursor::Start);
}

// Inserts the next part of the pending text at the end (or at the cursor): whole short lines in one
// go, long ones in pieces, as much as the budget allows.
void MemoEditor::insertSome(QTextCursor& cursor, qsizetype budget, bool atEnd)
{
    if (atEnd)
        cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    QString lines;
    auto flush = [&] {
        if (!lines.isEmpty())
            cursor.insertText(lines);
        lines.clear();
    };
    const QStringView text(pending_);
    qsizetype spent = 0;
    while (spent < budget && pendingAt_ < text.size()) {
        const qsizetype end = lineEnd(text, pendingAt_);
        if (inLine_ == 0 && end - pendingAt_ <= LongLine) {
            // A line break inherits the format of the block it breaks: after a piece it has to be made.
            // Short lines go a few to a block, each a line of its own on screen: a block costs more
            // memory than the characters of a short line.
            if (breakDue_ && continues(cursor.block())) {
                flush();
                cursor.insertBlock(blockFormat(false));
                linesInBlock_ = 1;
            } else if (breakDue_ && linesInBlock_ < LinesPerBlock) {
                lines += QChar(QChar::LineSeparator);
                ++linesInBlock_;
            } else if (breakDue_) {
                lines += QLatin1Char('\n');
                linesInBlock_ = 1;
            }
            lines += text.mid(pendingAt_, end - pendingAt_);
            spent += end - pendingAt_;
            pendingAt_ = end;
        } else {
            flush();
            while (pendingAt_ < end && spent < budget) {
                const qsizetype take = std::min<qsizetype>(PieceLength, end - pendingAt_);
                if (breakDue_ || inLine_ > 0)
                    cursor.insertBlock(blockFormat(inLine_ > 0));
                if (inLine_ > 0)
                    showPieceMarks(true);
                linesInBlock_ = 1;
                cursor.insertText(text.mid(pendingAt_, take).toString());
                pendingAt_ += take;
                inLine_ += take;
                spent += take;
                breakDue_ = false;
            }
            if (pendingAt_ < end)
                break;
        }
        breakDue_ = false;
        inLine_ = 0;
        if (pendingAt_ < text.size()) {
            pendingAt_ += text.mid(pendingAt_).startsWith(u"\r\n") ? 2 : 1;
            breakDue_ = true;
        }
    }
    flush();
    // Text that ends in a line break ends with an empty line.
    if (breakDue_ && pendingAt_ >= text.size()) {
        cursor.insertBlock(blockFormat(false));
        breakDue_ = false;
    }
    cursor.endEditBlock();
}

void MemoEditor::bringInSome()
{
    showing_ = true;
    QTextCursor cursor(document());
    insertSome(cursor, Slice);
    showing_ = false;
    if (pendingAt_ >= pending_.size() && !breakDue_)
        finishBringingIn();
}

void MemoEditor::finishBringingIn()
{
    if (bringIn_->isActive()) {
        showing_ = true;
        QTextCursor cursor(document());
        insertSome(cursor, pending_.size());
        showing_ = false;
    }
    bringIn_->stop();
    pending_.clear();
    pendingAt_ = 0;
    // Undo starts here: what came in is no edit.
    if (!document()->isUndoRedoEnabled())
        document()->setUndoRedoEnabled(true);
}

bool MemoEditor::isBringingIn() const
{
    return bringIn_->isActive();
}

QString MemoEditor::memoText()
{
    finishBringingIn();
    // The document's own copy of its text, blocks separated by U+2029, is the quick way to the whole of
    // it; a separator before a piece of a long line is dropped, the others are line breaks.
    QString text = document()->toRawText();
    QChar* to = text.data();
    QTextBlock next = document()->firstBlock().next();
    int pieceFormat = -1;
    for (const QChar c : std::as_const(text)) {
        if (c == QChar::ParagraphSeparator) {
            const int format = next.blockFormatIndex();
            if (pieceFormat < 0 && continues(next))
                pieceFormat = format;
            next = next.next();
            if (format == pieceFormat)
                continue;
            *to++ = QLatin1Char('\n');
        } else if (c == QChar::LineSeparator) {
            *to++ = QLatin1Char('\n');
        } else {
            *to++ = c == QChar::Nbsp ? QChar(QLatin1Char(' ')) : c;
        }
    }
    text.truncate(to - text.data());
    return text;
}

QString MemoEditor::textBetween(int start, int end) const
{
    QString text;
    text.reserve(end - start);
    QTextBlock block = document()->findBlock(start);
    const QTextBlock last = document()->findBlock(end);
    for (;;) {
        const int from = std::max(0, start - block.position());
        const int to = block == last ? end - block.position() : block.length() - 1;
        text += QStringView(block.text()).mid(from, to - from);
        if (block == last || !block.next().isValid())
            break;
        block = block.next();
        if (!continues(block))
            text += QLatin1Char('\n');
    }
    return asMemoCharacters(std::move(text));
}

void MemoEditor::copyTextInSlices(std::function<void(const QString& text)> done)
{
    copyDone_ = std::move(done);
    copy_.clear();
    copyAt_ = QTextBlock();
    copier_->start();
}

void MemoEditor::copySome()
{
    // The text still coming in is part of it: wait for it.
    if (bringIn_->isActive())
        return;
    if (!copyAt_.isValid()) {
        copy_.clear();
        copy_.reserve(document()->characterCount());
        copyAt_ = document()->firstBlock();
        copyChanges_ = changes_;
    }
    // An edit between two slices would tear the copy: it starts again once the typing pauses.
    if (copyChanges_ != changes_) {
        copyAt_ = QTextBlock();
        return;
    }
    for (qsizetype taken = 0; copyAt_.isValid() && taken < CopySlice; copyAt_ = copyAt_.next()) {
        if (copyAt_ != document()->firstBlock() && !continues(copyAt_))
            copy_ += QLatin1Char('\n');
        const QString part = copyAt_.text();
        copy_ += part;
        taken += part.size() + 1;
    }
    if (copyAt_.isValid())
        return;
    copier_->stop();
    const auto done = std::move(copyDone_);
    copyDone_ = {};
    const QString text = asMemoCharacters(std::move(copy_));
    copy_ = QString();
    if (done)
        done(text);
}

void MemoEditor::keyPressEvent(QKeyEvent* event)
{
    // A line break typed is a line of its own, also inside a piece of a long line.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly() &&
        (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier) {
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        cursor.insertBlock(blockFormat(false));
        cursor.endEditBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    // A piece's edge is no character of the memo: Backspace and Delete there take the one beyond it.
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection() && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Backspace && cursor.positionInBlock() == 0 && continues(cursor.block()))
            cursor.movePosition(QTextCursor::PreviousCharacter);
        else if (event->key() == Qt::Key_Delete && cursor.atBlockEnd() && continues(cursor.block().next()))
            cursor.movePosition(QTextCursor::NextCharacter);
        setTextCursor(cursor);
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MemoEditor::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText() || isReadOnly())
        return;
    finishBringingIn();
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    // The pasted lines come in as a memo's would, long ones in pieces; the rest of the line the cursor
    // stood in follows the last of them.
    QTextCursor tail = cursor;
    tail.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    const QString rest = tail.selectedText();
    tail.removeSelectedText();
    pending_ = source->text();
    pendingAt_ = 0;
    inLine_ = 0;
    breakDue_ = false;
    linesInBlock_ = LinesPerBlock;
    insertSome(cursor, pending_.size(), false);
    pending_.clear();
    const int end = cursor.position();
    cursor.insertText(rest);
    cursor.setPosition(end);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* MemoEditor::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    const QTextCursor cursor = textCursor();
    data->setText(textBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void MemoEditor::resizeEvent(QResizeEvent* event)
{
    // Lines are never wrapped, so a new width changes no line. The text box would lay the document out
    // again all the same and make a layout for every line, hundreds of bytes each: told the width is
    // as it was, it only fits its scroll bars to the new size.
    QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
    QPlainTextEdit::resizeEvent(&sameWidth);
    placeMarks();
}

void MemoEditor::showPieceMarks(bool shown)
{
    if (marks_->isVisible() == shown)
        return;
    // A memo without long lines looks as it always did: no margin.
    const int width = shown ? fontMetrics().horizontalAdvance(pieceMark()) + 4 : 0;
    setViewportMargins(width, 0, 0, 0);
    marks_->setVisible(shown);
    placeMarks();
}

void MemoEditor::placeMarks()
{
    const QRect area = contentsRect();
    marks_->setGeometry(area.left(), area.top(), viewportMargins().left(), viewport()->height());
}

// A piece that goes on a line above begins with a mark in the margin, so that a long line shown in
// pieces is not taken for several lines.
void MemoEditor::paintMarks(QPaintEvent* event)
{
    QPainter painter(marks_);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > viewport()->height())
            break;
        if (continues(block))
            painter.drawText(QRectF(0, box.top(), marks_->width(), box.height()), Qt::AlignCenter, pieceMark());
    }
}
