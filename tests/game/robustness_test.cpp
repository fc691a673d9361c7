// Long random sequences of every operation a peer, a file or the pointer can
// trigger, half of them with garbage arguments.  Whatever arrives, the table
// keeps its invariants: a board piece on a real square and alone there, a hand
// piece on (0, 0) with a real owner, at most one held piece, and every piece
// keeps its type.  Under the sanitizers this is also the undefined-behaviour
// sweep of the board.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "game/board.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

// Random values: mostly sensible, sometimes the ends of the range.
struct Chaos {
    std::mt19937 rng;
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Coin() { return Between(0, 1) == 1; }
    int Value(int lo, int hi) {
        static const int ends[] = {INT_MIN, -1, 0, 10, 40, 99, INT_MAX};
        return Between(0, 9) < 8 ? Between(lo, hi) : ends[Between(0, 6)];
    }
};

// A board piece on a real square and alone there, a hand piece on (0, 0),
// a real owner and promotion flag, at most one held piece, types unchanged.
void CheckInvariants(const CShogiBoard& board, const CShogiBoard& initial) {
    int held = 0;
    bool used[10][10] = {};
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = board.pieces[i];
        ASSERT_EQ(p.type, initial.pieces[i].type) << i;
        ASSERT_TRUE((p.promoted == 0 || p.promoted == 1) && ValidSide(p.owner)) << i;
        if (p.state == KS_BOARD) {
            ASSERT_TRUE(OnBoard(p.file, p.rank)) << i;
            ASSERT_FALSE(used[p.file][p.rank]) << "two pieces on " << p.file << p.rank;
            used[p.file][p.rank] = true;
        } else if (p.state == KS_HAND) {
            ASSERT_TRUE(p.file == 0 && p.rank == 0) << i;
        } else {
            ASSERT_EQ(p.state, KS_HELD) << i;
            ++held;
        }
    }
    ASSERT_LE(held, 1);
}

TEST(Robustness, RandomOperationsKeepTheTableSound) {
    const CShogiBoard initial;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        Chaos c{std::mt19937(seed)};
        test::Hosted h;
        CShogiBoard& board = h.board;
        int applied = 0, dropped = 0;
        for (int step = 0; step < 4000; ++step) {
            h.asker.answer = c.Between(0, 2);
            const int op = c.Between(0, 11);
            if (op <= 3) {
                // A move record: either built from a real piece or pure garbage.
                MoveRec m;
                const KomaRec& p = board.pieces[c.Between(0, PIECE_COUNT - 1)];
                m.side = c.Coin() ? p.owner : c.Value(0, 1);
                m.type = c.Coin() ? p.type : c.Value(0, 8);
                m.fromFile = c.Coin() ? p.file : c.Value(0, 9);
                m.fromRank = c.Coin() ? p.rank : c.Value(0, 9);
                m.toFile = c.Value(1, 9);
                m.toRank = c.Value(1, 9);
                m.promoted = c.Value(0, 1);
                m.status = c.Value(0, 5);
                applied += board.ApplyMove(m, c.Coin());
            } else if (op <= 5) {
                const int h = board.HeldPiece();
                if (h == -1) {
                    board.PickUp(c.Coin() ? c.Between(0, 39) : c.Value(0, 39), c.Value(0, 568), c.Value(0, 300));
                } else {
                    const int x = c.Coin() ? 141 + 31 * c.Between(0, 8) + 15 : c.Value(0, 568);
                    const int y = c.Coin() ? 11 + 31 * c.Between(0, 8) + 15 : c.Value(0, 300);
                    dropped += board.DropHeld(c.Coin() ? h : c.Value(0, 39), x, y);
                }
            } else if (op == 6) {
                board.CancelCapture();
            } else if (op == 7) {
                board.SetFlip(c.Value(0, 1));
                board.DrawList();
            } else if (op == 8) {
                board.ReachList(c.Value(0, 1));
                board.MarkList(c.Value(0, 1), c.Value(0, 39));
                board.ComputeAttacks(c.Value(0, 1));
            } else if (op == 9) {
                board.HitTest(c.Value(0, 568), c.Value(0, 300));
                DragStep s{};
                board.DragTo(c.Value(0, 39), c.Value(0, 568), c.Value(0, 300), s);
            } else if (op == 10) {
                board.Capture(c.Value(0, 39), c.Value(0, 1));
            } else if (c.Between(0, 50) == 0) {
                board.Reset();
            }
            CheckInvariants(board, initial);
            if (testing::Test::HasFatalFailure()) {
                ADD_FAILURE() << "seed " << seed << " step " << step << " op " << op;
                return;
            }
        }
        // The sequences really moved pieces around, both ways.
        EXPECT_GT(applied, 50) << seed;
        EXPECT_GT(dropped, 5) << seed;
        EXPECT_TRUE(h.messages.shown.empty());
    }
}

}  // namespace
}  // namespace ravu
