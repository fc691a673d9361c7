#include "app/textcodec.h"

#include <iconv.h>
#include <cerrno>

namespace ravu {
namespace {

// Runs iconv over the whole input, putting `replacement` in place of every
// byte sequence the source encoding rejects, and skipping one input byte
// each time so that garbage can never stall the loop.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    out.reserve(in.size() * 2);
    const bool utf8Source = std::string_view(from) == "UTF-8";
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, dst - buf);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (cut character at the end): replace one byte.
            out.append(replacement);
            ++src;
            --srcLeft;
            // A UTF-8 character the target cannot hold counts as one: skip
            // its continuation bytes too.
            while (utf8Source && srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80) {
                ++src;
                --srcLeft;
            }
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buf, dst - buf);
    iconv_close(cd);
    return out;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) { return Convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD"); }

std::string Utf8ToSjis(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, "?"); }

}  // namespace ravu
