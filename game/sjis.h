// The two Shift-JIS (code page 932) rules that every part of the model needs
// for its texts: which byte starts a two-byte character, and how long a
// prefix may be without cutting a character in half.  Standard library only,
// so that the record, the network model and the settings all share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ravu {

// True when b is the first byte of a two-byte character of code page 932:
// 0x81-0x9F or 0xE0-0xFC (0xF0-0xF9 are the user-defined characters,
// 0xFA-0xFC the IBM extensions; all of them take a second byte).
inline bool IsSjisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Length of the longest prefix of text that has at most max bytes and does
// not end in the middle of a two-byte character.
size_t SjisPrefixLength(std::string_view text, size_t max);

}  // namespace ravu
