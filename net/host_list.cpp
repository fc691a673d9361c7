#include "net/host_list.h"

namespace ravu {

namespace {

constexpr unsigned MAX_PORT = 65535;
constexpr size_t MAX_PORT_DIGITS = 5;

// A port of 1..65535 written in at most five digits; 0 for anything else.
unsigned ParsePort(const std::string& digits) {
    if (digits.empty() || digits.size() > MAX_PORT_DIGITS)
        return 0;
    unsigned port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        port = port * 10 + static_cast<unsigned>(c - '0');
    }
    return port <= MAX_PORT ? port : 0;
}

// What may stand between brackets: printable ASCII with a colon (an IPv6
// literal, perhaps with a zone), no brackets of its own.
bool IsBracketText(const std::string& s) {
    if (s.find(':') == std::string::npos)
        return false;
    for (char c : s)
        if (c <= ' ' || c > '~' || c == '[' || c == ']')
            return false;
    return true;
}

}  // namespace

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
    std::string host;
    std::string portText;
    if (!dest.empty() && dest[0] == '[') {
        const size_t close = dest.find(']');
        if (close == std::string::npos || !IsBracketText(dest.substr(1, close - 1)))
            return d;
        host = dest.substr(1, close - 1);
        if (close + 1 == dest.size()) {
            d.host = host;
            return d;
        }
        if (dest[close + 1] != ':')
            return d;
        portText = dest.substr(close + 2);
    } else {
        // More than one colon is an IPv6 literal without a port.
        const size_t colon = dest.rfind(':');
        if (colon == std::string::npos || colon == 0 || dest.find(':') != colon)
            return d;
        host = dest.substr(0, colon);
        portText = dest.substr(colon + 1);
    }
    const unsigned port = ParsePort(portText);
    if (port == 0)
        return d;
    d.host = host;
    d.port = port;
    d.explicitPort = true;
    return d;
}

}  // namespace ravu
