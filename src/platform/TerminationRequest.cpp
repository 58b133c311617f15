#include "TerminationRequest.h"

#include "FileError.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] is read on the user-interface thread, [1] written by the handler.
int wakeFds[2] = {-1, -1};
constexpr std::array<int, 3> handledSignals = {SIGTERM, SIGHUP, SIGINT};
std::array<bool, handledSignals.size()> installed = {};

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    // Nothing else is safe inside a signal handler; a full socket already carries a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[1], &byte, 1);
}

} // namespace

TerminationRequest::TerminationRequest(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0) {
        failure_ = fileErrorReason(errno);
        return;
    }
    notifier_ = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationRequest::readPending);
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        struct sigaction current = {};
        if (::sigaction(handledSignals[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        installed[i] = ::sigaction(handledSignals[i], &action, nullptr) == 0;
    }
}

TerminationRequest::~TerminationRequest()
{
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        if (installed[i])
            std::signal(handledSignals[i], SIG_DFL);
        installed[i] = false;
    }
    if (notifier_) {
        notifier_->setEnabled(false);
        ::close(wakeFds[0]);
        ::close(wakeFds[1]);
        wakeFds[0] = wakeFds[1] = -1;
    }
}

void TerminationRequest::readPending()
{
    std::array<char, 64> drain;
    bool any = false;
    while (::read(wakeFds[0], drain.data(), drain.size()) > 0)
        any = true;
    if (any)
        Q_EMIT requested();
}
