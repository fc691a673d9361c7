// Names of the files that games are saved in while they are played: the
// date and time of the game and whom it was played against.  Names are
// UTF-8, as file names are on the systems the program runs on.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace ravu {

// The longest piece of a file name taken from a handle name, in bytes.
constexpr size_t NAME_PART_MAX_BYTES = 48;

// A piece of a file name made from free text (UTF-8): characters that file
// systems or shells treat specially (path separators, wildcards, quotes,
// control characters, blanks) and bytes that are not UTF-8 become "_";
// leading dots and dashes go (no hidden file, no option); the rest is cut
// to maxBytes on a character boundary.  "unknown" when nothing is left.
std::string FileNamePart(std::string_view utf8, size_t maxBytes = NAME_PART_MAX_BYTES);

// "YYYY-MM-DD_HHMM_<who>.kif" in local time; who: FileNamePart of the text.
std::string AutosaveFileName(std::time_t start, std::string_view utf8Who);

}  // namespace ravu
