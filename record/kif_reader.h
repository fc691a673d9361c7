// KIF file reader helpers.
#pragma once

#include <string_view>

namespace ravu {

struct KifuHeader;

// Sets one header field from a header line "key：value" (開始日時, 終了日時,
// 手合割, 先手 or 下手, 後手 or 上手; the whole key must match).  Returns 1
// when a field was set, else 0.
int ParseHeaderLine(KifuHeader& header, std::string_view line);

}  // namespace ravu
