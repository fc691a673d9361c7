// KIF file writer: the record as Shift-JIS text with header, comments and
// every variation section.
#pragma once

#include <string>
#include <string_view>

namespace ravu {

struct KifuNode;
struct KifuHeader;

// Appends the move lines (with comments) of the line that starts at `first`,
// up to its empty end or through its end line, then one empty line.
void WriteLine(const KifuNode* first, std::string& out);
// Appends the variation section of `alt`, then its nested variations and its
// later sibling alternatives.
void WriteVariation(const KifuNode* alt, std::string& out);
// Walks back from entry through `prev`: the first `alt` met, or none once
// `stop` has been passed without one.
const KifuNode* NextAlternative(const KifuNode* entry, const KifuNode* stop);
// Copies the text with `marker` inserted after every CR LF that is followed
// by more text.
std::string InsertAfterBreaks(std::string_view text, std::string_view marker);
// "%4u/%02u/%02u(%s) %02u:%02u:%02u" of the local time, weekday as a kanji.
std::string FormatKifDate(long long time);

}  // namespace ravu
