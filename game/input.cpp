// The held piece: picked up by one click, following the pointer, put down by
// the next click (DropHeld) or given back by the right button.  Whether a
// piece is held is always read from the table.
#include "game/board.h"

namespace ravu {

namespace {

int ClampSub(int v, int d) {
    const int64_t r = int64_t(v) - d;
    if (r < INT32_MIN)
        return INT32_MIN;
    if (r > INT32_MAX)
        return INT32_MAX;
    return int(r);
}

}  // namespace

int CShogiBoard::HeldPiece() const {
    for (int i = 0; i < PIECE_COUNT; ++i)
        if (pieces[i].state == KS_HELD)
            return i;
    return -1;
}

void CShogiBoard::PickUp(int index, int x, int y) {
    if (!ValidIndex(index) || HeldPiece() != -1)
        return;
    SetState(index, KS_HELD);
    pieces[index].x = ClampSub(x, PIECE_HALF);
    pieces[index].y = ClampSub(y, PIECE_HALF);
}

int CShogiBoard::ReturnHeld(int index) {
    if (ValidIndex(index)) {
        SquareToPixel(pieces[index]);  // its square has not changed
        RestoreState(index);
    }
    return 0;
}

void CShogiBoard::CancelCapture() {
    for (int i = 0; i < PIECE_COUNT; ++i) {
        KomaRec& p = pieces[i];
        if (p.state != KS_HELD)
            continue;
        p.state = p.prevState;
        switch (p.state) {
            case KS_BOARD: SquareToPixel(p); break;
            case KS_HAND:
            case KS_NONE: LayoutHands(); break;
            default:
                if (boardMessages)
                    boardMessages->ShowInternalError("バグ発生! CancelCapture()");
                break;
        }
    }
}

int CShogiBoard::DragTo(int index, int px, int py, DragStep& step) {
    const int h = ValidIndex(index) && pieces[index].state == KS_HELD ? index : HeldPiece();
    if (h == -1)
        return 0;
    KomaRec& p = pieces[h];
    step.eraseX = p.x;
    step.eraseY = p.y;
    step.cell = p.image;
    p.x = ClampSub(px, PIECE_HALF);
    p.y = ClampSub(py, PIECE_HALF);
    step.x = p.x;
    step.y = p.y;
    return 1;
}

}  // namespace ravu
