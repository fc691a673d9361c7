#include "game/local_text.h"

#include <vector>

namespace ravu {

namespace {
TextTranslator currentTranslator = nullptr;
}

void SetTextTranslator(TextTranslator translator) { currentTranslator = translator; }

std::string LocalText(const char* context, const char* sjisText) {
    return currentTranslator ? currentTranslator(context, sjisText) : std::string(sjisText);
}

std::string FillText(std::string_view text, std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> values(args);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t n = static_cast<size_t>(text[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace ravu
