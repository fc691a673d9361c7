// Pixels of the board: which image cell a piece uses, where its image goes
// on the board and in the hands, how a pointer position becomes a square, and
// where the destination marks go.  The drawing layer only blits what these
// functions place.
#include "game/board.h"

namespace ravu {

namespace {

// Column i and row j (0..8, from the left and from the top) of a square.
void SquareToCell(int file, int rank, int flip, int& i, int& j) {
    if (flip == 0) {
        i = 9 - file;
        j = rank - 1;
    } else {
        i = file - 1;
        j = 9 - rank;
    }
}

bool ShownAtTop(int owner, int flip) { return (owner == GOTE && flip == 0) || (owner == SENTE && flip == 1); }

// Hand rows by type (rook .. pawn) when the owner is shown at the bottom;
// the top hand uses the rows mirrored (3 - row).
int HandRow(int type) {
    switch (type) {
        case PT_HI:
        case PT_KAKU: return 0;
        case PT_KIN:
        case PT_GIN: return 1;
        case PT_KEI:
        case PT_KYO: return 2;
        default: return 3;  // pawn
    }
}

constexpr int HAND_ROWS = 4;
constexpr int CROWDED_PAIR_WIDTH = 42;  // gold/silver, knight/lance share a row: 42 pixels per kind
constexpr int CROWDED_PAWN_WIDTH = 93;  // pawns have a whole row
constexpr int CROWDED_PAIR_COUNT = 2;   // above this many a kind is squeezed
constexpr int CROWDED_PAWN_COUNT = 4;

}  // namespace

int CShogiBoard::ImageCell(int type, int promoted, int owner, int flip) {
    if (!ValidType(type) || (promoted != 0 && promoted != 1))
        return -1;
    const int top = ShownAtTop(owner, flip) ? TOP_CELLS : 0;
    if (type == PT_OU)
        return 0 + top;
    if (type == PT_GYOKU)
        return PT_GYOKU + top;
    return type + CELL_PROMOTED_OFFSET * promoted + top;
}

void CShogiBoard::UpdateImage(int index) {
    if (!ValidIndex(index))
        return;
    KomaRec& p = pieces[index];
    p.image = ImageCell(p.type, p.promoted, p.owner, flip);
}

void CShogiBoard::SquareToPixel(KomaRec& piece) const {
    // (0, 0), a piece in hand, gives a position off the squares that the hand
    // layout replaces before anything is drawn; garbage squares are ignored.
    if (piece.file < 0 || piece.file > 9 || piece.rank < 0 || piece.rank > 9)
        return;
    int i = 0, j = 0;
    SquareToCell(piece.file, piece.rank, flip, i, j);
    piece.x = SQUARES_LEFT + SQUARE_PITCH * i;
    piece.y = SQUARES_TOP + SQUARE_PITCH * j;
}

int CShogiBoard::PointToSquare(int x, int y, int& file, int& rank) const {
    if (!boardRect.Contains(x, y))
        return 0;
    int col = -1, row = -1;
    for (int i = 0; i < 9 && col < 0; ++i)
        if (SQUARES_LEFT + SQUARE_PITCH * i <= x && x < SQUARES_LEFT + SQUARE_PITCH * (i + 1) &&
            SQUARES_TOP <= y && y < SQUARES_BOTTOM)
            col = i;
    if (col < 0)
        return 0;
    for (int j = 0; j < 9 && row < 0; ++j)
        if (SQUARES_TOP + SQUARE_PITCH * j <= y && y < SQUARES_TOP + SQUARE_PITCH * (j + 1) &&
            SQUARES_LEFT <= x && x < SQUARES_RIGHT)
            row = j;
    if (row < 0)
        return 0;
    if (flip == 0) {
        file = 9 - col;
        rank = row + 1;
    } else {
        file = col + 1;
        rank = 9 - row;
    }
    return 1;
}

void CShogiBoard::SetFlip(int newFlip) {
    flip = newFlip != 0;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        if (pieces[i].state != KS_BOARD)
            continue;  // hands follow at the next layout; a held piece stays under the pointer
        UpdateImage(i);
        SquareToPixel(pieces[i]);
    }
}

