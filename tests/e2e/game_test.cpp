// A whole network game between two copies of the program, watched by a
// third copy that joins late, played through the windows' own controls: the
// connect dialog, the balloon's buttons, the turn dialog, mouse clicks on the
// board and the hands, the promotion question, the chat input, the popup
// menu, the control strip and the file dialog.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

const QString HOST_NAME = QStringLiteral("後手花子");
const QString GUEST_NAME = QStringLiteral("先手太郎");

// The guest plays sente (unflipped), the host gote (flipped), in turns.
struct Step {
    int fromFile, fromRank;  // 0, 0: the bishop in the mover's hand
    int toFile, toRank;
    const char* listText;  // the move as the record window lists it
};

// ▲7六歩 △3四歩 ▲2二角成 (capture, promotion) △同銀 (capture)
// ▲2四角打 (drop, check) △3三銀 (blocks), then sente resigns.
const Step GAME[] = {
    {7, 7, 7, 6, "1 ７六歩(77)"}, {3, 3, 3, 4, "2 ３四歩(33)"}, {8, 8, 2, 2, "3 ２二角成(88)"},
    {3, 1, 2, 2, "4 同　銀(31)"}, {0, 0, 2, 4, "5 ２四角打"},   {2, 2, 3, 3, "6 ３三銀(22)"},
};
constexpr int SPECTATOR_JOINS_AFTER = 2;  // moves played before the spectator connects
constexpr int CHECKING_MOVE = 4;          // GAME[4] gives check, GAME[5] answers it

const QByteArray CHECK_RECT = "hash main 262 138 30 16";
const QByteArray BOARD_RECT = "hash main 0 0 568 300";  // the hands, the board and the turn labels

// The late spectator shows the players' record list, and the board as the
// guest sees it: neither of the two views is flipped.
bool WatcherAgrees(ProgramCopy& watcher, ProgramCopy& guest) {
    const QStringList rows = guest.driver.List("kifu/moveList");
    const QByteArray board = guest.driver.Call(BOARD_RECT);
    return WaitUntil([&] {
        return watcher.driver.List("kifu/moveList") == rows && watcher.driver.Call(BOARD_RECT) == board;
    });
}

