#include "game/sjis.h"

namespace ravu {

size_t SjisPrefixLength(std::string_view text, size_t max) {
    if (text.size() <= max)
        return text.size();
    // Walk whole characters from the start: a lead byte takes its trail byte
    // along, so the cut never falls between the two.
    size_t pos = 0;
    while (pos < max) {
        size_t width = IsSjisLead(static_cast<uint8_t>(text[pos])) ? 2 : 1;
        if (pos + width > max)
            break;
        pos += width;
    }
    return pos;
}

}  // namespace ravu
