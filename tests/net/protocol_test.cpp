// The peer protocol over in-memory links: handshake, sides, moves, chat,
// spectators, lost connections, re-entrant questions.
#include <gtest/gtest.h>

#include <ctime>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/board.h"
#include "net/game_link.h"
#include "net/packet_state.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"

using namespace ravu;

namespace {

struct Sent {
    uint8_t type;
    std::string text;
    SockHandle handle;
    bool except;  // SendExcept: handle is the one left out
};

// A game link in memory: the test puts packets in, the protocol's packets
// are written down.
class CFakeLink : public CGameLink {
public:
    explicit CFakeLink(bool hostMode) : host(hostMode) {}

    void SendTo(uint8_t type, int length, const char* data, SockHandle handle) override {
        sent.push_back({type, std::string(data, length), handle, false});
    }
    void SendExcept(uint8_t type, int length, const char* data, SockHandle handle) override {
        sent.push_back({type, std::string(data, length), handle, true});
    }
    void SendLongText(const std::string& text, SockHandle handle) override {
        if (host && !slots.count(handle))
            return;
        for (auto& [type, piece] : SplitLongText(text))
            sent.push_back({type, piece, handle, false});
    }
    std::string GetText(SockHandle h) const override {
        if (host && slots.count(h))
            return slots.at(h).GetLastText();
        return own.GetLastText();
    }
    uint8_t GetLastType(SockHandle h) const override {
        if (!host)
            return own.GetLastType();
        return slots.count(h) ? slots.at(h).GetLastType() : 0;
    }
    std::string GetPeerName(SockHandle h) const override {
        return slots.count(h) ? slots.at(h).GetPeerName() : own.GetPeerName();
    }
    int AllSlotsFree() const override { return slots.empty() ? 1 : 0; }
    int HasConnection(SockHandle h) const override {
        if (h == 0)
            return 0;
        return host ? (slots.count(h) ? 1 : 0) : (h == ownHandle ? 1 : 0);
    }
    SockHandle OwnHandle() const override { return ownHandle; }
    void Close() override {
        if (host)
            slots.clear();
        else
            ownHandle = 0;
        ++closes;
    }
    void CloseSlot(SockHandle h) override {
        slots.erase(h);
        closedSlots.push_back(h);
    }

    // Puts a packet into the connection with the handle.
    void Put(SockHandle h, uint8_t type, const std::string& text) {
        Packet p = BuildPacket(type, static_cast<int>(text.size()), text.data());
        (host ? slots[h] : own).TakePacket(p.data());
    }
    std::vector<Sent> Take() {
        std::vector<Sent> out;
        out.swap(sent);
        return out;
    }

    bool host;
    std::map<SockHandle, CPacketState> slots;
    CPacketState own;
    SockHandle ownHandle = 0;
    std::vector<Sent> sent;
    std::vector<SockHandle> closedSlots;
    int closes = 0;
};

class CFakeHost : public CProtocolHost {
public:
    int Ask(Question, const std::string& q) override {
        questions.push_back(q);
        if (duringAsk) {
            auto f = std::move(duringAsk);
            duringAsk = nullptr;
            f();
        }
        if (answers.empty())
            return ASK_NO;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    void AddLine(const std::string& line) override { lines.push_back(line); }
    void Redraw(bool) override { ++redraws; }
    void ShowCheck() override { ++checks; }
    void ShowChatInput(bool show) override { chatInput = show; }
    void CloseTurnDialog() override { ++turnDialogCloses; }
    bool IsConnectDialogOpen() const override { return connectDialogOpen; }
    void SetOpponentName(const std::string& n) override { opponent = n; }
    void Notify(Notice kind) override { notices.push_back(kind); }

    std::deque<int> answers;
    std::function<void()> duringAsk;
    std::vector<std::string> questions, lines;
    std::string opponent;
    std::vector<Notice> notices;
    int redraws = 0, checks = 0, turnDialogCloses = 0;
    bool chatInput = false, connectDialogOpen = false;
};

// One copy: board, record, its two links and the protocol.
struct Copy {
    explicit Copy(const std::string& name) : conn(false), listen(true), proto(board, record, conn, listen, host) {
        board.Reset();
        proto.SetHandleName(name);
    }
    void Packet(CFakeLink& link, SockHandle h, uint8_t type, const std::string& text) {
        link.Put(h, type, text);
        proto.OnSockMessage(WM_SOCK_PACKET, h);
    }
    void HostPacket(SockHandle h, uint8_t type, const std::string& text) { Packet(listen, h, type, text); }
    void GuestPacket(uint8_t type, const std::string& text) { Packet(conn, conn.ownHandle, type, text); }
    void Closed(SockHandle h) {
        listen.slots.erase(h);
        proto.OnSockMessage(WM_SOCK_CLOSED, h);
    }

