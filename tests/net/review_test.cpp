// Reviewing a finished game together, in memory: a host, its opponent and a
// spectator with the extension step, play crossing moves and comment; one
// stops following and comes back; every record ends byte-equal, and a copy
// without the extension receives nothing of it.  Paths and refusals in tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/sfen.h"
#include "record/record_path.h"
#include "support/fake_net.h"

using namespace ravu;
using namespace ravu::test;

namespace {

// A move on the board as the board window reports it: its squares.
MoveRec Move(std::string_view usi) {
    MoveRec m;
    m.fromFile = usi[0] - '0';
    m.fromRank = usi[1] - 'a' + 1;
    m.toFile = usi[2] - '0';
    m.toRank = usi[3] - 'a' + 1;
    return m;
}

// The guest (sente) and the host play four moves; the guest resigns.
void PlayGame(Net& n) {
    n.Propose(0);
    int ply = 0;
    for (const char* m : {"７六歩(77)", "３四歩(33)", "２六歩(27)", "８四歩(83)"})
        n.Play(ply++ % 2 ? n.host : n.guest, m);
    n.guest.proto.Resign();
    n.Run(2 * n.delay + 1);
}

std::string Kif(const Peer& p) { return p.record.KifText("review.kif"); }
std::string Board(const Peer& p) { return BoardSfen(p.board, SENTE, 1); }
const KifuNode* At(const Peer& p, const RecordPath& path) { return EntryAt(p.record.kifu, path); }
// The user steps to the entry: the record window replays the board, then tells the review.
void Step(Peer& p, const RecordPath& path) {
    p.record.SetUpStart(p.board);
    for (size_t i = 1; i <= path.size(); ++i)
        p.board.ApplyMove(*At(p, RecordPath(path.begin(), path.begin() + long(i)))->move, true);
    p.proto.ReviewShown(At(p, path));
}
const RecordPath kEnd = {0, 0, 0, 0};  // after ８四歩, where the review starts

}  // namespace

TEST(Review, PathText) {
    const struct {
        RecordPath path;
        const char* text;
    } rows[] = {
        {{}, "-"}, {{0, 0, 0}, "0*3"}, {{0, 0, 1, 0, 0, 0, 2}, "0*2.1.0*3.2"}, {{12, 12, 3}, "12*2.3"}};
    for (const auto& r : rows) {
        EXPECT_EQ(PathText(r.path), r.text);
        RecordPath back;
        EXPECT_TRUE(ParsePath(r.text, back) && back == r.path) << r.text;
    }
    RecordPath p;
    EXPECT_TRUE(ParsePath("0.0*2", p) && p == RecordPath({0, 0, 0}));
    for (const char* bad : {"", "-1", "0.", ".0", "0*0", "x", "0**2", "1*2*3", "5000", "0*4096.0", "0 1"})
        EXPECT_FALSE(ParsePath(bad, p)) << bad;
}

