#pragma once

#include <QString>
#include <functional>

class Prompter;

namespace utility {

// Asked by each operation after its input checks, before its first file is touched, and again before
// a step that follows a question the user may have left open for a while. True when the memo folder
// may be changed now; otherwise the refusal has been shown and the operation touches nothing more.
using FolderCheck = std::function<bool(Prompter& prompter)>;

// Refuses while the main program runs on programFolder: it may hold any memo open in its window, and
// would write it back over what the operation moved there.
FolderCheck refuseWhileMainProgramRuns(const QString& programFolder);

} // namespace utility
