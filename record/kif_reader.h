// KIF file reader helpers.
#pragma once

#include <string_view>

namespace ravu {

struct KifuHeader;

// Sets one header field from a header line "key：value" (開始日時, 終了日時,
// 手合割, 先手 or 下手, 後手 or 上手; the whole key must match).  Returns 1
// when a field was set, else 0.
int ParseHeaderLine(KifuHeader& header, std::string_view line);

// A header line of a record file: sets its field as ParseHeaderLine does
// (and answers 1), or keeps a line with a key the program does not use, or
// of a board diagram, in header.otherLines (and answers 0).
int ReadHeaderLine(KifuHeader& header, std::string_view line);

}  // namespace ravu
