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

TEST(HandOverRequest, onlyAWellFormedRequestOfTheRightSizeAndRangeIsTaken)
{
    HandedRequest open;
    open.action = Action::Open;
    open.number = 9999;
    open.activationToken = QStringLiteral("kwin-1234_TIME5678");
    const std::optional<HandedRequest> back = command::decodeRequest(command::encodeRequest(open));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->action, Action::Open);
    EXPECT_EQ(back->number, 9999);
    EXPECT_EQ(back->activationToken, open.activationToken);

    const QByteArray refused[] = {
        "",
        "not json\n",
        "[1]\n",
        R"({"scrivlet":2,"action":"show","number":-1,"token":"","x11":false})",
        R"({"scrivlet":1,"action":"format","number":-1,"token":"","x11":false})",
        R"({"scrivlet":1,"action":"open","number":10000,"token":"","x11":false})",
        R"({"scrivlet":1,"action":"open","number":1.5,"token":"","x11":false})",
        R"({"scrivlet":1,"action":"open","number":"1","token":"","x11":false})",
        R"({"scrivlet":1,"action":"show","number":-1,"token":"a\nb","x11":false})",
        R"({"scrivlet":1,"action":"show","number":-1,"token":3,"x11":false})",
        "{\"scrivlet\":1,\"action\":\"show\",\"number\":-1,\"token\":\"" + QByteArray(5000, 'a') + "\",\"x11\":false}",
    };
    for (const QByteArray& line : refused)
        EXPECT_FALSE(command::decodeRequest(line)) << line.left(80).toStdString();
}

// A request on the socket is carried out once and answered; a malformed one is answered with 2 and
// carried out not at all.
TEST(HandOverServer, carriesOutWhatItUnderstandsAndNothingElse)
{
    const ScopedRuntimeFolder runtime;
    TempProgramFolder folder;
    std::vector<Action> carriedOut;
    command::RequestServer server(folder.path(), [&](const HandedRequest& r, const auto& finish) {
        carriedOut.push_back(r.action);
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
    EXPECT_TRUE(exchange("{\"scrivlet\":1,\"action\":\"frobnicate\"}\n").contains("\"code\":2"));
    EXPECT_TRUE(exchange(QByteArray(5000, '{')).contains("\"code\":2"));
    EXPECT_TRUE(carriedOut.empty());

    HandedRequest quit;
    quit.action = Action::Quit;
    const QByteArray answer = exchange(command::encodeRequest(quit));
    EXPECT_TRUE(answer.startsWith("{\"accepted\":true}\n")) << answer.toStdString();
    EXPECT_TRUE(answer.contains("\"code\":7")) << answer.toStdString();
    EXPECT_EQ(carriedOut, std::vector<Action>{Action::Quit});
}

} // namespace
