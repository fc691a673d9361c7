// Whole copies over loopback: handshake, sides, moves both ways, check, chat,
// resignation, king taken, spectators, refusals, lost connections, time-outs.
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "loop_util.h"
#include "record/kifu.h"

using namespace ravu;
using namespace ravu::test;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

// An answer given after a nested loop of ms milliseconds, as the balloon does.
std::function<int(const std::string&)> AnswerAfter(int ms, int answer) {
    return [ms, answer](const std::string&) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
        return answer;
    };
}

bool SameBoard(const CShogiBoard& a, const CShogiBoard& b) {
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& x = a.pieces[i];
        const KomaRec& y = b.pieces[i];
        if (x.file != y.file || x.rank != y.rank || x.state != y.state || x.owner != y.owner ||
            x.promoted != y.promoted)
            return false;
    }
    return true;
}

std::string MainLine(const CHeadlessCopy& c) {
    std::string t;
    c.record.GetMainLineText(t);
    return t;
}

// Host and guest with a game started: the guest takes sente.
struct Game {
    Game() {
        host = MakeHost(S("ホスト"));
        hostEv = std::make_unique<CopyEvents>(*host);
        guest = std::make_unique<CHeadlessCopy>(S("ゲスト"));
        guestEv = std::make_unique<CopyEvents>(*guest);
        EXPECT_TRUE(guest->Connect("127.0.0.1", host->Port()));
        EXPECT_TRUE(WaitUntil([&] { return guest->protocol.connState == CONN_GUEST; }));
        guest->ProposeTurn(0);
        EXPECT_TRUE(WaitUntil([&] { return guest->protocol.mode == MODE_GAME && host->protocol.mode == MODE_GAME; }));
    }
    // A move by one side, waited for on the other.
    void Play(CHeadlessCopy& mover, CHeadlessCopy& other, const std::string& utf8Move) {
        int before = other.record.kifu.current ? other.record.kifu.current->move->number : 0;
        ASSERT_EQ(mover.Move(S(utf8Move.c_str())), 1) << utf8Move;
        ASSERT_TRUE(WaitUntil([&] { return other.record.kifu.current->move->number > before || other.protocol.mode == MODE_FREE; }))
            << utf8Move;
    }
    std::unique_ptr<CHeadlessCopy> host, guest;
    std::unique_ptr<CopyEvents> hostEv, guestEv;
};

}  // namespace

