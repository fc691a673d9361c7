// Strict rules: the moves a side may make, for games with a referee.  A move
// or drop may not leave its own king attacked; no second unpromoted pawn of
// a side on a file; no mate by a dropped pawn; no piece where it could never
// move again (forced promotion).  Free play keeps using the destination
// lists of the board, which know none of this.
#pragma once

#include <vector>

#include "game/board.h"

namespace ravu {

// Whether a piece of side `by` on the board reaches the square.
bool Attacks(const CShogiBoard& board, int by, int file, int rank);

// Whether the king of `side` stands attacked (false for a side without a king).
bool InCheck(const CShogiBoard& board, int side);

// Every move `side` may make, each once: board moves (a promoting and a
// plain one where both are allowed) and drops of each kind in hand.  The
// moves carry side, squares, type, promoted and status; their number is 0.
std::vector<MoveRec> LegalMoves(const CShogiBoard& board, int side);

// Whether the move (squares, type, promotion) is one of LegalMoves.
bool IsLegalMove(const CShogiBoard& board, int side, const MoveRec& move);

}  // namespace ravu
