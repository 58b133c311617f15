#pragma once

#include <QString>

// What failed, on which file or folder, and why: the one form in which a failure travels until a window
// shows it. Only the windows' side turns it into text; an empty part is left out there.
struct Failure
{
    QString what;
    QString path;
    QString reason;
    // What the user has to know after the reason, such as that the rest of a run did not happen.
    QString closing;
};
