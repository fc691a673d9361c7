// The peer protocol over in-memory links: handshake, sides, moves, end
// lines, spectators and their catch-up, chat, refusals, lost connections and
// what the player is told.
#include <gtest/gtest.h>

#include <ctime>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "game/board.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"
#include "support/fake_net.h"

using namespace ravu;
using namespace ravu::test;

namespace {

const std::string kMove1 = "   1 ７六歩(77) ";
const std::string kMove2 = "   2 ３四歩(33) ";
const std::string kMove3Check = "   3 ３三角成(88) ";  // checks gote's king through 4二
const std::string kHelloQ =
    "\r\n接続の申し込みがあります。\r\n接続してもよろしいですか？\r\n\r\nハンドル名：";
const std::string kSidesQ = "\r\n先手・後手はこれでいいですか？\r\n\r\n";

// Where a case starts.  HOST_FREE: guest 7 accepted.  HOST_GAME: guest 7
// plays sente against the host, spectator 9 watches.  GUEST_*: connected on
// handle 3, free, playing sente, or watching.
enum Start { NEW, HOST_FREE, HOST_GAME, GUEST_FREE, GUEST_GAME, GUEST_WATCHING };

// A step of a case: a packet arriving {handle, type, text}, or the connection
// on the handle going (CLOSED); on handle 0 what the user does: a chat line
// typed (PKT_CHAT), a move played (PKT_MOVE), resigning or disconnecting.
constexpr uint8_t CLOSED = 0, RESIGN = 0xF0, DISCONNECT = 0xF1;
struct Step {
    SockHandle from;
    uint8_t type;
    std::string text = {};
};

// One copy, its clock standing still; questions are answered no unless a
// case gives answers.
struct Copy : Peer {
    explicit Copy(Start start) : Peer(start <= HOST_GAME ? "host" : "guest", true, kStill) {
        otherwise = ASK_NO;
        if (start == HOST_FREE || start == HOST_GAME) {
            answers = {ASK_YES, ASK_YES};
            In(7, PKT_HELLO, "guest");
            if (start == HOST_GAME) {
                In(7, PKT_TURN, "0");
                In(9, PKT_HELLO, "watcher");
            }
        } else if (start != NEW) {
            proto.OnGuestConnected();
            if (start == GUEST_GAME)
                proto.OnTurnAccepted(SENTE);
            else if (start == GUEST_WATCHING)
                In(3, PKT_OBSERVE, "1");
        }
        questions.clear();
        answers.clear();
        listen.Take();
    }
    // A packet from the peer on the handle; 3 is a guest's own link to its host.
    void In(SockHandle h, uint8_t type, const std::string& text) {
        (h == 3 ? conn : listen).Put(h, type, text);
        proto.OnSockMessage(WM_SOCK_PACKET, h);
    }
    void Closed(SockHandle h) {
        listen.guests.erase(h);
        proto.OnSockMessage(WM_SOCK_CLOSED, h);
    }
    // What the user's calls answer is written down in turn (1: done, 0: not).
    void Do(const Step& s) {
        if (s.type == CLOSED)
            Closed(s.from);
        else if (s.from != 0)
            In(s.from, s.type, s.text);
        else if (s.type == PKT_CHAT)
            proto.HandleChat(0, &s.text);
        else
            done += std::to_string(s.type == PKT_MOVE ? proto.PlayMoveText(s.text)
                                   : s.type == RESIGN ? proto.Resign()
                                                      : proto.Disconnect());
    }
    // What went out on both links, one packet after the other:
    // "<type> <text> ><to>" ("!" = to all but), then the closed slots, then
    // "done" and what the user's calls answered.
    std::string Sent() {
        static const std::map<int, std::string> names = {
            {PKT_ACCEPT, "accept"}, {PKT_REFUSE, "refuse"}, {PKT_OBSERVE, "observe"}, {PKT_MOVE, "move"},
            {PKT_CHUNK, "chunk"},   {PKT_CHUNK_END, "end"}, {PKT_CHAT, "chat"}};
        std::string out;
        for (CFakeLink* link : {&listen, &conn})
            for (const CFakeLink::Sent& s : link->Take())
                out += names.at(s.type) + " " + s.text + (s.except ? " !" : " >") + std::to_string(s.handle) +
                       "|";
        for (SockHandle h : listen.closedSlots)
            out += "close " + std::to_string(h) + "|";
        return out + (done.empty() ? "" : "done " + done + "|");
    }
    // connState, mode, mySide, gamePeer, flipped, chat input, checks shown,
    // turn dialog closed; then the record's main line, the chat lines logged
    // and the record's comment that keeps them.
    std::string State() const {
        std::string line;
        record.GetMainLineText(line);
        for (const std::string& said : lines)
            line += " log " + said;
        return "c" + std::to_string(proto.connState) + " m" + std::to_string(proto.mode) + " s" +
               std::to_string(proto.mySide) + " p" + std::to_string(proto.gamePeer) + " f" +
               std::to_string(proto.flipped) + (chatInput ? " chat" : "") +
               (checks ? " check" + std::to_string(checks) : "") + (turnDialogCloses ? " turn-closed" : "") +
               " " + line + record.kifu.header.headerComment;
    }

