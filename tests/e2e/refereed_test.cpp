// Games over the protocol extension between a windowed copy (the host) and
// ravuone-peer processes: a strict 香落ち game with byoyomi that the guest
// proposes and wins by mate, watched by a second ravuone-peer, and a game
// against a guest with the extension turned off, which goes as it always
// has.  The windowed copy cannot propose settings in its turn dialog here,
// so the peers are the guests.
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

const QString HOST_NAME = QStringLiteral("下手花子");

// A ravuone-peer process: commands on its stdin, its JSON events collected.
class Peer {
public:
    Peer(const QString& name, int hostPort, const QStringList& options) {
        proc.start(QStringLiteral(RAVUONE_PEER_PATH),
                   QStringList{"--name", name, "--connect", QStringLiteral("127.0.0.1:%1").arg(hostPort),
                               "--answer", "yes", "--stay"} +
                       options);
    }
    ~Peer() {
        proc.kill();
        proc.waitForFinished(5000);
    }
    void Send(const QString& command) {
        proc.write(command.toUtf8() + '\n');
        proc.waitForBytesWritten(WAIT_MS);  // no event loop runs here to write it
    }
    // Connected and accepted, then proposes the sides (0 sente, 1 gote).
    bool ProposeAfterAccept(int side) {
        if (!WaitEvent("accept"))
            return false;
        Send(QStringLiteral("turn %1").arg(side));
        return true;
    }
    // Waits for an event of the kind whose text holds `text`; its text.
    bool WaitEvent(const QString& kind, const QString& text = {}, QString* got = nullptr) {
        return WaitUntil([&] {
            proc.waitForReadyRead(10);
            while (proc.canReadLine())
                events.push_back(QJsonDocument::fromJson(proc.readLine()).object());
            for (const QJsonObject& e : events)
                if (e["event"].toString() == kind && e["text"].toString().contains(text)) {
                    if (got)
                        *got = e["text"].toString();
                    return true;
                }
            return false;
        });
    }
    bool Saw(const QString& kind) const {
        return std::ranges::any_of(events,
                                   [&](const QJsonObject& e) { return e["event"].toString() == kind; });
    }

private:
    QProcess proc;
    std::vector<QJsonObject> events;
};

QString LastRow(ProgramCopy& c) {
    const QStringList rows = c.driver.List("kifu/moveList");
    return rows.isEmpty() ? QString() : rows.last().trimmed();
}

bool HasRow(ProgramCopy& c, const QString& row) {
    return std::ranges::any_of(c.driver.List("kifu/moveList"),
                               [&](const QString& r) { return r.trimmed() == row; });
}

// The host's question about the guest's proposal: it holds every text.
void AcceptProposal(ProgramCopy& host, const QStringList& texts, const QString& absent = {}) {
    ASSERT_TRUE(WaitUntil([&] { return host.driver.Visible("balloon/yes"); }));
    const QString question = host.driver.Text("balloon");
    for (const QString& t : texts)
        EXPECT_TRUE(question.contains(t)) << t.toStdString() << " in " << question.toStdString();
    EXPECT_FALSE(!absent.isEmpty() && question.contains(absent)) << question.toStdString();
    AnswerBalloon(host, texts.first(), true);
}

struct Ply {
    bool byGuest;            // the guest plays 上手 (gote, moves first), the host 下手 (sente, unflipped)
    const char* command;     // the guest's move command
    int fromFile, fromRank;  // the host's clicks
    int toFile, toRank;
    const char* listText;
};

// From 香落ち, a mate in seven: 上手's bishop comes round through 1三 and
// takes the silver on 7九 promoting, while 下手's king walks into the net.
const Ply MATE[] = {
    {true, "move １四歩(13)", 0, 0, 0, 0, "1 １四歩(13)"},     {false, nullptr, 5, 7, 5, 6, "2 ５六歩(57)"},
    {true, "move １三角(22)", 0, 0, 0, 0, "3 １三角(22)"},     {false, nullptr, 5, 9, 5, 8, "4 ５八玉(59)"},
    {true, "move ７九角成(13)", 0, 0, 0, 0, "5 ７九角成(13)"}, {false, nullptr, 6, 9, 5, 9, "6 ５九金(69)"},
    {true, "move ５七銀打", 0, 0, 0, 0, "7 ５七銀打"},
};

