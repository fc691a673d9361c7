#include "app/textcodec.h"

#include <iconv.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>

namespace ravu {
namespace {

// Runs iconv over the whole input.  Where the source encoding rejects the
// bytes at `at`, replace(at, out) appends what stands for them and answers
// how many bytes it stands for; at least one is skipped each time, so that
// garbage can never stall the loop.
std::string Convert(const char* to, const char* from, std::string_view in,
                    const std::function<size_t(size_t at, std::string& out)>& replace) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, dst - buf);
        if (r != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (a cut character at the end): the caller's
        // replacement, and at least one byte skipped.
        const size_t skip = std::clamp<size_t>(replace(in.size() - srcLeft, out), 1, srcLeft);
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buf, dst - buf);
    iconv_close(cd);
    return out;
}

// The length of the bytes from `at` that are a byte and the UTF-8
// continuation bytes after it.
size_t WithContinuations(std::string_view utf8, size_t at) {
    size_t len = 1;
    while (at + len < utf8.size() && (static_cast<unsigned char>(utf8[at + len]) & 0xC0) == 0x80)
        ++len;
    return len;
}

// Converts the whole input or nothing: false at the first byte sequence the
// source encoding rejects or the target cannot hold.
bool ConvertStrict(const char* to, const char* from, std::string_view in, std::string* out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    bool ok = true;
    while (ok && srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        if (out)
            out->append(buf, dst - buf);
        ok = r != static_cast<size_t>(-1) || errno == E2BIG;
    }
    iconv_close(cd);
    return ok;
}

// Length of the well-formed UTF-8 character at s[i] (its code point in *cp),
// 0 when the bytes there are not one.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t* cp) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) {
        *cp = b;
        return 1;
    }
    size_t len;
    char32_t c, min;
    if (b >= 0xC2 && b <= 0xDF)
        len = 2, c = b & 0x1F, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF)
        len = 3, c = b & 0x0F, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4)
        len = 4, c = b & 0x07, min = 0x10000;
    else
        return 0;
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *cp = c;
    return len;
}

std::string EncodeUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string Reference(char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "&#x%04X;", static_cast<unsigned>(c));
    return buf;
}

// Length of the reference at s[i] that Utf8ToSjisKeeping would have made
// (its character in *cp), 0 when there is none: exactly Reference's form,
// for a character that code page 932 cannot hold.
size_t MatchReference(std::string_view s, size_t i, char32_t* cp) {
    if (s.compare(i, 3, "&#x") != 0)
        return 0;
    size_t end = i + 3;
    char32_t c = 0;
    while (end < s.size() && end - i - 3 < 6 &&
           ((s[end] >= '0' && s[end] <= '9') || (s[end] >= 'A' && s[end] <= 'F'))) {
        c = c * 16 + static_cast<char32_t>(s[end] <= '9' ? s[end] - '0' : s[end] - 'A' + 10);
        ++end;
    }
    if (end >= s.size() || s[end] != ';' || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    ++end;
    if (s.substr(i, end - i) != Reference(c) || ConvertStrict("CP932", "UTF-8", EncodeUtf8(c), nullptr))
        return 0;
    *cp = c;
    return end - i;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
    return Convert("UTF-8", "CP932", sjis, [](size_t, std::string& out) {
        out += "\xEF\xBF\xBD";
        return size_t(1);
    });
}

std::string Utf8ToSjis(std::string_view utf8) {
    // A UTF-8 character the target cannot hold counts as one.
    return Convert("CP932", "UTF-8", utf8, [utf8](size_t at, std::string& out) {
        out += '?';
        return WithContinuations(utf8, at);
    });
}

std::string Utf8ToSjisKeeping(std::string_view utf8, int* substituted) {
    int count = 0;
    // A character the target cannot hold, or bytes that are not UTF-8 (then
    // one byte and its stray continuation bytes), becomes a reference.
    std::string out = Convert("CP932", "UTF-8", utf8, [utf8, &count](size_t at, std::string& text) {
        char32_t c = 0xFFFD;
        const size_t len = DecodeUtf8(utf8, at, &c);
        text += Reference(c);
        ++count;
        return len ? len : WithContinuations(utf8, at);
    });
    if (substituted)
        *substituted = count;
    return out;
}

std::string SjisToUtf8Restoring(std::string_view sjis) {
    const std::string utf8 = SjisToUtf8(sjis);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c;
        if (const size_t len = utf8[i] == '&' ? MatchReference(utf8, i, &c) : 0) {
            out += EncodeUtf8(c);
            i += len;
        } else {
            out += utf8[i++];
        }
    }
    return out;
}

bool HoldsKeptCharacter(std::string_view sjis) {
    // The references are ASCII, and an ASCII byte in Shift-JIS text is either
    // itself or the second byte of a two-byte character, which "&" never is.
    for (size_t i = sjis.find('&'); i != std::string_view::npos; i = sjis.find('&', i + 1)) {
        char32_t c;
        if (MatchReference(sjis, i, &c))
            return true;
    }
    return false;
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        char32_t c;
        const size_t len = DecodeUtf8(bytes, i, &c);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

bool IsValidCp932(std::string_view bytes) {
    // The user-defined area (lead bytes F0 to F9) converts, to private-use
    // characters, but no record text holds it, while UTF-8's four-byte
    // characters (F0 to F4, then a byte from 80 to BF) pass for it.
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0xF0 && b <= 0xF9)
            return false;
        if ((b >= 0x81 && b <= 0x9F) || b >= 0xE0)
            ++i;  // its second byte
    }
    return ConvertStrict("UTF-8", "CP932", bytes, nullptr);
}

}  // namespace ravu
