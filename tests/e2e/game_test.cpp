// A whole network game between two copies of the program, watched by a
// third copy that joins late, played through the windows' own controls: the
// connect dialog, the balloon's buttons, the turn dialog, mouse clicks on the
// board and the hands, the promotion question, the chat input, the popup
// menu, the control strip and the file dialog.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

const QString HOST_NAME = QStringLiteral("後手花子");
const QString GUEST_NAME = QStringLiteral("先手太郎");
const QString WATCHER_NAME = QStringLiteral("観戦者");

// A square, or (0, 0) for a piece in the mover's hand at a hand position.
struct Sq {
    int file;
    int rank;
};

struct Step {
    bool byGuest;         // the guest plays sente (unflipped), the host gote (flipped)
    Sq from;
    int handRow;          // for a drop: hand row and column of the piece
    bool handSecond;
    Sq to;
    bool promote;         // answer 成り in the promotion question
    const char* listText; // the move as the record window lists it
};

// ▲7六歩 △3四歩 ▲2二角成 (capture, promotion) △同銀 (capture)
// ▲2四角打 (drop, check) △3三銀 (blocks), then sente resigns.
const Step GAME[] = {
    {true, {7, 7}, 0, false, {7, 6}, false, "1 ７六歩(77)"},
    {false, {3, 3}, 0, false, {3, 4}, false, "2 ３四歩(33)"},
    {true, {8, 8}, 0, false, {2, 2}, true, "3 ２二角成(88)"},
    {false, {3, 1}, 0, false, {2, 2}, false, "4 同　銀(31)"},
    {true, {0, 0}, 0, true, {2, 4}, false, "5 ２四角打"},
    {false, {2, 2}, 0, false, {3, 3}, false, "6 ３三銀(22)"},
};
constexpr int SPECTATOR_JOINS_AFTER = 2;  // moves played before the spectator connects

QByteArray CheckRect() { return "hash main 262 138 30 16"; }
// The hands, the board and the turn labels.
QByteArray BoardRect() { return "hash main 0 0 568 300"; }

class NetworkGame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        // RAVU_E2E_KEEP=1 keeps the folders (settings, output, saved files) for a look.
        if (qEnvironmentVariableIntValue("RAVU_E2E_KEEP") == 1) {
            root.setAutoRemove(false);
            std::printf("folders kept in %s\n", qPrintable(root.path()));
        }
        shared = root.path() + QStringLiteral("/saved");
        QDir().mkpath(shared);
        host = std::make_unique<ProgramCopy>(root.path(), QStringLiteral("host"), HOST_NAME, FreePort());
        guest = std::make_unique<ProgramCopy>(root.path(), QStringLiteral("guest"), GUEST_NAME, FreePort());
        ASSERT_TRUE(host->Start());
        ASSERT_TRUE(guest->Start());
    }

    void Chat(ProgramCopy& c, const QString& line) {
        c.driver.Call("type main/chat " + line.toUtf8());
        c.driver.Call("key main/chat Return");
    }

    // The last row of the record window's move list, without its padding.
    QString LastRow(ProgramCopy& c) {
        const QStringList rows = c.driver.List("kifu/moveList");
        return rows.isEmpty() ? QString() : rows.last().trimmed();
    }

    void Play(const Step& s) {
        ProgramCopy& mover = s.byGuest ? *guest : *host;
        ProgramCopy& other = s.byGuest ? *host : *guest;
        const int flipped = s.byGuest ? 0 : 1;
        const QString expected = QString::fromUtf8(s.listText);
        const QPoint from = s.from.file ? SquarePoint(s.from.file, s.from.rank, flipped)
                                        : BottomHandPoint(s.handRow, s.handSecond);
        mover.driver.ClickMain(from);
        mover.driver.ClickMain(SquarePoint(s.to.file, s.to.rank, flipped));
        if (s.promote) {
            ASSERT_TRUE(WaitUntil([&] { return mover.driver.Visible("promote"); }));
            mover.driver.Call("button promote 成り");
        }
        if (!WaitUntil([&] { return LastRow(mover) == expected; })) {
            mover.driver.Call("grab main " + mover.Folder().toUtf8() + "/failed-move.png");
            FAIL() << "the mover's record did not take " << s.listText << ": "
                   << mover.driver.List("kifu/moveList").join(QLatin1Char('|')).toStdString();
        }
        ASSERT_TRUE(WaitUntil([&] { return LastRow(other) == expected; }))
            << s.listText << " on the other side: " << LastRow(other).toStdString();
    }

    // The late spectator shows the players' record list, and the board as the
    // guest sees it: neither of the two views is flipped.
    bool WatcherAgrees(ProgramCopy& watcher, const char* when) {
        const QStringList rows = guest->driver.List("kifu/moveList");
        if (!WaitUntil([&] { return watcher.driver.List("kifu/moveList") == rows; })) {
            ADD_FAILURE() << "the spectator's record " << when << ": "
                          << watcher.driver.List("kifu/moveList").join(QLatin1Char('|')).toStdString()
                          << "\nthe guest's: " << rows.join(QLatin1Char('|')).toStdString();
            return false;
        }
        const QByteArray board = guest->driver.Call(BoardRect());
        if (!WaitUntil([&] { return watcher.driver.Call(BoardRect()) == board; })) {
            watcher.driver.Call("grab main " + watcher.Folder().toUtf8() + "/differing-board.png");
            guest->driver.Call("grab main " + guest->Folder().toUtf8() + "/differing-board.png");
            ADD_FAILURE() << "the spectator's board differs from the guest's " << when;
            return false;
        }
        return true;
    }

    QTemporaryDir root;
    QString shared;
    std::unique_ptr<ProgramCopy> host, guest;
};

