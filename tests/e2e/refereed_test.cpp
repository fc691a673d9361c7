// Games over the protocol extension between a windowed copy (the host) and
// ravuone-peer processes as guests (a guest proposes the settings, and the
// windowed copy's turn dialog has no settings here): a strict 香落ち game
// with byoyomi won by mate, watched by a second ravuone-peer, and a game
// against a guest with the extension turned off, which goes as it always has.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

// A ravuone-peer guest: commands on its stdin, its JSON event lines kept.
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
        proc.waitForFinished(WAIT_MS);
    }
    void Send(const QString& command) {
        proc.write(command.toUtf8() + '\n');
        proc.waitForBytesWritten(WAIT_MS);  // no event loop runs here to write it
    }
    // Waits for an event line holding both parts, e.g. "\"moved\"" and a move.
    bool Wait(const QString& event, const QString& text = {}) {
        return WaitUntil([&] {
            proc.waitForReadyRead(10);
            events += QString::fromUtf8(proc.readAllStandardOutput());
            return std::ranges::any_of(events.split('\n'), [&](const QString& line) {
                return line.contains("\"event\":\"" + event + "\"") && line.contains(text);
            });
        });
    }
    QProcess proc;
    QString events;
};

bool HasRow(ProgramCopy& c, const QString& row) {
    return std::ranges::any_of(c.driver.List("kifu/moveList"),
                               [&](const QString& r) { return r.trimmed() == row; });
}

// The host takes the guest in, the guest proposes its side, and the host's
// question shows `shown` and not `absent`.
void StartGame(ProgramCopy& host, Peer& guest, const QString& guestName, int side, const QStringList& shown,
               const QString& absent) {
    AnswerBalloon(host, guestName, true);
    ASSERT_TRUE(guest.Wait("accept"));
    guest.Send(QStringLiteral("turn %1").arg(side));
    ASSERT_TRUE(WaitUntil([&] { return host.driver.Visible("balloon/yes"); }));
    const QString question = host.driver.Text("balloon");
    for (const QString& t : shown)
        EXPECT_TRUE(question.contains(t)) << t.toStdString() << " in " << question.toStdString();
    EXPECT_FALSE(question.contains(absent)) << question.toStdString();
    AnswerBalloon(host, shown.first(), true);
    ASSERT_TRUE(guest.Wait("game_start"));
    ASSERT_TRUE(WaitUntil([&] { return host.driver.State() == std::vector<int>{1, 2, side ^ 1}; }));
}

// From 香落ち, a mate in seven: 上手's bishop comes round through 1三 and
// takes the silver on 7九 promoting, while 下手's king walks into the net.
// The host (下手, sente, unflipped) clicks from and to (file * 10 + rank).
const struct {
    int from, to;  // 0: the guest's move, the text without its number
    const char* row;
} MATE[] = {
    {0, 0, "1 １四歩(13)"},   {57, 56, "2 ５六歩(57)"}, {0, 0, "3 １三角(22)"}, {59, 58, "4 ５八玉(59)"},
    {0, 0, "5 ７九角成(13)"}, {69, 59, "6 ５九金(69)"}, {0, 0, "7 ５七銀打"},
};

TEST(RefereedGame, StrictHandicapGameWithByoyomiEndsInMateOnAllThree) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), QStringLiteral("下手花子"), FreePort());
    ASSERT_TRUE(host.Start());
    Peer guest(QStringLiteral("上手"), host.Port(),
               {"--rules", "strict", "--handicap", QStringLiteral("香落ち"), "--time", "byoyomi:600:30"});
    StartGame(host, guest, QStringLiteral("上手"), 1,
              {QStringLiteral("上手: 上手"), QStringLiteral("反則は負け"), QStringLiteral("手合割: 香落ち"),
               QStringLiteral("秒読み30秒")},
              QStringLiteral("先手: "));
    ASSERT_TRUE(guest.Wait("settings", "rules=strict;start=lnsgkgsn1/"));

    // The spectator joins before the first move and learns the settings and clocks.
    Peer watcher(QStringLiteral("観戦者"), host.Port(), {});
    ASSERT_TRUE(watcher.Wait("settings", "time=byoyomi;main=600;byoyomi=30"));
    ASSERT_TRUE(watcher.Wait("clock", "sente=600000"));
    for (const auto& p : MATE) {
        const QString row = QString::fromUtf8(p.row);
        if (p.from == 0)
            guest.Send("move " + row.mid(2));
        for (int square : {p.from, p.to})
            if (square)
                host.driver.ClickMain(SquarePoint(square / 10, square % 10, 0));
        ASSERT_TRUE(WaitUntil([&] { return HasRow(host, row); })) << p.row;
        ASSERT_TRUE(guest.Wait(p.from ? "move" : "moved", row.mid(2)));
    }

    // Each player's referee finds the mate on its own; the host tells the spectator.
    EXPECT_TRUE(
        WaitUntil([&] { return HasRow(host, QStringLiteral("8 詰み")) && host.driver.State()[0] == 0; }));
    EXPECT_TRUE(host.driver.Text("balloon").contains(QStringLiteral("詰まされました")));
    EXPECT_TRUE(guest.Wait("end", "won_by_mate"));
    EXPECT_TRUE(guest.Wait("game_over", QStringLiteral("   8 詰み")));
    EXPECT_TRUE(watcher.Wait("game_over", QStringLiteral("   8 詰み")));
    EXPECT_TRUE(host.Exit());
}

TEST(RefereedGame, GuestWithoutTheExtensionPlaysTheBasicGame) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), QStringLiteral("後手花子"), FreePort());
    ASSERT_TRUE(host.Start());
    Peer guest(QStringLiteral("旧版"), host.Port(), {"--no-extension"});
    StartGame(host, guest, QStringLiteral("旧版"), 0, {QStringLiteral("先手: 旧版")},
              QStringLiteral("ルール"));
    guest.Send(QStringLiteral("move ７六歩(77)"));
    ASSERT_TRUE(WaitUntil([&] { return HasRow(host, QStringLiteral("1 ７六歩(77)")); }));
    host.driver.ClickMain(SquarePoint(3, 3, 1));
    host.driver.ClickMain(SquarePoint(3, 4, 1));
    ASSERT_TRUE(guest.Wait("move", QStringLiteral("３四歩(33)")));
    guest.Send(QStringLiteral("resign"));
    EXPECT_TRUE(WaitUntil([&] { return HasRow(host, QStringLiteral("3 投了")); }));
    EXPECT_TRUE(guest.Wait("game_over", QStringLiteral("投了")));
    // The guest played no refereed game.
    EXPECT_FALSE(guest.events.contains("\"settings\"") || guest.events.contains("\"clock\""));
    EXPECT_TRUE(host.Exit());
}

}  // namespace
