#include "CommandReceiver.h"

#include "FreeNumberSearch.h"
#include "MemoNaming.h"
#include "frmScrivlet.h"
#include "frmShowInTaskBar.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

using command::Action;

CommandReceiver::CommandReceiver(frmShowInTaskBar& startup, QString programFolder, QObject* parent)
    : QObject(parent), startup_(startup), folder_(std::move(programFolder))
{}

bool CommandReceiver::listen(QString* reason)
{
    auto* server = new command::RequestServer(
        folder_,
        [this](const command::HandedRequest& request, const command::RequestServer::Finish& finish) {
            carryOut(request, finish);
        },
        this);
    return server->listen(reason);
}

void CommandReceiver::carryOut(const command::HandedRequest& request, const command::RequestServer::Finish& finish)
{
    switch (request.action) {
    case Action::Toggle: {
        // The desktop may have moved the focus a moment ago; its notice decides.
        QCoreApplication::processEvents();
        const frmScrivlet* memo = startup_.memoWindow();
        // The window system's focus decides: Qt's own active window stays empty after the window was
        // hidden and shown again. Without a notification area a hidden window could not be brought
        // back: it is only raised.
        if (memo && memo->isVisible() && !memo->isMinimized() && memo->windowHandle() &&
            QGuiApplication::focusWindow() == memo->windowHandle() && !startup_.isStandalone()) {
            startup_.memoWindow()->minimise();
            finish(0, QString());
            return;
        }
        break;
    }
    case Action::Open:
        open(request, request.number, finish);
        return;
    case Action::NewEmpty: {
        const std::optional<int> free = lowestFreeNumber(folder_);
        if (!free) {
            finish(1, QStringLiteral("空いているメモの番号がありません。"));
            return;
        }
        open(request, *free, finish);
        return;
    }
    case Action::Quit:
        if (!startup_.sessionEnding()) {
            finish(1, QStringLiteral("表示中のメモを保存できなかったため、Scrivletは終了していません。"));
            return;
        }
        finish(0, QString());
        QCoreApplication::quit();
        return;
    default:
        break;
    }
    startup_.showMemoWindow(request.activationToken, request.tokenIsX11);
    finish(0, QString());
}

void CommandReceiver::open(const command::HandedRequest& request, int number,
                           const command::RequestServer::Finish& finish)
{
    frmScrivlet* memo = startup_.showMemoWindow(request.activationToken, request.tokenIsX11);
    if (memo->goToMemo(number))
        finish(0, QString());
    else
        finish(1, QStringLiteral("メモ「%1」を表示できませんでした。").arg(memo::memoFileName(number)));
}
