// Where a record starts when it is not the even game: the handicap names of
// a KIF file's 手合割 line, and the board diagram (BOD) with which KIF files
// show any other position.  Positions are SFEN text; all other text is
// Shift-JIS.  Standard library only.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ravu {

// The start of a handicap name ("香落ち" ... "十枚落ち"; blanks around it
// do not count); empty for 平手, その他 and every name that is no known start.
std::string HandicapSfen(std::string_view name);

// The handicap name whose start is exactly the SFEN, empty when none is.
std::string_view HandicapName(std::string_view sfen);

// The diagram lines of a position, each ending with CR LF: the hand of
// gote, the board, the hand of sente, "手数＝N" when the first move is not
// move 1, and the side to move.  Empty for text that is not a position.
std::string DiagramLines(std::string_view sfen);

// Reads the lines of a board diagram one by one.
class CBoardDiagram {
public:
    // Takes a line that belongs to a diagram (the file heading, the frame,
    // a row of the board, a hand, the side to move, 手数＝N); false for
    // every other line.
    bool Take(std::string_view line);
    // The position as SFEN once the nine rows have been read and every part
    // taken could be read; empty otherwise (no diagram, or a broken one).
    std::string Sfen() const;
    // The lines taken, each followed by CR LF.
    const std::string& Lines() const { return lines; }

private:
    bool Row(std::string_view line);
    bool Hand(std::string_view text, int side);

    std::array<std::string, 81> cells{};  // SFEN letters by rank and column (file 9 first)
    int inHand[2][7] = {};                // sente, gote: rook, bishop, gold, silver, knight, lance, pawn
    int rows = 0;
    bool broken = false;
    bool goteToMove = false;
    int movesBefore = 0;
    std::string lines;
};

}  // namespace ravu
