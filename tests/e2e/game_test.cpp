// A whole network game between two copies of the program, watched by a
// third copy that joins late, played through the windows' own controls: the
// connect dialog, the balloon's buttons, the turn dialog, mouse clicks on the
// board and the hands, the promotion question, the chat input, the popup
// menu, the control strip and the file dialog.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

const QString HOST_NAME = QStringLiteral("後手花子");
const QString GUEST_NAME = QStringLiteral("先手太郎");

// The centre of a bishop in the hand at the bottom right (row 0, second column).
constexpr QPoint HAND_BISHOP(443 + 64 + 15, 167 + 15);
// The guest plays sente (unflipped), the host gote (flipped), in turns:
// ▲7六歩 △3四歩 ▲2二角成 (capture, promotion) △同銀 (capture)
// ▲2四角打 (drop, check) △3三銀 (blocks), then sente resigns.
const ClickedMove GAME[] = {
    {77, 76, "1 ７六歩(77)"}, {33, 34, "2 ３四歩(33)"},           {88, 22, "3 ２二角成(88)"},
    {31, 22, "4 同　銀(31)"}, {0, 24, "5 ２四角打", HAND_BISHOP}, {22, 33, "6 ３三銀(22)"},
};
constexpr int SPECTATOR_JOINS_AFTER = 2;  // moves played before the spectator connects
constexpr int CHECKING_MOVE = 4;          // GAME[4] gives check, GAME[5] answers it

const QByteArray CHECK_RECT = "hash main 262 138 30 16";
const QByteArray BOARD_RECT = "hash main 0 0 568 300";  // the hands, the board and the turn labels

// The late spectator shows the players' record list, and the board as the
// guest sees it: neither of the two views is flipped.
bool WatcherAgrees(ProgramCopy& watcher, ProgramCopy& guest) {
    const QString rows = guest.driver.Text("kifu/moveList");
    const QByteArray board = guest.driver.Call(BOARD_RECT);
    return WaitUntil([&] {
        return watcher.driver.Text("kifu/moveList") == rows && watcher.driver.Call(BOARD_RECT) == board;
    });
}

TEST(NetworkGame, WholeGameThroughTheWindows) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), HOST_NAME, FreePort());
    ProgramCopy guest(root.path(), QStringLiteral("guest"), GUEST_NAME, FreePort());
    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(guest.Start());
    ASSERT_NO_FATAL_FAILURE(ConnectAndStartGame(host, guest, GUEST_NAME));

    // A line typed in the guest's chat input shows in both logs.  The host's
    // log is opened through the popup menu first: a line arriving while the
    // log is hidden raises a notice in the balloon, which is not what is tested here.
    host.driver.Call("click main 200 100 right");
    ASSERT_TRUE(WaitUntil([&] { return host.driver.Try("menu ログ窓を表示"); }));
    ASSERT_TRUE(WaitUntil([&] { return host.driver.Visible("chatLog"); }));
    const QString line = QStringLiteral("よろしく");
    guest.driver.Call("type main/chat " + line.toUtf8());
    guest.driver.Call("key main/chat Return");
    for (ProgramCopy* c : {&host, &guest})
        EXPECT_TRUE(WaitUntil([&] {
            return c->driver.Text("chatLog/logEdit").endsWith(GUEST_NAME + '>' + line);
        })) << c->driver.Text("chatLog/logEdit").toStdString();

    // A third copy joins through its connect dialog, over IPv6, once some
    // moves are played: the host takes it in without a question, and it watches from
    // the game so far.  The check label appears over the checked side's
    // board only, and the answer to the check takes it away.
    ProgramCopy watcher(root.path(), QStringLiteral("watcher"), QStringLiteral("観戦者"), FreePort());
    ASSERT_TRUE(watcher.Start());
    QByteArray hostCheckBefore, guestCheckBefore;
    for (int i = 0; i < static_cast<int>(std::size(GAME)); ++i) {
        if (i == SPECTATOR_JOINS_AFTER) {
            DialHost(watcher, host, "[::1]");  // the host listens on IPv6 too
            ASSERT_TRUE(WaitUntil([&] {
                return watcher.driver.State() == std::vector<int>{2, 1, 0};
            })) << watcher.driver.Call("state").toStdString();
        }
        if (i == CHECKING_MOVE) {
            hostCheckBefore = host.driver.Call(CHECK_RECT);
            guestCheckBefore = guest.driver.Call(CHECK_RECT);
        }
        ASSERT_NO_FATAL_FAILURE(PlayMove(guest, host, false, GAME[i], i));
        if (i == CHECKING_MOVE) {
            ASSERT_TRUE(WaitUntil([&] { return host.driver.Call(CHECK_RECT) != hostCheckBefore; }));
            EXPECT_EQ(guest.driver.Call(CHECK_RECT), guestCheckBefore);
        }
        if (i == CHECKING_MOVE + 1) {
            EXPECT_EQ(host.driver.Call(CHECK_RECT), hostCheckBefore);
        }
        ASSERT_TRUE(i < SPECTATOR_JOINS_AFTER || WatcherAgrees(watcher, guest)) << "after " << GAME[i].row;
    }

    // Sente (the guest) resigns through the control strip and the balloon;
    // that ends the spectator's watching, and it stays connected.
    guest.driver.ClickMain(StripPoint(9));
    AnswerYes(guest, QStringLiteral("投了しますか"));
    ASSERT_TRUE(WaitUntil([&] { return guest.driver.State()[0] == 0 && host.driver.State()[0] == 0; }));
    EXPECT_TRUE(host.driver.HasRow(QStringLiteral("7 投了")));
    EXPECT_TRUE(WatcherAgrees(watcher, guest));
    EXPECT_TRUE(WaitUntil([&] { return watcher.driver.State() == std::vector<int>{0, 1, 0}; }));

    // The host saves the record through strip button 6 and the file dialog.
    const QByteArray bytes = SaveRecord(host, root.path() + QStringLiteral("/e2e.kif"));
    ASSERT_FALSE(bytes.isEmpty());
    const QString saved = QString::fromUtf8(ravu::SjisToUtf8(bytes.toStdString()));
    for (const char* move : {"７六歩(77)", "２二角成(88)", "同　銀(31)", "２四角打", "３三銀(22)", "投了"})
        EXPECT_TRUE(saved.contains(QString::fromUtf8(move))) << move << "\n" << saved.toStdString();

    // The programs end through their menus.
    EXPECT_TRUE(host.Exit());
    EXPECT_TRUE(guest.Exit());
}

}  // namespace
