// Games cut off by a lost connection, in memory: the link cut at every packet
// of a game from the first hello to the resignation, each time the game
// adjourned on both sides or on neither, and resumed with the same moves
// everywhere; a host restarted from what it kept on disk; games ended on
// purpose; a guest the host does not know.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/adjournment.h"
#include "support/fake_net.h"

using namespace ravu;
using namespace ravu::test;

namespace {

const GameSettings kStrict = Settings(Rules::Strict, nullptr, TimeKind::Byoyomi, 60, 10);
// The guest (sente) and the host take turns; then the guest resigns.
const char* const kMoves[] = {"７六歩(77)", "３四歩(33)", "２六歩(27)", "８四歩(83)",
                              "２五歩(26)", "８五歩(84)", "７八金(69)", "３二金(41)"};
constexpr int kMoveCount = int(std::size(kMoves));

int MovesMade(const Peer& p) { return std::max(0, p.record.kifu.current->move->number - 1); }

bool Has(const std::vector<Notice>& notices, Notice n) {
    return std::find(notices.begin(), notices.end(), n) != notices.end();
}

// Plays the moves from the one the record has reached, then the guest resigns.
void PlayOn(Net& n) {
    for (int i = MovesMade(n.host); i < kMoveCount && !n.guest.proto.Adjourned(); ++i)
        n.Play(i % 2 ? n.host : n.guest, kMoves[i]);
    if (n.guest.proto.mode == MODE_GAME && !n.guest.proto.Adjourned()) {
        n.guest.proto.Resign();
        n.Run(2 * n.delay + 1);  // to the host, and on to the spectator
    }
}

void StartGame(Net& n) {
    n.Join(n.guest, 7);
    n.Join(n.watcher, 9);
    n.Propose(0, kStrict);
    n.Run(2 * n.delay + 1);  // the token and its echo
}

}  // namespace

// How two records are compared (which copy holds one move more is left to
// the cuts below), and what is kept on disk.
TEST(Resume, DigestAndKeptGame) {
    MoveRec pawn, promoted;
    pawn.toFile = promoted.toFile = 2;
    pawn.toRank = promoted.toRank = 3;
    promoted.promoted = 1;
    EXPECT_NE(MovesDigest({&pawn}, 1), MovesDigest({&promoted}, 1));
    EXPECT_EQ(MovesDigest({&pawn}, 0), MovesDigest({}, 0));
    EXPECT_EQ(ParseResume("token=../x;moves=-1").token + std::to_string(ParseResume("moves=-1").moves), "-1");

    Adjournment a;
    a.token = "0123456789abcdef";
    a.settings = kStrict;
    a.caps = ParseCaps(CapsPayload());
    a.opponent = "evil\r\nrecord=/etc/passwd";  // a name cannot break its line
    a.recordPath = "/home/u/games/x.kif";
    Adjournment b;
    ASSERT_TRUE(ParseAdjournment(AdjournmentText(a), b));
    EXPECT_EQ(b.recordPath, a.recordPath);
    EXPECT_EQ(b.opponent, "evil  record=/etc/passwd");
    for (const char* bad :
         {"token=\nrecord=x\ncaps=RAVU 1 resume\n", "token=ab\nrecord=x\ncaps=RAVU 1 rules\n",
          "token=ab\ncaps=RAVU 1 resume\n", "token=ab\nrecord=x\ncaps=RAVU 1 resume\nsettings=time=x\n"})
        EXPECT_FALSE(ParseAdjournment(bad, b)) << bad;
}

// The link is cut at each packet in turn, from the first hello to the
// resignation; moves in flight are lost with it.  Each time the game is
// adjourned on both sides or on neither; adjourned, a minute passes without
// any clock running out, the guest comes back, and the game goes on to its
// end with every move on both players and the spectator.
TEST(Resume, CutAtEveryPacket) {
    int total = 0;
    {
        Net n;
        n.delay = 100;
        StartGame(n);
        PlayOn(n);
        total = n.delivered;
        ASSERT_EQ(n.host.MainLine(), n.guest.MainLine());
    }
    ASSERT_GT(total, 40);
    int adjournedCount = 0;
    for (int k = 1; k <= total; ++k) {
        SCOPED_TRACE("cut at packet " + std::to_string(k));
        Net n;
        n.delay = 100;
        n.cutGuestAt = k;
        StartGame(n);
        PlayOn(n);
        n.cutGuestAt = 0;
        const bool hostWaits = n.host.proto.Adjourned(), guestWaits = n.guest.proto.Adjourned();
        const std::string guestLine = n.guest.MainLine();
        const ClockShow before = n.guest.proto.ClockOf(SENTE);
        n.Run(60000);
        if (!guestWaits) {
            // Cut before both held the token, or after the end: nothing waits,
            // but for a host whose guest's resignation was lost on the way
            // (its player can give the game up).
            const bool resignationLost = n.guest.MainLine().find("投了") != std::string::npos &&
                                         n.host.MainLine().find("投了") == std::string::npos;
            EXPECT_EQ(hostWaits, resignationLost);
            EXPECT_NE(n.guest.proto.mode, MODE_GAME);
            continue;
        }
        ++adjournedCount;
        EXPECT_TRUE(Has(n.guest.notices, Notice::Adjourned));
        EXPECT_EQ(n.guest.proto.ClockOf(SENTE).mainLeftMs, before.mainLeftMs);
        EXPECT_EQ(n.guest.proto.PlayMoveText("   1 ７六歩(77) "), 0);
        n.guest.proto.OnSockMessage(WM_SOCK_CLOSED, 0);  // an attempt to come back that failed
        ASSERT_TRUE(n.guest.proto.Adjourned());
        EXPECT_EQ(n.guest.MainLine(), guestLine);
        n.Rejoin(n.guest, 8);
        if (!hostWaits) {
            // The host never learnt that its guest held the token.
            EXPECT_TRUE(Has(n.guest.notices, Notice::ResumeFailed));
            EXPECT_NE(n.guest.proto.mode, MODE_GAME);
            continue;
        }
        ASSERT_FALSE(n.guest.proto.Adjourned() || n.host.proto.Adjourned());
        EXPECT_TRUE(Has(n.host.notices, Notice::Resumed) && Has(n.guest.notices, Notice::Resumed));
        PlayOn(n);
        const std::string line = n.host.MainLine();
        EXPECT_NE(line.find("   9 投了;"), std::string::npos) << line;
        EXPECT_EQ(n.guest.MainLine(), line);
        EXPECT_EQ(n.watcher.MainLine(), line);
        EXPECT_TRUE(n.host.SavedAsIs() && n.guest.SavedAsIs());
    }
    EXPECT_GT(adjournedCount, total / 2);
}

