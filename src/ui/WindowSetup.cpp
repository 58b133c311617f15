#include "WindowSetup.h"

#include "ProgramIcon.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>

namespace ui {

namespace {

constexpr qreal DesignFontPixels = 12;
constexpr qreal DesignDpi = 96;

// Where Qt turns points into pixels.
qreal logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : DesignDpi;
}

} // namespace

qreal layoutScale()
{
    // The font's size in pixels, not its line height: one family's lines are taller than another's at the
    // same 9 points, and the design font has to give exactly 1 whichever family the desktop has.
    const QFont font = QGuiApplication::font();
    const qreal pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * logicalDpi() / 72;
    return std::max<qreal>(1, pixels / DesignFontPixels);
}

int scaled(int designPixels)
{
    return qRound(designPixels * layoutScale());
}

QSize scaled(const QSize& designSize)
{
    return {scaled(designSize.width()), scaled(designSize.height())};
}

QRect scaled(const QRect& designRect)
{
    const int left = scaled(designRect.left());
    const int top = scaled(designRect.top());
    return {left, top, scaled(designRect.left() + designRect.width()) - left,
            scaled(designRect.top() + designRect.height()) - top};
}

qreal scaledPoints(qreal designPoints)
{
    // The screen's resolution is in the scale already.
    return designPoints * layoutScale() * DesignDpi / logicalDpi();
}

void nameWindow(QWidget* window, const QString& title)
{
    window->setWindowTitle(title);
    window->setWindowIcon(programIcon());
}

void makeRoomForCaption(QLabel* caption, QWidget* box)
{
    // "&&" shows one ampersand, "&" before a letter none.
    const QString shown = caption->text().replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    const QSize missing = QSize(caption->fontMetrics().horizontalAdvance(shown), caption->fontMetrics().height()) -
                          caption->contentsRect().size();
    QRect place = caption->geometry();
    place.setWidth(place.width() + std::max(0, missing.width()));
    place.adjust(0, -std::max(0, missing.height()) / 2, 0, (std::max(0, missing.height()) + 1) / 2);
    caption->setGeometry(place);
    if (box && box->x() <= place.right())
        box->setGeometry(box->geometry().adjusted(place.right() + 1 - box->x(), 0, 0, 0));
}

Qt::WindowFlags fixedDialogFlags()
{
    return Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
}

namespace {

// Qt lets Enter press a focused button only in a dialog, and there only by making it the default button
// for the time being; this presses it in any window and leaves the default button alone.
class EnterPressesButton final : public QObject
{
public:
    explicit EnterPressesButton(QPushButton* button) : QObject(button), button_(button)
    {
        button->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != button_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        button_->click();
        return true;
    }

private:
    QPushButton* button_;
};

QScreen* screenOf(const QWidget* window)
{
    const QWidget* owner = window->parentWidget();
    QScreen* screen = owner ? owner->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

QPushButton* placeButton(QWidget* parent, const char* name, const QString& caption, const QRect& twipsGeometry)
{
    auto* button = place<QPushButton>(parent, name, twipsGeometry, caption);
    new EnterPressesButton(button);
    return button;
}

void colourBaseAs(QWidget* box, QPalette::ColorRole role)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(role));
    box->setPalette(palette);
}

void showPath(QLineEdit* box, const QString& path)
{
    box->setText(path);
    box->setCursorPosition(int(path.size()));
}

QMenu* createMenu(QWidget* parent)
{
    auto* menu = new QMenu(QStringLiteral("Menu"), parent);
    menu->setObjectName(QStringLiteral("mnuMenu"));
    return menu;
}

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

void setDefaultMenuItem(QMenu* menu, QAction* item)
{
    menu->setDefaultAction(item);
    QFont bold = item->font();
    bold.setBold(true);
    item->setFont(bold);
}

// Placed before showing: a dialog that has been moved keeps its place instead of Qt's.
void centreOnScreen(QWidget* window)
{
    if (QScreen* screen = screenOf(window))
        window->move(screen->availableGeometry().center() - window->rect().center());
}

void centreOnOwner(QWidget* window)
{
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QScreen* screen = screenOf(window);
    if (!owner || !owner->isVisible() || !screen) {
        centreOnScreen(window);
        return;
    }
    QRect placed = window->rect();
    placed.moveCenter(owner->frameGeometry().center());
    const QRect area = screen->availableGeometry();
    placed.moveLeft(qBound(area.left(), placed.left(), qMax(area.left(), area.right() - placed.width())));
    placed.moveTop(qBound(area.top(), placed.top(), qMax(area.top(), area.bottom() - placed.height())));
    window->move(placed.topLeft());
}

} // namespace ui
