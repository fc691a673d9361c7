// Writer of a record as one USI position line: the start and the main
// line's moves, "startpos moves 7g7f 3c3d ..." for the even game, else
// "sfen <position> moves ...".  The SFEN reader reads it back.
#pragma once

#include <string>

namespace ravu {

class CKifu;

// The line, ending in LF; "moves" and the moves only when there are any.
// The main line stops at its first end entry.
std::string SfenText(const CKifu& k);

}  // namespace ravu