// Three copies review together; a fourth without the extension watched the
// game and is left alone.
TEST(Review, ThreeCopiesEndWithOneRecord) {
    Net n;
    n.delay = 100;
    Peer basic("basic", false, n.now);
    n.Join(n.guest, 7);
    n.Join(n.watcher, 9);
    n.Join(basic, 11);
    PlayGame(n);
    const std::string basicKif = Kif(basic);
    const size_t wireBefore = n.wire.size();
    ASSERT_TRUE(n.watcher.proto.StartReview());  // a spectator asks; the host starts it
    n.Run(2 * n.delay + 1);
    for (Peer* p : {&n.host, &n.guest, &n.watcher}) {
        ASSERT_TRUE(p->proto.Reviewing());
        EXPECT_EQ(Kif(*p), Kif(n.host));
        EXPECT_EQ(Board(*p), Board(n.host));
    }

    // Moves crossing in flight at the same position: a new variation, a second
    // one behind it, and the first one again, which only goes there.
    ASSERT_TRUE(n.host.proto.ReviewMove(Move("2f2e")));
    ASSERT_TRUE(n.guest.proto.ReviewMove(Move("6g6f")));
    ASSERT_TRUE(n.watcher.proto.ReviewMove(Move("2f2e")));
    EXPECT_FALSE(n.watcher.proto.ReviewMove(Move("2f2d")));
    n.Run(2 * n.delay + 1);
    // The host steps back and plays a third variation while the spectator
    // comments on the first: each lands where it was meant.
    Step(n.host, kEnd);
    ASSERT_TRUE(n.host.proto.ReviewMove(Move("1g1f")));
    n.watcher.proto.ReviewComment("２五歩が本線");
    n.host.proto.ReviewComment("１六歩も");
    n.Run(2 * n.delay + 1);
    // A line is extended at its end; the start gets a comment (the header's).
    Step(n.host, {0, 0, 0, 0, 1});
    ASSERT_TRUE(n.host.proto.ReviewMove(Move("3d3e")));
    Step(n.guest, {});
    n.Run(2 * n.delay + 1);
    n.guest.proto.ReviewComment("開始局面");
    n.Run(2 * n.delay + 1);
    for (Peer* p : {&n.guest, &n.watcher})
        EXPECT_EQ(Board(*p), Board(n.host));

    // The guest browses alone: changes still arrive, its board stays.
    n.guest.proto.SetFollowing(false);
    Step(n.guest, {0});
    const std::string guestBoard = Board(n.guest);
    Step(n.watcher, {0, 0});
    n.Run(2 * n.delay + 1);
    ASSERT_TRUE(n.watcher.proto.ReviewMove(Move("6g6f")));
    n.guest.proto.ReviewComment("７六歩");
    n.Run(2 * n.delay + 1);
    EXPECT_EQ(Board(n.guest), guestBoard);
    EXPECT_NE(Board(n.host), guestBoard);
    EXPECT_EQ(Kif(n.guest), Kif(n.host));
    n.guest.proto.SetFollowing(true);
    EXPECT_EQ(Board(n.guest), Board(n.host));
    // Its own move is shown to a copy that browses alone, as to everyone.
    n.guest.proto.SetFollowing(false);
    Step(n.guest, {0});
    ASSERT_TRUE(n.guest.proto.ReviewMove(Move("3c3d")));
    n.Run(2 * n.delay + 1);
    EXPECT_EQ(Board(n.guest), Board(n.host));

    n.guest.proto.EndReview();
    n.Run(2 * n.delay + 1);
    const std::string kif = Kif(n.host);
    for (Peer* p : {&n.host, &n.guest, &n.watcher}) {
        EXPECT_FALSE(p->proto.Reviewing());
        EXPECT_EQ(p->notices.back(), Notice::ReviewEnded);
        EXPECT_EQ(Kif(*p), kif);
    }
    const struct {
        RecordPath path;
        const char* move;
        const char* comment;
    } entries[] = {{{0}, "７六歩(77)", "７六歩\r\n"},
                   {{0, 0, 0, 0, 0}, "投了", ""},
                   {{0, 0, 0, 0, 1}, "２五歩(26)", "２五歩が本線\r\n"},
                   {{0, 0, 0, 0, 2}, "６六歩(67)", ""},
                   {{0, 0, 0, 0, 3}, "１六歩(17)", "１六歩も\r\n"},
                   {{0, 0, 0, 0, 1, 0}, "３五歩(34)", ""},
                   {{0, 0, 1}, "６六歩(67)", ""}};
    for (const auto& e : entries) {
        const KifuNode* entry = At(n.host, e.path);
        ASSERT_TRUE(entry) << PathText(e.path);
        EXPECT_NE(kif.find(e.move), std::string::npos) << e.move;
        EXPECT_EQ(entry->move->comment, e.comment) << PathText(e.path);
    }
    EXPECT_FALSE(At(n.host, {0, 0, 0, 0, 4}));
    EXPECT_EQ(n.host.record.kifu.header.headerComment, "*開始局面\r\n");

    // The copy without the extension received nothing during the review.
    EXPECT_EQ(n.wire.find("h>11 ", wireBefore), std::string::npos);
    EXPECT_NE(n.wire.find("h>9 102 ", wireBefore), std::string::npos);
    EXPECT_EQ(Kif(basic), basicKif);
    EXPECT_FALSE(basic.proto.CanReview());
}