TEST(RefereedGame, StrictHandicapGameWithByoyomiEndsInMateOnAllThree) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), HOST_NAME, FreePort());
    ASSERT_TRUE(host.Start());
    Peer guest(QStringLiteral("上手"), host.Port(),
               {"--rules", "strict", "--handicap", QStringLiteral("香落ち"), "--time", "byoyomi:600:30"});
    AnswerBalloon(host, QStringLiteral("上手"), true);
    ASSERT_TRUE(guest.ProposeAfterAccept(1));
    // The balloon shows six lines: the handicap and time lines below the
    // rules line do not fit; the settings played are checked below.
    AcceptProposal(host, {QStringLiteral("上手: 上手"), QStringLiteral("ルール: 反則は負け")});
    ASSERT_TRUE(guest.WaitEvent("settings", "rules=strict;start=lnsgkgsn1/"));
    ASSERT_TRUE(WaitUntil([&] { return host.driver.State() == std::vector<int>{1, 2, 0}; }));

    // The spectator joins before the first move and learns the settings and clocks.
    Peer watcher(QStringLiteral("観戦者"), host.Port(), {});
    ASSERT_TRUE(watcher.WaitEvent("settings", "time=byoyomi;main=600;byoyomi=30"));
    ASSERT_TRUE(watcher.WaitEvent("clock", "sente=600000"));

    for (const Ply& p : MATE) {
        if (p.byGuest) {
            guest.Send(QString::fromUtf8(p.command));
        } else {
            host.driver.ClickMain(SquarePoint(p.fromFile, p.fromRank, 0));
            host.driver.ClickMain(SquarePoint(p.toFile, p.toRank, 0));
        }
        // The mating move is followed at once by the end line.
        ASSERT_TRUE(WaitUntil([&] { return HasRow(host, QString::fromUtf8(p.listText)); }))
            << p.listText << ": " << LastRow(host).toStdString();
        ASSERT_TRUE(guest.WaitEvent(p.byGuest ? "moved" : "move", QString::fromUtf8(p.listText).mid(2)));
    }

    // Each player's referee finds the mate on its own; the host tells the spectator.
    EXPECT_TRUE(WaitUntil([&] { return LastRow(host) == QStringLiteral("8 詰み"); }))
        << LastRow(host).toStdString();
    EXPECT_TRUE(WaitUntil([&] { return host.driver.State()[0] == 0; }));
    EXPECT_TRUE(
        WaitUntil([&] { return host.driver.Text("balloon").contains(QStringLiteral("詰まされました")); }));
    EXPECT_TRUE(guest.WaitEvent("end", "won_by_mate"));
    QString guestEnd, watcherEnd;
    EXPECT_TRUE(guest.WaitEvent("game_over", QStringLiteral("詰み"), &guestEnd));
    EXPECT_TRUE(watcher.WaitEvent("game_over", QStringLiteral("詰み"), &watcherEnd));
    EXPECT_EQ(guestEnd.trimmed(), QStringLiteral("8 詰み"));
    EXPECT_EQ(watcherEnd.trimmed(), QStringLiteral("8 詰み"));
    // The opponent's thinking times came with its moves.
    EXPECT_TRUE(watcher.WaitEvent("clock", "gote="));
    EXPECT_TRUE(host.Exit());
}

TEST(RefereedGame, GuestWithoutTheExtensionPlaysTheBasicGame) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), HOST_NAME, FreePort());
    ASSERT_TRUE(host.Start());
    Peer guest(QStringLiteral("旧版"), host.Port(), {"--no-extension"});
    AnswerBalloon(host, QStringLiteral("旧版"), true);
    ASSERT_TRUE(guest.ProposeAfterAccept(0));
    AcceptProposal(host, {QStringLiteral("先手: 旧版")}, QStringLiteral("ルール"));
    ASSERT_TRUE(WaitUntil([&] { return host.driver.State() == std::vector<int>{1, 2, 1}; }));
    ASSERT_TRUE(guest.WaitEvent("game_start"));

    guest.Send(QStringLiteral("move ７六歩(77)"));
    ASSERT_TRUE(WaitUntil([&] { return LastRow(host) == QStringLiteral("1 ７六歩(77)"); }));
    host.driver.ClickMain(SquarePoint(3, 3, 1));
    host.driver.ClickMain(SquarePoint(3, 4, 1));
    ASSERT_TRUE(guest.WaitEvent("move", QStringLiteral("３四歩(33)")));
    guest.Send(QStringLiteral("resign"));
    EXPECT_TRUE(WaitUntil([&] { return LastRow(host) == QStringLiteral("3 投了"); }));
    EXPECT_TRUE(guest.WaitEvent("game_over", QStringLiteral("投了")));
    // The guest played no refereed game.
    EXPECT_FALSE(guest.Saw("settings") || guest.Saw("clock"));
    EXPECT_TRUE(host.Exit());
}

}  // namespace
