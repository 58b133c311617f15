#pragma once

#include <QString>
#include <optional>

class Prompter;

namespace utility {

// The main program's executable, which must stand beside the utility.
QString mainProgramFileName();

// "Scrivlet Utility Version 0.01.0003" for version 0.1.3.
QString versionLine(int major, int minor, int revision);
// The line for this build's own version.
QString versionLine();

// The checks before the window may be shown: the memo codec, the main program beside the utility,
// then "files" in the program folder.
// Returns the memo folder when the window may be shown; otherwise the refusal has been shown and
// the program is to end.
[[nodiscard]] std::optional<QString> checkStartup(Prompter& prompter);

} // namespace utility
