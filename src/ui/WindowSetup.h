#pragma once

#include "Twips.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <utility>

// How every window of both programs is put together, so that they look and behave alike.
namespace ui {

// A fixed-size dialog's frame: title and close box only, no minimise or maximise box, no task-bar entry.
Qt::WindowFlags fixedDialogFlags();

// Creates a control named `name` at a place given in twips; `args` go to its constructor before the parent.
template <typename W, typename... Args>
W* place(QWidget* parent, const char* name, const QRect& twipsGeometry, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(twipsGeometry);
    return w;
}

// A push button that Enter presses while it has the focus, in a dialog or a plain window alike.
QPushButton* placeButton(QWidget* parent, const char* name, const QString& caption, const QRect& twipsGeometry);

// A box the user reads rather than types into, its background coloured like `role`.
void colourBaseAs(QWidget* box, QPalette::ColorRole role);

// A path in a one-line box, scrolled to its end so that the file or folder name stays in sight.
void showPath(QLineEdit* box, const QString& path);

// The pop-up menu "Menu" named mnuMenu, and its items named by their control names.
QMenu* createMenu(QWidget* parent);
QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption);
// The item a double click would choose, in bold: styles differ in how they mark it, if at all.
void setDefaultMenuItem(QMenu* menu, QAction* item);

// For a window not yet shown: the centre of the screen it will appear on.
void centreOnScreen(QWidget* window);
// For a window not yet shown: the centre of the window that owns it, kept on that screen.
void centreOnOwner(QWidget* window);

} // namespace ui