    CShogiBoard board;
    CKifuControl record;
    CFakeLink conn, listen;
    CFakeHost host;
    CPeerProtocol proto;
};

const std::string kMove1 = "   1 ７六歩(77) ";
const std::string kMove2 = "   2 ３四歩(33) ";
const std::string kMove3Check = "   3 ３三角成(88) ";  // checks gote's king through 4二

// A host that has accepted guest 7 and plays gote against it (guest sente).
void StartHostGame(Copy& h, SockHandle guest = 7) {
    h.host.answers = {ASK_YES, ASK_YES};
    h.HostPacket(guest, PKT_HELLO, "guest");
    h.HostPacket(guest, PKT_TURN, "0");
    ASSERT_EQ(h.proto.mode, MODE_GAME);
    h.listen.Take();
}

}  // namespace

TEST(Handshake, HelloQuestionAndAnswers) {
    struct Case {
        int answer;
        bool dialogOpen;
        uint8_t reply;
        int connState;
        size_t questions;
        std::string name = "はなこ", shown = "はなこ";
    };
    // A refused guest's slot is closed behind the refusal.
    const Case cases[] = {
        {ASK_YES, false, PKT_ACCEPT, CONN_HOST, 1},
        {ASK_NO, false, PKT_REFUSE, CONN_NONE, 1},
        {ASK_YES, true, PKT_REFUSE, CONN_NONE, 0},  // busy connecting out: no question
        {ASK_NO, false, PKT_REFUSE, CONN_NONE, 1, std::string(250, 'n'), std::string(22, 'n') + "…"},
    };
    for (const Case& c : cases) {
        Copy h("host");
        h.host.answers = {c.answer};
        h.host.connectDialogOpen = c.dialogOpen;
        h.HostPacket(5, PKT_HELLO, c.name);
        auto sent = h.listen.Take();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].type, c.reply);
        EXPECT_EQ(sent[0].text, "0");
        EXPECT_EQ(sent[0].handle, 5);
        EXPECT_EQ(h.proto.connState, c.connState);
        EXPECT_EQ(h.host.chatInput, c.connState == CONN_HOST);
        EXPECT_EQ(h.listen.closedSlots, c.reply == PKT_REFUSE ? std::vector<SockHandle>{5} : std::vector<SockHandle>{});
        ASSERT_EQ(h.host.questions.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(h.host.questions[0],
                      "\r\n接続の申し込みがあります。\r\n接続してもよろしいですか？\r\n\r\nハンドル名：" + c.shown);
        }
    }
}