TEST_F(NetworkGame, WholeGameThroughTheWindows) {
    ConnectAndStartGame(*host, *guest, GUEST_NAME);
    if (HasFatalFailure())
        return;

    // Both chat logs are shown through the popup menu, then a line each way.
    for (ProgramCopy* c : {host.get(), guest.get()}) {
        c->driver.Call("click main 200 100 right");
        ASSERT_TRUE(WaitUntil([&] { return c->driver.Try("menu ログ窓を表示"); }));
        ASSERT_TRUE(WaitUntil([&] { return c->driver.Visible("chatLog"); }));
    }
    Chat(*host, QStringLiteral("よろしく"));
    Chat(*guest, QStringLiteral("お願いします"));
    for (ProgramCopy* c : {host.get(), guest.get()}) {
        ASSERT_TRUE(WaitUntil([&] {
            const QString log = c->driver.Text("chatLog/logEdit");
            return log.contains(QStringLiteral("よろしく")) && log.contains(QStringLiteral("お願いします"));
        })) << c->driver.Text("chatLog/logEdit").toStdString();
        const QString log = c->driver.Text("chatLog/logEdit");
        EXPECT_TRUE(log.contains(HOST_NAME)) << log.toStdString();
        EXPECT_TRUE(log.contains(GUEST_NAME)) << log.toStdString();
        EXPECT_LT(log.indexOf(QStringLiteral("よろしく")), log.indexOf(QStringLiteral("お願いします")));
    }

    // A third copy joins through its connect dialog once some moves are
    // played: the host takes it in without a question, and it watches from
    // the game so far.  After a failed check it is not looked at again.
    ProgramCopy watcher(root.path(), QStringLiteral("watcher"), WATCHER_NAME, FreePort());
    ASSERT_TRUE(watcher.Start());
    bool watching = false;
    QByteArray hostCheckBefore, guestCheckBefore;
    for (int i = 0; i < static_cast<int>(std::size(GAME)); ++i) {
        if (i == SPECTATOR_JOINS_AFTER) {
            DialHost(watcher, *host);
            ASSERT_TRUE(WaitUntil([&] { return !watcher.driver.Visible("connect"); }));
            watching = WaitUntil([&] { return watcher.driver.State() == std::vector<int>{2, 1, 0}; });
            EXPECT_TRUE(watching) << "the spectator's mode, connState, mySide: "
                                  << watcher.driver.Call("state").toStdString();
            watching = watching && WatcherAgrees(watcher, "on joining");
        }
        if (i == 4) {
            hostCheckBefore = host->driver.Call(CheckRect());
            guestCheckBefore = guest->driver.Call(CheckRect());
        }
        Play(GAME[i]);
        if (HasFatalFailure())
            return;
        if (i == 4) {
            // The check label appears over the checked side's board only.
            ASSERT_TRUE(WaitUntil([&] { return host->driver.Call(CheckRect()) != hostCheckBefore; }));
            EXPECT_EQ(guest->driver.Call(CheckRect()), guestCheckBefore);
        }
        if (i == 5) {
            // The answer to the check redraws the board, and the label goes.
            EXPECT_EQ(host->driver.Call(CheckRect()), hostCheckBefore);
        }
        if (i >= SPECTATOR_JOINS_AFTER)
            watching = watching && WatcherAgrees(watcher, GAME[i].listText);
    }

    // Sente (the guest) resigns through the control strip and the balloon.
    guest->driver.ClickMain(StripPoint(9));
    AnswerBalloon(*guest, QStringLiteral("投了しますか"), true);
    ASSERT_TRUE(WaitUntil([&] { return guest->driver.State()[0] == 0; }));
    ASSERT_TRUE(WaitUntil([&] { return host->driver.State()[0] == 0; }));
    const QStringList hostList = host->driver.List("kifu/moveList");
    EXPECT_EQ(hostList, guest->driver.List("kifu/moveList"));
    ASSERT_FALSE(hostList.isEmpty());
    EXPECT_TRUE(hostList.last().contains(QStringLiteral("投了"))) << hostList.last().toStdString();
    // The resignation ends the spectator's watching; it stays connected.
    if (watching && WatcherAgrees(watcher, "after the resignation")) {
        EXPECT_TRUE(WaitUntil([&] { return watcher.driver.State() == std::vector<int>{0, 1, 0}; }))
            << watcher.driver.Call("state").toStdString();
    }

    // Each side saves the record through strip button 6 and the file dialog,
    // to the same path in turn, so the files' name lines agree too.
    const QString path = shared + QStringLiteral("/e2e.kif");
    QByteArray saved[2];
    int n = 0;
    for (ProgramCopy* c : {host.get(), guest.get()}) {
        c->driver.ClickMain(StripPoint(6));
        ASSERT_TRUE(WaitUntil([&] { return c->driver.Visible("filedialog"); }));
        c->driver.Call("type filedialog/fileNameEdit " + path.toUtf8());
        c->driver.Call("key filedialog/fileNameEdit Return");
        ASSERT_TRUE(WaitUntil([&] { return !c->driver.Visible("filedialog") && QFile::exists(path); }));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        saved[n++] = f.readAll();
        f.close();
        ASSERT_TRUE(QFile::rename(path, shared + QStringLiteral("/") + c->Folder().section('/', -1) + ".kif"));
    }
    // Each side stamps the game's start and end by its own clock, which may
    // have passed into the next second in between; all else agrees.
    QString text, withoutTimes[2];
    for (int k = 0; k < 2; ++k) {
        text = QString::fromUtf8(ravu::SjisToUtf8(saved[k].toStdString()));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        lines.removeIf([](const QString& line) {
            return line.startsWith(QStringLiteral("開始日時")) || line.startsWith(QStringLiteral("終了日時"));
        });
        withoutTimes[k] = lines.join(QStringLiteral("\r\n"));
    }
    EXPECT_EQ(withoutTimes[0].toStdString(), withoutTimes[1].toStdString());
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n"))) << "lines end in CR LF";
    for (const char* move : {"７六歩(77)", "２二角成(88)", "同　銀(31)", "２四角打", "３三銀(22)", "投了"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(move))) << move << "\n" << text.toStdString();

    // A file of random bytes, opened through strip button 5 and the file
    // dialog, leaves the guest's record and board as they were, and a
    // message names the file.
    const QString junkName = QStringLiteral("random.kif");
    {
        std::mt19937 gen(9);
        QByteArray junk;
        for (int k = 0; k < 4096; ++k)
            junk += static_cast<char>(gen());
        QFile f(shared + QLatin1Char('/') + junkName);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    const QStringList rowsBefore = guest->driver.List("kifu/moveList");
    const QByteArray boardBefore = guest->driver.Call(BoardRect());
    guest->driver.ClickMain(StripPoint(5));
    ASSERT_TRUE(WaitUntil([&] { return guest->driver.Visible("filedialog"); }));
    guest->driver.Call("type filedialog/fileNameEdit " + (shared + QLatin1Char('/') + junkName).toUtf8());
    guest->driver.Call("key filedialog/fileNameEdit Return");
    ASSERT_TRUE(WaitUntil([&] { return !guest->driver.Visible("filedialog"); }));
    EXPECT_TRUE(WaitUntil([&] { return guest->Messages().filter(junkName).size() == 1; }))
        << "messages: " << guest->Messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(guest->driver.List("kifu/moveList").join(QLatin1Char('|')).toStdString(),
              rowsBefore.join(QLatin1Char('|')).toStdString());
    EXPECT_EQ(guest->driver.Call(BoardRect()), boardBefore);

    // Both programs end through their menus.
    EXPECT_TRUE(host->Exit());
    EXPECT_TRUE(guest->Exit());
}

}  // namespace