TEST(Copies, HandshakeSidesMovesCheckChatAndResignation) {
    Game g;
    EXPECT_EQ(g.guest->opponentName, S("ホスト"));   // host's hello
    EXPECT_EQ(g.host->opponentName, S("ゲスト"));    // from the sides question
    EXPECT_EQ(g.host->questions.size(), 2u);
    EXPECT_EQ(g.host->questions[1], S("\r\n先手・後手はこれでいいですか？\r\n\r\n 先手: ゲスト \r\n 後手: ホスト"));
    EXPECT_EQ(g.guest->protocol.mySide, 0);
    EXPECT_EQ(g.host->protocol.mySide, 1);
    EXPECT_EQ(g.host->protocol.flipped, 1);
    EXPECT_TRUE(g.host->chatInputShown);
    EXPECT_TRUE(g.guest->chatInputShown);

    // Not the host's turn yet.
    EXPECT_EQ(g.host->Move(S("   1 ３四歩(33) ")), 0);
    g.Play(*g.guest, *g.host, "   1 ７六歩(77) ");
    g.Play(*g.host, *g.guest, "   2 ３四歩(33) ");
    g.Play(*g.guest, *g.host, "   3 ３三角成(88) ");  // check through 4二
    EXPECT_EQ(g.host->checkCount, 1);
    EXPECT_EQ(g.guest->checkCount, 0);
    EXPECT_TRUE(SameBoard(g.host->board, g.guest->board));
    EXPECT_EQ(MainLine(*g.host), MainLine(*g.guest));
    EXPECT_EQ(MainLine(*g.host), S("   1 ７六歩(77) ;   2 ３四歩(33) ;   3 ３三角成(88) ;;"));

    // Chat: the guest's own line comes back through the host once.
    g.guest->Chat(S("よろしく"));
    EXPECT_TRUE(g.guest->chatLog.empty());
    ASSERT_TRUE(WaitUntil([&] { return g.guest->chatLog.size() == 1 && g.host->chatLog.size() == 1; }));
    EXPECT_EQ(g.guest->chatLog[0], S("ゲスト>よろしく"));
    EXPECT_EQ(g.host->chatLog[0], S("ゲスト>よろしく"));
    g.host->Chat(S("どうも"));
    ASSERT_TRUE(WaitUntil([&] { return g.guest->chatLog.size() == 2; }));
    EXPECT_EQ(g.guest->chatLog[1], S("ホスト>どうも"));
    EXPECT_EQ(g.host->chatLog.size(), 2u);
    RunFor(20);
    EXPECT_EQ(g.guest->chatLog.size(), 2u);  // nothing logged twice
    EXPECT_EQ(g.host->chatLog.size(), 2u);
    // The chat lines are comments of the last move on both sides.
    EXPECT_EQ(g.host->record.kifu.current->prev->move->comment, S("ゲスト>よろしく\r\nホスト>どうも\r\n"));

    // The host resigns on its turn.
    EXPECT_EQ(g.host->Resign(), 1);
    ASSERT_TRUE(WaitUntil([&] { return g.guest->protocol.mode == MODE_FREE; }));
    EXPECT_EQ(g.host->protocol.mode, MODE_FREE);
    EXPECT_EQ(MainLine(*g.guest), S("   1 ７六歩(77) ;   2 ３四歩(33) ;   3 ３三角成(88) ;   4 投了;;"));
    EXPECT_TRUE(SameBoard(g.host->board, g.guest->board));
    // Connected still: the host keeps its guest, the guest may propose again.
    EXPECT_EQ(g.host->protocol.connState, CONN_HOST);
    EXPECT_EQ(g.guest->protocol.connState, CONN_GUEST);
    EXPECT_EQ(g.guestEv->Count("game_over"), 1);
}

TEST(Copies, KingTakenEndsTheGameOnBothSides) {
    Game g;
    g.Play(*g.guest, *g.host, "   1 ７六歩(77) ");
    g.Play(*g.host, *g.guest, "   2 ３四歩(33) ");
    g.Play(*g.guest, *g.host, "   3 ３三角成(88) ");
    g.Play(*g.host, *g.guest, "   4 ８四歩(83) ");  // ignores the check
    ASSERT_EQ(g.guest->Move(S("   5 ５一馬(33) ")), 1);
    EXPECT_EQ(g.guest->protocol.mode, MODE_FREE);
    ASSERT_TRUE(WaitUntil([&] { return g.host->protocol.mode == MODE_FREE; }));
    EXPECT_EQ(g.host->record.kifu.current->prev->move->status, MS_KINGTAKEN);
    EXPECT_NE(MainLine(*g.host).find(S("まで5手で先手の勝ち")), std::string::npos);
}

