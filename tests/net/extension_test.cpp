// The protocol extension between copies in memory: what is announced and
// proposed, the bytes a copy without the extension sees, strict games and
// their automatic ends on both sides and at a spectator, thinking times that
// are checked, clocks that agree across a slow link, and time-outs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/board.h"
#include "net/extension.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"
#include "record/start_position.h"
#include "support/fake_net.h"

using namespace ravu;
using namespace ravu::test;

namespace {

// Kings stepping out and back: every fourth move the start stands again.
const char* const kShuffle[] = {"５八玉(59)", "５二玉(51)", "５九玉(58)", "５一玉(52)"};

}  // namespace

TEST(Extension, Payloads) {
    // Announcements: the magic word and a version, unknown words ignored.
    const struct {
        const char* text;
        int version;
        bool rules, clock;
    } caps[] = {{"RAVU 1 rules clock handicap ping", 1, true, true},
                {"RAVU 3 clock teleport", 3, false, true},
                {"RAVU 0 rules", 0, false, false},
                {"ravu 1 rules", 0, false, false},
                {"RAVU x rules", 0, false, false}};
    for (const auto& c : caps) {
        const Capabilities got = ParseCaps(c.text);
        EXPECT_EQ(got.version, c.version) << c.text;
        EXPECT_EQ(got.rules, c.rules) << c.text;
        EXPECT_EQ(got.clock, c.clock) << c.text;
    }
    EXPECT_EQ(ParseCaps(CapsPayload()).version, EXT_VERSION);

    // Settings travel and come back; what cannot be played is refused.
    for (const GameSettings& s :
         {Settings(Rules::Strict, "香落ち", TimeKind::Byoyomi, 600, 30),
          Settings(Rules::Free, nullptr, TimeKind::Increment, 300, 10),
          Settings(Rules::Strict, "十枚落ち", TimeKind::SuddenDeath, 60, 0), GameSettings{}}) {
        GameSettings back;
        EXPECT_TRUE(ParseGame(GamePayload(s), back)) << GamePayload(s);
        EXPECT_EQ(back, s) << GamePayload(s);
    }
    GameSettings untouched = Settings(Rules::Strict, nullptr, TimeKind::None, 0, 0);
    for (const char* bad :
         {"rules=strict;start=9/9/9/9/4k4/9/9/9/4K4 b - 1", "time=hourglass;main=60", "time=sudden;main=0",
          "time=byoyomi;main=99999999;byoyomi=30", "time=sudden;main=-5"}) {
        EXPECT_FALSE(ParseGame(bad, untouched)) << bad;
        EXPECT_EQ(untouched.rules, Rules::Strict) << bad;
    }
    const ClockReport sent{1200, 0, 61000}, back = ParseClock(ClockPayload(sent));
    EXPECT_EQ(back.thinkMs * back.senteMs * back.goteMs, 0);
    EXPECT_EQ(back.thinkMs + back.goteMs, 62200);
    const ClockReport r = ParseClock("gote=5;think=1200;sente=99999999999999999999;x=1");
    EXPECT_EQ(r.thinkMs, 1200);
    EXPECT_EQ(r.goteMs, 5);
    EXPECT_EQ(r.senteMs, -1);

    // A thinking time is believed between what was seen less the round trip
    // (and some slack) and what was seen; else the receiver's own figure.
    const struct {
        int64_t claimed, seen, rtt, charged;
    } think[] = {
        {9800, 10000, 200, 9800}, {10000, 10000, 200, 10000}, {9300, 10000, 200, 9300},
        {9299, 10000, 200, 9800}, {0, 30000, 100, 29900},     {10001, 10000, 200, 9800},
        {-1, 10000, 200, 9800},   {500, 400, 1000, 0},
    };
    for (const auto& t : think)
        EXPECT_EQ(ChargedThinkMs(t.claimed, t.seen, t.rtt), t.charged) << t.claimed << " " << t.seen;
}

