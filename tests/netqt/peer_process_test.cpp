// ravuone-peer as a separate process against a copy in this process.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "loop_util.h"

using namespace ravu;
using namespace ravu::test;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

class PeerProcess {
public:
    explicit PeerProcess(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        proc.setProcessEnvironment(env);
        QObject::connect(&proc, &QProcess::readyReadStandardOutput, [this] {
            buf += proc.readAllStandardOutput();
            int nl;
            while ((nl = buf.indexOf('\n')) >= 0) {
                QByteArray line = buf.left(nl);
                buf.remove(0, nl + 1);
                QJsonParseError err;
                QJsonDocument doc = QJsonDocument::fromJson(line, &err);
                EXPECT_EQ(err.error, QJsonParseError::NoError) << line.toStdString();
                events.push_back(doc.object());
            }
        });
        proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc.start(RAVUONE_PEER_PATH, args);
        EXPECT_TRUE(proc.waitForStarted(5000));
    }
    ~PeerProcess() {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(2000);
        }
    }
    // The first event of that kind (after `from`) whose text is `text` when given.
    const QJsonObject* Find(const QString& kind, const QString& text = QString(), size_t from = 0) const {
        for (size_t i = from; i < events.size(); ++i)
            if (events[i]["event"].toString() == kind && (text.isNull() || events[i]["text"].toString() == text))
                return &events[i];
        return nullptr;
    }
    int Count(const QString& kind) const {
        int n = 0;
        for (const QJsonObject& e : events)
            n += e["event"].toString() == kind;
        return n;
    }
    bool WaitFor(const QString& kind, const QString& text = QString()) {
        return WaitUntil([&] { return Find(kind, text) != nullptr; }, 10000);
    }
    void Send(const QString& line) {
        proc.write((line + "\n").toUtf8());
        proc.waitForBytesWritten(1000);
    }

    QProcess proc;
    QByteArray buf;
    std::vector<QJsonObject> events;
};

}  // namespace

TEST(PeerProcess, GuestPlaysChatsAndResignsAgainstAnInProcessHost) {
    auto host = MakeHost(S("ホスト"));
    PeerProcess peer({"--connect", QString("127.0.0.1:%1").arg(host->Port()), "--turn", "1", "--name",
                      QString::fromUtf8("ゲスト")});
    ASSERT_TRUE(peer.WaitFor("hello", QString::fromUtf8("ホスト")));
    ASSERT_TRUE(WaitUntil([&] { return host->protocol.mode == MODE_GAME; }, 10000));
    EXPECT_EQ(host->protocol.mySide, 0);  // the peer proposed to take gote
    ASSERT_TRUE(peer.WaitFor("game_start"));

    ASSERT_EQ(host->Move(S("   1 ７六歩(77) ")), 1);
    ASSERT_TRUE(peer.WaitFor("move", QString::fromUtf8("   1 ７六歩(77) ")));
    peer.Send(QString::fromUtf8("move ３四歩(33)"));  // the number is added
    ASSERT_TRUE(WaitUntil([&] { return host->record.kifu.current->move->number == 3; }, 10000));
    std::string line;
    host->record.GetMainLineText(line);
    EXPECT_EQ(line, S("   1 ７六歩(77) ;   2 ３四歩(33) ;;"));

    peer.Send(QString::fromUtf8("chat こんにちは"));
    ASSERT_TRUE(WaitUntil([&] { return host->chatLog.size() == 1; }, 10000));
    EXPECT_EQ(host->chatLog[0], S("ゲスト>こんにちは"));
    ASSERT_TRUE(peer.WaitFor("chat", QString::fromUtf8("ゲスト>こんにちは")));  // the echo

    peer.Send("move nonsense");
    ASSERT_TRUE(peer.WaitFor("refused_command"));
    ASSERT_EQ(host->Move(S("   3 ２六歩(27) ")), 1);
    ASSERT_TRUE(peer.WaitFor("move", QString::fromUtf8("   3 ２六歩(27) ")));
    peer.Send("resign");
    ASSERT_TRUE(WaitUntil([&] { return host->protocol.mode == MODE_FREE; }, 10000));
    EXPECT_EQ(host->record.kifu.current->prev->move->status, MS_RESIGN);
    peer.Send("quit");
    ASSERT_TRUE(peer.proc.waitForFinished(5000));
    EXPECT_EQ(peer.proc.exitCode(), 0);
    ASSERT_TRUE(WaitUntil([&] { return host->protocol.connState == CONN_NONE; }, 10000));
}