void CShogiBoard::LayoutHands() {
    int count[2][PT_COUNT] = {};
    for (const KomaRec& p : pieces)
        if (p.state == KS_HAND && ValidSide(p.owner) && ValidType(p.type))
            ++count[p.owner][p.type];
    int left[2][PT_COUNT];
    for (int s = 0; s < 2; ++s)
        for (int t = 0; t < PT_COUNT; ++t)
            left[s][t] = count[s][t];

    const int bottomSide = flip == 0 ? SENTE : GOTE;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        KomaRec& p = pieces[i];
        if (p.state != KS_HAND)
            continue;
        p.promoted = 0;  // a hand holds only unpromoted pieces
        UpdateImage(i);
        if (!ValidSide(p.owner) || !ValidType(p.type) || IsKing(p.type))
            continue;  // no place in a hand for these

        const bool atBottom = p.owner == bottomSide;
        const int x0 = atBottom ? HAND_BOTTOM_X : HAND_TOP_X;
        const int y0 = atBottom ? HAND_BOTTOM_Y : HAND_TOP_Y;
        const int* own = count[p.owner];
        // The first piece of a kind in table order takes the highest slot.
        const int slot = --left[p.owner][p.type];
        const int n = own[p.type];
        const int pairStep = n > CROWDED_PAIR_COUNT ? CROWDED_PAIR_WIDTH / n : HAND_PITCH;

        int x = x0;
        switch (p.type) {
            case PT_HI: x = x0 + HAND_PITCH * slot; break;
            case PT_KAKU: x = x0 + HAND_SECOND_COLUMN + HAND_PITCH * slot; break;
            case PT_KIN: x = x0 + (own[PT_GIN] == 0 ? HAND_PITCH : pairStep) * slot; break;
            case PT_GIN:
                x = own[PT_KIN] == 0 ? x0 + HAND_PITCH * slot : x0 + HAND_SECOND_COLUMN + pairStep * slot;
                break;
            case PT_KEI: x = x0 + (own[PT_KYO] == 0 ? HAND_PITCH : pairStep) * slot; break;
            case PT_KYO:
                x = own[PT_KEI] == 0 ? x0 + HAND_PITCH * slot : x0 + HAND_SECOND_COLUMN + pairStep * slot;
                break;
            case PT_FU: x = x0 + (n > CROWDED_PAWN_COUNT ? CROWDED_PAWN_WIDTH / n : HAND_PITCH) * slot; break;
        }
        const int row = atBottom ? HandRow(p.type) : HAND_ROWS - 1 - HandRow(p.type);
        p.x = x;
        p.y = y0 + HAND_ROW_PITCH * row;
    }
}

int CShogiBoard::HitTest(int x, int y) const {
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = pieces[i];
        if (p.state != KS_BOARD && p.state != KS_HAND)
            continue;
        // 64-bit so that no pixel field can overflow the box's far edge.
        const int64_t dx = int64_t(x) - p.x, dy = int64_t(y) - p.y;
        if (dx >= 0 && dx < PIECE_CELL && dy >= 0 && dy < PIECE_CELL)
            return i;
    }
    return -1;
}

std::vector<CellPlacement> CShogiBoard::DrawList() {
    LayoutHands();
    std::vector<CellPlacement> out;
    out.reserve(PIECE_COUNT);
    for (const KomaRec& p : pieces)
        if ((p.state == KS_BOARD || p.state == KS_HAND) && p.image >= 0 && p.image < PIECE_CELL_COUNT)
            out.push_back({p.image, p.x, p.y});
    return out;
}

std::vector<CellPlacement> CShogiBoard::MarkList(int markSide, int index) const {
    std::vector<CellPlacement> out;
    if (!ValidIndex(index))
        return out;
    const KomaRec& p = pieces[index];
    const int n = DestListSize(p.type);
    for (int k = 0; k < n; ++k) {
        const DestEntry& e = p.dest[k];
        if (!OnBoard(e.file, e.rank))
            continue;
        int cell = -1;
        if (e.reachable == 1) {
            if (moveJudge && !moveJudge->Allows(*this, index, e.file, e.rank))
                continue;
            cell = markSide == 0 ? MARK_REACH_0 : MARK_REACH_1;
        } else if (e.occupied == 1)
            cell = markSide == 0 ? MARK_BLOCKED_0 : MARK_BLOCKED_1;
        if (cell < 0)
            continue;
        int i = 0, j = 0;
        SquareToCell(e.file, e.rank, flip, i, j);
        out.push_back({cell, SQUARES_LEFT + SQUARE_PITCH * i, SQUARES_TOP + SQUARE_PITCH * j});
    }
    return out;
}

std::vector<CellPlacement> CShogiBoard::ReachList(int side) {
    ComputeAttacks(side);
    std::vector<CellPlacement> out;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        if (pieces[i].state != KS_BOARD || pieces[i].owner != side)
            continue;
        const std::vector<CellPlacement> marks = MarkList(side, i);
        out.insert(out.end(), marks.begin(), marks.end());
    }
    return out;
}

}  // namespace ravu
