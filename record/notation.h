// Move notation: one line of Japanese record text per record entry, in three
// fixed-column layouts, and the parser that reads such a line back.  All text
// is Shift-JIS bytes; positions and widths count bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/types.h"

namespace ravu {

struct KifuNode;

// Layouts of FormatMove.
constexpr int FMT_TREE = 0;  // item text of the record window's tree
constexpr int FMT_LIST = 1;  // line of the move list; also the move's wire text
constexpr int FMT_KIF = 2;   // move line of a KIF file

constexpr int KIF_MOVE_COLUMNS = 18;  // number, blank and move text padded
constexpr int TIME_FIELD_MAX = 127;   // longest time field text the parser keeps

// Renders the entry (its move, its prev for 同, its alt for "+") in the
// layout.  Empty for an entry without text.
std::string FormatMove(const KifuNode& entry, int mode);

// The move's text without number, time or mark: "７六歩(77)", "５五角打",
// and "同　歩(23)" when `sameSquare` (it goes where the move before it went).
std::string KifMoveText(const MoveRec& m, bool sameSquare);

// A square as the notation writes it: "７六".
std::string SquareText(int32_t file, int32_t rank);

// Fills the zeroed move from the text; (refFile, refRank) is the square that
// 同 stands for.  Returns 1 when the text ends with "+", else 0.
int ParseMoveText(MoveRec& move, std::string_view text, int32_t refFile, int32_t refRank);

// Copies the text between the first `open` and the next `close` into out.
// Returns false (out untouched) when `open` does not occur; when `close`
// never follows, out is made empty and true is returned.
bool ExtractBetween(std::string& out, std::string_view text, std::string_view open, std::string_view close);

// Decimal value in the manner of atoi: leading white space, an optional sign,
// digits up to the first non-digit; 0 when there are none.  Saturates at the
// 32-bit limits instead of overflowing, so 40-digit numbers are harmless.
int32_t DecimalValue(std::string_view text);

// The end lines: 投了, the まで line, 詰み, 中断 and the end words of other
// programs' records (status 2 to MS_END_LAST).
inline bool IsEndStatus(int32_t status) { return status >= MS_RESIGN && status <= MS_END_LAST; }

// The word of an end line ("投了"), empty for the まで line and for moves.
std::string_view EndWord(int32_t status);

// The end status whose word `text` starts with, with the word's length in
// bytes; 0 when it starts with none.
int32_t EndStatusAt(std::string_view text, std::size_t* length);

// Seconds of a KIF time field: the first "(...)" of `text`, its part before
// "/" read as minutes:seconds (or hours:minutes:seconds); 0 when there is none.
int32_t TimeFieldSeconds(std::string_view text);

// The mover's total of the same field: its part after "/" read as
// hours:minutes:seconds (or minutes:seconds); 0 when there is none or it is
// negative.
int32_t TimeFieldTotalSeconds(std::string_view text);

}  // namespace ravu