TEST(PeerProcess, HostAnswersOnStdinAndASpectatorProcessCatchesUp) {
    PeerProcess hostProc({"--listen", "0", "--answer", "ask", "--name", "phost"});
    ASSERT_TRUE(hostProc.WaitFor("listening"));
    unsigned port = static_cast<unsigned>(hostProc.Find("listening")->value("port").toInt());
    ASSERT_NE(port, 0u);
    CHeadlessCopy guest("guest");
    CopyEvents ev(guest);
    ASSERT_TRUE(guest.Connect("127.0.0.1", port));
    ASSERT_TRUE(hostProc.WaitFor("question"));
    EXPECT_TRUE(hostProc.Find("question")->value("text").toString().endsWith(QString::fromUtf8("ハンドル名：guest")));
    hostProc.Send("yes");
    ASSERT_TRUE(WaitUntil([&] { return guest.protocol.connState == CONN_GUEST; }, 10000));
    guest.ProposeTurn(0);
    ASSERT_TRUE(WaitUntil([&] { return hostProc.Count("question") == 2; }, 10000));
    hostProc.Send("yes");
    ASSERT_TRUE(WaitUntil([&] { return guest.protocol.mode == MODE_GAME; }, 10000));
    ASSERT_EQ(guest.Move(S("   1 ７六歩(77) ")), 1);
    ASSERT_TRUE(hostProc.WaitFor("move"));

    // A spectator process joins the running game.
    PeerProcess watcher({"--connect", QString("127.0.0.1:%1").arg(port), "--name", "watcher"});
    ASSERT_TRUE(watcher.WaitFor("catchup", QString::fromUtf8("   1 ７六歩(77) ;;")));
    ASSERT_TRUE(watcher.WaitFor("watching"));
    hostProc.Send(QString::fromUtf8("move ３四歩(33)"));
    ASSERT_TRUE(watcher.WaitFor("move", QString::fromUtf8("   2 ３四歩(33) ")));
    ASSERT_TRUE(WaitUntil([&] { return guest.record.kifu.current->move->number == 3; }, 10000));
    ASSERT_EQ(guest.Move(S("   3 ２六歩(27) ")), 1);
    ASSERT_TRUE(watcher.WaitFor("move", QString::fromUtf8("   3 ２六歩(27) ")));  // relayed by the host
    watcher.Send("state");
    ASSERT_TRUE(watcher.WaitFor("state"));
    EXPECT_EQ(watcher.Find("state")->value("mode").toInt(), MODE_WATCHING);
    hostProc.Send("quit");
    ASSERT_TRUE(hostProc.proc.waitForFinished(5000));
    ASSERT_TRUE(watcher.WaitFor("closed"));
    ASSERT_TRUE(WaitUntil([&] { return guest.protocol.connState == CONN_NONE; }, 10000));
}

TEST(PeerProcess, FetchesTheHostListFromTheUrlInTheEnvironment) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QByteArray request;
    const QByteArray list = QByteArray::fromStdString(S("127.0.0.1,はなこ,初段\r\n"));
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = server.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, [&, s] {
            request += s->readAll();
            if (request.endsWith('\n')) {
                s->write(list);
                s->disconnectFromHost();
            }
        });
    });
    QString url = QString("http://127.0.0.1:%1/ravu/RavuOneList.txt").arg(server.serverPort());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("RAVUONE_LIST_URL", url);
    PeerProcess peer({"--fetch-list"}, env);
    ASSERT_TRUE(peer.WaitFor("list"));
    EXPECT_EQ(peer.Find("list")->value("text").toString(), QString::fromUtf8("127.0.0.1,はなこ,初段\r\n"));
    EXPECT_EQ(request, ("GET " + url + "\n").toUtf8());
    ASSERT_TRUE(WaitUntil([&] { return peer.proc.state() == QProcess::NotRunning; }));
    EXPECT_EQ(peer.proc.exitCode(), 0);
}
