// The legal-move generator: the board's movement judge for each piece and
// square, then every candidate played on a copy to see that the own king
// is not left attacked.
#include "game/legal_moves.h"

namespace ravu {

namespace {

int KingOf(const CShogiBoard& board, int side) {
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = board.pieces[i];
        if (p.state == KS_BOARD && p.owner == side && IsKing(p.type))
            return i;
    }
    return -1;
}

// A pawn or lance on its last rank, a knight on its last two: it could never move again.
bool NeverMovesAgain(int type, int promoted, int side, int rank) {
    if (promoted)
        return false;
    const int ahead = side == SENTE ? rank - 1 : 9 - rank;  // ranks in front of it
    return ((type == PT_FU || type == PT_KYO) && ahead < 1) || (type == PT_KEI && ahead < 2);
}

bool MayPromote(const KomaRec& p, int toRank) {
    return !p.promoted && p.type != PT_KIN && !IsKing(p.type) &&
           (CShogiBoard::InZone(p.owner, p.rank) || CShogiBoard::InZone(p.owner, toRank));
}

bool LeavesKingSafe(const CShogiBoard& board, int side, const MoveRec& m) {
    CShogiBoard after = board;
    return after.ApplyMove(m, true) && !InCheck(after, side);
}

// A pawn dropped with check that leaves the other side no move.
bool MatesByDroppedPawn(const CShogiBoard& board, int side, const MoveRec& drop) {
    CShogiBoard after = board;
    after.ApplyMove(drop, true);
    return InCheck(after, side ^ 1) && LegalMoves(after, side ^ 1).empty();
}

}  // namespace

bool Attacks(const CShogiBoard& board, int by, int file, int rank) {
    for (const KomaRec& p : board.pieces)
        if (p.state == KS_BOARD && p.owner == by && board.CanMove(p, file, rank))
            return true;
    return false;
}

bool InCheck(const CShogiBoard& board, int side) {
    const int king = KingOf(board, side);
    return king >= 0 && Attacks(board, side ^ 1, board.pieces[king].file, board.pieces[king].rank);
}

std::vector<MoveRec> LegalMoves(const CShogiBoard& board, int side) {
    std::vector<MoveRec> out;
    for (const KomaRec& p : board.pieces) {
        if (p.state != KS_BOARD || p.owner != side)
            continue;
        for (int file = 1; file <= 9; ++file)
            for (int rank = 1; rank <= 9; ++rank) {
                const int there = board.PieceAt(file, rank);
                if ((there >= 0 && board.pieces[there].owner == side) || !board.CanMove(p, file, rank))
                    continue;
                MoveRec m;
                m.side = side, m.toFile = file, m.toRank = rank, m.type = p.type;
                m.fromFile = p.file, m.fromRank = p.rank, m.promoted = p.promoted;
                if (MayPromote(p, rank)) {
                    MoveRec promoting = m;
                    promoting.promoted = 1, promoting.status = MS_PROMOTE;
                    if (LeavesKingSafe(board, side, promoting))
                        out.push_back(promoting);
                }
                if (!NeverMovesAgain(p.type, p.promoted, side, rank) && LeavesKingSafe(board, side, m))
                    out.push_back(m);
            }
    }
    for (int type = PT_HI; type <= PT_FU; ++type) {
        const int piece = board.FindInHand(side, type);
        if (piece < 0)
            continue;
        for (int file = 1; file <= 9; ++file)
            for (int rank = 1; rank <= 9; ++rank) {
                if (board.PieceAt(file, rank) >= 0 || !board.CanDrop(piece, file, rank))
                    continue;
                MoveRec m;
                m.side = side, m.toFile = file, m.toRank = rank, m.type = type;
                if (LeavesKingSafe(board, side, m) && !(type == PT_FU && MatesByDroppedPawn(board, side, m)))
                    out.push_back(m);
            }
    }
    return out;
}

bool IsLegalMove(const CShogiBoard& board, int side, const MoveRec& move) {
    for (const MoveRec& m : LegalMoves(board, side))
        if (m.fromFile == move.fromFile && m.fromRank == move.fromRank && m.toFile == move.toFile &&
            m.toRank == move.toRank && m.type == move.type && m.promoted == move.promoted)
            return true;
    return false;
}

}  // namespace ravu
