// The referee of a game under strict rules: whether a move may be played,
// and the end a move brings about: 詰み when the side to move has no legal
// move, 千日手 at the fourth occurrence of a position (a loss for the side
// that checked with every move of the cycle).  Both players' programs run
// the same referee on the same moves, so they reach the same verdict
// without trusting each other's.
#pragma once

#include "game/board_host.h"
#include "game/repetition.h"
#include "game/types.h"

namespace ravu {

class CShogiBoard;

class CReferee {
public:
    // The game starts from the board with `sideToMove` to move.
    void Start(const CShogiBoard& board, int sideToMove);
    // Whether `side` may play the move (the promotion as the move says).
    static bool Allows(const CShogiBoard& board, int side, const MoveRec& move);
    // After the move of `mover` stands on the board: MS_MOVE to play on, or
    // the end entry of the side now to move: MS_MATE (it is mated),
    // MS_SENNICHITE (a draw), MS_ILLEGAL_WIN (the mover checked through the
    // whole cycle) or MS_ILLEGAL_LOSS (the side to move did).
    int AfterMove(const CShogiBoard& board, int mover);

private:
    CRepetitionCounter repetition;
};

// The board input's judge in strict games: a square is allowed when some
// legal move of the piece goes there (promoting or not: forced promotion is
// the board's own rule).
class CStrictJudge : public IMoveJudge {
public:
    bool Allows(const CShogiBoard& board, int index, int file, int rank) const override;
};

}  // namespace ravu
