// Moves named by squares, completed on a board of the reader's own.
#include "record/move_tracker.h"

#include "game/sfen.h"

namespace ravu {

bool CMoveTracker::Start(std::string_view sfen) {
    int first = SENTE;
    if (sfen.empty())
        board.Reset();
    else if (!SetUpSfen(board, sfen, &first))
        return false;
    side = first;
    number = 1;
    lastFile = lastRank = 0;
    return true;
}

bool CMoveTracker::Play(int fromFile, int fromRank, int toFile, int toRank, int dropType, bool promote,
                        MoveRec* move) {
    if (!OnBoard(toFile, toRank))
        return false;
    MoveRec m;
    m.number = number;
    m.side = side;
    m.toFile = toFile;
    m.toRank = toRank;
    if (fromFile == 0) {
        const int i = board.FindInHand(side, dropType);
        if (i < 0 || promote || board.PieceAt(toFile, toRank) >= 0)
            return false;
        m.type = dropType;
    } else {
        const int i = board.PieceAt(fromFile, fromRank);
        if (i < 0 || board.pieces[i].owner != side)
            return false;
        const KomaRec& p = board.pieces[i];
        const int there = board.PieceAt(toFile, toRank);
        if (there >= 0 && board.pieces[there].owner == side)
            return false;
        if (promote && (p.promoted || p.type == PT_KIN || p.type == PT_OU || p.type == PT_GYOKU))
            return false;
        m.type = p.type;
        m.fromFile = fromFile;
        m.fromRank = fromRank;
        m.promoted = p.promoted || promote;
        m.status = promote ? MS_PROMOTE : MS_MOVE;
    }
    if (!board.ApplyMove(m, true))
        return false;
    *move = m;
    side ^= 1;
    ++number;
    lastFile = toFile;
    lastRank = toRank;
    return true;
}

MoveRec CMoveTracker::End(int32_t status) const {
    MoveRec m;
    m.number = number;
    m.side = side;
    m.status = status;
    return m;
}

}  // namespace ravu