TEST(Handshake, SidesQuestionAndGameStart) {
    struct Case {
        std::string proposal;
        int hostSide;
        std::string question;
        std::string guest = "guest";
    };
    const std::string longName(40, 'g');  // shown shortened, stored whole
    const Case cases[] = {
        {"0", 1, "\r\n先手・後手はこれでいいですか？\r\n\r\n 先手: guest \r\n 後手: host"},
        {"1", 0, "\r\n先手・後手はこれでいいですか？\r\n\r\n 先手: host \r\n 後手: guest"},
        {"x", 1, "\r\n先手・後手はこれでいいですか？\r\n\r\n 先手: guest \r\n 後手: host"},  // reads as 0
        {"1", 0, "\r\n先手・後手はこれでいいですか？\r\n\r\n 先手: host \r\n 後手: " + longName.substr(0, 22) + "…",
         longName},
    };
    for (const Case& c : cases) {
        Copy h("host");
        h.host.answers = {ASK_YES, ASK_YES};
        h.HostPacket(7, PKT_HELLO, c.guest);
        h.HostPacket(9, PKT_HELLO, "watcher");
        h.host.answers = {ASK_YES};
        h.listen.Take();
        h.HostPacket(7, PKT_TURN, c.proposal);
        ASSERT_EQ(h.host.questions.size(), 3u);
        EXPECT_EQ(h.host.questions.back(), c.question);
        EXPECT_EQ(h.proto.mode, MODE_GAME);
        EXPECT_EQ(h.proto.mySide, c.hostSide);
        EXPECT_EQ(h.proto.flipped, c.hostSide);
        EXPECT_EQ(h.proto.gamePeer, 7);
        EXPECT_EQ(h.host.opponent, c.guest);
        auto sent = h.listen.Take();
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].type, PKT_ACCEPT);
        EXPECT_EQ(sent[0].handle, 7);
        EXPECT_EQ(sent[1].type, PKT_OBSERVE);  // everybody else watches
        EXPECT_EQ(sent[1].text, "0");
        EXPECT_TRUE(sent[1].except);
        EXPECT_EQ(sent[1].handle, 7);
    }
}

TEST(Handshake, TurnRefusedInGameOrOnNo) {
    Copy h("host");
    StartHostGame(h);
    h.HostPacket(9, PKT_TURN, "1");  // a spectator's own proposal during the game
    auto sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type, PKT_REFUSE);
    EXPECT_EQ(sent[0].handle, 9);
    EXPECT_EQ(h.proto.gamePeer, 7);

    Copy n("host");
    n.host.answers = {ASK_YES, ASK_NO};
    n.HostPacket(7, PKT_HELLO, "guest");
    n.HostPacket(7, PKT_TURN, "0");
    EXPECT_EQ(n.proto.mode, MODE_FREE);
    EXPECT_EQ(n.listen.Take().back().type, PKT_REFUSE);
}

TEST(Handshake, RefusedGuestThatStaysCannotProposeOrChat) {
    Copy h("host");
    h.host.answers = {ASK_YES, ASK_NO, ASK_YES, ASK_YES};
    h.HostPacket(7, PKT_HELLO, "accepted");
    h.HostPacket(8, PKT_HELLO, "refused");
    h.listen.Take();
    h.HostPacket(8, PKT_TURN, "0");
    h.HostPacket(8, PKT_CHAT, "refused>spam");
    auto sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type, PKT_REFUSE);
    EXPECT_EQ(sent[0].handle, 8);
    EXPECT_EQ(h.host.questions.size(), 2u);  // no sides question for it
    EXPECT_TRUE(h.host.lines.empty());
    EXPECT_EQ(h.proto.mode, MODE_FREE);
    // The accepted one still can.
    h.HostPacket(7, PKT_TURN, "1");
    EXPECT_EQ(h.proto.mode, MODE_GAME);
    EXPECT_EQ(h.proto.gamePeer, 7);
}

// A connection says hello once: a repeated hello, from the opponent in
// mid-game or from an accepted guest before it, changes nothing.
TEST(Handshake, SecondHelloFromTheSameGuestIsIgnored) {
    Copy playing("host");
    StartHostGame(playing);
    Copy waiting("host");
    waiting.host.answers = {ASK_YES};
    waiting.HostPacket(7, PKT_HELLO, "guest");
    waiting.listen.Take();
    for (Copy* h : {&playing, &waiting}) {
        const size_t questions = h->host.questions.size();
        h->HostPacket(7, PKT_HELLO, "guest");
        EXPECT_TRUE(h->listen.Take().empty());
        EXPECT_EQ(h->host.questions.size(), questions);
        EXPECT_TRUE(h->proto.IsAccepted(7));
    }
    EXPECT_EQ(playing.proto.gamePeer, 7);
    EXPECT_EQ(playing.proto.mode, MODE_GAME);
}