TEST(Copies, SpectatorsJoinMidGameAndFollowEveryMove) {
    Game g;
    g.Play(*g.guest, *g.host, "   1 ７六歩(77) ");
    g.Play(*g.host, *g.guest, "   2 ３四歩(33) ");
    auto s1 = MakeGuest(S("観戦1"), *g.host);
    auto s2 = MakeGuest(S("観戦2"), *g.host);
    CopyEvents ev1(*s1);
    ASSERT_TRUE(WaitUntil([&] { return s1->protocol.mode == MODE_WATCHING && s2->protocol.mode == MODE_WATCHING &&
                                       MainLine(*s1) == MainLine(*g.host) && MainLine(*s2) == MainLine(*g.host); }));
    EXPECT_EQ(g.host->questions.size(), 2u);  // spectators are taken without a question
    EXPECT_TRUE(SameBoard(s1->board, g.host->board));
    EXPECT_TRUE(SameBoard(s2->board, g.host->board));

    const char* moves[] = {"   3 ２六歩(27) ", "   4 ８四歩(83) ", "   5 ２五歩(26) ", "   6 ８五歩(84) "};
    for (int i = 0; i < 4; ++i) {
        CHeadlessCopy& mover = i % 2 == 0 ? *g.guest : *g.host;
        CHeadlessCopy& other = i % 2 == 0 ? *g.host : *g.guest;
        g.Play(mover, other, moves[i]);
        ASSERT_TRUE(WaitUntil([&] { return MainLine(*s1) == MainLine(*g.host) && MainLine(*s2) == MainLine(*g.host); }))
            << moves[i];
    }
    EXPECT_TRUE(SameBoard(s1->board, g.guest->board));
    EXPECT_TRUE(SameBoard(s2->board, g.guest->board));
    // A spectator's own proposal during the game is refused.
    s1->ProposeTurn(0);  // refused: the spectator is not in MODE_FREE
    EXPECT_EQ(s1->handshake.phase(), CGuestHandshake::PHASE_IDLE);

    // The game ends; a spectator then plays the host, the others watch it.
    ASSERT_EQ(g.guest->Resign(), 1);
    ASSERT_TRUE(WaitUntil([&] { return s1->protocol.mode == MODE_FREE && s2->protocol.mode == MODE_FREE; }));
    s1->ProposeTurn(1);
    ASSERT_TRUE(WaitUntil([&] { return s1->protocol.mode == MODE_GAME; }));
    ASSERT_TRUE(WaitUntil([&] { return g.guest->protocol.mode == MODE_WATCHING && s2->protocol.mode == MODE_WATCHING; }));
    EXPECT_EQ(g.host->protocol.mySide, 0);
    g.Play(*g.host, *s1, "   1 ５六歩(57) ");
    ASSERT_TRUE(WaitUntil([&] { return MainLine(*g.guest) == MainLine(*g.host) && MainLine(*s2) == MainLine(*g.host); }));
}

TEST(Copies, RefusalsOfConnectionAndSides) {
    auto host = MakeHost("host");
    host->answerPolicy = ASK_NO;
    CHeadlessCopy guest("guest");
    CopyEvents ev(guest);
    ASSERT_TRUE(guest.Connect("127.0.0.1", host->Port()));
    ASSERT_TRUE(WaitUntil([&] { return ev.Count("refuse") == 1; }));
    EXPECT_EQ(guest.protocol.connState, CONN_NONE);
    EXPECT_EQ(guest.connectSocket.Handle(), 0);
    EXPECT_EQ(host->protocol.connState, CONN_NONE);
    ASSERT_TRUE(WaitUntil([&] { return host->listenSocket.AllSlotsFree() == 1; }));

    // Connection accepted, sides refused, then accepted on a second proposal.
    host->helloAnswer = ASK_YES;
    ASSERT_TRUE(guest.Connect("127.0.0.1", host->Port()));
    ASSERT_TRUE(WaitUntil([&] { return guest.protocol.connState == CONN_GUEST; }));
    guest.ProposeTurn(1);
    ASSERT_TRUE(WaitUntil([&] { return ev.Count("turn_refused") == 1; }));
    EXPECT_EQ(guest.protocol.mode, MODE_FREE);
    EXPECT_EQ(host->protocol.mode, MODE_FREE);
    host->answerPolicy = ASK_YES;
    guest.ProposeTurn(1);
    ASSERT_TRUE(WaitUntil([&] { return guest.protocol.mode == MODE_GAME && host->protocol.mode == MODE_GAME; }));
    EXPECT_EQ(guest.protocol.mySide, 1);
    EXPECT_EQ(host->protocol.mySide, 0);
}

