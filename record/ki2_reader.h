// KI2 records: header lines as in KIF, then lines of several moves each
// ("▲７六歩    △３四歩    ▲２六歩") that name the destination and the
// piece but not where it came from; words such as 右 上 打 tell which piece
// moved when several could.  The moves are followed on a board of the
// reader's own.  Text is Shift-JIS; standard library only.
#pragma once

#include <string>
#include <string_view>

#include "game/types.h"

namespace ravu {

class CKifu;
class CMoveTracker;
struct LoadReport;

// True when the text has move lines that start with a side mark (▲ △ ▽, or
// the shogi piece signs U+2617 and U+2616)
// and no numbered move lines (those are KIF).
bool LooksLikeKi2(std::string_view sjis);

// Reads a KI2 record into `k` (cleared first, title set); returns the number
// of things read (header fields, moves, comments), 0 when it is not a record.
// A move that is ambiguous or that no piece can make stops the reading, with
// the line in `report`; what came before it is kept.
int ReadKi2(CKifu& k, std::string_view sjis, const std::string& title, LoadReport& report);

// What ReadKi2Move found at the front of a text.
enum class Ki2Move {
    None,    // no side mark: not a move
    Played,  // a move, taken off the text and played on the tracker
    Bad,     // a side mark, but a move that is ambiguous, impossible or unreadable
};

// Reads the move at the front of `text` (side mark, destination or 同, piece,
// relative words, 成 / 不成 / 打), finds the piece that makes it on the
// tracker's board, fills `move` and plays it.
Ki2Move ReadKi2Move(CMoveTracker& tracker, std::string_view& text, MoveRec* move);

}  // namespace ravu