// A copy without the extension sees exactly the basic protocol's bytes, and
// a copy with it sends nothing more to such a peer.
TEST(Extension, OneSideOnlyIsTheBasicProtocol) {
    auto game = [](bool hostExt, bool guestExt) {
        Net n(hostExt, guestExt);
        n.Join(n.guest, 7);
        n.Propose(0, Settings(Rules::Strict, "香落ち", TimeKind::Byoyomi, 60, 10));
        for (int i = 0; i < 2; ++i)
            n.Play(i % 2 ? n.host : n.guest, i % 2 ? "３四歩(33)" : "７六歩(77)");
        n.Join(n.watcher, 9);
        n.guest.proto.Resign();
        n.Run(10);
        EXPECT_FALSE(n.host.proto.Strict() || n.guest.proto.Clocked());
        EXPECT_TRUE(n.host.SavedAsIs() && n.guest.SavedAsIs() && n.watcher.SavedAsIs());
        // Only the announcement itself, which the other side ignores.
        std::string seen;
        for (size_t i = 0, end; (end = n.wire.find('|', i)) != std::string::npos; i = end + 1)
            if (n.wire.compare(n.wire.find(' ', i) + 1, 3, "96 ") != 0)
                seen += n.wire.substr(i, end + 1 - i);
        return seen;
    };
    const std::string basic = game(false, false);
    EXPECT_NE(basic.find("g>7 49    3 投了"), std::string::npos) << basic;
    EXPECT_EQ(game(true, false), basic);
    EXPECT_EQ(game(false, true), basic);
}

// A strict handicap game with byoyomi: settings asked about, the clock in the
// record, a spectator that joins in mid-game set up from the handicap start,
// and fourfold repetition ending the game alike everywhere.
TEST(Extension, StrictGameEndsAlikeEverywhere) {
    Net n;
    n.Join(n.guest, 7);
    const GameSettings s = Settings(Rules::Strict, "香落ち", TimeKind::Byoyomi, 600, 30);
    n.Propose(1, s);  // the guest gives the handicap: gote, moving first
    ASSERT_EQ(n.host.questions.size(), 2u);
    EXPECT_EQ(n.host.questions[1],
              "先手・後手はこれでいいですか？\r\n 下手: host \r\n 上手: guest\r\n ルール: 反則は負け\r\n"
              " 手合割: 香落ち（上手から）\r\n 持ち時間: 10分 秒読み30秒");
    ASSERT_EQ(n.guest.proto.mode, MODE_GAME);
    EXPECT_EQ(n.host.proto.Game(), s);
    EXPECT_EQ(n.guest.proto.SideToMove(), GOTE);

    n.Run(3000);
    EXPECT_EQ(n.Play(n.guest, kShuffle[1]), 1);
    EXPECT_EQ(n.Play(n.host, kShuffle[0]), 1);
    n.Join(n.watcher, 9);
    EXPECT_EQ(n.watcher.proto.Game(), s);
    EXPECT_TRUE(n.watcher.SavedAsIs());  // the game so far, replayed
    EXPECT_EQ(n.watcher.MainLine(), n.host.MainLine());
    for (int i = 2; i < 12; ++i)  // gote, moving first, plays the odd entries of the shuffle
        EXPECT_EQ(n.Play(i % 2 ? n.host : n.guest, kShuffle[(i ^ 1) % 4]), 1) << i;

    EXPECT_EQ(n.host.proto.mode, MODE_FREE);
    EXPECT_EQ(n.guest.proto.mode, MODE_FREE);
    const std::string line = n.host.MainLine();
    EXPECT_NE(line.find("  13 千日手;"), std::string::npos) << line;
    EXPECT_EQ(n.guest.MainLine(), line);
    EXPECT_EQ(n.watcher.MainLine(), line);
    EXPECT_EQ(n.watcher.proto.ClockOf(GOTE).mainLeftMs, n.host.proto.ClockOf(GOTE).mainLeftMs);  // 3 s spent
    EXPECT_EQ(n.host.notices, std::vector<Notice>{Notice::Sennichite});
    EXPECT_EQ(n.guest.notices, std::vector<Notice>{Notice::Sennichite});
    EXPECT_EQ(n.watcher.notices, std::vector<Notice>{Notice::WatchedGameEnded});
    for (const Peer* p : {&n.host, &n.guest, &n.watcher})
        EXPECT_TRUE(p->SavedAsIs()) << p->proto.GetHandleName();

    const std::string kif = n.host.record.KifText("game.kif");
    EXPECT_NE(kif.find("手合割：香落ち\r\n"), std::string::npos) << kif;
    EXPECT_NE(kif.find("持ち時間：10分+30秒\r\n"), std::string::npos) << kif;
    EXPECT_NE(kif.find("   1 ５二王(51)   ( 0:03/00:00:03)"), std::string::npos) << kif;
}

