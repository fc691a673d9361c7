// Pixels: image cells, square <-> pixel mapping in both views, the hand
// layout, hit testing and the placement of pieces and marks.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "game/board.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

using test::Arrange;

TEST(ImageCell, CellsOfEveryPiece) {
    struct Case {
        int type, promoted, owner, flip, cell;
    } cases[] = {
        {PT_OU, 0, GOTE, 0, 16},   {PT_OU, 0, GOTE, 1, 0},     {PT_OU, 1, GOTE, 0, 16},
        {PT_GYOKU, 0, SENTE, 0, 8}, {PT_GYOKU, 0, SENTE, 1, 24}, {PT_GYOKU, 1, SENTE, 0, 8},
        {PT_HI, 0, SENTE, 0, 1},   {PT_HI, 1, SENTE, 0, 9},    {PT_KAKU, 1, GOTE, 0, 26},
        {PT_KIN, 0, SENTE, 0, 3},  {PT_GIN, 1, SENTE, 0, 12},  {PT_KEI, 1, GOTE, 1, 13},
        {PT_KYO, 1, SENTE, 1, 30}, {PT_FU, 0, SENTE, 0, 7},    {PT_FU, 1, GOTE, 0, 31},
        {PT_FU, 0, GOTE, 1, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CShogiBoard::ImageCell(c.type, c.promoted, c.owner, c.flip), c.cell)
            << c.type << " " << c.promoted << " " << c.owner << " " << c.flip;
    const int badTypes[] = {-1, 9, 100, INT_MIN, INT_MAX};
    for (int t : badTypes)
        EXPECT_EQ(CShogiBoard::ImageCell(t, 0, SENTE, 0), -1);
    EXPECT_EQ(CShogiBoard::ImageCell(PT_FU, 2, SENTE, 0), -1);
    EXPECT_EQ(CShogiBoard::ImageCell(PT_FU, INT_MAX, SENTE, 0), -1);
    EXPECT_EQ(CShogiBoard::ImageCell(PT_FU, -1, SENTE, 0), -1);
}

TEST(SquarePixels, CornersInBothViews) {
    CShogiBoard board;
    Arrange(board, "sFU91 gFU19");
    const KomaRec& a = board.pieces[board.PieceAt(9, 1)];
    const KomaRec& b = board.pieces[board.PieceAt(1, 9)];
    EXPECT_EQ(a.x, 141);
    EXPECT_EQ(a.y, 11);
    EXPECT_EQ(b.x, 389);
    EXPECT_EQ(b.y, 259);
    board.SetFlip(1);
    EXPECT_EQ(a.x, 389);
    EXPECT_EQ(a.y, 259);
    EXPECT_EQ(b.x, 141);
    EXPECT_EQ(b.y, 11);
    EXPECT_EQ(a.image, 23);  // sente now at the top
    EXPECT_EQ(b.image, 7);
}

TEST(SquarePixels, RoundTripEverySquare) {
    CShogiBoard board;
    for (int flip = 0; flip <= 1; ++flip) {
        board.SetFlip(flip);
        for (int f = 1; f <= 9; ++f) {
            for (int r = 1; r <= 9; ++r) {
                KomaRec p{};
                p.file = f;
                p.rank = r;
                board.SquareToPixel(p);
                // Every corner of the 31-pixel square maps back to it.
                const int xs[] = {p.x, p.x + 30};
                const int ys[] = {p.y, p.y + 30};
                for (int x : xs) {
                    for (int y : ys) {
                        int file = 0, rank = 0;
                        ASSERT_EQ(board.PointToSquare(x, y, file, rank), 1) << x << "," << y;
                        EXPECT_EQ(file, f);
                        EXPECT_EQ(rank, r);
                    }
                }
                EXPECT_GE(p.x, 141);
                EXPECT_LE(p.x, 389);
                EXPECT_EQ((p.x - 141) % 31, 0);
                EXPECT_EQ((p.y - 11) % 31, 0);
            }
        }
    }
}

TEST(SquarePixels, PointsOffTheSquares) {
    CShogiBoard board;
    struct Case {
        int x, y, found, file, rank;
    } cases[] = {
        {141, 11, 1, 9, 1},  {419, 289, 1, 1, 9}, {420, 100, 0, 0, 0}, {140, 100, 0, 0, 0},
        {200, 10, 0, 0, 0},  {200, 290, 0, 0, 0}, {128, 150, 0, 0, 0}, {439, 150, 0, 0, 0},
        {300, 300, 0, 0, 0}, {300, -1, 0, 0, 0},  {INT_MIN, INT_MAX, 0, 0, 0}, {INT_MAX, 150, 0, 0, 0},
        {171, 41, 1, 9, 1},  {172, 42, 1, 8, 2},
    };
    for (const Case& c : cases) {
        int file = 0, rank = 0;
        EXPECT_EQ(board.PointToSquare(c.x, c.y, file, rank), c.found) << c.x << "," << c.y;
        if (c.found) {
            EXPECT_EQ(file, c.file);
            EXPECT_EQ(rank, c.rank);
        }
    }
    // Nothing is a square while the board image area is empty.
    board.boardRect = Rect{0, 0, 0, 0};
    int file = 0, rank = 0;
    EXPECT_EQ(board.PointToSquare(300, 150, file, rank), 0);
    board.Reset();
    EXPECT_EQ(board.PointToSquare(300, 150, file, rank), 1);
}

struct HandCase {
    const char* what;
    const char* position;
    int flip;
    // Expected (x, y) of the hand pieces in table order.
    std::vector<std::pair<int, int>> places;
};

TEST(HandLayout, PlacesInTableOrder) {
    const HandCase cases[] = {
        {"sente rook and bishop", "sHI00 sKA00", 0, {{507, 167}, {443, 167}}},  // table: bishop 34 before rook 36
        {"gote golds and silver", "gKI00 gKI00 gGI00 gFU00", 0, {{2, 4}, {66, 68}, {33, 68}, {2, 68}}},
        {"five pawns", "sFU00 sFU00 sFU00 sFU00 sFU00", 0,
         {{515, 263}, {497, 263}, {479, 263}, {461, 263}, {443, 263}}},
        {"silver without gold", "sGI00 sGI00", 0, {{474, 199}, {443, 199}}},
        {"three golds beside a silver", "sGI00 sKI00 sKI00 sKI00", 0, {{507, 199}, {471, 199}, {457, 199}, {443, 199}}},
        {"three golds alone", "sKI00 sKI00 sKI00", 0, {{505, 199}, {474, 199}, {443, 199}}},
        {"four knights and a lance", "sKY00 sKE00 sKE00 sKE00 sKE00", 0,
         {{507, 231}, {473, 231}, {463, 231}, {453, 231}, {443, 231}}},
        {"lance without knight", "gKY00", 0, {{2, 36}}},
        {"sente shown at the top", "sHI00 sFU00", 1, {{2, 4}, {2, 100}}},
        {"gote shown at the bottom", "gHI00 gKE00", 1, {{443, 231}, {443, 167}}},
    };
    for (const HandCase& c : cases) {
        SCOPED_TRACE(c.what);
        CShogiBoard board;
        Arrange(board, c.position);
        board.SetFlip(c.flip);
        board.LayoutHands();
        std::vector<std::pair<int, int>> got;
        for (const KomaRec& p : board.pieces)
            if (p.state == KS_HAND)
                got.push_back({p.x, p.y});
        EXPECT_EQ(got, c.places);
    }
}

TEST(HandLayout, CrowdedPawnRows) {
    for (int n : {9, 18}) {
        CShogiBoard board;
        test::ClearBoard(board);
        for (int k = 0; k < n; ++k)
            test::Put(board, "gFU00");
        board.LayoutHands();
        const int pitch = 93 / n;
        EXPECT_EQ(pitch, n == 9 ? 10 : 5);
        int k = 0;
        for (const KomaRec& p : board.pieces) {
            if (p.state != KS_HAND)
                continue;
            EXPECT_EQ(p.x, 2 + pitch * (n - 1 - k));
            EXPECT_EQ(p.y, 4);
            ++k;
        }
        EXPECT_EQ(k, n);
    }
}

TEST(HandLayout, CapturedPromotedPieceShowsUnpromoted) {
    CShogiBoard board;
    Arrange(board, "g+HI55 sKI56 s+FU44 gKI43");
    const int rook = board.PieceAt(5, 5), pawn = board.PieceAt(4, 4);
    board.Capture(rook, SENTE);
    board.Capture(pawn, GOTE);
    board.LayoutHands();
    EXPECT_EQ(board.pieces[rook].promoted, 0);
    EXPECT_EQ(board.pieces[rook].image, 1);
    EXPECT_EQ(board.pieces[pawn].image, 23);
    board.SetFlip(1);
    board.LayoutHands();
    EXPECT_EQ(board.pieces[rook].image, 17);
    EXPECT_EQ(board.pieces[rook].y, 4 + 96);
}

TEST(HitTest, FirstInTableOrderWins) {
    CShogiBoard board;
    Arrange(board, "sGI00 sKI00 sKI00 sKI00 gFU55");
    board.LayoutHands();
    std::vector<int> golds;
    for (int i = 0; i < PIECE_COUNT; ++i)
        if (board.pieces[i].state == KS_HAND && board.pieces[i].type == PT_KIN)
            golds.push_back(i);
    ASSERT_EQ(golds.size(), 3u);
    // Boxes at 471, 457 and 443 all cover x = 472: the first gold wins
    // though the later ones are drawn over it.
    EXPECT_EQ(board.HitTest(472, 200), golds[0]);
    EXPECT_EQ(board.HitTest(470, 200), golds[1]);
    EXPECT_EQ(board.HitTest(456, 200), golds[2]);
    const int pawn = board.PieceAt(5, 5);
    const KomaRec& p = board.pieces[pawn];
    EXPECT_EQ(board.HitTest(p.x, p.y), pawn);
    EXPECT_EQ(board.HitTest(p.x + 29, p.y + 29), pawn);
    EXPECT_EQ(board.HitTest(p.x + 30, p.y), -1);
    EXPECT_EQ(board.HitTest(p.x, p.y - 1), -1);
    EXPECT_EQ(board.HitTest(INT_MIN, INT_MAX), -1);
    board.PickUp(pawn, p.x + 15, p.y + 15);
    EXPECT_EQ(board.HitTest(p.x + 15, p.y + 15), -1);  // a held piece is never hit
    // A box at the far end of the pixel range must not wrap round.
    board.pieces[golds[0]].x = INT_MAX - 10;
    EXPECT_EQ(board.HitTest(INT_MAX, 200), golds[0]);
    EXPECT_EQ(board.HitTest(INT_MIN, 200), -1);
    EXPECT_EQ(board.HitTest(470, 200), golds[1]);
}

TEST(DrawList, TableOrderWithoutHeldPieces) {
    CShogiBoard board;
    std::vector<CellPlacement> all = board.DrawList();
    ASSERT_EQ(all.size(), 40u);
    for (int i = 0; i < PIECE_COUNT; ++i) {
        EXPECT_EQ(all[i].cell, board.pieces[i].image);
        EXPECT_EQ(all[i].x, board.pieces[i].x);
        EXPECT_EQ(all[i].y, board.pieces[i].y);
    }
    board.PickUp(6, 0, 0);
    board.Capture(15, SENTE);  // goes to the hand and gets placed by the layout
    board.pieces[20].state = KS_NONE;
    all = board.DrawList();
    ASSERT_EQ(all.size(), 38u);
    const KomaRec& taken = board.pieces[15];
    EXPECT_EQ(taken.x, 443);
    EXPECT_EQ(taken.y, 263);
    EXPECT_EQ(all[14].x, 443);  // index 15 is the 15th entry once 6 is left out
    EXPECT_EQ(all[14].cell, 7);
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
        for (size_t k = 0; k < marks.size(); ++k) {
            KomaRec probe{};
            probe.file = 1;
            probe.rank = 8 - int(k);
            board.SquareToPixel(probe);
            EXPECT_EQ(marks[k].x, probe.x);
            EXPECT_EQ(marks[k].y, probe.y);
            EXPECT_EQ(marks[k].cell, k < 4 ? MARK_REACH_0 : MARK_BLOCKED_0);
        }
        board.ReturnHeld(lance);
        board.pieces[board.PieceAt(1, 4)].state = KS_NONE;
        board.PickUp(lance, 0, 0);
        board.ComputeAttacks(SENTE);
        marks = board.MarkList(1, lance);
        ASSERT_EQ(marks.size(), 8u);
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
    // Entries beyond the gold's six are never read.
    board.pieces[gold].dest[7] = DestEntry{1, 1, 1, 0, 0};
    EXPECT_EQ(board.MarkList(0, gold).size(), 6u);
    board.pieces[gold].dest[2] = DestEntry{1, INT_MIN, 10, 0, 0};
    EXPECT_EQ(board.MarkList(0, gold).size(), 5u);
    EXPECT_TRUE(board.MarkList(0, -1).empty());
    EXPECT_TRUE(board.MarkList(0, 40).empty());
}

TEST(Marks, ReachOfASide) {
    CShogiBoard board;
    Arrange(board, "sHI55 sFU57 gKY11");
    const std::vector<CellPlacement> reach = board.ReachList(SENTE);
    int reachable = 0, blocked = 0;
    for (const CellPlacement& m : reach) {
        EXPECT_TRUE(m.cell == MARK_REACH_0 || m.cell == MARK_BLOCKED_0);
        (m.cell == MARK_REACH_0 ? reachable : blocked) += 1;
    }
    EXPECT_EQ(blocked, 1);      // the rook's own pawn on 5七
    EXPECT_EQ(reachable, 14);   // rook: 5六 and three lines of four; pawn: 5六
    const std::vector<CellPlacement> gote = board.ReachList(GOTE);
    ASSERT_EQ(gote.size(), 8u);
    for (const CellPlacement& m : gote)
        EXPECT_EQ(m.cell, MARK_REACH_1);
    EXPECT_TRUE(board.ReachList(7).empty());
}

TEST(Flip, BoardPiecesAtOnceHandsAtTheNextLayout) {
    CShogiBoard board;
    Arrange(board, "sHI55 sKI00 gFU33");
    const int gold = board.FindInHand(SENTE, PT_KIN), pawn = board.PieceAt(3, 3);
    board.LayoutHands();
    EXPECT_EQ(board.pieces[gold].x, 443);
    board.PickUp(pawn, 250, 120);
    board.SetFlip(1);
    EXPECT_EQ(board.pieces[gold].x, 443);   // not until the layout
    EXPECT_EQ(board.pieces[pawn].x, 235);   // held: left under the pointer
    EXPECT_EQ(board.pieces[pawn].image, 23);
    const int rook = board.PieceAt(5, 5);
    EXPECT_EQ(board.pieces[rook].x, 141 + 31 * 4);
    EXPECT_EQ(board.pieces[rook].image, 17);
    board.LayoutHands();
    EXPECT_EQ(board.pieces[gold].x, 2);
    EXPECT_EQ(board.pieces[gold].y, 4 + 64);
    board.SetFlip(7);  // any non-zero value is the turned view
    EXPECT_EQ(board.flip, 1);
}

}  // namespace
}  // namespace ravu
