// The record window's move list in other notations, for display only: the
// Western form ("P-7f", "Bx2b+", "G6i-5h" where two pieces could go) and
// USI ("7g7f").  The record, its files and the wire text stay Japanese.
// Text is Shift-JIS; standard library only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/types.h"
#include "record/move_tracker.h"

namespace ravu {

class CShogiBoard;

constexpr int NOTATION_JAPANESE = 0;
constexpr int NOTATION_WESTERN = 1;
constexpr int NOTATION_USI = 2;

// The move in the Western form, on the board before it: the piece letter
// ("+B" for a promoted one), the origin when another piece of the kind could
// go there too, "-" or "x" for a capture, "*" for a drop, the destination as
// file and rank letter, "+" for a promotion and "=" where one was declined.
std::string WesternMove(const CShogiBoard& before, const MoveRec& m);

// The move list's lines (line 0 the start line, then the list layout of each
// entry), one after the other as the list grows, with each move written in
// the notation after its number: "   1 P-7f", "   1 7g7f", and " +" for an
// entry with alternatives.  The start line and the end lines stay as they
// are.  The moves are followed on a board from `startSfen` (the even game
// when empty), one move a line; where they cannot be, the Western form names
// every origin and no capture.
class CListNotation {
public:
    CListNotation(std::string_view startSfen, int notation);
    // The next line (the first is the start line) in the notation.
    std::string Line(const std::string& line);

private:
    int notation;
    CMoveTracker tracker;
    bool following;
    bool first = true;
    int32_t lastFile = 0, lastRank = 0;
};

}  // namespace ravu
