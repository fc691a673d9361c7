// The entering-king declaration under the 27-point rule.
#include "game/declaration.h"

#include "game/legal_moves.h"

namespace ravu {

namespace {

// Where the piece counts: a piece held by the pointer still stands where it
// was picked up from.
int Place(const KomaRec& p) { return p.state == KS_HELD ? p.prevState : p.state; }

bool InEnemyCamp(const KomaRec& p, int side) {
    return p.owner == side && Place(p) == KS_BOARD && CShogiBoard::InZone(side, p.rank);
}

int Points(int type) { return type == PT_HI || type == PT_KAKU ? MAJOR_PIECE_POINTS : 1; }

}  // namespace

int PiecesInEnemyCamp(const CShogiBoard& board, int side) {
    int count = 0;
    for (const KomaRec& p : board.pieces)
        count += InEnemyCamp(p, side) && !IsKing(p.type);
    return count;
}

int DeclarationPoints(const CShogiBoard& board, int side) {
    int points = 0;
    for (const KomaRec& p : board.pieces)
        if (!IsKing(p.type) && (InEnemyCamp(p, side) || (p.owner == side && Place(p) == KS_HAND)))
            points += Points(p.type);
    return points;
}

bool MayDeclare(const CShogiBoard& board, int side) {
    if (!ValidSide(side))
        return false;
    bool kingInCamp = false;
    for (const KomaRec& p : board.pieces)
        kingInCamp = kingInCamp || (IsKing(p.type) && InEnemyCamp(p, side));
    const int line = side == SENTE ? DECLARE_POINTS_SENTE : DECLARE_POINTS_GOTE;
    return kingInCamp && !InCheck(board, side) && PiecesInEnemyCamp(board, side) >= DECLARE_PIECES &&
           DeclarationPoints(board, side) >= line;
}

}  // namespace ravu
