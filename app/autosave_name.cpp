#include "app/autosave_name.h"

#include <cstdio>

namespace ravu {

namespace {

constexpr std::string_view UNSAFE = "/\\:*?\"<>|'`$&;!#%{}[]~";

// Length of the UTF-8 character starting at s[i]; 0 when the bytes there are
// not one.
size_t Utf8Length(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

}  // namespace

std::string FileNamePart(std::string_view utf8, size_t maxBytes) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = Utf8Length(utf8, i);
        std::string_view piece = "_";
        if (n > 1) {
            piece = utf8.substr(i, n);
        } else if (n == 1) {
            const char c = utf8[i];
            const bool plain =
                static_cast<unsigned char>(c) > 0x20 && c != 0x7F && UNSAFE.find(c) == std::string_view::npos;
            if (plain && !(out.empty() && (c == '.' || c == '-')))
                piece = utf8.substr(i, 1);
            else if (plain)
                piece = {};  // a leading dot or dash
        }
        i += n ? n : 1;
        if (out.size() + piece.size() > maxBytes)
            break;
        out += piece;
    }
    return out.empty() ? "unknown" : out;
}

std::string AutosaveFileName(std::time_t start, std::string_view utf8Who) {
    std::tm local{};
    localtime_r(&start, &local);
    char stamp[80];  // room for any int the fields may hold
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d%02d_", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
    return stamp + FileNamePart(utf8Who) + ".kif";
}

}  // namespace ravu
