// Reader of CSA records (versions 2, 2.1, 2.2 and files without a version
// line): player names, $ information lines, the start position (PI, P1..P9,
// P+ / P-), moves named by squares and the piece after the move, times
// (T lines), % endings and ' comments.  Text is Shift-JIS.
#pragma once

#include <string>
#include <string_view>

namespace ravu {

class CKifu;
struct LoadReport;

// True when the first line that is neither blank nor a ' comment is a CSA
// statement (version, name, $ line, position, side to move or move).
bool LooksLikeCsa(std::string_view sjis);

// Replaces the record by the CSA text.  Returns the number of statements
// read (names, information lines, position, moves, endings, comments);
// 0 when nothing could be read.  A move that cannot be played on the
// position stops the reading there; `report` then names its line.
int ReadCsa(CKifu& k, std::string_view sjis, const std::string& title, LoadReport& report);

// A CSA piece name ("FU" ... "RY"): the piece's type (the king as 玉) and
// whether the name is of a promoted piece; false for any other text.
bool CsaPieceName(std::string_view name, int32_t* type, int32_t* promoted);

}  // namespace ravu
