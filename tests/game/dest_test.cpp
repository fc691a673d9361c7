// The destination lists beyond their squares: entry order and numbering,
// which pieces ComputeAttacks runs, and garbage arguments.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tests/game/position.h"

namespace ravu {
namespace {

using namespace test;

// The used entries of a list in entry order as "fr" pairs, "00" for an
// unused entry between used ones.
std::string Entries(const KomaRec& p) {
    std::string out, gap;
    for (const DestEntry& e : p.dest) {
        gap += " " + std::to_string(e.file) + std::to_string(e.rank);
        if (e.reachable || e.occupied)
            out += gap, gap.clear();
    }
    return out.empty() ? out : out.substr(1);
}

TEST(DestList, EntryOrderAndNumbers) {
    struct Case {
        const char* position;
        int file, rank;
        const char* entries;
    } cases[] = {
        {"sHI55", 5, 5, "56 57 58 59 54 53 52 51 45 35 25 15 65 75 85 95"},
        {"s+HI55", 5, 5, "56 57 58 59 54 53 52 51 45 35 25 15 65 75 85 95 66 46 64 44"},
        {"g+KA55", 5, 5, "66 77 88 99 64 73 82 91 46 37 28 19 44 33 22 11 56 54 65 45"},
        // Lines stop after the first piece and stay dense.
        {"sHI55 sFU57 gFU35", 5, 5, "56 57 54 53 52 51 45 35 65 75 85 95"},
        {"sKY19 gKY12", 1, 9, "18 17 16 15 14 13 12"},
        // Step entries off the board leave gaps; the others keep their numbers.
        {"sGI15", 1, 5, "24 14 00 26"},
        {"gKE95", 9, 5, "00 87"},
        {"sOU11", 1, 1, "00 00 00 21 00 22 12"},
    };
    for (const Case& c : cases) {
        CShogiBoard board;
        Arrange(board, c.position);
        const int i = board.PieceAt(c.file, c.rank);
        board.GenerateDest(i);
        EXPECT_EQ(Entries(board.pieces[i]), c.entries) << c.position;
    }
    CShogiBoard board;
    Arrange(board, "sHI55 sFU57 gFU35");
    const int rook = board.PieceAt(5, 5);
    board.GenerateDest(rook);
    const DestEntry own = board.pieces[rook].dest[1], other = board.pieces[rook].dest[7];
    EXPECT_TRUE(!own.reachable && own.occupied && own.occupant == board.PieceAt(5, 7));
    EXPECT_TRUE(other.reachable && other.occupied && other.occupant == board.PieceAt(3, 5));
}

TEST(ComputeAttacks, HeldPiecesCountFromTheirSquare) {
    CShogiBoard board;
    Arrange(board, "sHI55 gOU51 sGY99 sKI00");
    const int rook = board.PieceAt(5, 5), gold = board.FindInHand(SENTE, PT_KIN);
    board.PickUp(rook, 300, 100);
    EXPECT_EQ(board.ComputeAttacks(GOTE), 1);
    EXPECT_EQ(Entries(board.pieces[rook]).size(), 16u * 3 - 1);
    board.ReturnHeld(rook);
    // A held piece from the hand keeps its list as it was.
    board.PickUp(gold, 500, 200);
    board.pieces[gold].dest[0] = DestEntry{1, 5, 5, 0, 0};
    board.ComputeAttacks(SENTE);
    EXPECT_EQ(board.pieces[gold].dest[0].file, 5);
}

TEST(DestList, GarbageIsRefused) {
    CShogiBoard board;
    for (int i : {-1, 40, INT_MIN, INT_MAX}) {
        EXPECT_EQ(board.AddDest(i, 0, 5, 5), 0);
        for (auto gen : {&CShogiBoard::GenerateDest, &CShogiBoard::DestFu, &CShogiBoard::DestKyo,
                         &CShogiBoard::DestKei, &CShogiBoard::DestGin, &CShogiBoard::DestKin, &CShogiBoard::DestOu,
                         &CShogiBoard::DestHi, &CShogiBoard::DestKaku})
            (board.*gen)(i);
        EXPECT_EQ(board.AddDest(6, i, 7, 6), 0) << "entry number " << i;
    }
    EXPECT_EQ(board.AddDest(6, 0, 0, 6), 0);
    EXPECT_EQ(board.AddDest(6, 0, 7, INT_MIN), 0);
    EXPECT_EQ(board.AddDest(6, 19, 7, 6), 1);
    EXPECT_EQ(board.pieces[6].dest[19].file, 7);
    // Pieces whose fields were overwritten with garbage reach nothing.
    struct Fields {
        int file, rank, promoted, owner, type;
    } fields[] = {{INT_MAX, 5, 0, SENTE, PT_HI}, {5, INT_MIN, 0, SENTE, PT_HI}, {5, 5, 7, SENTE, PT_HI},
                  {5, 5, INT_MIN, SENTE, PT_HI}, {5, 5, 0, -3, PT_HI},           {5, 5, 0, SENTE, 12}};
    for (const Fields& f : fields) {
        KomaRec& p = board.pieces[36];
        p.file = f.file, p.rank = f.rank, p.promoted = f.promoted, p.owner = f.owner, p.type = f.type;
        board.ComputeAttacks(SENTE);
        EXPECT_EQ(Entries(p), "");
    }
    board.attackedKing = INT_MIN;
    board.kingAttacked = 1;
    EXPECT_EQ(board.ComputeAttacks(SENTE), 0);
}

}  // namespace
}  // namespace ravu