    static constexpr int64_t kStill = 0;
    std::string done;
};

// What a case does: steps, or any calls.
struct Act {
    template <class F>
    Act(F f) : run(f) {}
    Act(std::initializer_list<Step> steps)
        : run([v = std::vector<Step>(steps)](Copy& c) {
              for (const Step& s : v)
                  c.Do(s);
          }) {}
    std::function<void(Copy&)> run;
};

}  // namespace

TEST(Protocol, Rules) {
    using N = Notice;
    struct Case {
        const char* rule;
        Start start;
        std::deque<int> answers;  // to the questions, in turn; then no
        Act act;
        std::string sent;
        std::string state;
        std::vector<Notice> notices = {};
        std::vector<std::string> questions = {};
    };
    // States: the host of HOST_GAME still playing; a host or guest connected
    // outside a game; all connections gone, the turn dialog closed; never connected.
    const std::string g7 = "c2 m1 s1 p7 f1 chat ", free = "c2 m0 s0 p0 f0 chat ;",
                      guest = "c1 m0 s0 p0 f0 chat ";
    const std::string gone = "c0 m0 s0 p0 f0 turn-closed ;", none = "c0 m0 s0 p0 f0 ;";
    // A long chat line is cut on a character boundary to what one packet carries.
    std::string typed = "a";
    while (typed.size() < 400)
        typed += "将";
    const std::string cut = "host>" + typed.substr(0, 247);  // 252 bytes: 253 would split a character
    // clang-format off
    const Case cases[] = {
        // --- Hello: a question, accepted or refused; a refused guest's slot is closed.
        {"hello, yes", NEW, {ASK_YES}, {{5, PKT_HELLO, "はなこ"}}, "accept 0 >5|", free, {}, {kHelloQ + "はなこ"}},
        {"hello, no", NEW, {}, {{5, PKT_HELLO, std::string(250, 'n')}}, "refuse 0 >5|close 5|", none, {},
         {kHelloQ + std::string(22, 'n') + "…"}},
        {"hello while connecting out: no question", NEW, {ASK_YES},
         [](Copy& c) {
             c.connectDialogOpen = true;
             c.In(5, PKT_HELLO, "x");
         },
         "refuse 0 >5|close 5|", none},
        {"a second hello while the question is open is answered no at once", NEW, {ASK_YES},
         [](Copy& c) {
             c.duringAsk = [&c] { c.In(8, PKT_HELLO, "second"); };
             c.In(7, PKT_HELLO, "first");
         },
         "refuse 0 >8|accept 0 >7|close 8|", free, {}, {kHelloQ + "first"}},
        {"guest gone during the question", NEW, {ASK_YES},
         [](Copy& c) {
             c.duringAsk = [&c] { c.Closed(7); };
             c.In(7, PKT_HELLO, "fleeting");
         },
         "refuse 0 >7|close 7|", gone, {}, {kHelloQ + "fleeting"}},
        {"a guest says hello once", HOST_FREE, {ASK_NO}, {{7, PKT_HELLO, "g"}}, "", free},
        {"hello in a game: a spectator, no question, the game so far", HOST_GAME, {}, {{7, PKT_MOVE, kMove1}, {11, PKT_HELLO, "w2"}},
         "move " + kMove1 + " !7|accept 0 >11|observe 1 >11|end " + kMove1 + ";; >11|", g7 + kMove1 + ";;"},
        // --- Sides: the guest proposes, the host asks; the others are told to watch.
        {"guest takes sente", HOST_FREE, {ASK_YES}, {{7, PKT_TURN, "0"}}, "accept 0 >7|observe 0 !7|", g7 + ";", {},
         {kSidesQ + " 先手: guest \r\n 後手: host"}},
        {"guest takes gote", HOST_FREE, {ASK_YES}, {{7, PKT_TURN, "1"}}, "accept 0 >7|observe 0 !7|", "c2 m1 s0 p7 f0 chat ;", {},
         {kSidesQ + " 先手: host \r\n 後手: guest"}},
        {"a long name is shown shortened", NEW, {ASK_YES, ASK_NO}, {{7, PKT_HELLO, std::string(40, 'g')}, {7, PKT_TURN, "1"}},
         "accept 0 >7|refuse 0 >7|", free, {},
         {kHelloQ + std::string(22, 'g') + "…", kSidesQ + " 先手: host \r\n 後手: " + std::string(22, 'g') + "…"}},
        {"a refused guest that stays can neither propose nor chat", HOST_FREE, {},
         {{8, PKT_HELLO, "pest"}, {8, PKT_TURN, "0"}, {8, PKT_CHAT, "spam"}}, "refuse 0 >8|refuse 0 >8|close 8|",
         free, {}, {kHelloQ + "pest"}},
        {"a proposal during the game", HOST_GAME, {}, {{9, PKT_TURN, "1"}}, "refuse 0 >9|", g7 + ";"},
        {"guest gone during the sides question", HOST_FREE, {ASK_YES},
         [](Copy& c) {
             c.duringAsk = [&c] { c.listen.guests.erase(7); };
             c.In(7, PKT_TURN, "0");
         },
         "refuse 0 >7|", free, {}, {kSidesQ + " 先手: guest \r\n 後手: host"}},
        // --- Moves: the opponent's are applied and relayed to the others; the own go to all.
        {"moves both ways, check shown", HOST_GAME, {}, {{7, PKT_MOVE, kMove1}, {0, PKT_MOVE, kMove2}, {7, PKT_MOVE, kMove3Check}},
         "move " + kMove1 + " !7|move " + kMove2 + " >0|move " + kMove3Check + " !7|done 1|",
         g7 + "check1 " + kMove1 + ";" + kMove2 + ";" + kMove3Check + ";;"},
        {"a spectator cannot move", HOST_GAME, {}, {{9, PKT_MOVE, kMove1}}, "", g7 + ";"},
        {"no move out of turn, none that does not parse", HOST_GAME, {},
         {{0, PKT_MOVE, kMove1}, {7, PKT_MOVE, kMove1}, {0, PKT_MOVE, "nonsense"}}, "move " + kMove1 + " !7|done 00|",
         g7 + kMove1 + ";;"},
        {"a guest sends its moves to its host", GUEST_GAME, {}, {{0, PKT_MOVE, kMove1}}, "move " + kMove1 + " >0|done 1|",
         "c1 m1 s0 p0 f0 chat " + kMove1 + ";;"},
        {"a guest outside a game takes no moves", GUEST_FREE, {}, {{3, PKT_MOVE, kMove1}}, "", guest + ";"},
        // --- End lines and refused moves end the game; the board and record stay.
        {"resignation received", HOST_GAME, {}, {{7, PKT_MOVE, "   1 投了"}}, "move    1 投了 !7|",
         "c2 m0 s0 p0 f1 chat    1 投了;;", {N::OpponentResigned}},
        {"king taken", HOST_GAME, {}, {{7, PKT_MOVE, "まで1手で先手の勝ち"}}, "move まで1手で先手の勝ち !7|",
         "c2 m0 s0 p0 f1 chat まで1手で先手の勝ち;;", {N::KingTaken}},
        {"a move that does not fit", HOST_GAME, {}, {{7, PKT_MOVE, "   1 ５五歩(56) "}}, "move    1 ５五歩(56)  !7|",
         "c2 m0 s0 p0 f1 chat    1 ５五歩(56) ;;", {N::MoveRefused}},
        // Not on the opponent's turn; then answered no, then yes.
        {"own resignation: asked, recorded, sent", HOST_GAME, {ASK_NO, ASK_YES},
         {{0, RESIGN}, {7, PKT_MOVE, kMove1}, {0, RESIGN}, {0, RESIGN}}, "move " + kMove1 + " !7|move    2 投了 >0|done 001|",
         "c2 m0 s0 p0 f1 chat " + kMove1 + ";   2 投了;;", {}, {"\r\n\r\n投了しますか ？", "\r\n\r\n投了しますか ？"}},
        // --- Spectators: the game so far, entry by entry; then every move.
        {"watched moves and resignation", GUEST_WATCHING, {}, {{3, PKT_MOVE, kMove1}, {3, PKT_MOVE, "   2 投了"}}, "",
         guest + kMove1 + ";   2 投了;;", {N::GoteResigned}},
        {"watched king taken", GUEST_WATCHING, {}, {{3, PKT_MOVE, "まで1手で先手の勝ち"}}, "", guest + "まで1手で先手の勝ち;;", {N::SenteWon}},
        {"watched game interrupted", GUEST_WATCHING, {}, {{3, PKT_MOVE, "   1 中断"}}, "", guest + "   1 中断;;",
         {N::WatchedGameEnded}},
        {"catch-up of two entries", GUEST_WATCHING, {}, {{3, PKT_CHUNK_END, kMove1 + ";" + kMove2 + ";;"}}, "",
         "c1 m2 s0 p0 f0 chat " + kMove1 + ";" + kMove2 + ";;"},
        {"catch-up: no move yet", GUEST_WATCHING, {}, {{3, PKT_CHUNK_END, ";"}}, "", "c1 m2 s0 p0 f0 chat ;"},
        {"catch-up: text behind the last ';' is no entry", GUEST_WATCHING, {}, {{3, PKT_CHUNK_END, kMove1 + ";" + kMove2}}, "",
         "c1 m2 s0 p0 f0 chat " + kMove1 + ";;"},
        {"catch-up that does not fit", GUEST_WATCHING, {}, {{3, PKT_CHUNK_END, kMove1 + ";" + kMove1 + ";;"}}, "",
         guest + kMove1 + ";   1 同　歩(77) ;;", {N::MoveRefused}},
        {"catch-up outside watching", GUEST_GAME, {}, {{3, PKT_CHUNK_END, kMove1 + ";;"}}, "", "c1 m1 s0 p0 f0 chat ;"},
        // --- Lost connections: the opponent first (spectators stay, told nothing), then the last one.
        {"opponent gone, then the last spectator", HOST_GAME, {}, {{7, PKT_MOVE, kMove1}, {7, CLOSED}, {9, CLOSED}},
         "move " + kMove1 + " !7|", "c0 m0 s0 p0 f1 turn-closed " + kMove1 + ";;", {N::OpponentGone, N::ConnectionLost}},
        {"last guest gone", HOST_FREE, {}, {{7, CLOSED}}, "", gone, {N::ConnectionLost}},
        {"guest loses its host in a game", GUEST_GAME, {}, {{0, CLOSED}}, "", gone, {N::OpponentGone}},
        {"guest's own link fails", GUEST_GAME, {}, {{3, CLOSED}}, "", gone, {N::OpponentGone}},
        {"watched host gone", GUEST_WATCHING, {}, {{0, CLOSED}}, "", gone, {N::WatchedHostGone}},
        {"a guest refuses strays on its own listening socket; their going says nothing", GUEST_GAME, {},
         [](Copy& c) {
             c.In(11, PKT_HELLO, "stray");
             c.In(12, PKT_HELLO, "stray2");
             c.listen.Put(12, PKT_HELLO, "stray2");  // stays connected
             c.Closed(11);
             EXPECT_EQ(c.proto.connState, CONN_GUEST);
             c.Closed(0);  // the host closes
         },
         "refuse 0 >11|refuse 0 >12|close 11|close 12|", gone, {N::OpponentGone}},
        {"disconnect: asked (no, then yes), then everything closed, nobody told", HOST_GAME, {ASK_NO, ASK_YES},
         [](Copy& c) {
             c.Do({0, DISCONNECT});
             c.Do({0, DISCONNECT});
             EXPECT_TRUE(c.listen.guests.empty());
             c.proto.OnSockMessage(WM_SOCK_CLOSED, 7);  // a late report of the own close
         },
         "done 01|", "c0 m0 s0 p0 f1 turn-closed ;", {}, {"\r\n\r\n対局を終了し回線を切ります。", "\r\n\r\n対局を終了し回線を切ります。"}},
        {"disconnect without a connection", NEW, {}, {{0, DISCONNECT}}, "done 0|", none},
        // --- Chat: the host passes every line to all; a guest logs its own at the echo.
        {"host chat", HOST_FREE, {}, {{0, PKT_CHAT, typed}, {7, PKT_CHAT, "guest>よろしく"}},
         "chat " + cut + " >0|chat guest>よろしく >0|",
         "c2 m0 s0 p0 f0 chat ; log " + cut + " log guest>よろしく*" + cut + "\r\n*guest>よろしく\r\n", {N::ChatArrived}},
        {"guest chat and its echo", GUEST_GAME, {},
         {{0, PKT_CHAT, "hi"}, {0, PKT_CHAT, "yo"}, {3, PKT_CHAT, "guest>hi"}, {3, PKT_CHAT, "guest>yo"}, {3, PKT_CHAT, "host>hello"}},
         "chat guest>hi >0|chat guest>yo >0|",
         "c1 m1 s0 p0 f0 chat ; log guest>hi log guest>yo log host>hello*guest>hi\r\n*guest>yo\r\n*host>hello\r\n",
         {N::ChatArrived}},
        {"no chat without a connection", NEW, {}, {{0, PKT_CHAT, "hi"}}, "", none},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.rule);
        Copy c(k.start);
        c.answers = k.answers;
        k.act.run(c);
        EXPECT_EQ(c.Sent(), k.sent);
        EXPECT_EQ(c.State(), k.state);
        EXPECT_EQ(c.notices, k.notices);
        EXPECT_EQ(c.questions, k.questions);
        // A record with entries was last told of as it is now (end time too).
        if (c.record.kifu.Root()->filled) {
            EXPECT_EQ(c.saved, c.record.KifText("game.kif"));
        }
    }
}

