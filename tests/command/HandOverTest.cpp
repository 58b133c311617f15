#include "HandOver.h"

#include "LocalSocket.h"
#include "QtPrinters.h"
#include "ScopedRuntimeFolder.h"
#include "TempProgramFolder.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using command::Action;
using command::HandedRequest;

// A request on the socket is carried out once and answered; a malformed one is answered with 2 and
// carried out not at all.
TEST(HandOverServer, carriesOutWhatItUnderstandsAndNothingElse)
{
    const ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    std::vector<HandedRequest> handed;
    command::RequestServer server(folder.path(), [&](const HandedRequest& r, const auto& finish) {
        handed.push_back(r);
        finish(7, QStringLiteral("done"));
    });
    QString reason;
    ASSERT_TRUE(server.listen(&reason)) << reason.toStdString();

    // The server answers from this thread's event loop: the client only looks, it never waits.
    auto exchange = [&](const QByteArray& sent) {
        LocalClient socket;
        EXPECT_TRUE(socket.connectTo(command::handOverSocketPath(folder.path()), QDeadlineTimer(5000)));
        EXPECT_TRUE(socket.send(sent, QDeadlineTimer(5000)));
        QByteArray received;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                if (const std::optional<QByteArray> line = socket.readLine(1 << 16, QDeadlineTimer(0)))
                    received += *line;
                return received.contains("\"code\"");
            },
            5000));
        return received;
    };
    const QByteArray refused[] = {
        "",
        "not json",
        "[1]",
        R"({"scrivlet":2,"action":"show","number":-1,"token":"","x11":false})",
        R"({"scrivlet":1,"action":"format","number":-1,"token":"","x11":false})",
        R"({"scrivlet":1,"action":"open","number":10000,"token":"","x11":false})",
        R"({"scrivlet":1,"action":"open","number":1.5,"token":"","x11":false})",
        R"({"scrivlet":1,"action":"open","number":"1","token":"","x11":false})",
        R"({"scrivlet":1,"action":"show","number":-1,"token":"a\nb","x11":false})",
        R"({"scrivlet":1,"action":"show","number":-1,"token":3,"x11":false})",
        "{\"scrivlet\":1,\"action\":\"show\",\"number\":-1,\"token\":\"" + QByteArray(5000, 'a') + "\",\"x11\":false}",
        QByteArray(5000, '{'),
    };
    for (const QByteArray& line : refused)
        EXPECT_TRUE(exchange(line + '\n').contains("\"code\":2")) << line.left(80).toStdString();
    EXPECT_TRUE(handed.empty());

    HandedRequest open;
    open.action = Action::Open;
    open.number = 9999;
    open.activationToken = QStringLiteral("kwin-1234_TIME5678");
    const QByteArray answer = exchange(command::encodeRequest(open));
    EXPECT_TRUE(answer.startsWith("{\"accepted\":true}\n")) << answer.toStdString();
    EXPECT_TRUE(answer.contains("\"code\":7")) << answer.toStdString();
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0].action, Action::Open);
    EXPECT_EQ(handed[0].number, 9999);
    EXPECT_EQ(handed[0].activationToken, open.activationToken);
}

} // namespace
