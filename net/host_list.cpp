#include "net/host_list.h"

namespace ravu {

std::vector<HostListEntry> ParseHostList(const std::string& text) {
    std::vector<HostListEntry> entries;
    std::string shown;
    bool pastComma = false;
    int lineStart = 0;
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') {
            entries.push_back({shown, lineStart});
            shown.clear();
            pastComma = false;
            lineStart = i + 2;
            ++i;
        } else if (pastComma) {
            shown += c;
        } else if (c == ',') {
            pastComma = true;
        }
    }
    if (!shown.empty())
        entries.push_back({shown, -1});
    return entries;
}

std::string HostListDestination(const std::string& text, int lineStart) {
    if (lineStart < 0 || lineStart > static_cast<int>(text.size()))
        return {};
    const size_t end = text.find_first_of(",\r\n", static_cast<size_t>(lineStart));
    return text.substr(static_cast<size_t>(lineStart),
                       end == std::string::npos ? std::string::npos : end - lineStart);
}

Destination SplitDestination(const std::string& dest, unsigned defaultPort) {
    Destination d{dest, defaultPort, false};
    const size_t colon = dest.rfind(':');
    if (colon == std::string::npos || colon == 0 || dest.find(':') != colon)
        return d;
    const std::string digits = dest.substr(colon + 1);
    if (digits.empty() || digits.size() > 5)
        return d;
    unsigned port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return d;
        port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (port == 0 || port > 65535)
        return d;
    d.host = dest.substr(0, colon);
    d.port = port;
    d.explicitPort = true;
    return d;
}

}  // namespace ravu