TEST(Handshake, SecondQuestionWhileOneIsOpenIsRefused) {
    Copy h("host");
    h.host.answers = {ASK_YES};
    // While the first hello's question is open another guest says hello.
    h.host.duringAsk = [&] { h.HostPacket(8, PKT_HELLO, "second"); };
    h.HostPacket(7, PKT_HELLO, "first");
    auto sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].type, PKT_REFUSE);  // answered 2 at once
    EXPECT_EQ(sent[0].handle, 8);
    EXPECT_EQ(sent[1].type, PKT_ACCEPT);
    EXPECT_EQ(sent[1].handle, 7);
    EXPECT_EQ(h.host.questions.size(), 1u);
}

TEST(Handshake, GuestGoneDuringQuestionIsNotAccepted) {
    Copy h("host");
    h.host.answers = {ASK_YES};
    h.host.duringAsk = [&] { h.Closed(7); };
    h.HostPacket(7, PKT_HELLO, "fleeting");
    EXPECT_EQ(h.proto.connState, CONN_NONE);
    EXPECT_FALSE(h.host.chatInput);
}

// The record of a network game names the players by side and keeps when
// the game started and when it ended.
TEST(GameRecord, HeaderNamesThePlayersAndTimesTheGame) {
    const std::time_t before = std::time(nullptr);
    Copy h("host");
    StartHostGame(h);  // the guest took sente
    Copy g("guest");
    g.conn.ownHandle = 3;
    g.proto.SetOpponentName("host");
    g.proto.OnGuestConnected();
    g.proto.OnTurnAccepted(GOTE);
    for (Copy* c : {&h, &g}) {
        const KifuHeader& header = c->record.kifu.header;
        EXPECT_EQ(header.senteName, c == &h ? "guest" : "host");
        EXPECT_EQ(header.goteName, c == &h ? "host" : "guest");
        EXPECT_EQ(header.hasStartTime, 1);
        EXPECT_GE(header.startTime, before);
        EXPECT_LE(header.startTime, std::time(nullptr));
        EXPECT_EQ(header.hasEndTime, 0);
    }
    h.Closed(7);  // the opponent went away: the game is over
    EXPECT_EQ(h.record.kifu.header.hasEndTime, 1);
    EXPECT_GE(h.record.kifu.header.endTime, h.record.kifu.header.startTime);
}

TEST(Spectators, JoinRunningGameWithCatchUp) {
    Copy h("host");
    StartHostGame(h);
    h.HostPacket(7, PKT_MOVE, kMove1);
    h.listen.Take();
    h.HostPacket(9, PKT_HELLO, "watcher");
    EXPECT_EQ(h.host.questions.size(), 2u);  // no question for a spectator
    auto sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].type, PKT_ACCEPT);
    EXPECT_EQ(sent[1].type, PKT_OBSERVE);
    EXPECT_EQ(sent[1].text, "1");
    EXPECT_EQ(sent[2].type, PKT_CHUNK_END);
    EXPECT_EQ(sent[2].text, kMove1 + ";;");
    for (auto& s : sent)
        EXPECT_EQ(s.handle, 9);
}

TEST(Moves, HostRelaysOpponentMovesAndShowsCheck) {
    Copy h("host");
    StartHostGame(h);  // host is gote
    h.HostPacket(7, PKT_MOVE, kMove1);
    auto sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type, PKT_MOVE);
    EXPECT_TRUE(sent[0].except);
    EXPECT_EQ(sent[0].handle, 7);
    EXPECT_EQ(sent[0].text, kMove1);
    EXPECT_NE(h.board.PieceAt(7, 6), -1);
    EXPECT_EQ(h.board.PieceAt(7, 7), -1);
    EXPECT_EQ(h.host.checks, 0);

    // The host's own reply goes to everybody.
    ASSERT_EQ(h.proto.PlayMoveText(kMove2), 1);
    sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].handle, 0);
    EXPECT_FALSE(sent[0].except);
    EXPECT_EQ(sent[0].text, kMove2);

    h.HostPacket(7, PKT_MOVE, kMove3Check);
    EXPECT_EQ(h.host.checks, 1);
    EXPECT_EQ(h.proto.mode, MODE_GAME);
}

