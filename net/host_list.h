// The host list and destinations: splitting the list text fetched from the
// web server into entries, finding an entry's destination, and splitting a
// typed destination into host and port.  Standard library only; the text is
// Shift-JIS bytes, which these functions cut only at ',' and CR LF (bytes
// that never occur as the second byte of a Shift-JIS character).
#pragma once

#include <string>
#include <vector>

namespace ravu {

// One destination of a host list as the connect dialog lists it.
struct HostListEntry {
    std::string shown;   // text behind the line's first comma (Shift-JIS)
    int lineStart = -1;  // byte offset of the line in the list text; -1 = none
};

// Splits host list text into entries: every CR LF ends a line, the shown
// text runs from the line's first comma to its end, and a last line without
// CR LF is listed only when its shown text is not empty (without a line start).
std::vector<HostListEntry> ParseHostList(const std::string& text);

// The destination of the entry starting at lineStart: the text up to the
// first comma (or the end of the line).  Empty for -1 or outside the text.
std::string HostListDestination(const std::string& text, int lineStart);

// A destination split into host and port.  "host:port" and "[v6]:port"
// with a port of 1..65535 give that port; "[v6]" and a bare IPv6 literal
// (more than one colon, no brackets) go to defaultPort without brackets;
// anything else is the host as written with defaultPort.  Brackets hold
// ASCII text with a colon, so a Shift-JIS trail byte is never taken for one.
struct Destination {
    std::string host;
    unsigned port = 0;
    bool explicitPort = false;
};
Destination SplitDestination(const std::string& dest, unsigned defaultPort);

}  // namespace ravu
