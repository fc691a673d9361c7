// The destination lists: one generator per piece type writes the squares a
// piece reaches into its 20 DestEntry, for the marks and the check label.
// Kept apart from the move judge on purpose; both must give the same answers.
#include "game/board.h"

namespace ravu {

namespace {

struct Offset {
    int8_t file;
    int8_t rank;  // in units of the piece's forward step for step pieces
};

// Step pieces: offsets with the rank in forward steps, entry numbers fixed.
constexpr Offset FU_STEPS[] = {{0, 1}};
constexpr Offset KEI_STEPS[] = {{+1, 2}, {-1, 2}};
constexpr Offset GIN_STEPS[] = {{+1, 1}, {0, 1}, {-1, 1}, {+1, -1}, {-1, -1}};
constexpr Offset KIN_STEPS[] = {{+1, 1}, {0, 1}, {-1, 1}, {+1, 0}, {-1, 0}, {0, -1}};
constexpr Offset OU_STEPS[] = {{+1, 1}, {0, 1}, {-1, 1}, {+1, 0}, {-1, 0}, {+1, -1}, {0, -1}, {-1, -1}};

// Sliding pieces: board coordinates (file, rank), not the mover's frame.
constexpr Offset HI_LINES[] = {{0, +1}, {0, -1}, {-1, 0}, {+1, 0}};
constexpr Offset HI_EXTRA[] = {{+1, +1}, {-1, +1}, {+1, -1}, {-1, -1}};
constexpr Offset KAKU_LINES[] = {{+1, +1}, {+1, -1}, {-1, +1}, {-1, -1}};
constexpr Offset KAKU_EXTRA[] = {{0, +1}, {0, -1}, {+1, 0}, {-1, 0}};

constexpr int KYO_LIMIT = 8;  // a lance's list holds at most 8 squares

}  // namespace

int CShogiBoard::AddDest(int index, int k, int file, int rank) {
    if (!ValidIndex(index) || k < 0 || k >= DEST_COUNT)
        return 0;
    if (!OnBoard(file, rank))
        return 0;
    KomaRec& p = pieces[index];
    const int t = PieceAt(file, rank);
    if (t == -1) {
        p.dest[k] = DestEntry{1, file, rank, 0, 0};
        return 1;
    }
    if (pieces[t].owner == p.owner) {
        p.dest[k] = DestEntry{0, file, rank, 1, t};
        return 0;
    }
    p.dest[k] = DestEntry{1, file, rank, 1, t};
    if (IsKing(pieces[t].type)) {
        kingAttacked = 1;
        attackedKing = t;
    }
    return 1;
}

namespace {

// Writes the step entries at fixed numbers; squares off the board leave a gap.
template <size_t N>
void AddSteps(CShogiBoard& board, int index, const Offset (&steps)[N], int first, int fwd) {
    const KomaRec& p = board.pieces[index];
    for (size_t n = 0; n < N; ++n)
        board.AddDest(index, first + int(n), p.file + steps[n].file, p.rank + steps[n].rank * fwd);
}

// Walks lines in order, numbering entries on from where the previous line
// stopped; each line ends at the edge or after its first occupied square.
template <size_t N>
int AddLines(CShogiBoard& board, int index, const Offset (&lines)[N], int k) {
    const KomaRec& p = board.pieces[index];
    for (const Offset& d : lines) {
        int f = p.file + d.file, r = p.rank + d.rank;
        while (OnBoard(f, r) && k < DEST_COUNT) {
            const int goOn = board.AddDest(index, k, f, r);
            const bool occupied = p.dest[k].occupied == 1;
            ++k;
            if (!goOn || occupied)
                break;
            f += d.file;
            r += d.rank;
        }
    }
    return k;
}

}  // namespace

void CShogiBoard::DestFu(int index) {
    if (!BeginDest(index))
        return;
    AddSteps(*this, index, FU_STEPS, 0, Forward(pieces[index].owner));
}

void CShogiBoard::DestKyo(int index) {
    if (!BeginDest(index))
        return;
    const KomaRec& p = pieces[index];
    const int fwd = Forward(p.owner);
    int k = 0;
    for (int r = p.rank + fwd; OnBoard(p.file, r) && k < KYO_LIMIT; r += fwd) {
        const int goOn = AddDest(index, k, p.file, r);
        const bool occupied = p.dest[k].occupied == 1;
        ++k;
        if (!goOn || occupied)
            break;
    }
}

void CShogiBoard::DestKei(int index) {
    if (!BeginDest(index))
        return;
    AddSteps(*this, index, KEI_STEPS, 0, Forward(pieces[index].owner));
}

void CShogiBoard::DestGin(int index) {
    if (!BeginDest(index))
        return;
    AddSteps(*this, index, GIN_STEPS, 0, Forward(pieces[index].owner));
}

void CShogiBoard::DestKin(int index) {
    if (!BeginDest(index))
        return;
    AddSteps(*this, index, KIN_STEPS, 0, Forward(pieces[index].owner));
}

void CShogiBoard::DestOu(int index) {
    if (!BeginDest(index))
        return;
    AddSteps(*this, index, OU_STEPS, 0, Forward(pieces[index].owner));
}

void CShogiBoard::DestHi(int index) {
    if (!BeginDest(index))
        return;
    const int k = AddLines(*this, index, HI_LINES, 0);
    if (pieces[index].promoted == 1 && k + 4 <= DEST_COUNT)
        AddSteps(*this, index, HI_EXTRA, k, 1);
}

void CShogiBoard::DestKaku(int index) {
    if (!BeginDest(index))
        return;
    const int k = AddLines(*this, index, KAKU_LINES, 0);
    if (pieces[index].promoted == 1 && k + 4 <= DEST_COUNT)
        AddSteps(*this, index, KAKU_EXTRA, k, 1);
}

bool CShogiBoard::BeginDest(int index) {
    if (!ValidIndex(index))
        return false;
    KomaRec& p = pieces[index];
    for (DestEntry& e : p.dest)
        e = DestEntry{};
    // A piece off the board, of no side, or with a garbage flag reaches nothing.
    return OnBoard(p.file, p.rank) && ValidSide(p.owner) && (p.promoted == 0 || p.promoted == 1);
}

void CShogiBoard::GenerateDest(int index) {
    if (!BeginDest(index))
        return;
    const KomaRec& p = pieces[index];
    const bool asGold = p.promoted == 1;
    switch (p.type) {
        case PT_FU: asGold ? DestKin(index) : DestFu(index); break;
        case PT_KYO: asGold ? DestKin(index) : DestKyo(index); break;
        case PT_KEI: asGold ? DestKin(index) : DestKei(index); break;
        case PT_GIN: asGold ? DestKin(index) : DestGin(index); break;
        case PT_KIN: DestKin(index); break;
        case PT_OU:
        case PT_GYOKU: DestOu(index); break;
        case PT_HI: DestHi(index); break;
        case PT_KAKU: DestKaku(index); break;
        default: break;
    }
}

int CShogiBoard::ComputeAttacks(int side) {
    kingAttacked = 0;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = pieces[i];
        // A held piece still counts from the square it was picked up from.
        if (p.state == KS_BOARD || (p.state == KS_HELD && p.prevState == KS_BOARD))
            GenerateDest(i);
    }
    return kingAttacked == 1 && ValidIndex(attackedKing) && pieces[attackedKing].owner == side;
}

int CShogiBoard::DestListSize(int type) {
    switch (type) {
        case PT_OU:
        case PT_GYOKU:
        case PT_KYO: return 8;
        case PT_HI:
        case PT_KAKU: return DEST_COUNT;
        default: return 6;
    }
}

}  // namespace ravu