// The host's program is killed and started again: it takes the game up from
// the record and what it kept, and its guest comes back to it.
TEST(Resume, RestartedHostTakesItsGuestBack) {
    Net n;
    StartGame(n);
    for (int i = 0; i < 3; ++i)
        n.Play(i % 2 ? n.host : n.guest, kMoves[i]);
    n.Run(4000);  // the host thinks for four seconds, then its program dies
    ASSERT_TRUE(n.host.proto.Resumable());
    Adjournment kept = n.host.proto.Kept();
    kept.recordPath = "x.kif";
    const std::string keptText = AdjournmentText(kept);
    const std::string kif = n.host.record.KifText("x.kif");
    n.Cut(n.guest);
    ASSERT_TRUE(n.guest.proto.Adjourned());

    // Started again, it reads the record file and what it kept.
    n.host.proto.AbandonAdjourned();
    n.host.proto.ResetGame();
    Adjournment a;
    ASSERT_TRUE(ParseAdjournment(keptText, a));
    ASSERT_TRUE(n.host.record.LoadKifFromBuffer(kif, "x.kif"));
    ASSERT_TRUE(n.host.proto.RestoreAdjourned(a));
    EXPECT_TRUE(n.host.proto.Adjourned());
    EXPECT_EQ(n.host.proto.mySide, GOTE);
    EXPECT_EQ(n.host.proto.ClockOf(SENTE).mainLeftMs, kept.senteMs);
    EXPECT_GE(kept.thinkMs, 4000);  // its move under way
    EXPECT_EQ(n.host.proto.ClockOf(GOTE).mainLeftMs, kept.goteMs - kept.thinkMs);
    n.Rejoin(n.guest, 8);
    ASSERT_FALSE(n.host.proto.Adjourned() || n.guest.proto.Adjourned());
    PlayOn(n);
    EXPECT_EQ(n.host.MainLine(), n.guest.MainLine());
    EXPECT_NE(n.host.MainLine().find("   9 投了;"), std::string::npos) << n.host.MainLine();
}

// A guest back before its host noticed the old link die; resigning or
// disconnecting on purpose ends the game as it always has; a guest coming
// back with a game the host no longer holds is refused.
TEST(Resume, ComebacksAndEnds) {
    {
        Net n;
        StartGame(n);
        n.Play(n.guest, kMoves[0]);
        n.guest.conn.ownHandle = 0;
        n.guest.proto.OnSockMessage(WM_SOCK_CLOSED, 0);
        n.slots.erase(7);
        ASSERT_TRUE(n.guest.proto.Adjourned());
        n.Rejoin(n.guest, 8);
        EXPECT_FALSE(n.host.proto.Adjourned() || n.guest.proto.Adjourned());
        EXPECT_EQ(n.host.listen.closedSlots.back(), 7);
        PlayOn(n);
        EXPECT_EQ(n.host.MainLine(), n.guest.MainLine());
        EXPECT_NE(n.host.MainLine().find("   9 投了;"), std::string::npos) << n.host.MainLine();
    }
    {
        Net n;
        StartGame(n);
        n.Play(n.guest, kMoves[0]);
        ASSERT_EQ(n.host.proto.Disconnect(), 1);
        n.Run(1);
        n.Cut(n.guest);
        EXPECT_FALSE(n.guest.proto.Adjourned());
        EXPECT_TRUE(Has(n.guest.notices, Notice::OpponentGone));
    }
    // The host has given the game up, or the guest holds other moves.
    for (bool abandoned : {true, false}) {
        Net n;
        StartGame(n);
        n.Play(n.guest, kMoves[0]);
        n.Cut(n.guest);
        ASSERT_TRUE(n.host.proto.Adjourned());
        if (abandoned)
            n.host.proto.AbandonAdjourned();
        else
            n.guest.record.kifu.Root()->move->toRank = 5;
        n.Rejoin(n.guest, 8);
        EXPECT_FALSE(n.guest.proto.Adjourned());
        EXPECT_NE(n.guest.proto.mode, MODE_GAME);
        EXPECT_TRUE(Has(n.guest.notices, Notice::ResumeFailed));
        EXPECT_EQ(n.host.listen.closedSlots.back(), 8);
        EXPECT_EQ(n.host.proto.Adjourned(), !abandoned);
    }
}
