#include "game/referee.h"

#include "game/board.h"
#include "game/legal_moves.h"

namespace ravu {

void CReferee::Start(const CShogiBoard& board, int sideToMove) {
    repetition.Start(PositionKey(board, sideToMove));
}

bool CReferee::Allows(const CShogiBoard& board, int side, const MoveRec& move) {
    return move.status < MS_RESIGN && IsLegalMove(board, side, move);
}

int CReferee::AfterMove(const CShogiBoard& board, int mover) {
    const int toMove = mover ^ 1;
    if (LegalMoves(board, toMove).empty())
        return MS_MATE;
    switch (repetition.Record(PositionKey(board, toMove), mover, InCheck(board, toMove))) {
        case Repetition::None: return MS_MOVE;
        case Repetition::Draw: return MS_SENNICHITE;
        case Repetition::SenteLoses: return mover == SENTE ? MS_ILLEGAL_WIN : MS_ILLEGAL_LOSS;
        case Repetition::GoteLoses: return mover == GOTE ? MS_ILLEGAL_WIN : MS_ILLEGAL_LOSS;
    }
    return MS_MOVE;
}

bool CStrictJudge::Allows(const CShogiBoard& board, int index, int file, int rank) const {
    if (index < 0 || index >= PIECE_COUNT)
        return false;
    // The position before the piece was picked up.
    CShogiBoard before = board;
    KomaRec& p = before.pieces[index];
    if (p.state == KS_HELD)
        p.state = p.prevState;
    const bool drop = p.state == KS_HAND;
    if (!drop && p.state != KS_BOARD)
        return false;
    for (const MoveRec& m : LegalMoves(before, p.owner))
        if (m.toFile == file && m.toRank == rank &&
            (drop ? m.fromFile == 0 && m.type == p.type : m.fromFile == p.file && m.fromRank == p.rank))
            return true;
    return false;
}

}  // namespace ravu
