// Pixels: image cells, square <-> pixel mapping, the hand layout, hit
// testing and the placement of pieces and marks.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/game/position.h"

namespace ravu {
namespace {

using namespace test;

TEST(ImageCell, CellsOfEveryPiece) {
    struct Case {
        int type, promoted, owner, flip, cell;
    } cases[] = {
        {PT_OU, 0, GOTE, 0, 16},    {PT_OU, 0, GOTE, 1, 0},      {PT_OU, 1, GOTE, 0, 16},
        {PT_GYOKU, 0, SENTE, 0, 8}, {PT_GYOKU, 0, SENTE, 1, 24}, {PT_GYOKU, 1, SENTE, 0, 8},
        {PT_HI, 0, SENTE, 0, 1},    {PT_HI, 1, SENTE, 0, 9},     {PT_KAKU, 1, GOTE, 0, 26},
        {PT_KIN, 0, SENTE, 0, 3},   {PT_GIN, 1, SENTE, 0, 12},   {PT_KEI, 1, GOTE, 1, 13},
        {PT_KYO, 1, SENTE, 1, 30},  {PT_FU, 0, SENTE, 0, 7},     {PT_FU, 1, GOTE, 0, 31},
        {PT_FU, 0, GOTE, 1, 7},     {-1, 0, SENTE, 0, -1},       {9, 0, SENTE, 0, -1},
        {INT_MIN, 0, SENTE, 0, -1}, {INT_MAX, 0, SENTE, 0, -1},  {PT_FU, 2, SENTE, 0, -1},
        {PT_FU, INT_MAX, SENTE, 0, -1}, {PT_FU, -1, SENTE, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CShogiBoard::ImageCell(c.type, c.promoted, c.owner, c.flip), c.cell)
            << c.type << " " << c.promoted << " " << c.owner << " " << c.flip;
}

TEST(SquarePixels, RoundTripAndPointsOffTheSquares) {
    CShogiBoard board;
    for (int flip = 0; flip <= 1; ++flip) {
        board.SetFlip(flip);
        for (int f = 1; f <= 9; ++f)
            for (int r = 1; r <= 9; ++r) {
                KomaRec p{};
                p.file = f;
                p.rank = r;
                board.SquareToPixel(p);
                int x = 0, y = 0;
                Centre(board, f, r, x, y);
                EXPECT_TRUE(p.x == x - 15 && p.y == y - 15) << f << r << " flip " << flip;
                for (int corner = 0; corner < 4; ++corner) {  // every corner maps back
                    int file = 0, rank = 0;
                    ASSERT_EQ(board.PointToSquare(p.x + corner % 2 * 30, p.y + corner / 2 * 30, file, rank), 1);
                    EXPECT_EQ(file * 10 + rank, f * 10 + r);
                }
            }
    }
    board.SetFlip(0);
    struct Case {
        int x, y;
    } off[] = {{420, 100}, {140, 100}, {200, 10}, {200, 290}, {128, 150}, {439, 150},
               {300, 300}, {300, -1},  {INT_MIN, INT_MAX}, {INT_MAX, 150}};
    int file = 0, rank = 0;
    for (const Case& c : off)
        EXPECT_EQ(board.PointToSquare(c.x, c.y, file, rank), 0) << c.x << "," << c.y;
    // Nothing is a square while the board image area is empty.
    board.boardRect = Rect{0, 0, 0, 0};
    EXPECT_EQ(board.PointToSquare(300, 150, file, rank), 0);
}

TEST(HandLayout, PlacesInTableOrder) {
    const std::string nine = "gFU00 gFU00 gFU00 gFU00 gFU00 gFU00 gFU00 gFU00 gFU00";
    struct Case {
        const char* what;
        std::string position;
        int flip;
        std::vector<std::pair<int, int>> places;  // (x, y) of the hand pieces in table order
    } cases[] = {
        {"rook and bishop", "sHI00 sKA00", 0, {{507, 167}, {443, 167}}},  // bishop 34 before rook 36
        {"golds and silver", "gKI00 gKI00 gGI00 gFU00", 0, {{2, 4}, {66, 68}, {33, 68}, {2, 68}}},
        {"five pawns", "sFU00 sFU00 sFU00 sFU00 sFU00", 0,
         {{515, 263}, {497, 263}, {479, 263}, {461, 263}, {443, 263}}},
        {"nine pawns", nine, 0, {{82, 4}, {72, 4}, {62, 4}, {52, 4}, {42, 4}, {32, 4}, {22, 4}, {12, 4}, {2, 4}}},
        {"eighteen pawns", nine + " " + nine, 0, {}},
        {"silver without gold", "sGI00 sGI00", 0, {{474, 199}, {443, 199}}},
        {"three golds beside a silver", "sGI00 sKI00 sKI00 sKI00", 0,
         {{507, 199}, {471, 199}, {457, 199}, {443, 199}}},
        {"three golds alone", "sKI00 sKI00 sKI00", 0, {{505, 199}, {474, 199}, {443, 199}}},
        {"four knights and a lance", "sKY00 sKE00 sKE00 sKE00 sKE00", 0,
         {{507, 231}, {473, 231}, {463, 231}, {453, 231}, {443, 231}}},
        {"lance without knight", "gKY00", 0, {{2, 36}}},
        {"sente shown at the top", "sHI00 sFU00", 1, {{2, 4}, {2, 100}}},
        {"gote shown at the bottom", "gHI00 gKE00", 1, {{443, 231}, {443, 167}}},
    };
    for (Case& c : cases) {
        if (c.places.empty())  // 18 pawns: pitch 93 / 18 = 5
            for (int k = 17; k >= 0; --k)
                c.places.push_back({2 + 5 * k, 4});
        CShogiBoard board;
        Arrange(board, c.position);
        board.SetFlip(c.flip);
        board.LayoutHands();
        std::vector<std::pair<int, int>> got;
        for (const KomaRec& p : board.pieces)
            if (p.state == KS_HAND)
                got.push_back({p.x, p.y});
        EXPECT_EQ(got, c.places) << c.what;
    }
}

TEST(HandLayout, CapturedPromotedPieceShowsUnpromoted) {
    CShogiBoard board;
    Arrange(board, "g+HI55 s+FU44");
    const int rook = board.PieceAt(5, 5), pawn = board.PieceAt(4, 4);
    board.Capture(rook, SENTE);
    board.Capture(pawn, GOTE);
    board.LayoutHands();
    EXPECT_TRUE(board.pieces[rook].promoted == 0 && board.pieces[rook].image == 1 && board.pieces[pawn].image == 23);
    board.SetFlip(1);
    board.LayoutHands();
    EXPECT_TRUE(board.pieces[rook].image == 17 && board.pieces[rook].y == 4 + 96);
}

TEST(HitTest, FirstInTableOrderWins) {
    CShogiBoard board;
    Arrange(board, "sGI00 sKI00 sKI00 sKI00 gFU55");
    board.LayoutHands();
    const int gold = board.FindInHand(SENTE, PT_KIN);  // the golds are gold, gold + 1, gold + 2
    // Boxes at 471, 457 and 443 all cover x = 472: the first gold wins
    // though the later ones are drawn over it.
    EXPECT_EQ(board.HitTest(472, 200), gold);
    EXPECT_EQ(board.HitTest(470, 200), gold + 1);
    EXPECT_EQ(board.HitTest(456, 200), gold + 2);
    const int pawn = board.PieceAt(5, 5);
    const KomaRec& p = board.pieces[pawn];
    EXPECT_TRUE(board.HitTest(p.x, p.y) == pawn && board.HitTest(p.x + 29, p.y + 29) == pawn);
    EXPECT_TRUE(board.HitTest(p.x + 30, p.y) == -1 && board.HitTest(p.x, p.y - 1) == -1);
    EXPECT_EQ(board.HitTest(INT_MIN, INT_MAX), -1);
    board.PickUp(pawn, p.x + 15, p.y + 15);
    EXPECT_EQ(board.HitTest(p.x + 15, p.y + 15), -1);  // a held piece is never hit
    // A box at the far end of the pixel range must not wrap round.
    board.pieces[gold].x = INT_MAX - 10;
    EXPECT_EQ(board.HitTest(INT_MAX, 200), gold);
    EXPECT_EQ(board.HitTest(INT_MIN, 200), -1);
}

TEST(DrawList, TableOrderWithoutHeldPieces) {
    CShogiBoard board;
    std::vector<CellPlacement> all = board.DrawList();
    ASSERT_EQ(all.size(), 40u);
    for (int i = 0; i < PIECE_COUNT; ++i)
        EXPECT_TRUE(all[i].cell == board.pieces[i].image && all[i].x == board.pieces[i].x &&
                    all[i].y == board.pieces[i].y) << i;
    board.PickUp(6, 0, 0);
    board.Capture(15, SENTE);  // placed by the layout DrawList runs first
    board.pieces[20].state = KS_NONE;
    all = board.DrawList();
    ASSERT_EQ(all.size(), 38u);
    EXPECT_TRUE(all[14].x == 443 && all[14].y == 263 && all[14].cell == 7);  // index 15, once 6 is left out
    board.pieces[21].image = 77;  // a cell the strip does not have is not drawn
    EXPECT_EQ(board.DrawList().size(), 37u);
}

TEST(Marks, HeldLanceOnAnOpenFile) {
    for (int flip = 0; flip <= 1; ++flip) {
        CShogiBoard board;
        Arrange(board, "sKY19 sFU14");
        board.SetFlip(flip);
        const int lance = board.PieceAt(1, 9);
        board.PickUp(lance, 0, 0);
        board.ComputeAttacks(SENTE);
        std::vector<CellPlacement> marks = board.MarkList(0, lance);
        // Open up to the own pawn on 1四: four yellow squares and a magenta one.
        ASSERT_EQ(marks.size(), 5u);
        for (int k = 0; k < 5; ++k) {
            int x = 0, y = 0;
            Centre(board, 1, 8 - k, x, y);
            EXPECT_TRUE(marks[k].x == x - 15 && marks[k].y == y - 15) << k;
            EXPECT_EQ(marks[k].cell, k < 4 ? MARK_REACH_0 : MARK_BLOCKED_0);
        }
        board.ReturnHeld(lance);
        board.pieces[board.PieceAt(1, 4)].state = KS_NONE;
        board.PickUp(lance, 0, 0);
        board.ComputeAttacks(SENTE);
        marks = board.MarkList(1, lance);
        ASSERT_EQ(marks.size(), 8u);  // a lance on its starting rank reaches 8 squares
        for (const CellPlacement& m : marks)
            EXPECT_EQ(m.cell, MARK_REACH_1);
        EXPECT_EQ(marks.back().y, flip ? 259 : 11);
    }
}

TEST(Marks, OnlyTheListPartOfTheType) {
    CShogiBoard board;
    Arrange(board, "sKI55");
    const int gold = board.PieceAt(5, 5);
    board.GenerateDest(gold);
    EXPECT_EQ(board.MarkList(0, gold).size(), 6u);
    board.pieces[gold].dest[7] = DestEntry{1, 1, 1, 0, 0};  // beyond a gold's six: never read
    EXPECT_EQ(board.MarkList(0, gold).size(), 6u);
    board.pieces[gold].dest[2] = DestEntry{1, INT_MIN, 10, 0, 0};
    EXPECT_EQ(board.MarkList(0, gold).size(), 5u);
    EXPECT_TRUE(board.MarkList(0, -1).empty() && board.MarkList(0, 40).empty());
}

TEST(Marks, ReachOfASide) {
    CShogiBoard board;
    Arrange(board, "sHI55 sFU57 gKY11");
    int reachable = 0, blocked = 0;
    for (const CellPlacement& m : board.ReachList(SENTE)) {
        EXPECT_TRUE(m.cell == MARK_REACH_0 || m.cell == MARK_BLOCKED_0);
        (m.cell == MARK_REACH_0 ? reachable : blocked) += 1;
    }
    EXPECT_EQ(blocked, 1);     // the rook's own pawn on 5七
    EXPECT_EQ(reachable, 14);  // rook: 5六 and three lines of four; pawn: 5六
    const std::vector<CellPlacement> gote = board.ReachList(GOTE);
    ASSERT_EQ(gote.size(), 8u);
    for (const CellPlacement& m : gote)
        EXPECT_EQ(m.cell, MARK_REACH_1);
    EXPECT_TRUE(board.ReachList(7).empty());
}

TEST(Flip, BoardPiecesAtOnceHandsAtTheNextLayout) {
    CShogiBoard board;
    Arrange(board, "sHI55 sKI00 gFU33");
    const int gold = board.FindInHand(SENTE, PT_KIN), pawn = board.PieceAt(3, 3), rook = board.PieceAt(5, 5);
    board.LayoutHands();
    EXPECT_EQ(board.pieces[gold].x, 443);
    board.PickUp(pawn, 250, 120);
    board.SetFlip(1);
    EXPECT_EQ(board.pieces[gold].x, 443);  // not until the layout
    EXPECT_TRUE(board.pieces[pawn].x == 235 && board.pieces[pawn].image == 23);  // held: under the pointer
    EXPECT_TRUE(board.pieces[rook].x == 141 + 31 * 4 && board.pieces[rook].image == 17);
    board.LayoutHands();
    EXPECT_TRUE(board.pieces[gold].x == 2 && board.pieces[gold].y == 4 + 64);
    board.SetFlip(7);  // any non-zero value is the turned view
    EXPECT_EQ(board.flip, 1);
}

}  // namespace
}  // namespace ravu
