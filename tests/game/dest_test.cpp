// The destination lists and the check indicator: entry order and numbering,
// list sizes, line stops, and which king ComputeAttacks answers for.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "game/board.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

using test::Arrange;

struct Sq {
    int file, rank;
};

// The (file, rank) of the used entries of a list, in entry order, with
// {0, 0} for an unused entry between used ones.
std::vector<Sq> Entries(const KomaRec& p) {
    int last = -1;
    for (int k = 0; k < DEST_COUNT; ++k)
        if (p.dest[k].reachable || p.dest[k].occupied)
            last = k;
    std::vector<Sq> out;
    for (int k = 0; k <= last; ++k)
        out.push_back({p.dest[k].file, p.dest[k].rank});
    return out;
}

void ExpectEntries(const KomaRec& p, const std::vector<Sq>& expected) {
    const std::vector<Sq> got = Entries(p);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t k = 0; k < got.size(); ++k) {
        EXPECT_EQ(got[k].file, expected[k].file) << "entry " << k;
        EXPECT_EQ(got[k].rank, expected[k].rank) << "entry " << k;
    }
}

TEST(DestList, RookAndDragonOrder) {
    CShogiBoard board;
    Arrange(board, "sHI55");
    const int rook = board.PieceAt(5, 5);
    board.GenerateDest(rook);
    const std::vector<Sq> lines = {{5, 6}, {5, 7}, {5, 8}, {5, 9}, {5, 4}, {5, 3}, {5, 2}, {5, 1},
                                   {4, 5}, {3, 5}, {2, 5}, {1, 5}, {6, 5}, {7, 5}, {8, 5}, {9, 5}};
    ExpectEntries(board.pieces[rook], lines);
    board.pieces[rook].promoted = 1;
    board.GenerateDest(rook);
    std::vector<Sq> dragon = lines;
    dragon.insert(dragon.end(), {{6, 6}, {4, 6}, {6, 4}, {4, 4}});
    ExpectEntries(board.pieces[rook], dragon);
    for (const DestEntry& e : board.pieces[rook].dest)
        EXPECT_EQ(e.reachable, 1);
}

TEST(DestList, BishopAndHorseOrder) {
    CShogiBoard board;
    Arrange(board, "g+KA55");
    const int bishop = board.PieceAt(5, 5);
    board.GenerateDest(bishop);
    ExpectEntries(board.pieces[bishop], {{6, 6}, {7, 7}, {8, 8}, {9, 9}, {6, 4}, {7, 3}, {8, 2}, {9, 1},
                                         {4, 6}, {3, 7}, {2, 8}, {1, 9}, {4, 4}, {3, 3}, {2, 2}, {1, 1},
                                         {5, 6}, {5, 4}, {6, 5}, {4, 5}});
}

TEST(DestList, LinesStopAtTheFirstPieceAndStayDense) {
    CShogiBoard board;
    Arrange(board, "sHI55 sFU57 gFU35 sKY19 gKY12");
    const int rook = board.PieceAt(5, 5);
    board.GenerateDest(rook);
    ExpectEntries(board.pieces[rook], {{5, 6}, {5, 7}, {5, 4}, {5, 3}, {5, 2}, {5, 1}, {4, 5}, {3, 5},
                                       {6, 5}, {7, 5}, {8, 5}, {9, 5}});
    const KomaRec& r = board.pieces[rook];
    const int ownPawn = board.PieceAt(5, 7), enemyPawn = board.PieceAt(3, 5);
    EXPECT_EQ(r.dest[1].reachable, 0);
    EXPECT_EQ(r.dest[1].occupied, 1);
    EXPECT_EQ(r.dest[1].occupant, ownPawn);
    EXPECT_EQ(r.dest[7].reachable, 1);
    EXPECT_EQ(r.dest[7].occupied, 1);
    EXPECT_EQ(r.dest[7].occupant, enemyPawn);
    EXPECT_EQ(r.dest[0].occupant, 0);
    // A lance stops on the first piece of the other side, reachable.
    const int lance = board.PieceAt(1, 9);
    board.GenerateDest(lance);
    ExpectEntries(board.pieces[lance], {{1, 8}, {1, 7}, {1, 6}, {1, 5}, {1, 4}, {1, 3}, {1, 2}});
    EXPECT_EQ(board.pieces[lance].dest[6].reachable, 1);
}

TEST(DestList, LanceOnItsStartingRankReachesEightSquares) {
    CShogiBoard board;
    Arrange(board, "sKY19 gKY91");
    for (int side = SENTE; side <= GOTE; ++side) {
        const int lance = side == SENTE ? board.PieceAt(1, 9) : board.PieceAt(9, 1);
        board.GenerateDest(lance);
        const std::vector<Sq> got = Entries(board.pieces[lance]);
        ASSERT_EQ(got.size(), 8u);
        EXPECT_EQ(got.back().rank, side == SENTE ? 1 : 9);
    }
}

TEST(DestList, StepEntriesKeepFixedNumbers) {
    CShogiBoard board;
    // Sente silver on the right edge: the steps towards file 0 leave gaps.
    Arrange(board, "sGI15 gKE95 sOU11");
    const int silver = board.PieceAt(1, 5);
    board.GenerateDest(silver);
    ExpectEntries(board.pieces[silver], {{2, 4}, {1, 4}, {0, 0}, {2, 6}});
    // Gote knight on file 9: only the (-1, +2) entry, at number 1.
    const int knight = board.PieceAt(9, 5);
    board.GenerateDest(knight);
    ExpectEntries(board.pieces[knight], {{0, 0}, {8, 7}});
    // King in the corner: entries 0, 2 (off), ... only the three inside.
    const int king = board.PieceAt(1, 1);
    board.GenerateDest(king);
    ExpectEntries(board.pieces[king], {{0, 0}, {0, 0}, {0, 0}, {2, 1}, {0, 0}, {2, 2}, {1, 2}});
}

