// Holding a piece: picking up, following the pointer, giving it back.
#include <gtest/gtest.h>

#include <climits>

#include "tests/game/position.h"

namespace ravu {
namespace {

TEST(HeldPiece, PickUpDragAndReturn) {
    CShogiBoard board;
    DragStep step{};
    EXPECT_EQ(board.DragTo(6, 300, 100, step), 0);  // nothing held
    board.PickUp(6, 230, 200);
    EXPECT_TRUE(board.HeldPiece() == 6 && board.pieces[6].state == KS_HELD && board.pieces[6].prevState == KS_BOARD);
    EXPECT_TRUE(board.pieces[6].x == 215 && board.pieces[6].y == 185);  // centred on the pointer
    board.PickUp(7, 100, 100);  // only one piece at a time
    for (int i : {-1, 40, INT_MIN, INT_MAX})
        board.PickUp(i, 0, 0);
    EXPECT_EQ(board.pieces[7].state, KS_BOARD);
    EXPECT_EQ(board.HeldPiece(), 6);
    ASSERT_EQ(board.DragTo(6, 300, 100, step), 1);
    EXPECT_TRUE(step.eraseX == 215 && step.eraseY == 185 && step.cell == 7 && step.x == 285 && step.y == 85);
    EXPECT_EQ(board.pieces[6].x, 285);
    // Whatever index is passed, the held piece is the one that moves.
    ASSERT_EQ(board.DragTo(-5, 310, 110, step), 1);
    EXPECT_EQ(step.eraseX, 285);
    EXPECT_EQ(board.pieces[6].x, 295);
    ASSERT_EQ(board.DragTo(INT_MAX, INT_MAX, INT_MIN, step), 1);  // no wrap at the ends of the range
    EXPECT_TRUE(step.x == INT_MAX - 15 && step.y == INT_MIN);
    EXPECT_EQ(board.ReturnHeld(6), 0);
    EXPECT_EQ(board.pieces[6].state, KS_BOARD);
    EXPECT_TRUE(board.pieces[6].x == 141 + 31 * 2 && board.pieces[6].y == 11 + 31 * 6);
    board.PickUp(7, INT_MIN, INT_MIN);
    EXPECT_EQ(board.pieces[7].x, INT_MIN);
    EXPECT_EQ(board.ReturnHeld(INT_MIN), 0);
}

TEST(HeldPiece, CancelCaptureByRestoredState) {
    test::Hosted h;
    CShogiBoard& board = h.board;
    test::Arrange(board, "sHI55 sKI00 sKI00");
    const int rook = board.PieceAt(5, 5), gold = board.FindInHand(SENTE, PT_KIN);
    board.PickUp(rook, 10, 10);
    board.CancelCapture();
    EXPECT_EQ(board.pieces[rook].state, KS_BOARD);
    EXPECT_TRUE(board.pieces[rook].x == 141 + 31 * 4 && board.pieces[rook].y == 11 + 31 * 4);
    board.PickUp(gold, 10, 10);
    board.CancelCapture();
    EXPECT_EQ(board.pieces[gold].state, KS_HAND);  // the first gold in table order takes slot 1:
    EXPECT_TRUE(board.pieces[gold].x == 443 + 31 && board.pieces[gold].y == 199);
    EXPECT_TRUE(h.messages.shown.empty());
    // A held piece that came from nowhere sensible is reported and left alone.
    board.pieces[rook].state = KS_HELD;
    board.pieces[rook].prevState = 7;
    board.pieces[rook].x = 1;
    board.CancelCapture();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0], std::string("\x83\x6F\x83\x4F\x94\xAD\x90\xB6! CancelCapture()"));
    EXPECT_EQ(board.pieces[rook].x, 1);
    board.SetMessages(nullptr);  // without a message box the report is dropped
    board.CancelCapture();
    EXPECT_EQ(board.pieces[rook].x, 1);
}

}  // namespace
}  // namespace ravu