TEST(Moves, SpectatorCannotMoveForThePlayers) {
    Copy h("host");
    StartHostGame(h);
    h.HostPacket(9, PKT_HELLO, "watcher");
    h.listen.Take();
    h.HostPacket(9, PKT_MOVE, kMove1);
    EXPECT_TRUE(h.listen.Take().empty());
    EXPECT_EQ(h.board.PieceAt(7, 6), -1);
    EXPECT_EQ(h.record.kifu.Root()->filled, 0);
}

TEST(Moves, ReceivedResignationEndsGameAndIsRecorded) {
    Copy h("host");
    StartHostGame(h);
    h.HostPacket(7, PKT_MOVE, kMove1);
    int piece = h.board.PieceAt(7, 6);
    h.HostPacket(7, PKT_MOVE, "   2 投了");
    EXPECT_EQ(h.proto.mode, MODE_FREE);
    EXPECT_EQ(h.proto.gamePeer, 0);
    EXPECT_EQ(h.board.PieceAt(7, 6), piece);  // board stays
    std::string text;
    h.record.GetMainLineText(text);
    EXPECT_EQ(text, kMove1 + ";   2 投了;;");
}

TEST(Moves, OwnResignationAsksRecordsAndSends) {
    Copy h("host");
    StartHostGame(h);  // host gote, guest to move
    EXPECT_EQ(h.proto.Resign(), 0);  // not the host's turn
    h.HostPacket(7, PKT_MOVE, kMove1);
    h.listen.Take();
    h.host.answers = {ASK_NO};
    EXPECT_EQ(h.proto.Resign(), 0);
    EXPECT_EQ(h.proto.mode, MODE_GAME);
    h.host.answers = {ASK_YES};
    EXPECT_EQ(h.proto.Resign(), 1);
    EXPECT_EQ(h.host.questions.back(), "\r\n\r\n投了しますか ？");
    auto sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "   2 投了");
    EXPECT_EQ(h.proto.mode, MODE_FREE);
}

TEST(CatchUp, EntriesSeparatorsAndEmptyEntries) {
    struct Case {
        std::string text;
        int entries;   // recorded entries
        int mode;
    };
    const Case cases[] = {
        {";", 0, MODE_WATCHING},                          // host without a move yet
        {kMove1 + ";" + kMove2 + ";;", 2, MODE_WATCHING},
        {kMove1 + ";" + kMove2, 1, MODE_WATCHING},         // text behind the last ";" ignored
        {kMove1 + ";" + kMove1 + ";;", 2, MODE_FREE},      // second entry does not fit
        {"", 0, MODE_WATCHING},
    };
    for (const Case& c : cases) {
        Copy g("guest");
        g.conn.ownHandle = 3;
        g.proto.OnGuestConnected();
        g.GuestPacket(PKT_OBSERVE, "1");
        ASSERT_EQ(g.proto.mode, MODE_WATCHING);
        g.GuestPacket(PKT_CHUNK_END, c.text);
        std::string text;
        g.record.GetMainLineText(text);
        int recorded = 0;
        for (const KifuNode* n = g.record.kifu.Root(); n; n = n->next)
            recorded += n->filled;
        EXPECT_EQ(recorded, c.entries) << c.text;
        EXPECT_EQ(g.proto.mode, c.mode) << c.text;
        if (c.mode == MODE_WATCHING && c.entries == 2) {
            EXPECT_NE(g.board.PieceAt(3, 4), -1);
        }
    }
}