TEST(ComputeAttacks, AnswersForTheKingReachedLast) {
    struct Case {
        const char* position;
        int kingAttacked, senteAnswer, goteAnswer;
    } cases[] = {
        {"sHI11 gOU51 gHI19 sGY59", 1, 1, 0},  // gote rook (later index) reaches sente's king last
        {"gHI11 sGY51 sHI19 gOU59", 1, 0, 1},
        {"sHI11 gOU51 sGY99", 1, 0, 1},
        {"sHI11 gFU31 gOU51 sGY99", 0, 0, 0},  // blocked
        {"sKI52 gOU51 sGY99", 1, 0, 1},
        {"sKI51 sGY52", 0, 0, 0},              // own king is never attacked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        CShogiBoard board;
        Arrange(board, c.position);
        EXPECT_EQ(board.ComputeAttacks(SENTE), c.senteAnswer);
        EXPECT_EQ(board.kingAttacked, c.kingAttacked);
        EXPECT_EQ(board.ComputeAttacks(GOTE), c.goteAnswer);
        EXPECT_EQ(board.kingAttacked, c.kingAttacked);
    }
}

TEST(ComputeAttacks, HeldPiecesCountFromTheirSquare) {
    CShogiBoard board;
    Arrange(board, "sHI55 gOU51 sGY99 sKI00");
    const int rook = board.PieceAt(5, 5), gold = board.FindInHand(SENTE, PT_KIN);
    board.PickUp(rook, 300, 100);
    EXPECT_EQ(board.ComputeAttacks(GOTE), 1);
    EXPECT_EQ(Entries(board.pieces[rook]).size(), 16u);
    board.ReturnHeld(rook);
    board.PickUp(gold, 500, 200);
    board.pieces[gold].dest[0] = DestEntry{1, 5, 5, 0, 0};  // a stale entry: not regenerated
    board.ComputeAttacks(SENTE);
    EXPECT_EQ(board.pieces[gold].dest[0].file, 5);
    // Pieces taken off the board lose their list.
    board.ReturnHeld(gold);
    board.pieces[gold].state = KS_BOARD;
    board.pieces[gold].file = 5;
    board.pieces[gold].rank = 2;
    board.ComputeAttacks(SENTE);
    ASSERT_FALSE(Entries(board.pieces[gold]).empty());
    board.Capture(gold, GOTE);
    EXPECT_TRUE(Entries(board.pieces[gold]).empty());
}

TEST(ComputeAttacks, InitialPositionAndReset) {
    CShogiBoard board;
    EXPECT_EQ(board.ComputeAttacks(SENTE), 0);
    EXPECT_EQ(board.kingAttacked, 0);
    // InitPosition fills every list: the sente pawn on 7七 reaches 7六.
    EXPECT_EQ(board.pieces[6].dest[0].file, 7);
    EXPECT_EQ(board.pieces[6].dest[0].rank, 6);
    EXPECT_EQ(board.pieces[6].dest[0].reachable, 1);
    // Gote knight on 2一: both targets hold gote's own pawns.
    EXPECT_EQ(board.pieces[24].dest[0].occupied, 1);
    EXPECT_EQ(board.pieces[24].dest[0].reachable, 0);
    EXPECT_EQ(board.pieces[24].dest[0].occupant, board.PieceAt(3, 3));
}

TEST(DestList, GarbageIsRefused) {
    CShogiBoard board;
    const int bad[] = {-1, 40, INT_MIN, INT_MAX};
    for (int i : bad) {
        EXPECT_EQ(board.AddDest(i, 0, 5, 5), 0);
        board.GenerateDest(i);
        board.DestFu(i);
        board.DestKyo(i);
        board.DestKei(i);
        board.DestGin(i);
        board.DestKin(i);
        board.DestOu(i);
        board.DestHi(i);
        board.DestKaku(i);
        EXPECT_EQ(board.AddDest(6, i, 7, 6), 0) << "entry number " << i;
    }
    EXPECT_EQ(board.AddDest(6, 0, 0, 6), 0);
    EXPECT_EQ(board.AddDest(6, 0, 7, INT_MIN), 0);
    EXPECT_EQ(board.AddDest(6, 19, 7, 6), 1);
    EXPECT_EQ(board.pieces[6].dest[19].file, 7);
    // Pieces whose fields were overwritten with garbage reach nothing.
    KomaRec& p = board.pieces[36];
    const int fields[][3] = {{INT_MAX, 5, 0}, {5, INT_MIN, 0}, {5, 5, 7}, {5, 5, INT_MIN}};
    for (const auto& f : fields) {
        p.file = f[0];
        p.rank = f[1];
        p.promoted = f[2];
        board.ComputeAttacks(SENTE);
        EXPECT_TRUE(Entries(p).empty());
    }
    p.file = p.rank = 5;
    p.promoted = 0;
    p.owner = -3;
    board.GenerateDest(36);
    EXPECT_TRUE(Entries(p).empty());
    p.owner = SENTE;
    p.type = 12;
    board.GenerateDest(36);
    EXPECT_TRUE(Entries(p).empty());
    board.attackedKing = INT_MIN;
    board.kingAttacked = 1;
    EXPECT_EQ(board.ComputeAttacks(SENTE), 0);
}

}  // namespace
}  // namespace ravu
