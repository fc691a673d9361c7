// KI2 records: header lines as in KIF, then lines of several moves each
// ("▲７六歩    △３四歩    ▲２六歩") that name the destination and the
// piece but not where it came from; words such as 右 上 打 tell which piece
// moved when several could.  The moves are followed on a board of the
// reader's own.  Text is Shift-JIS; standard library only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "game/types.h"

namespace ravu {

class CKifu;
class CShogiBoard;
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

// The relative words after the piece name of a KI2 move.
constexpr unsigned KI2_RIGHT = 1, KI2_LEFT = 2, KI2_STRAIGHT = 4, KI2_UP = 8, KI2_BACK = 16,
                   KI2_SIDEWAYS = 32;

// What a KI2 move says after its side mark.
struct Ki2Parts {
    int32_t toFile = 0, toRank = 0;
    int32_t type = 0, promoted = 0;  // the piece as named (promoted before the move: 龍 と ...)
    unsigned words = 0;              // KI2_RIGHT ...
    bool promote = false;            // 成
    bool decline = false;            // 不成 or 生
    bool drop = false;               // 打
};

// Reads the destination (同 stands for lastFile, lastRank), the piece, the
// relative words, 成 / 不成 / 打 off the front of `text`; false, with the
// text untouched, when they are not there.
bool ReadKi2Parts(std::string_view& text, int32_t lastFile, int32_t lastRank, Ki2Parts* out);

// The pieces of `side` on the board of the named kind that can reach the
// destination by their movement (none when 打 is written), narrowed by the
// relative words when `narrow` is set.
std::vector<int> Ki2Movers(const CShogiBoard& b, int side, const Ki2Parts& parts, bool narrow);

// The relative words that single out the piece `index` among the movers
// (each on the board, of `side`), such as "右" or "左上"; empty when no
// words do.
std::string Ki2WordsFor(const CShogiBoard& b, int side, int32_t toFile, int32_t toRank,
                        const std::vector<int>& movers, int index);

// Reads the move at the front of `text` (side mark, destination or 同, piece,
// relative words, 成 / 不成 / 打), finds the piece that makes it on the
// tracker's board, fills `move` and plays it.
Ki2Move ReadKi2Move(CMoveTracker& tracker, std::string_view& text, MoveRec* move);

}  // namespace ravu