TEST(CatchUp, IgnoredOutsideWatching) {
    Copy g("guest");
    g.conn.ownHandle = 3;
    g.proto.OnGuestConnected();
    g.proto.OnTurnAccepted(0);
    g.GuestPacket(PKT_CHUNK_END, kMove1 + ";;");
    EXPECT_EQ(g.record.kifu.Root()->filled, 0);
    EXPECT_EQ(g.proto.mode, MODE_GAME);
}

TEST(Chat, EchoRules) {
    Copy h("host");
    h.host.answers = {ASK_YES, ASK_YES};
    h.HostPacket(7, PKT_HELLO, "g1");
    h.HostPacket(8, PKT_HELLO, "g2");
    h.listen.Take();
    // Typed on the host: to everybody, logged once.
    std::string typed = "こんにちは";
    h.proto.HandleChat(0, &typed);
    auto sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type, PKT_CHAT);
    EXPECT_EQ(sent[0].handle, 0);
    EXPECT_EQ(sent[0].text, "host>こんにちは");
    // Received from a guest: back to everybody as it came, sender included.
    h.HostPacket(8, PKT_CHAT, "g2>よろしく");
    sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].handle, 0);
    EXPECT_EQ(sent[0].text, "g2>よろしく");
    EXPECT_EQ(h.host.lines, (std::vector<std::string>{"host>こんにちは", "g2>よろしく"}));
    EXPECT_EQ(h.record.kifu.header.headerComment, "*host>こんにちは\r\n*g2>よろしく\r\n");

    // A guest's typed line is sent, and logged only when the echo comes.
    Copy g("g2");
    g.conn.ownHandle = 3;
    g.proto.OnGuestConnected();
    std::string mine = "よろしく";
    g.proto.HandleChat(0, &mine);
    sent = g.conn.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "g2>よろしく");
    EXPECT_TRUE(g.host.lines.empty());
    g.GuestPacket(PKT_CHAT, "g2>よろしく");
    EXPECT_EQ(g.host.lines, std::vector<std::string>{"g2>よろしく"});

    // Without a connection nothing happens.
    Copy n("alone");
    n.proto.HandleChat(0, &typed);
    EXPECT_TRUE(n.listen.Take().empty());
    EXPECT_TRUE(n.host.lines.empty());
}

TEST(Chat, LongLineIsCutOnACharacterBoundaryAndLoggedAsSent) {
    Copy h("host");
    h.host.answers = {ASK_YES};
    h.HostPacket(7, PKT_HELLO, "g1");
    h.listen.Take();
    std::string typed;
    for (int i = 0; i < 200; ++i)
        typed += "将";
    h.proto.HandleChat(0, &typed);
    auto sent = h.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text.size(), 253u);  // "host>" (5) + 124 characters (248)
    EXPECT_EQ(sent[0].text, "host>" + typed.substr(0, 248));
    EXPECT_EQ(h.host.lines.back(), sent[0].text);
}

TEST(Closing, OpponentLeavesSpectatorsStayLastGuestEndsHosting) {
    Copy h("host");
    StartHostGame(h, 7);
    h.HostPacket(9, PKT_HELLO, "watcher");
    h.Closed(7);
    EXPECT_EQ(h.proto.mode, MODE_FREE);
    EXPECT_EQ(h.proto.gamePeer, 0);
    EXPECT_EQ(h.proto.connState, CONN_HOST);
    EXPECT_TRUE(h.host.chatInput);
    EXPECT_EQ(h.host.turnDialogCloses, 0);
    h.Closed(9);
    EXPECT_EQ(h.proto.connState, CONN_NONE);
    EXPECT_FALSE(h.host.chatInput);
    EXPECT_EQ(h.host.turnDialogCloses, 1);
}

