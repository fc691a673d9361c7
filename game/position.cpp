// The move generator: each piece's steps and slides from tables, a move
// tried on the mailbox and taken back when the own king could be exposed,
// and an attack test that looks outwards from the attacked square.
#include "game/position.h"

#include <bit>

#include "game/board.h"

namespace ravu {

namespace {

// Directions in sente's frame, where forward is towards rank 1; gote's are
// the same turned round.  They number the bits of the masks below.
enum Direction { F, B, L, R, FL, FR, BL, BR, KNIGHT_L, KNIGHT_R, DIRECTION_COUNT };
constexpr int SENTE_DELTA[DIRECTION_COUNT] = {-1, +1, -12, +12, -13, +11, -11, +13, -14, +10};

constexpr std::array<std::array<int, DIRECTION_COUNT>, 2> DELTA = [] {
    std::array<std::array<int, DIRECTION_COUNT>, 2> d{};
    for (int n = 0; n < DIRECTION_COUNT; ++n)
        d[SENTE][n] = SENTE_DELTA[n], d[GOTE][n] = -SENTE_DELTA[n];
    return d;
}();

constexpr uint16_t Bit(int d) { return uint16_t(1 << d); }
constexpr uint16_t ORTHOGONAL = Bit(F) | Bit(B) | Bit(L) | Bit(R);
constexpr uint16_t DIAGONAL = Bit(FL) | Bit(FR) | Bit(BL) | Bit(BR);
constexpr uint16_t GOLD = ORTHOGONAL | Bit(FL) | Bit(FR);

// What a piece reaches, by type and promotion (the low five bits of a Piece).
// A promoted gold or king, which a record may carry, moves nowhere.
constexpr Piece KIND = 0x1F;
struct Reach {
    uint16_t steps;   // one square in these directions
    uint16_t slides;  // any number of empty squares and then one more
};
constexpr std::array<Reach, KIND + 1> REACH = [] {
    std::array<Reach, KIND + 1> r{};
    r[PT_OU] = r[PT_GYOKU] = {ORTHOGONAL | DIAGONAL, 0};
    r[PT_HI] = {0, ORTHOGONAL};
    r[PROMOTED | PT_HI] = {DIAGONAL, ORTHOGONAL};
    r[PT_KAKU] = {0, DIAGONAL};
    r[PROMOTED | PT_KAKU] = {ORTHOGONAL, DIAGONAL};
    r[PT_KIN] = {GOLD, 0};
    r[PT_GIN] = {Bit(F) | DIAGONAL, 0};
    r[PT_KEI] = {Bit(KNIGHT_L) | Bit(KNIGHT_R), 0};
    r[PT_KYO] = {0, Bit(F)};
    r[PT_FU] = {Bit(F), 0};
    for (int type : {PT_GIN, PT_KEI, PT_KYO, PT_FU})
        r[PROMOTED | type] = {GOLD, 0};
    return r;
}();

constexpr int FIRST_SQUARE = SquareOf(1, 1);
constexpr int LAST_SQUARE = SquareOf(9, 9);

constexpr bool PROMOTES[PT_COUNT] = {false, true, true, false, true, true, true, true, false};
// Ranks a pawn or lance needs in front of it, a knight two; others none.
constexpr int MIN_AHEAD[PT_COUNT] = {0, 0, 0, 0, 0, 2, 1, 1, 0};
constexpr int ZONE_DEPTH = 3;

int RanksAhead(int side, int sq) { return side == SENTE ? RankOf(sq) - 1 : 9 - RankOf(sq); }
bool InZone(int side, int sq) { return RanksAhead(side, sq) < ZONE_DEPTH; }
bool NeverMovesAgain(Piece p, int side, int sq) {
    return !(p & PROMOTED) && RanksAhead(side, sq) < MIN_AHEAD[TypeOf(p)];
}
bool IsOwn(Piece p, int side) { return (p & WALL) == OwnerBit(side); }

// Only a piece on a line through the king can uncover it.
bool Aligned(int a, int b) {
    const int df = FileOf(a) - FileOf(b), dr = RankOf(a) - RankOf(b);
    return df == 0 || dr == 0 || df == dr || df == -dr;
}

}  // namespace

Position::Position() {
    board.fill(WALL);
    for (int file = 1; file <= 9; ++file)
        for (int rank = 1; rank <= 9; ++rank)
            board[SquareOf(file, rank)] = NO_PIECE;
}

Position::Position(const CShogiBoard& source, int sideToMove) : Position() {
    side = uint8_t(sideToMove);
    for (const KomaRec& p : source.pieces) {
        if (!ValidSide(p.owner) || !ValidType(p.type))
            continue;
        if (p.state == KS_HAND)
            ++hands[p.owner][p.type];
        if (p.state != KS_BOARD || !OnBoard(p.file, p.rank) || (p.promoted != 0 && p.promoted != 1))
            continue;
        const int sq = SquareOf(p.file, p.rank);
        if (board[sq] != NO_PIECE)
            continue;  // the board, too, sees only the first piece on a square
        board[sq] = MakePiece(p.owner, p.type, p.promoted);
        if (IsKing(p.type) && !kings[p.owner])
            kings[p.owner] = uint8_t(sq);
    }
}

bool Position::Attacked(int sq, int by) const {
    for (int d = 0; d < DIRECTION_COUNT; ++d) {
        const int delta = DELTA[by][d];
        int from = sq - delta;
        Piece p = board[from];
        if (IsOwn(p, by) && (REACH[p & KIND].steps & Bit(d)))
            return true;
        if (d >= KNIGHT_L)
            continue;
        while (p == NO_PIECE)
            p = board[from -= delta];
        if (IsOwn(p, by) && (REACH[p & KIND].slides & Bit(d)))
            return true;
    }
    return false;
}

bool Position::InCheck() const { return kings[side] && Attacked(kings[side], side ^ 1); }

void Position::LegalMoves(MoveList& list) const {
    Position scratch = *this;  // moves are tried on it and taken back
    scratch.Generate(list);
}

void Position::Generate(MoveList& list) {
    list.size = 0;
    const int us = side;
    const bool checked = InCheck();
    for (int from = FIRST_SQUARE; from <= LAST_SQUARE; ++from) {
        const Piece p = board[from];
        if (!IsOwn(p, us))
            continue;
        const Reach& reach = REACH[p & KIND];
        for (unsigned m = reach.steps; m; m &= m - 1) {
            const int to = from + DELTA[us][std::countr_zero(m)];
            if (!(board[to] & OwnerBit(us)))
                AddBoardMoves(list, from, to, p, checked);
        }
        for (unsigned m = reach.slides; m; m &= m - 1) {
            const int delta = DELTA[us][std::countr_zero(m)];
            for (int to = from + delta; !(board[to] & OwnerBit(us)); to += delta) {
                AddBoardMoves(list, from, to, p, checked);
                if (board[to] != NO_PIECE)
                    break;
            }
        }
    }

    int pawnFiles = 0;  // files with an unpromoted pawn of ours, by bit
    bool theyWereChecked = false;
    if (hands[us][PT_FU]) {
        for (int sq = FIRST_SQUARE; sq <= LAST_SQUARE; ++sq)
            if (board[sq] == MakePiece(us, PT_FU, false))
                pawnFiles |= 1 << FileOf(sq);
        theyWereChecked = kings[us ^ 1] && Attacked(kings[us ^ 1], us);
    }
    for (int type = PT_HI; type <= PT_FU; ++type) {
        if (!hands[us][type])
            continue;
        const Piece p = MakePiece(us, type, false);
        for (int to = FIRST_SQUARE; to <= LAST_SQUARE; ++to) {
            if (board[to] != NO_PIECE || NeverMovesAgain(p, us, to))
                continue;
            if (type == PT_FU && ((pawnFiles >> FileOf(to)) & 1))
                continue;
            // A drop uncovers nothing: it matters only against a check.
            if (checked && !KingSafeAfter(0, to, p))
                continue;
            if (type == PT_FU && MatesByDroppedPawn(to, theyWereChecked))
                continue;
            list.moves[list.size++] = {0, uint8_t(to), uint8_t(type), 0};
        }
    }
}

void Position::AddBoardMoves(MoveList& list, int from, int to, Piece p, bool checked) {
    const int king = kings[side];
    if (king && (checked || Aligned(king, from)) && !KingSafeAfter(from, to, p))
        return;
    const uint8_t type = uint8_t(TypeOf(p));
    if (!(p & PROMOTED) && PROMOTES[type] && (InZone(side, from) || InZone(side, to)))
        list.moves[list.size++] = {uint8_t(from), uint8_t(to), type, 1};
    if (!NeverMovesAgain(p, side, to))
        list.moves[list.size++] = {uint8_t(from), uint8_t(to), type, 0};
}

bool Position::KingSafeAfter(int from, int to, Piece p) {
    const Piece captured = board[to];
    board[to] = p;
    if (from)
        board[from] = NO_PIECE;
    const bool safe = !Attacked(from == kings[side] ? to : kings[side], side ^ 1);
    board[to] = captured;
    if (from)
        board[from] = p;
    return safe;
}

// Only a check by the pawn itself, or one the other side stood in already,
// can follow a drop; then the other side must have no move left.
bool Position::MatesByDroppedPawn(int to, bool theyWereChecked) const {
    const int theirKing = kings[side ^ 1];
    if (!theirKing || (to + DELTA[side][F] != theirKing && !theyWereChecked))
        return false;
    Position after = *this;
    after.Play({0, uint8_t(to), PT_FU, 0});
    if (!after.InCheck())
        return false;
    MoveList replies;
    after.Generate(replies);
    return replies.size == 0;
}

void Position::Play(const Move& m) {
    const int us = side, them = side ^ 1;
    if (m.from == 0) {
        --hands[us][m.type];
        board[m.to] = MakePiece(us, m.type, false);
    } else {
        const Piece captured = board[m.to];
        if (captured != NO_PIECE) {
            ++hands[us][TypeOf(captured)];
            if (m.to == kings[them])
                kings[them] = 0;
        }
        board[m.to] = Piece(board[m.from] | (m.promote ? PROMOTED : 0));
        board[m.from] = NO_PIECE;
        if (m.from == kings[us])
            kings[us] = m.to;
    }
    side = uint8_t(them);
}

uint64_t Perft(const Position& pos, int depth) {
    if (depth <= 0)
        return 1;
    Position::MoveList list;
    pos.LegalMoves(list);
    if (depth == 1)
        return uint64_t(list.size);
    uint64_t n = 0;
    for (const Position::Move& m : list) {
        Position next = pos;
        next.Play(m);
        n += Perft(next, depth - 1);
    }
    return n;
}

}  // namespace ravu