// Requests the host drops and orders a guest ignores: its record stays as it
// was and nothing goes out.  The record is padded close to the largest one.
TEST(Review, Refusals) {
    Net n;
    n.Join(n.guest, 7);
    PlayGame(n);
    std::string& pad = n.host.record.kifu.header.headerComment;
    while (Kif(n.host).size() + 200 < KIF_MAX_BYTES)
        pad += "*" + std::string(97, 'x') + "\r\n";
    ASSERT_TRUE(n.host.proto.StartReview());
    n.Run(1);
    ASSERT_TRUE(n.guest.proto.Reviewing());
    ASSERT_EQ(Kif(n.guest), Kif(n.host));
    const std::string piece = "kif " + std::string(PAYLOAD_MAX - 4, 'x');
    const struct {
        bool fromHost;
        std::vector<std::string> packets;
        bool refused;
    } rows[] = {
        {false, {"go 0*9"}, true},                                // past the end of the line
        {false, {"go 0.x"}, true},                                // not a path
        {false, {"move 0*4 2f2d"}, true},                         // a pawn cannot go two squares
        {false, {"move 0*4 3d3e"}, true},                         // gote's pawn, sente to move
        {false, {"move 0*5 2f2e"}, true},                         // after the resignation
        {false, {"move - P*5e"}, true},                           // nothing in hand
        {false, {"move 0*4 7i7h+"}, true},                        // no promotion outside the zone
        {false, {"comment 0*4 " + std::string(200, 'c')}, true},  // the record would grow too large
        {false, {"stop 0*4"}, true},                              // not a word of the review
        {true, {"move 0*3 6g6f"}, true},                          // gote to move
        {true, {"comment 0*9 x"}, true},                          // past the end
        {true, std::vector<std::string>(KIF_MAX_BYTES / (PAYLOAD_MAX - 4) + 1, piece), true},
        {false, {"move 0*4 2f2e"}, false},  // a move that fits is taken
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.packets.back().substr(0, 20));
        const std::string before = Kif(r.fromHost ? n.guest : n.host);
        const size_t wire = n.wire.size();
        for (const std::string& p : r.packets)
            r.fromHost ? n.Wire(n.host, 7, PKT_EXT_REVIEW, p) : n.Wire(n.guest, OWN, PKT_EXT_REVIEW, p);
        if (r.fromHost && r.packets.size() > 1)
            n.Wire(n.host, 7, PKT_EXT_REVIEW, "start -");
        n.Run(1);
        EXPECT_EQ(Kif(r.fromHost ? n.guest : n.host) == before, r.refused);
        EXPECT_EQ(n.wire.find(r.fromHost ? "g>" : "h>", wire) == std::string::npos, r.refused);
        EXPECT_TRUE(n.guest.proto.Reviewing());
    }
}

// A spectator that connects during a review gets the record as it stands.
TEST(Review, LateSpectatorJoins) {
    Net n;
    n.Join(n.guest, 7);
    PlayGame(n);
    ASSERT_TRUE(n.host.proto.StartReview());
    ASSERT_TRUE(n.host.proto.ReviewMove(Move("2f2e")));
    n.Join(n.watcher, 9);
    EXPECT_TRUE(n.watcher.proto.Reviewing());
    EXPECT_EQ(Kif(n.watcher), Kif(n.host));
    EXPECT_EQ(Board(n.watcher), Board(n.host));
}
