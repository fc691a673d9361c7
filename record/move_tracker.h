// Record readers whose moves name squares but not the whole move (CSA, USI,
// KI2) follow the game on a board of their own, so that each move becomes
// the record's MoveRec: the moving piece's type, whether it was promoted
// before, the side and the number.  Standard library only.
#pragma once

#include <string_view>

#include "game/board.h"

namespace ravu {

// The squares of a USI move word ("7g7f", "8h2b+", "P*5e", drop letters in
// either case): fromFile 0 and the piece type for a drop.
struct UsiSquares {
    int fromFile = 0, fromRank = 0, toFile = 0, toRank = 0;
    int dropType = 0;
    bool promote = false;
};
// False for a word that is not a USI move.
bool ParseUsiMove(std::string_view word, UsiSquares* out);

class CMoveTracker {
public:
    // Starts from the even game (empty SFEN) or from a position; false when
    // the SFEN is not a position the piece table can hold.
    bool Start(std::string_view sfen = {});

    // The move from (fromFile, fromRank) to (toFile, toRank), promoting when
    // asked, or the drop of `dropType` (fromFile 0).  Fills `move` with the
    // next number and the side to move and plays it on the tracker's board.
    // False, with nothing played, when no piece of the side to move can make
    // it (no piece there, another side's piece, none of that type in hand, a
    // piece that cannot promote).
    bool Play(int fromFile, int fromRank, int toFile, int toRank, int dropType, bool promote, MoveRec* move);

    // The same for a move written as USI ("7g7f", "8h2b+", "P*5e"); false
    // also for a word that is not one.
    bool PlayUsi(std::string_view word, MoveRec* move);

    // With strict rules on, Play also refuses what the referee of a strict
    // game refuses (a king left attacked, a second pawn on a file, a pawn
    // drop that mates, a piece that could never move again): for moves that
    // come from an engine rather than from a record.
    void SetStrict(bool on) { strict = on; }

    // An end entry (MS_RESIGN ...) with the next number and the side to move.
    MoveRec End(int32_t status) const;

    const CShogiBoard& Board() const { return board; }
    int SideToMove() const { return side; }
    int32_t NextNumber() const { return number; }
    // The square of the last move played (for 同), (0, 0) before the first.
    int32_t LastFile() const { return lastFile; }
    int32_t LastRank() const { return lastRank; }

private:
    CShogiBoard board;
    int side = SENTE;
    int32_t number = 1;
    int32_t lastFile = 0, lastRank = 0;
    bool strict = false;
};

}  // namespace ravu