// A copy never connects to itself; another copy on the same machine, named
// with its own port, is a different destination.
TEST(Copies, ACopyRefusesToConnectToItself) {
    auto self = MakeHost("self");
    auto other = MakeHost("other");
    const std::string own = self->connectSocket.m_strLocalAddr;
    if (own.empty())
        GTEST_SKIP() << "the local host name has no IPv4 address here";
    CopyEvents ev(*self);
    EXPECT_FALSE(self->Connect(own, self->Port()));
    EXPECT_EQ(ev.Count("connect_failed"), 1);
    EXPECT_EQ(self->handshake.phase(), CGuestHandshake::PHASE_IDLE);
    EXPECT_TRUE(self->questions.empty());
    ASSERT_TRUE(self->Connect(own, other->Port()));
    EXPECT_TRUE(WaitUntil([&] { return self->protocol.connState == CONN_GUEST; }));
}

TEST(Copies, HostWithItsConnectDialogOpenRefusesWithoutAQuestion) {
    auto host = MakeHost("host");
    host->connectDialogOpen = true;
    CHeadlessCopy guest("guest");
    CopyEvents ev(guest);
    ASSERT_TRUE(guest.Connect("127.0.0.1", host->Port()));
    ASSERT_TRUE(WaitUntil([&] { return ev.Count("refuse") == 1; }));
    EXPECT_TRUE(host->questions.empty());
}

TEST(Copies, OpponentLeavesSpectatorsStayLastGuestEndsHosting) {
    Game g;
    g.Play(*g.guest, *g.host, "   1 ７六歩(77) ");
    auto s1 = MakeGuest("watcher", *g.host);
    ASSERT_TRUE(WaitUntil([&] { return s1->protocol.mode == MODE_WATCHING; }));
    ASSERT_EQ(g.guest->Disconnect(), 1);
    ASSERT_TRUE(WaitUntil([&] { return g.host->protocol.mode == MODE_FREE; }));
    EXPECT_EQ(g.host->protocol.connState, CONN_HOST);
    EXPECT_EQ(g.host->protocol.gamePeer, 0);
    EXPECT_TRUE(g.host->chatInputShown);
    EXPECT_EQ(s1->protocol.connState, CONN_GUEST);
    s1->Chat("still here");
    ASSERT_TRUE(WaitUntil([&] { return s1->chatLog.size() == 1; }));
    ASSERT_EQ(s1->Disconnect(), 1);
    ASSERT_TRUE(WaitUntil([&] { return g.host->protocol.connState == CONN_NONE; }));
    EXPECT_FALSE(g.host->chatInputShown);
}

TEST(Copies, HostLeavingEndsTheGuestsGame) {
    Game g;
    g.Play(*g.guest, *g.host, "   1 ７六歩(77) ");
    ASSERT_EQ(g.host->Disconnect(), 1);
    ASSERT_TRUE(WaitUntil([&] { return g.guest->protocol.connState == CONN_NONE; }));
    EXPECT_EQ(g.guest->protocol.mode, MODE_FREE);
    EXPECT_FALSE(g.guest->chatInputShown);
    // The board and the record stay for browsing.
    EXPECT_EQ(MainLine(*g.guest), S("   1 ７六歩(77) ;;"));
}

TEST(Copies, SixthGuestIsNotTakenAndTimesOut) {
    auto host = MakeHost("host");
    std::vector<std::unique_ptr<CHeadlessCopy>> guests;
    for (int i = 0; i < SLOT_COUNT; ++i)
        guests.push_back(MakeGuest("g" + std::to_string(i), *host));
    CHeadlessCopy sixth("sixth");
    CopyEvents ev(sixth);
    sixth.handshake.connectTimeoutMs = 300;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(sixth.Connect("127.0.0.1", host->Port()));
    ASSERT_TRUE(WaitUntil([&] { return ev.Count("timeout") == 1; }));
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_EQ(ev.Count("hello"), 0);
    EXPECT_EQ(sixth.protocol.connState, CONN_NONE);
    EXPECT_EQ(host->questions.size(), 5u);
}

