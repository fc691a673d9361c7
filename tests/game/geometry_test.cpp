// Pixels and the pointer: image cells, square <-> pixel, the hand layout, hit
// testing, the marks, and holding a piece (pick up, follow, give back).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/game/position.h"

namespace ravu {
namespace {

using test::Arrange;

std::string Cells(const std::vector<CellPlacement>& cells) {
    std::string out;
    for (const CellPlacement& c : cells)
        out += " " + std::to_string(c.cell) + "@" + std::to_string(c.x) + "," + std::to_string(c.y);
    return out;
}

// The draw list: the hands laid out first (a row per kind, the first piece of
// a kind in table order in the highest slot, crowded kinds squeezed), then
// board and hand pieces in table order, each with the cell of its kind,
// promotion and side in the view.  Held pieces are not drawn.
TEST(Pixels, DrawListAndHands) {
    const std::string nine = "gFU00 gFU00 gFU00 gFU00 gFU00 gFU00 gFU00 gFU00 gFU00";
    const struct {
        std::string position;
        int flip;
        const char* cells;
        // clang-format off
    } rows[] = {
        // sKA00 sHI00: the bishop (34) comes before the rook (36).
        {"sKA00 sHI00", 0, " 2@507,167 1@443,167"}, {"gGI00 gKI00 gKI00 g+FU00", 0, " 23@2,4 20@66,68 19@33,68 19@2,68"},
        {"sFU00 sFU00 sFU00 sFU00 sFU00", 0, " 7@515,263 7@497,263 7@479,263 7@461,263 7@443,263"},
        {nine, 0, " 23@82,4 23@72,4 23@62,4 23@52,4 23@42,4 23@32,4 23@22,4 23@12,4 23@2,4"},
        {"sGI00 sGI00", 0, " 4@474,199 4@443,199"}, {"sGI00 sKI00 sKI00 sKI00", 0, " 4@507,199 3@471,199 3@457,199 3@443,199"},
        {"sKI00 sKI00 sKI00", 0, " 3@505,199 3@474,199 3@443,199"},
        {"sKY00 sKE00 sKE00 sKE00 sKE00", 0, " 6@507,231 5@473,231 5@463,231 5@453,231 5@443,231"},
        {"gKY00 g+HI55 g+OU51 s+GY59 g+FU53 s+KE33", 0, " 31@265,73 22@2,36 13@327,73 25@265,135 8@265,259 16@265,11"},
        {"sFU00 sHI00 gGY59 gOU51", 1, " 23@2,4 17@2,100 8@265,11 0@265,259"},
        {"gKE00 gHI00 sFU13* sKI57 sGY99 g+KA22 s+KY19", 1, " 30@141,11 5@443,231 19@265,73 10@172,228 1@443,167 24@389,11"},
    };
    // clang-format on
    for (const auto& r : rows) {
        CShogiBoard board;
        Arrange(board, r.position);
        board.SetFlip(r.flip);
        EXPECT_EQ(Cells(board.DrawList()), r.cells) << r.position;
    }
    CShogiBoard board;
    board.pieces[21].image = PIECE_CELL_COUNT;  // a cell the strip does not have is not drawn
    EXPECT_EQ(board.DrawList().size(), 39u);
    EXPECT_EQ(board.ImageCell(-1, 0, 0, 0) + board.ImageCell(9, 0, 0, 0) + board.ImageCell(PT_FU, 2, 0, 0) +
                  board.ImageCell(PT_FU, -1, 0, 0),
              -4);  // no such piece: no cell
    // Points off the squares, or with no board image area, are no square.
    int file = 0, rank = 0;
    for (const auto& [x, y] : {std::pair(420, 100), {140, 100}, {200, 10}, {200, 290}, {INT_MIN, INT_MAX}})
        EXPECT_EQ(board.PointToSquare(x, y, file, rank), 0) << x << "," << y;
    board.boardRect = Rect{0, 0, 0, 0};
    EXPECT_EQ(board.PointToSquare(300, 150, file, rank), 0);
    board.SetFlip(7);  // any non-zero value is the turned view
    EXPECT_EQ(board.flip, 1);
}

// Marks of a piece's list part, by mark side; the reach of a side.
TEST(Pixels, Marks) {
    for (int flip = 0; flip <= 1; ++flip) {
        CShogiBoard board;
        const std::vector<int> i = Arrange(board, "sKY19* sFU14 sKI55 gKY11");
        board.SetFlip(flip);
        board.ComputeAttacks(SENTE);  // the held lance counts from its square
        EXPECT_EQ(Cells(board.MarkList(0, i[0])), flip
                                                      ? " 0@141,42 0@141,73 0@141,104 0@141,135 1@141,166"
                                                      : " 0@389,228 0@389,197 0@389,166 0@389,135 1@389,104");
        EXPECT_EQ(board.MarkList(1, i[0])[0].cell, MARK_REACH_1);
        EXPECT_EQ(board.MarkList(1, i[0])[4].cell, MARK_BLOCKED_1);
    }
    CShogiBoard board;
    const std::vector<int> i = Arrange(board, "sHI55 sFU57 gKY11 sKI29");
    EXPECT_EQ(board.ReachList(SENTE).size(),
              20u);  // rook 14 (one blocked), pawn 1, gold 5 (one off the board)
    EXPECT_EQ(Cells(board.ReachList(GOTE)),
              " 2@389,42 2@389,73 2@389,104 2@389,135 2@389,166 2@389,197 2@389,228 "
              "2@389,259");
    EXPECT_TRUE(board.ReachList(7).empty() && board.MarkList(0, -1).empty() && board.MarkList(0, 40).empty());
    board.pieces[i[3]].dest[7] = DestEntry{1, 1, 1, 0, 0};  // beyond a gold's six: never read
    board.pieces[i[3]].dest[0] = DestEntry{1, 10, 1, 0, 0};
    EXPECT_EQ(board.MarkList(0, i[3]).size(), 4u);
}

TEST(Pointer, HitPickUpFollowAndGiveBack) {
    test::Hosted h;
    CShogiBoard& board = h.board;
    const std::vector<int> i = Arrange(board, "sKI00 sKI00 sKI00 sGI00 gFU55 sHI22");
    board.LayoutHands();
    // Boxes at 471, 457 and 443 cover x = 472: the first gold wins though the
    // later ones are drawn over it.  A box is 30 pixels wide and high.
    EXPECT_EQ(std::vector<int>({board.HitTest(472, 200), board.HitTest(470, 200), board.HitTest(456, 200),
                                board.HitTest(265, 135), board.HitTest(294, 164), board.HitTest(295, 135),
                                board.HitTest(265, 134), board.HitTest(INT_MIN, INT_MAX)}),
              std::vector<int>({i[0], i[1], i[2], i[4], i[4], -1, -1, -1}));
    DragStep step{};
    EXPECT_EQ(board.DragTo(i[4], 300, 100, step), 0);  // nothing held
    board.PickUp(i[4], 230, 200);                      // centred on the pointer
    board.PickUp(i[5], 100, 100);                      // only one piece at a time
    EXPECT_EQ(board.pieces[i[5]].state, KS_BOARD);
    EXPECT_EQ(board.HitTest(230, 200), -1);          // a held piece is never hit
    ASSERT_EQ(board.DragTo(-5, 300, 100, step), 1);  // whatever index is passed, the held piece moves
    EXPECT_TRUE(step.eraseX == 215 && step.eraseY == 185 && step.cell == 23 && step.x == 285 && step.y == 85);
    ASSERT_EQ(board.DragTo(i[4], INT_MAX, INT_MIN, step), 1);  // no wrap at the ends of the range
    EXPECT_TRUE(step.eraseX == 285 && step.x == INT_MAX - 15 && step.y == INT_MIN);
    board.CancelCapture();  // back to the square
    board.PickUp(i[0], 10, 10);
    board.CancelCapture();  // back to the hand, laid out again
    EXPECT_EQ(test::Describe(board) + " " + std::to_string(board.pieces[i[0]].x),
              "gFU55 sGI00 sKI00 sKI00 sKI00 sHI22 471");
    board.pieces[i[5]].x = INT_MAX - 10;  // a box at the far end of the range must not wrap round
    EXPECT_EQ(board.HitTest(INT_MAX, 50), i[5]);
    // A held piece that came from nowhere sensible is reported and left alone.
    board.PickUp(i[5], 10, 10);
    board.pieces[i[5]].prevState = 7;
    board.CancelCapture();
    board.SetMessages(nullptr);  // without a message box the report is dropped
    board.CancelCapture();
    EXPECT_EQ(h.shown, std::vector<std::string>{"\x83\x6F\x83\x4F\x94\xAD\x90\xB6! CancelCapture()"});
    EXPECT_TRUE(board.pieces[i[5]].x == -5 && board.pieces[i[5]].state == 7);
}

}  // namespace
}  // namespace ravu
