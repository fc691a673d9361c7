// The entering-king declaration (入玉宣言) under the 27-point rule: the side
// to move wins by declaring when its king stands in the enemy camp and is
// not in check, at least ten of its other pieces stand there too, and its
// points reach the line.  Whether the declaring side still has time on its
// clock is the referee's part.
#pragma once

#include "game/board.h"

namespace ravu {

constexpr int DECLARE_PIECES = 10;  // other pieces needed in the enemy camp
constexpr int DECLARE_POINTS_SENTE = 28;
constexpr int DECLARE_POINTS_GOTE = 27;
constexpr int MAJOR_PIECE_POINTS = 5;  // rook or bishop, promoted or not; every other piece 1

// The side's pieces other than its king in the enemy camp (the three ranks
// farthest from it).
int PiecesInEnemyCamp(const CShogiBoard& board, int side);

// Points of the side's pieces in the enemy camp (its king excluded) and in its hand.
int DeclarationPoints(const CShogiBoard& board, int side);

// Whether the side may declare now.
bool MayDeclare(const CShogiBoard& board, int side);

}  // namespace ravu