TEST(Closing, GuestLosesHost) {
    Copy g("guest");
    g.conn.ownHandle = 3;
    g.proto.OnGuestConnected();
    g.proto.OnTurnAccepted(1);
    EXPECT_EQ(g.proto.mySide, 1);
    EXPECT_EQ(g.proto.flipped, 1);
    // A stray guest of this copy's own listening socket: refused, and its
    // going says nothing about the link to the host.
    g.listen.Put(11, PKT_HELLO, "stray");
    g.proto.OnSockMessage(WM_SOCK_PACKET, 11);
    auto sent = g.listen.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type, PKT_REFUSE);
    g.listen.Put(12, PKT_HELLO, "stray2");  // stays connected
    g.Closed(11);
    EXPECT_EQ(g.proto.connState, CONN_GUEST);
    EXPECT_EQ(g.proto.mode, MODE_GAME);
    // The host closes: 0, even with a stray still on the listening socket.
    g.proto.OnSockMessage(WM_SOCK_CLOSED, 0);
    EXPECT_EQ(g.proto.connState, CONN_NONE);
    EXPECT_EQ(g.proto.mode, MODE_FREE);
}

TEST(Closing, DisconnectAsksAndCloses) {
    Copy h("host");
    StartHostGame(h);
    h.host.answers = {ASK_NO};
    EXPECT_EQ(h.proto.Disconnect(), 0);
    EXPECT_EQ(h.listen.closes, 0);
    h.host.answers = {ASK_YES};
    EXPECT_EQ(h.proto.Disconnect(), 1);
    EXPECT_EQ(h.host.questions.back(), "\r\n\r\n対局を終了し回線を切ります。");
    EXPECT_EQ(h.listen.closes, 1);
    EXPECT_EQ(h.proto.connState, CONN_NONE);
    EXPECT_EQ(h.proto.mode, MODE_FREE);
}

TEST(Garbage, AnyTypeAndTextInAnyState) {
    // Every type byte with hostile text on host and guest, in every mode.
    const std::string texts[] = {"", ";;;;", std::string(253, '\xFF'), "   1 ９九王(11) ", "まで99999999999手", "\x81"};
    for (int conn : {CONN_NONE, CONN_HOST, CONN_GUEST}) {
        Copy c("x");
        c.host.answers.assign(2000, ASK_YES);
        c.conn.ownHandle = 3;
        if (conn == CONN_GUEST)
            c.proto.OnGuestConnected();
        for (int t = 0; t < 256; ++t) {
            for (const std::string& text : texts) {
                if (conn == CONN_GUEST)
                    c.GuestPacket(static_cast<uint8_t>(t), text);
                else
                    c.HostPacket(7, static_cast<uint8_t>(t), text);
            }
        }
        EXPECT_GE(c.proto.mode, MODE_FREE);
        EXPECT_LE(c.proto.mode, MODE_WATCHING);
    }
}