// What a copy does with what its opponent's program claims or plays.
TEST(Extension, ReceivedMovesAreJudged) {
    const GameSettings strict = Settings(Rules::Strict, nullptr, TimeKind::SuddenDeath, 60, 0);
    struct Case {
        const char* rule;
        const char* packet;  // from the guest (sente), after `thinkMs`
        int64_t thinkMs;
        const char* claim;    // the guest's clock packet before it, if any
        const char* hostEnd;  // the entry the host records at move 1
        Notice notice;
        int64_t charged;
    } cases[] = {
        {"a pawn two squares", "   1 ７五歩(77) ", 2000, "think=2000", "   1 反則負け",
         Notice::WonByIllegalMove, -1},
        {"a declaration that does not hold", "   1 入玉勝ち ", 2000, nullptr, "   1 反則負け",
         Notice::WonByIllegalMove, -1},
        {"a move after the time ran out", "   1 ７六歩(77) ", 61000, "think=59000", "   1 切れ負け",
         Notice::WonOnTime, -1},
        {"thinking time understated", "   1 ７六歩(77) ", 30000, "think=0", nullptr, Notice::ChatArrived,
         30000},
        {"thinking time believed", "   1 ７六歩(77) ", 30000, "think=29800", nullptr, Notice::ChatArrived,
         29800},
    };
    for (const Case& c : cases) {
        Net n;
        n.Join(n.guest, 7);
        n.Propose(0, strict);
        n.guest.ticking = false;  // the guest's program says only what the case says
        n.now += c.thinkMs;
        if (c.claim)
            n.Wire(n.guest, OWN, PKT_EXT_CLOCK, c.claim);
        n.Wire(n.guest, OWN, PKT_MOVE, c.packet);
        n.Run(0);
        if (c.hostEnd) {
            EXPECT_EQ(n.host.MainLine(), std::string(c.hostEnd) + ";;") << c.rule;
            EXPECT_EQ(n.host.notices, std::vector<Notice>{c.notice}) << c.rule;
            EXPECT_EQ(n.guest.MainLine(), n.host.MainLine()) << c.rule;  // told, and recorded alike
            EXPECT_TRUE(n.host.SavedAsIs() && n.guest.SavedAsIs()) << c.rule;
        } else {
            EXPECT_EQ(n.host.proto.LastChargedMs(), c.charged) << c.rule;
            EXPECT_EQ(n.host.proto.mode, MODE_GAME) << c.rule;
        }
    }
}

// Over a link that takes 200 ms each way the two players' clocks agree
// within a second throughout a 100-move game with byoyomi.
TEST(Extension, ClocksAgreeOverASlowLink) {
    Net n;
    n.delay = 200;
    n.Join(n.guest, 7);
    n.Propose(0, Settings(Rules::Free, nullptr, TimeKind::Byoyomi, 120, 10));
    int64_t worst = 0;
    for (int i = 0; i < 100; ++i) {
        Peer& mover = i % 2 ? n.host : n.guest;
        n.Run(1000 + (i * 733) % 4000);
        // While a move is on its way the receiver still sees the mover's
        // clock running; from its arrival on, the two agree.
        ASSERT_EQ(n.Play(mover, kShuffle[i % 4]), 1) << i;
        for (int step = 0; step < 4; ++step) {
            n.Run(100);
            for (int side : {SENTE, GOTE}) {
                const ClockShow h = n.host.proto.ClockOf(side), g = n.guest.proto.ClockOf(side);
                worst = std::max({worst, std::abs(h.mainLeftMs - g.mainLeftMs),
                                  std::abs(h.byoyomiLeftMs - g.byoyomiLeftMs)});
            }
        }
    }
    EXPECT_LT(worst, 1000);
    EXPECT_TRUE(n.host.proto.ClockOf(SENTE).inByoyomi);
    EXPECT_GT(n.host.proto.RoundTripMs(), 300);  // measured by the extension's pings
    EXPECT_EQ(n.host.proto.mode, MODE_GAME);
}