namespace {

TEST_F(NetworkGame, RefusedConnectionLeavesBothUnconnected) {
    DialHost(*guest, *host);
    if (HasFatalFailure())
        return;
    AnswerBalloon(*host, GUEST_NAME, false);
    ASSERT_TRUE(WaitUntil([&] { return guest->driver.Text("connect/status") == QStringLiteral("接続を断られました。"); }))
        << guest->driver.Text("connect/status").toStdString();
    EXPECT_TRUE(guest->driver.Visible("connect"));
    guest->driver.Call("click connect/back c c");
    ASSERT_TRUE(WaitUntil([&] { return !guest->driver.Visible("connect"); }));
    EXPECT_EQ(guest->driver.State(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(host->driver.State(), (std::vector<int>{0, 0, 0}));
    EXPECT_FALSE(guest->driver.Visible("main/chat"));
    EXPECT_FALSE(host->driver.Visible("main/chat"));
    // A click on a piece outside a game picks nothing up: no move is listed.
    guest->driver.ClickMain(SquarePoint(7, 7, 0));
    guest->driver.ClickMain(SquarePoint(7, 6, 0));
    EXPECT_TRUE(guest->driver.List("kifu/moveList").isEmpty());
}

TEST_F(NetworkGame, RefusedSidesThenTheOtherSidesAccepted) {
    // Connected, the guest first proposes sente and is refused, then gote.
    DialHost(*guest, *host);
    if (HasFatalFailure())
        return;
    AnswerBalloon(*host, GUEST_NAME, true);
    ASSERT_TRUE(WaitUntil([&] { return !guest->driver.Visible("connect"); }));

    guest->driver.ClickMain(StripPoint(8));
    ASSERT_TRUE(WaitUntil([&] { return guest->driver.Visible("turn"); }));
    guest->driver.Call("click turn/sente c c");
    guest->driver.Call("click turn/send c c");
    AnswerBalloon(*host, QStringLiteral("先手: ") + GUEST_NAME, false);
    ASSERT_TRUE(WaitUntil([&] { return guest->driver.Text("turn/status") == QStringLiteral("承諾されませんでした"); }))
        << guest->driver.Text("turn/status").toStdString();
    EXPECT_EQ(host->driver.State()[0], 0);
    EXPECT_EQ(guest->driver.State()[0], 0);

    guest->driver.Call("click turn/gote c c");
    guest->driver.Call("click turn/send c c");
    AnswerBalloon(*host, QStringLiteral("後手: ") + GUEST_NAME, true);
    ASSERT_TRUE(WaitUntil([&] { return guest->driver.State() == std::vector<int>{1, 1, 1}; }));
    ASSERT_TRUE(WaitUntil([&] { return host->driver.State() == std::vector<int>{1, 2, 0}; }));
    // Now the host is sente on an unflipped board and moves first.
    host->driver.ClickMain(SquarePoint(2, 7, 0));
    host->driver.ClickMain(SquarePoint(2, 6, 0));
    ASSERT_TRUE(WaitUntil([&] { return LastRow(*guest) == QStringLiteral("1 ２六歩(27)"); }))
        << LastRow(*guest).toStdString();
    // The guest, gote on a flipped board, answers.
    guest->driver.ClickMain(SquarePoint(8, 3, 1));
    guest->driver.ClickMain(SquarePoint(8, 4, 1));
    ASSERT_TRUE(WaitUntil([&] { return LastRow(*host) == QStringLiteral("2 ８四歩(83)"); }))
        << LastRow(*host).toStdString();
}

TEST_F(NetworkGame, OpponentGoneMidGameEndsTheGameOnTheHost) {
    ConnectAndStartGame(*host, *guest, GUEST_NAME);
    if (HasFatalFailure())
        return;
    Play(GAME[0]);
    if (HasFatalFailure())
        return;
    // The guest's program ends through its menu in the middle of the game.
    EXPECT_TRUE(guest->Exit());
    ASSERT_TRUE(WaitUntil([&] { return host->driver.State() == std::vector<int>{0, 0, 0}; }))
        << host->driver.Call("state").toStdString();
    EXPECT_FALSE(host->driver.Visible("main/chat"));
    // The record stays for browsing, and the host is told in the balloon.
    EXPECT_EQ(LastRow(*host), QString::fromUtf8(GAME[0].listText));
    EXPECT_TRUE(host->driver.Text("balloon").contains(QStringLiteral("相手との接続が切れました。")))
        << host->driver.Text("balloon").toStdString();
    // And the host's pieces no longer move: gote is not the host's side any more.
    host->driver.ClickMain(SquarePoint(3, 3, 1));
    host->driver.ClickMain(SquarePoint(3, 4, 1));
    EXPECT_EQ(LastRow(*host), QString::fromUtf8(GAME[0].listText));
}

}  // namespace