// What the player is told of, and what not: only what happens without the
// player's own action.
TEST(Notices, GameEndsAndLostConnections) {
    using N = Notice;
    enum Start { HOST_GAME, HOST_FREE, GUEST_GAME, GUEST_WATCHING };
    struct Case {
        const char* name;
        Start start;
        std::function<void(Copy&)> act;
        std::vector<Notice> notices;
        int mode;
    };
    const Case cases[] = {
        {"resignation received", HOST_GAME, [](Copy& c) { c.HostPacket(7, PKT_MOVE, "   1 投了"); }, {N::OpponentResigned}, MODE_FREE},
        {"king taken", HOST_GAME, [](Copy& c) { c.HostPacket(7, PKT_MOVE, "まで1手で先手の勝ち"); }, {N::KingTaken}, MODE_FREE},
        {"move refused", HOST_GAME, [](Copy& c) { c.HostPacket(7, PKT_MOVE, "   1 ５五歩(56) "); }, {N::MoveRefused}, MODE_FREE},
        {"opponent gone, then the spectator", HOST_GAME, [](Copy& c) { c.Closed(7); c.Closed(9); },
         {N::OpponentGone, N::ConnectionLost}, MODE_FREE},
        {"last guest gone", HOST_FREE, [](Copy& c) { c.Closed(7); }, {N::ConnectionLost}, MODE_FREE},
        {"chat from a guest, own line", HOST_FREE,
         [](Copy& c) {
             c.HostPacket(7, PKT_CHAT, "guest>hi");
             std::string own = "yo";
             c.proto.HandleChat(0, &own);
         },
         {N::ChatArrived}, MODE_FREE},
        {"own resignation and disconnect", HOST_GAME,
         [](Copy& c) {
             c.HostPacket(7, PKT_MOVE, kMove1);
             c.host.answers = {ASK_YES, ASK_YES};
             c.proto.Resign();
             c.proto.Disconnect();
             c.proto.OnSockMessage(WM_SOCK_CLOSED, 7);  // a late report of the own close
         },
         {}, MODE_FREE},
        {"guest loses its host in a game", GUEST_GAME, [](Copy& c) { c.proto.OnSockMessage(WM_SOCK_CLOSED, 0); },
         {N::OpponentGone}, MODE_FREE},
        {"guest's own link fails in a game", GUEST_GAME, [](Copy& c) { c.proto.OnSockMessage(WM_SOCK_CLOSED, 3); },
         {N::OpponentGone}, MODE_FREE},
        {"guest's echo and another's line", GUEST_GAME,
         [](Copy& c) {
             std::string own = "hi";
             c.proto.HandleChat(0, &own);
             c.GuestPacket(PKT_CHAT, "guest>hi");
             c.GuestPacket(PKT_CHAT, "host>hello");
         },
         {N::ChatArrived}, MODE_GAME},
        {"watched resignation", GUEST_WATCHING, [](Copy& c) { c.GuestPacket(PKT_MOVE, "   2 投了"); }, {N::GoteResigned}, MODE_FREE},
        {"watched king taken", GUEST_WATCHING, [](Copy& c) { c.GuestPacket(PKT_MOVE, "まで1手で先手の勝ち"); }, {N::SenteWon}, MODE_FREE},
        {"watched game interrupted", GUEST_WATCHING, [](Copy& c) { c.GuestPacket(PKT_MOVE, "   1 中断"); },
         {N::WatchedGameEnded}, MODE_FREE},
        {"game so far refused", GUEST_WATCHING, [](Copy& c) { c.GuestPacket(PKT_CHUNK_END, kMove1 + ";" + kMove1 + ";;"); },
         {N::MoveRefused}, MODE_FREE},
        {"watched host gone", GUEST_WATCHING, [](Copy& c) { c.proto.OnSockMessage(WM_SOCK_CLOSED, 0); },
         {N::WatchedHostGone}, MODE_FREE},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Copy c(k.start == HOST_GAME || k.start == HOST_FREE ? "host" : "guest");
        if (k.start == HOST_GAME) {
            StartHostGame(c);
            c.HostPacket(9, PKT_HELLO, "watcher");
        } else if (k.start == HOST_FREE) {
            c.host.answers = {ASK_YES};
            c.HostPacket(7, PKT_HELLO, "guest");
        } else {
            c.conn.ownHandle = 3;
            c.proto.OnGuestConnected();
            if (k.start == GUEST_GAME)
                c.proto.OnTurnAccepted(SENTE);
            else
                c.GuestPacket(PKT_OBSERVE, "1");
        }
        k.act(c);
        EXPECT_EQ(c.host.notices, k.notices);
        EXPECT_EQ(c.proto.mode, k.mode);
    }
}

// The spectators of a game whose opponent went get an interrupted line.
// Spectators are not sent anything when the opponent leaves: a peer that
// knows only the plain protocol would not expect it.  The record stays.
TEST(Notices, OpponentLeavingSendsTheSpectatorsNothing) {
    Copy h("host");
    StartHostGame(h);
    h.HostPacket(9, PKT_HELLO, "watcher");
    h.HostPacket(7, PKT_MOVE, kMove1);
    h.listen.Take();
    h.Closed(7);
    EXPECT_TRUE(h.listen.Take().empty());
    std::string text;
    h.record.GetMainLineText(text);
    EXPECT_EQ(text, kMove1 + ";;");
}