TEST(NetworkGame, WholeGameThroughTheWindows) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), HOST_NAME, FreePort());
    ProgramCopy guest(root.path(), QStringLiteral("guest"), GUEST_NAME, FreePort());
    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(guest.Start());
    ASSERT_NO_FATAL_FAILURE(ConnectAndStartGame(host, guest, GUEST_NAME));

    // Both chat logs are shown through the popup menu, then a line each way.
    const QString lines[2] = {QStringLiteral("よろしく"), QStringLiteral("お願いします")};
    // Both logs open before the first line: a line arriving while the log is
    // hidden raises a notice in the balloon, which is not what is tested here.
    for (ProgramCopy* c : {&host, &guest}) {
        c->driver.Call("click main 200 100 right");
        ASSERT_TRUE(WaitUntil([&] { return c->driver.Try("menu ログ窓を表示"); }));
        ASSERT_TRUE(WaitUntil([&] { return c->driver.Visible("chatLog"); }));
    }
    for (ProgramCopy* c : {&host, &guest}) {
        c->driver.Call("type main/chat " + lines[c == &guest].toUtf8());
        c->driver.Call("key main/chat Return");
    }
    for (ProgramCopy* c : {&host, &guest}) {
        const QString expected = HOST_NAME + QLatin1Char('>') + lines[0] + QLatin1Char('\n') + GUEST_NAME +
                                 QLatin1Char('>') + lines[1];
        EXPECT_TRUE(WaitUntil([&] { return c->driver.Text("chatLog/logEdit").endsWith(expected); }))
            << c->driver.Text("chatLog/logEdit").toStdString();
    }

    // A third copy joins through its connect dialog, over IPv6, once some
    // moves are played: the host takes it in without a question, and it watches from
    // the game so far.  The check label appears over the checked side's
    // board only, and the answer to the check takes it away.
    ProgramCopy watcher(root.path(), QStringLiteral("watcher"), QStringLiteral("観戦者"), FreePort());
    ASSERT_TRUE(watcher.Start());
    QByteArray hostCheckBefore, guestCheckBefore;
    for (int i = 0; i < static_cast<int>(std::size(GAME)); ++i) {
        const Step& s = GAME[i];
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
        const int flipped = i % 2;
        ASSERT_NO_FATAL_FAILURE(
            PlayMove(flipped ? host : guest, flipped ? guest : host,
                     s.fromFile ? SquarePoint(s.fromFile, s.fromRank, flipped) : BOTTOM_HAND_BISHOP,
                     SquarePoint(s.toFile, s.toRank, flipped), QString::fromUtf8(s.listText)));
        if (i == CHECKING_MOVE) {
            ASSERT_TRUE(WaitUntil([&] { return host.driver.Call(CHECK_RECT) != hostCheckBefore; }));
            EXPECT_EQ(guest.driver.Call(CHECK_RECT), guestCheckBefore);
        }
        if (i == CHECKING_MOVE + 1) {
            EXPECT_EQ(host.driver.Call(CHECK_RECT), hostCheckBefore);
        }
        ASSERT_TRUE(i < SPECTATOR_JOINS_AFTER || WatcherAgrees(watcher, guest)) << "after " << s.listText;
    }

    // Sente (the guest) resigns through the control strip and the balloon;
    // that ends the spectator's watching, and it stays connected.
    guest.driver.ClickMain(StripPoint(9));
    AnswerBalloon(guest, {QStringLiteral("投了しますか")}, true);
    ASSERT_TRUE(WaitUntil([&] { return guest.driver.State()[0] == 0 && host.driver.State()[0] == 0; }));
    EXPECT_TRUE(host.driver.HasRow(QStringLiteral("7 投了")));
    EXPECT_TRUE(WatcherAgrees(watcher, guest));
    EXPECT_TRUE(WaitUntil([&] { return watcher.driver.State() == std::vector<int>{0, 1, 0}; }));

    // Each side saves the record through strip button 6 and the file dialog,
    // to the same path in turn, so the files' name lines agree too.
    const QString path = root.path() + QStringLiteral("/e2e.kif");
    QString saved[2];
    for (ProgramCopy* c : {&host, &guest}) {
        c->driver.ClickMain(StripPoint(6));
        ASSERT_TRUE(WaitUntil([&] { return c->driver.Visible("filedialog"); }));
        c->driver.Call("type filedialog/fileNameEdit " + path.toUtf8());
        c->driver.Call("key filedialog/fileNameEdit Return");
        ASSERT_TRUE(WaitUntil([&] { return !c->driver.Visible("filedialog") && QFile::exists(path); }));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        // Each side stamps the game's start and end by its own clock, which
        // may have passed into the next second in between; all else agrees.
        QStringList fileLines = QString::fromUtf8(ravu::SjisToUtf8(f.readAll().toStdString())).split("\r\n");
        EXPECT_GT(fileLines.size(), 10) << "lines end in CR LF";
        fileLines.removeIf(
            [](const QString& l) { return l.startsWith("開始日時") || l.startsWith("終了日時"); });
        saved[c == &guest] = fileLines.join(QLatin1Char('\n'));
        f.remove();
    }
    EXPECT_EQ(saved[0].toStdString(), saved[1].toStdString());
    for (const char* move : {"７六歩(77)", "２二角成(88)", "同　銀(31)", "２四角打", "３三銀(22)", "投了"})
        EXPECT_TRUE(saved[0].contains(QString::fromUtf8(move))) << move << "\n" << saved[0].toStdString();

    // The programs end through their menus.
    EXPECT_TRUE(host.Exit());
    EXPECT_TRUE(guest.Exit());
}

}  // namespace
