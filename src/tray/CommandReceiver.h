#pragma once

#include "HandOver.h"

#include <QObject>

class frmShowInTaskBar;

// The running program's side of the command line: carries out what a later start hands over (show,
// toggle, open, a new memo, quit) on the icon's program and its memo window, and answers it.
class CommandReceiver final : public QObject
{
    Q_OBJECT
public:
    CommandReceiver(frmShowInTaskBar& startup, QString programFolder, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CommandReceiver)

    // Takes requests from now on; only once this copy holds the folder's lock.
    [[nodiscard]] bool listen(QString* reason);

    // Also for the request of the start that became the program.
    void carryOut(const command::HandedRequest& request, const command::RequestServer::Finish& finish);

private:
    void open(const command::HandedRequest& request, int number, const command::RequestServer::Finish& finish);

    frmShowInTaskBar& startup_;
    QString folder_;
};
