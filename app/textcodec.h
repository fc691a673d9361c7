// Conversion between the model's Shift-JIS (code page 932) bytes and UTF-8.
// The model never converts its own text: notation and KIF reading address
// byte positions.  Windows, the command-line tools and the terminal output
// call these functions, and nothing else converts.
#pragma once

#include <string>
#include <string_view>

namespace ravu {

// Bytes that are not valid code page 932 become U+FFFD; never fails.
std::string SjisToUtf8(std::string_view sjis);

// Characters that code page 932 cannot hold become "?"; never fails.
std::string Utf8ToSjis(std::string_view utf8);

// Like Utf8ToSjis, but a character that code page 932 cannot hold becomes
// the numeric character reference "&#xHHHH;" (upper-case hex, at least four
// digits), which SjisToUtf8Restoring turns back into the character.  A byte
// that is not UTF-8 becomes "&#xFFFD;".  *substituted (when given) is set to
// the number of references made.
std::string Utf8ToSjisKeeping(std::string_view utf8, int* substituted = nullptr);

// Like SjisToUtf8, but every reference that Utf8ToSjisKeeping makes becomes
// its character again.  Other text that looks alike (lower-case hex, leading
// zeros, a character code page 932 holds) stays as it is.
std::string SjisToUtf8Restoring(std::string_view sjis);

// True when the text holds a reference that SjisToUtf8Restoring turns back
// into a character: text that only UTF-8 can hold.
bool HoldsKeptCharacter(std::string_view sjis);

// True when every byte sequence is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing beyond U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// True when every byte sequence is a character of code page 932 outside its
// user-defined area.
bool IsValidCp932(std::string_view bytes);

}  // namespace ravu
