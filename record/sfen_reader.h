// Reader of positions and games written as USI text: the first non-blank
// line is "sfen <position> [moves ...]", "position sfen <position> [moves
// ...]", "position startpos [moves ...]", "startpos [moves ...]" or a bare
// SFEN position; moves are USI moves (7g7f, 8h2b+, P*5e).  Later lines are
// not read.
#pragma once

#include <string>
#include <string_view>

namespace ravu {

class CKifu;
struct LoadReport;

// True when the first non-blank line starts as one of the forms above.
bool LooksLikeSfen(std::string_view text);

// Replaces the record by the position and its moves.  Returns 1 for the
// position plus the number of moves read; 0 when the line holds no position.
// A move that cannot be played stops the reading; `report` then names the
// line.
int ReadSfen(CKifu& k, std::string_view text, const std::string& title, LoadReport& report);

}  // namespace ravu
