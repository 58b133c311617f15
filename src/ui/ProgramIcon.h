#pragma once

#include <QIcon>

namespace ui {

// The program's icon: the installed theme's, else the one built in, in every size the desktop asks for.
// Nothing is looked up or decoded before a size is asked for, and only that size then.
QIcon programIcon();
// The built-in images alone, for the notification area: no theme to look up while the program starts.
QIcon builtInProgramIcon();

} // namespace ui
