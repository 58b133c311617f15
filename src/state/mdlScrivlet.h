#pragma once

#include "INIAccess.h"
#include "WRText.h"

#include <QString>
#include <functional>

// The main program's state for its whole life, shared by every window.
class mdlScrivlet
{
public:
    mdlScrivlet() = delete;

    // "Zormet Scrivlet": the memo window's caption and the title of the main program's own boxes.
    static QString programTitle();

    // The program folder with one trailing separator; set by the memo window's load.
    static QString programFolder();
    static void setProgramFolder(const QString& folder);

    // The memo the file list or the search window chose: the memo window sets it to the memo it shows
    // before it opens one of them, and opens the memo it names once they have closed.
    static qint16 currentFileNumber();
    static void setCurrentFileNumber(qint16 number);

    // One reader/writer and one settings accessor for the program, created on first use. Every user
    // of the shared WRText sets FileName before each call.
    static WRText& sharedText();
    static INIAccess& sharedSettings();

    // Ends the program at once, as Exit does: nothing is saved. The notification-area icon registers
    // what must happen first (removing itself); without one the event loop simply ends.
    static void exitProgram();
    static void setExitHandler(std::function<void()> handler);

    // Tests start each case from a clean program.
    static void resetForTesting();
};
