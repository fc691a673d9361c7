// The strict rules on the board: the board is turned into a Position once,
// and the moves found there are turned back into records.
#include "game/legal_moves.h"

#include "game/position.h"

namespace ravu {

namespace {

MoveRec ToRecord(const Position& pos, const Position::Move& m) {
    MoveRec rec;
    rec.side = pos.SideToMove();
    rec.toFile = FileOf(m.to), rec.toRank = RankOf(m.to);
    rec.type = m.type;
    if (m.from != 0) {
        rec.fromFile = FileOf(m.from), rec.fromRank = RankOf(m.from);
        rec.promoted = m.promote || (pos.At(m.from) & PROMOTED);
    }
    rec.status = m.promote ? MS_PROMOTE : MS_MOVE;
    return rec;
}

}  // namespace

bool Attacks(const CShogiBoard& board, int by, int file, int rank) {
    return ValidSide(by) && OnBoard(file, rank) && Position(board, by).Attacked(SquareOf(file, rank), by);
}

bool InCheck(const CShogiBoard& board, int side) {
    return ValidSide(side) && Position(board, side).InCheck();
}

std::vector<MoveRec> LegalMoves(const CShogiBoard& board, int side) {
    std::vector<MoveRec> out;
    if (!ValidSide(side))
        return out;
    const Position pos(board, side);
    Position::MoveList list;
    pos.LegalMoves(list);
    out.reserve(size_t(list.size));
    for (const Position::Move& m : list)
        out.push_back(ToRecord(pos, m));
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