TEST(Copies, BalloonTimeOutRefusesAndABusyBalloonRefusesAtOnce) {
    auto host = MakeHost("host");
    CHeadlessCopy first("first"), second("second");
    CopyEvents ev1(first), ev2(second);
    int secondRefusedWhileOpen = -1, firstRefusedWhileOpen = -1;
    host->answerPolicy = 0;
    // The first question stays open (nested loop) until it times out; a
    // second guest says hello meanwhile.
    host->askHandler = [&](const std::string&) {
        EXPECT_TRUE(second.Connect("127.0.0.1", host->Port()));
        WaitUntil([&] { return ev2.Count("refuse") == 1; }, 2000);
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        secondRefusedWhileOpen = ev2.Count("refuse");
        firstRefusedWhileOpen = ev1.Count("refuse");
        return ASK_NO;  // what a timed-out balloon answers
    };
    ASSERT_TRUE(first.Connect("127.0.0.1", host->Port()));
    ASSERT_TRUE(WaitUntil([&] { return ev1.Count("refuse") == 1; }));
    EXPECT_EQ(secondRefusedWhileOpen, 1);
    EXPECT_EQ(firstRefusedWhileOpen, 0);
    EXPECT_EQ(host->questions.size(), 1u);  // the busy balloon asked nothing
    EXPECT_EQ(host->protocol.connState, CONN_NONE);
}

TEST(Copies, ConnectTimeOutAgainstAServerThatNeverAnswers) {
    QTcpServer mute;
    ASSERT_TRUE(mute.listen(QHostAddress::LocalHost, 0));
    CHeadlessCopy guest("guest");
    CopyEvents ev(guest);
    guest.handshake.connectTimeoutMs = 200;
    ASSERT_TRUE(guest.Connect("127.0.0.1", mute.serverPort()));
    ASSERT_TRUE(WaitUntil([&] { return ev.Count("timeout") == 1; }));
    EXPECT_EQ(guest.connectSocket.Handle(), 0);
    EXPECT_EQ(guest.protocol.connState, CONN_NONE);
    EXPECT_EQ(guest.connectSocket.m_pOwner, &guest);  // given back
}

TEST(Copies, TurnTimeOutThenALateAcceptanceStartsTheGame) {
    auto host = MakeHost("host");
    host->helloAnswer = ASK_YES;
    host->answerPolicy = 0;
    host->askHandler = AnswerAfter(300, ASK_YES);
    auto guest = MakeGuest("guest", *host);
    CopyEvents ev(*guest);
    guest->handshake.turnTimeoutMs = 100;
    guest->ProposeTurn(0);
    ASSERT_TRUE(WaitUntil([&] { return ev.Count("turn_timeout") == 1; }));
    EXPECT_EQ(guest->protocol.mode, MODE_FREE);
    ASSERT_TRUE(WaitUntil([&] { return guest->protocol.mode == MODE_GAME; }));
    EXPECT_EQ(host->protocol.mode, MODE_GAME);
}

TEST(Copies, ChatDuringTheTurnQuestionReachesTheMainOwner) {
    auto host = MakeHost("host");
    host->helloAnswer = ASK_YES;
    host->answerPolicy = 0;
    auto guest = MakeGuest("guest", *host);
    // While the sides question is open on the host, its user chats.
    host->askHandler = [&](const std::string&) {
        host->Chat("wait a moment");
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        return ASK_YES;
    };
    guest->ProposeTurn(0);
    ASSERT_TRUE(WaitUntil([&] { return guest->chatLog.size() == 1; }));
    EXPECT_EQ(guest->handshake.phase(), CGuestHandshake::PHASE_TURN);  // still waiting
    EXPECT_EQ(guest->chatLog[0], "host>wait a moment");
    ASSERT_TRUE(WaitUntil([&] { return guest->protocol.mode == MODE_GAME; }));
}
