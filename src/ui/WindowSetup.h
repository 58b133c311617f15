#pragma once

#include "Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <utility>

// How every window of both programs is put together, so that they look and behave alike.
namespace ui {

// The layouts in twips are drawn for a font 12 pixels high (9 points at 96 dpi). A desktop whose font is
// larger gets every window larger by as much, never smaller: the factor from pixels at the design font to
// pixels on this desktop.
qreal layoutScale();
// Pixels at the design font (twips(), twipsRect()) grown by the layout scale. A rectangle grows by its
// edges, so that controls side by side stay side by side.
int scaled(int designPixels);
QSize scaled(const QSize& designSize);
QRect scaled(const QRect& designRect);
// A font size the layout gives in points, grown as the desktop's font is.
qreal scaledPoints(qreal designPoints);

// A window of the program: its title, and the program's icon for title bars and window switchers. Each
// window takes the icon for itself: given to the whole program, it would be made for the notification
// area's own window too, in every size, while the program starts.
void nameWindow(QWidget* window, const QString& title);

// A fixed-size dialog's frame: title and close box only, no minimise or maximise box, no task-bar entry.
Qt::WindowFlags fixedDialogFlags();

// Creates a control named `name` at a place given in twips (twipsRect), grown by the layout scale; `args` go
// to its constructor before the parent.
template <typename W, typename... Args>
W* place(QWidget* parent, const char* name, const QRect& twipsGeometry, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(scaled(twipsGeometry));
    return w;
}

// A caption is never cut by its label, whatever the font does at its size. Wider than the label, as
// full-width Japanese text in a monospaced font can be, it widens the label, and `box`, which follows on its
// right, gives way, keeping its right edge. Higher than the label, it grows the label about its middle.
void makeRoomForCaption(QLabel* caption, QWidget* box = nullptr);

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
