// A move line of a KIF file written by any program: the move number with any
// blanks before it, the move (同 with or without its blank, promoted pieces
// under any of their names, 成 / 不成 / 打), the source square, then any time
// field and a "+" for a move with alternatives.  Text is Shift-JIS.
#pragma once

#include <cstdint>
#include <string_view>

#include "game/types.h"

namespace ravu {

// The move number of a move line (leading blanks, then decimal digits), and
// the byte where its move starts; false when the line does not start so.
bool KifMoveNumber(std::string_view line, int32_t* number, std::size_t* moveAt);

// Fills the zeroed move from a move line; (refFile, refRank) is the square
// 同 stands for.  Returns 1 for a move line, 2 for one that ends with "+",
// 0 when the text after the number is neither a move nor an end word.
int ReadKifMoveLine(MoveRec& move, std::string_view line, int32_t refFile, int32_t refRank);

// The pieces of a move text, shared by the readers of move notation.  Each
// takes what it reads off the front of `text` and leaves the text as it was
// when there is nothing to read.
// Takes `prefix` when the text starts with it.
bool KifTakeText(std::string_view& text, std::string_view prefix);
// Takes ASCII blanks, tabs and full-width blanks.
void KifSkipBlanks(std::string_view& text);
// A digit 1..9 in ASCII or full width, or with kanji == true also as a kanji
// numeral; 0 when there is none.
int32_t KifTakeDigit(std::string_view& text, bool kanji);
// A piece name (歩 .. 玉, と 成銀 全 馬 龍 竜 ...): its type and promotion flag.
bool KifTakePiece(std::string_view& text, int32_t* type, int32_t* promoted);

}  // namespace ravu
