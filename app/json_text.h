// JSON string literals for the command-line tools, which print model text
// (converted to UTF-8) as JSON.
#pragma once

#include <string>
#include <string_view>

namespace ravu {

// `utf8` as a quoted JSON string: quotes, backslashes and every control
// character escaped, so no text from a file or a peer can break the line.
std::string JsonString(std::string_view utf8);

}  // namespace ravu
