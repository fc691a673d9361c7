// The move judge: may this piece go from its square to that one, may this
// piece in hand be dropped there, and does a move promote.  It answers from
// geometry and blocking pieces alone, never from the destination lists.
#include "game/board.h"

#include <cstdlib>

namespace ravu {

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

// Board point plus an offset without overflow, for the promotion question's
// position, which comes from pixel fields anyone can write.
int ClampAdd(int32_t v, int d) {
    const int64_t r = int64_t(v) + d;
    if (r > INT32_MAX)
        return INT32_MAX;
    if (r < INT32_MIN)
        return INT32_MIN;
    return int(r);
}

// Codes of CanMove: type + 10 * promoted.
constexpr int PROMOTED_CODE = 10;
constexpr int CODE_LIMIT = 17;

}  // namespace

int CShogiBoard::CanMove(const KomaRec& piece, int toFile, int toRank) const {
    if (!OnBoard(piece.file, piece.rank) || !OnBoard(toFile, toRank) || !ValidSide(piece.owner))
        return 0;
    // Work in the mover's own frame, where forward is +1 rank for both sides.
    int sf = piece.file, sr = piece.rank, tf = toFile, tr = toRank;
    if (piece.owner == SENTE) {
        sf = 10 - sf;
        sr = 10 - sr;
        tf = 10 - tf;
        tr = 10 - tr;
    }
    const int dx = tf - sf, dy = tr - sr;
    const int ax = std::abs(dx), ay = std::abs(dy);
    if (ax + ay == 0)
        return 0;
    if (!ValidType(piece.type) || (piece.promoted != 0 && piece.promoted != 1))
        return 0;
    const int code = piece.type + PROMOTED_CODE * piece.promoted;
    if (code > CODE_LIMIT)
        return 0;

    switch (code) {
        case PT_OU:
        case PT_GYOKU: return ax <= 1 && ay <= 1;
        case PT_HI:
            return (dy == 0 && PathClearRank(piece, toFile, toRank)) ||
                   (dx == 0 && PathClearFile(piece, toFile, toRank));
        case PT_KAKU: return ax == ay && PathClearDiag(piece, toFile, toRank);
        case PT_KIN:
        case PROMOTED_CODE + PT_GIN:
        case PROMOTED_CODE + PT_KEI:
        case PROMOTED_CODE + PT_KYO:
        case PROMOTED_CODE + PT_FU: return ax <= 1 && ay <= 1 && !(ax == 1 && dy == -1);
        case PT_GIN: return ax <= 1 && ay <= 1 && !(ax == 1 && dy == 0) && !(dx == 0 && dy == -1);
        case PT_KEI: return ax == 1 && dy == 2;
        case PT_KYO: return dx == 0 && dy > 0 && PathClearFile(piece, toFile, toRank);
        case PT_FU: return dx == 0 && dy == 1;
        case PROMOTED_CODE + PT_HI:
            return (dy == 0 && PathClearRank(piece, toFile, toRank)) ||
                   (dx == 0 && PathClearFile(piece, toFile, toRank)) || (ax == 1 && ay == 1);
        case PROMOTED_CODE + PT_KAKU:
            return (ax == ay && PathClearDiag(piece, toFile, toRank)) || (ax == 1 && dy == 0) ||
                   (dx == 0 && ay == 1);
        default:  // promoted king or gold: no such piece
            return 0;
    }
}

int CShogiBoard::PathClearFile(const KomaRec& piece, int toFile, int toRank) const {
    if (!OnBoard(piece.file, piece.rank) || !OnBoard(toFile, toRank))
        return 0;
    const int step = Sign(toRank - piece.rank);
    for (int r = piece.rank + step; r != toRank; r += step)
        if (PieceAt(toFile, r) != -1)
            return 0;
    return 1;
}

int CShogiBoard::PathClearRank(const KomaRec& piece, int toFile, int toRank) const {
    if (!OnBoard(piece.file, piece.rank) || !OnBoard(toFile, toRank))
        return 0;
    const int step = Sign(toFile - piece.file);
    for (int f = piece.file + step; f != toFile; f += step)
        if (PieceAt(f, toRank) != -1)
            return 0;
    return 1;
}