// A side whose time runs out loses: its own program says so, or, when it has
// gone silent, the opponent claims the win ten seconds later.
TEST(Extension, TimeRunsOut) {
    for (bool silent : {false, true}) {
        Net n;
        n.Join(n.guest, 7);
        n.Propose(0, Settings(Rules::Strict, nullptr, TimeKind::SuddenDeath, 10, 0));
        n.guest.ticking = !silent;
        n.Run(10000);  // a move may take all the time there is
        EXPECT_EQ(n.host.proto.mode, MODE_GAME) << silent;
        if (silent) {
            n.Run(9950);
            EXPECT_EQ(n.host.proto.mode, MODE_GAME);
        }
        n.Run(100);
        EXPECT_EQ(n.host.MainLine(), "   1 切れ負け;;") << silent;
        EXPECT_EQ(n.host.notices, std::vector<Notice>{Notice::WonOnTime}) << silent;
        EXPECT_EQ(n.guest.notices, std::vector<Notice>{Notice::LostOnTime}) << silent;
        EXPECT_TRUE(n.host.SavedAsIs() && n.guest.SavedAsIs()) << silent;
    }
}

// A strict game ends by 詰み on both sides once the side to move has no move.
TEST(Extension, MateEndsTheGame) {
    Net n;
    n.Join(n.guest, 7);
    n.Propose(0, Settings(Rules::Strict, nullptr, TimeKind::None, 0, 0));
    const char* const moves[] = {"２六歩(27)", "４二王(51)", "２五歩(26)",  "３二王(42)",
                                 "２四歩(25)", "４二飛(82)", "２三歩成(24)"};
    for (int i = 0; i < 7; ++i)
        ASSERT_EQ(n.Play(i % 2 ? n.host : n.guest, moves[i]), 1) << i;
    EXPECT_NE(n.host.MainLine().find("   8 詰み;"), std::string::npos) << n.host.MainLine();
    EXPECT_EQ(n.guest.MainLine(), n.host.MainLine());
    EXPECT_EQ(n.guest.notices, std::vector<Notice>{Notice::WonByMate});
    EXPECT_EQ(n.host.notices, std::vector<Notice>{Notice::LostByMate});
}

// Copies with the extension ping each other every ten seconds; a link on
// which nothing came for thirty seconds is gone, on either side.
TEST(Extension, SilentPeerIsGone) {
    for (bool hostSilent : {false, true}) {
        Net n;
        n.Join(n.guest, 7);
        n.Run(60000);  // nothing but pings and pongs (type 99, 100) keeps the links alive
        EXPECT_EQ(n.host.proto.connState + n.guest.proto.connState, CONN_HOST + CONN_GUEST);
        EXPECT_NE(n.wire.find("g>7 100 6|"), std::string::npos) << n.wire;
        Peer& listener = hostSilent ? n.guest : n.host;
        (hostSilent ? n.host : n.guest).mute = true;
        n.Run(19000);
        EXPECT_NE(listener.proto.connState, CONN_NONE) << hostSilent;
        n.Run(12000);
        EXPECT_EQ(listener.proto.connState, CONN_NONE) << hostSilent;
        EXPECT_EQ(listener.notices, std::vector<Notice>{Notice::ConnectionLost}) << hostSilent;
    }
}