// The record of a network game names the players by side and keeps when
// the game started and when it ended.
TEST(Protocol, RecordHeader) {
    const std::time_t before = std::time(nullptr);
    Copy h(HOST_GAME), g(GUEST_FREE);  // the guest took sente against h
    g.proto.SetOpponentName("host");
    g.proto.OnTurnAccepted(GOTE);
    for (Copy* c : {&h, &g}) {
        const KifuHeader& header = c->record.kifu.header;
        EXPECT_EQ(header.senteName + "/" + header.goteName, c == &h ? "guest/host" : "host/guest");
        EXPECT_EQ(std::pair(header.hasStartTime, header.hasEndTime), std::pair(1, 0));
        EXPECT_TRUE(header.startTime >= before && header.startTime <= std::time(nullptr));
    }
    h.Closed(7);
    EXPECT_EQ(h.record.kifu.header.hasEndTime, 1);
    EXPECT_GE(h.record.kifu.header.endTime, h.record.kifu.header.startTime);
}

// A notice's line in the chat log: its lines joined as they are (literals
// here are Shift-JIS, as the model's).
TEST(NoticeLog, JapaneseLinesJoinAsTheyAre) {
    const struct {
        Notice kind;
        const char* line;
    } cases[] = {
        {Notice::ConnectionLost, "◆相手との接続が切れました。"},
        {Notice::MoveRefused, "◆受信した指し手を盤に置けませんでした。対局を終わります。"},
        {Notice::ChatArrived, "◆チャットが届きました。右クリックのメニューの「ログ窓を表示」で読めます。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NoticeLogLine(c.kind), c.line) << NoticeName(c.kind);
}