int CShogiBoard::PathClearDiag(const KomaRec& piece, int toFile, int toRank) const {
    if (!OnBoard(piece.file, piece.rank) || !OnBoard(toFile, toRank))
        return 0;
    // From the square next to the target back towards the source.
    const int df = Sign(piece.file - toFile), dr = Sign(piece.rank - toRank);
    const int between = std::abs(toFile - piece.file) - 1;
    int f = toFile + df, r = toRank + dr;
    for (int n = 0; n < between; ++n, f += df, r += dr)
        if (PieceAt(f, r) != -1)
            return 0;
    return 1;
}

int CShogiBoard::CanDrop(int index, int file, int rank) const {
    if (!ValidIndex(index) || !OnBoard(file, rank))
        return 0;
    const KomaRec& p = pieces[index];
    if (!ValidSide(p.owner))
        return 0;
    if (TwoPawns(index, file))
        return 0;
    if (!InZone(p.owner, rank))
        return 1;
    switch (p.type) {
        case PT_KEI:  // a knight needs two ranks ahead of it
            return p.owner == SENTE ? rank >= 3 : rank < 8;
        case PT_KYO:
        case PT_FU:  // a lance or pawn needs one rank ahead of it
            return p.owner == SENTE ? rank != 1 : rank != 9;
        default: return 1;
    }
}

int CShogiBoard::TwoPawns(int index, int file) const {
    if (!ValidIndex(index) || pieces[index].type != PT_FU)
        return 0;
    const int owner = pieces[index].owner;
    for (int rank = 1; rank <= 9; ++rank) {
        const int t = PieceAt(file, rank);
        if (t != -1 && pieces[t].type == PT_FU && pieces[t].owner == owner && pieces[t].promoted == 0)
            return 1;
    }
    return 0;
}

int CShogiBoard::InZone(int side, int rank) {
    if (rank < 1 || rank > 9)
        return 0;
    if (side == SENTE)
        return rank < 4;
    if (side == GOTE)
        return rank >= 7;
    return 0;
}

int CShogiBoard::LeavesZone(int side, int fromRank, int toRank) {
    return InZone(side, fromRank) && !InZone(side, toRank);
}

int CShogiBoard::DecidePromotion(int index) {
    if (!ValidIndex(index))
        return 0;
    KomaRec& p = pieces[index];
    // A move may promote when it ends in the zone or starts in it.
    if (!InZone(p.owner, p.rank) && !LeavesZone(p.owner, p.prevRank, p.rank))
        return 1;

    bool ask = false;
    bool forced = false;
    switch (p.type) {
        case PT_OU:
        case PT_GYOKU:
        case PT_KIN: p.promoted = 0; break;
        case PT_KEI:
        case PT_KYO:
        case PT_FU:
            forced = MustPromote(p.type, p.rank);
            ask = !forced;
            break;
        case PT_HI:
        case PT_KAKU:
        case PT_GIN: ask = true; break;
        default: break;
    }

    if (forced) {
        p.moveStatus = p.promoted == 0 ? MS_PROMOTE : MS_MOVE;
        p.promoted = 1;
    } else if (ask && p.promoted != 1) {
        const int file = p.file, rank = p.rank;
        const uint32_t setup = setups;
        const int answer = promotionAsker ? promotionAsker->AskPromotion(ClampAdd(p.x, PIECE_HALF),
                                                                         ClampAdd(p.y, PIECE_HALF))
                                          : 0;
        if (setups != setup || p.state != KS_BOARD || p.file != file || p.rank != rank)
            return 0;  // a new position, or the piece was taken, under the question
        if (answer == 1) {
            p.promoted = 1;
            p.moveStatus = MS_PROMOTE;
        } else {
            p.promoted = 0;
        }
    }
    UpdateImage(index);
    return 1;
}

}  // namespace ravu
