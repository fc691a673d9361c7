// The words and "key=value" fields that the extension's payloads and the
// kept-game file are made of.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ravu {

inline std::vector<std::string_view> Words(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = std::min(text.find_first_of(separators, i), text.size());
        if (end > i)
            out.push_back(text.substr(i, end - i));
        i = end + 1;
    }
    return out;
}

// A decimal number of at most 18 digits, else -1.
inline int64_t Number(std::string_view text) {
    int64_t v = -1;
    if (text.empty() || text.size() > 18)
        return -1;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() && v >= 0 ? v : -1;
}

// Calls f(key, value) for every "key=value" word.
template <class F>
void ForEachField(std::string_view payload, F f, std::string_view separators = ";") {
    for (std::string_view w : Words(payload, separators)) {
        const size_t eq = w.find('=');
        if (eq != std::string_view::npos)
            f(w.substr(0, eq), w.substr(eq + 1));
    }
}

}  // namespace ravu
