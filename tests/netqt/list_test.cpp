// The host list fetch: in this process, its wait for the reply is bounded
// and keeps the event loop running; through ravuone-peer's command line, the
// one request line and the reply, which a copy reads up to 1,024 bytes.
// Also ravuone-peer's options.
#include <QProcess>

#include "app/textcodec.h"
#include "loop_util.h"
#include "net/list_socket.h"
#include "support/list_server.h"

using namespace ravu;
using namespace ravu::test;

TEST(ListFetch, BoundedWaitWhileTheLoopRuns) {
    unsetenv("RAVUONE_LIST_URL");
    EXPECT_EQ(HostListUrl(), "http://ravuone.sourceforge.net/list/RavuOneList.txt");
    CListServer silent("", true);
    CListSocket fetch;
    fetch.m_nWaitLimitMs = 300;
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    setenv("RAVUONE_LIST_URL", silent.Url().toUtf8().constData(), 1);
    QElapsedTimer clock;
    clock.start();
    fetch.FetchList();
    EXPECT_EQ(fetch.ListText() + std::to_string(fetch.m_bConnected), "1");
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_GT(ticks, 10);  // other timers kept firing during the nested wait
    EXPECT_EQ(silent.request, "GET " + silent.Url().toUtf8() + "\n");
}

// ravuone-peer as a host that fetches the list first; commands on stdin,
// one JSON event a line on stdout.
TEST(ListFetch, PeerProcessListensFetchesAndTakesCommands) {
    // 18 bytes in Shift-JIS, then more than fit.
    CListServer server(
        QByteArray::fromStdString(Utf8ToSjis("127.0.0.1,はなこ\r\n") + std::string(2000, 'x')));
    setenv("RAVUONE_LIST_URL", server.Url().toUtf8().constData(), 1);
    QProcess peer;
    peer.start(RAVUONE_PEER_PATH, {"--name", QString::fromUtf8("ピア"), "--listen", "0", "--fetch-list"});
    peer.write("state\nmove 7f-fu\ndeclare\n\nquit\n");
    ASSERT_TRUE(
        WaitUntil([&] { return peer.state() == QProcess::NotRunning; }, 10000));  // the list server runs here
    EXPECT_EQ(peer.exitCode(), 0);
    EXPECT_EQ(server.request, "GET " + server.Url().toUtf8() + "\n");
    const QString out = QString::fromUtf8(peer.readAllStandardOutput());
    const QString port = out.section("\"port\":", 1, 1).section('}', 0, 0);
    EXPECT_EQ(out,
              QString::fromUtf8("{\"event\":\"list\",\"text\":\"127.0.0.1,はなこ\\r\\n%1\",\"value\":1024}\n"
                                "{\"event\":\"listening\",\"port\":%2}\n"
                                "{\"event\":\"state\",\"connState\":0,\"mode\":0,\"mySide\":0,\"gamePeer\":0,"
                                "\"sideToMove\":0,\"port\":%2}\n"
                                "{\"event\":\"refused_command\",\"text\":\"move 7f-fu\"}\n"
                                "{\"event\":\"refused_command\",\"text\":\"declare\"}\n")
                  .arg(QString(1024 - 18, 'x'), port));
}

// The settings a guest proposes are read as a host reads them: what a host
// could not play is a usage error (status 2).
TEST(ListFetch, PeerProcessReadsTheProposedSettings) {
    const struct {
        QStringList options;
        int status;
    } rows[] = {
        {{"--rules", "strict", "--handicap", QString::fromUtf8("香落ち"), "--time", "byoyomi:600:30"}, 0},
        {{"--no-extension", "--time", "increment:300:10"}, 0},
        {{"--time", "sudden:0"}, 2},  // a clock without time
        {{"--time", "byoyomi:600"}, 2},
        {{"--handicap", QString::fromUtf8("平手")}, 2},  // the even game is no handicap
        {{"--rules", "hard"}, 2},
        {{"--connect", "[::1]:0"}, 2},  // a port that is none
        {{"--connect", "h:x"}, 2},
    };
    for (const auto& row : rows) {
        QProcess peer;
        peer.start(RAVUONE_PEER_PATH, QStringList{"--listen", "0"} + row.options);
        peer.write("quit\n");
        ASSERT_TRUE(peer.waitForFinished(10000)) << row.options.join(' ').toStdString();
        EXPECT_EQ(peer.exitCode(), row.status) << row.options.join(' ').toStdString();
    }
}
