// Conversion between the model's Shift-JIS (code page 932) bytes and UTF-8.
// The model never converts its own text: notation and KIF reading address
// byte positions.  Windows, the command-line tools and the terminal output
// call these two functions, and nothing else converts.
#pragma once

#include <string>
#include <string_view>

namespace ravu {

// Bytes that are not valid code page 932 become U+FFFD; never fails.
std::string SjisToUtf8(std::string_view sjis);

// Characters that code page 932 cannot hold become "?"; never fails.
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace ravu
