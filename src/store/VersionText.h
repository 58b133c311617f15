#pragma once

#include <QString>

// "Version 0.10.0022 ": the minor number with two digits, the revision with four, one blank at the end.
QString versionText(int major, int minor, int revision);
