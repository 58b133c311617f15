#include "WindowSetup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace ui {

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
