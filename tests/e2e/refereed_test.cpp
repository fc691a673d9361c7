// Games over the protocol extension.  A windowed guest proposes a strict
// 香落ち game with byoyomi through its turn dialog to a windowed host, and
// the game is won by mate while a ravuone-peer process watches; a
// ravuone-peer guest with the extension turned off plays the host the game
// as it always went.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

// A ravuone-peer guest, dialing the host over IPv6: commands on its stdin,
// its JSON event lines kept.
class Peer {
public:
    Peer(const QString& name, int hostPort, const QStringList& options) {
        proc.start(QStringLiteral(RAVUONE_PEER_PATH),
                   QStringList{"--name", name, "--connect", QStringLiteral("[::1]:%1").arg(hostPort),
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

// From 香落ち, a mate in seven: 上手's bishop comes round through 1三 and
// takes the silver on 7九 promoting, while 下手's king walks into the net
// and 上手 drops the silver (alone in the hand at the bottom right: row 1,
// first column).  上手 is the guest, gote, moving first on a flipped board.
constexpr QPoint HAND_SILVER(443 + 15, 167 + 32 + 15);
const ClickedMove MATE[] = {
    {13, 14, "1 １四歩(13)"},           {57, 56, "2 ５六歩(57)"},   {22, 13, "3 １三角(22)"},
    {59, 58, "4 ５八玉(59)"},           {13, 79, "5 ７九角成(13)"}, {69, 59, "6 ５九金(69)"},
    {0, 57, "7 ５七銀打", HAND_SILVER},
};

// The clock plates of c, bottom then top, once 上手's clock runs down from
// 3:00 while 下手's waits at 3:00.
bool UpperClockRuns(ProgramCopy& c, bool upperAtBottom) {
    const QStringList plates = QString::fromUtf8(c.driver.Call("state")).split(' ').mid(3);
    if (plates.size() != 2)
        return false;
    const QString& upper = plates[upperAtBottom ? 0 : 1];
    return plates[upperAtBottom ? 1 : 0] == "3:00" && upper.startsWith("2:5") && upper.endsWith('*');
}

TEST(RefereedGame, StrictHandicapGameWithByoyomiBetweenTwoWindowsEndsInMate) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), QStringLiteral("下手花子"), FreePort());
    ProgramCopy guest(root.path(), QStringLiteral("guest"), QStringLiteral("上手太郎"), FreePort());
    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(guest.Start());
    // Typing picks a box's item by its first characters; Ctrl+A and the
    // figures replace a spin box's value.
    ASSERT_NO_FATAL_FAILURE(
        ConnectAndStartGame(host, guest, QStringLiteral("上手太郎"),
                            {1,
                             {"type turn/rules 反則負けあり", "type turn/handicap 香落ち",
                              "type turn/time 秒読み", "key turn/minutes Ctrl+A", "type turn/minutes 3",
                              "key turn/seconds Ctrl+A", "type turn/seconds 20"}}));
    EXPECT_TRUE(WaitUntil([&] { return UpperClockRuns(host, false) && UpperClockRuns(guest, true); }));

    // The spectator joins before the first move and learns the settings.
    Peer watcher(QStringLiteral("観戦者"), host.Port(), {});
    ASSERT_TRUE(watcher.Wait("settings", "rules=strict;start=lnsgkgsn1/"));
    ASSERT_TRUE(watcher.Wait("settings", "time=byoyomi;main=180;byoyomi=20"));
    for (int i = 0; i < static_cast<int>(std::size(MATE)); ++i)
        ASSERT_NO_FATAL_FAILURE(PlayMove(guest, host, true, MATE[i], i));

    // Each player's referee finds the mate on its own; the host tells the spectator.
    for (ProgramCopy* c : {&host, &guest}) {
        EXPECT_TRUE(WaitUntil(
            [&] { return c->driver.HasRow(QStringLiteral("8 詰み")) && c->driver.State()[0] == 0; }));
        EXPECT_TRUE(c->driver.Text("balloon").contains(c == &host ? QStringLiteral("詰まされました")
                                                                  : QStringLiteral("詰みました")));
    }
    EXPECT_TRUE(watcher.Wait("game_over", QStringLiteral("   8 詰み")));
    EXPECT_TRUE(host.Exit());
    EXPECT_TRUE(guest.Exit());
}

TEST(RefereedGame, GuestWithoutTheExtensionPlaysTheBasicGame) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), QStringLiteral("後手花子"), FreePort());
    ASSERT_TRUE(host.Start());
    Peer guest(QStringLiteral("旧版"), host.Port(), {"--no-extension"});
    AnswerYes(host, QStringLiteral("旧版"));
    ASSERT_TRUE(guest.Wait("accept"));
    guest.Send(QStringLiteral("turn 0"));
    // The host's question has no settings.
    ASSERT_TRUE(WaitUntil([&] { return host.driver.Visible("balloon/yes"); }));
    EXPECT_FALSE(host.driver.Text("balloon").contains(QStringLiteral("ルール")));
    AnswerYes(host, QStringLiteral("先手: 旧版"));
    ASSERT_TRUE(guest.Wait("game_start"));
    ASSERT_TRUE(WaitUntil([&] { return host.driver.State() == std::vector<int>{1, 2, 1}; }));
    guest.Send(QStringLiteral("move ７六歩(77)"));
    ASSERT_TRUE(WaitUntil([&] { return host.driver.HasRow(QStringLiteral("1 ７六歩(77)")); }));
    host.driver.ClickMain(SquarePoint(3, 3, 1));
    host.driver.ClickMain(SquarePoint(3, 4, 1));
    ASSERT_TRUE(guest.Wait("move", QStringLiteral("３四歩(33)")));
    guest.Send(QStringLiteral("resign"));
    EXPECT_TRUE(WaitUntil([&] { return host.driver.HasRow(QStringLiteral("3 投了")); }));
    EXPECT_TRUE(guest.Wait("game_over", QStringLiteral("投了")));
    EXPECT_TRUE(host.Exit());
}

}  // namespace
