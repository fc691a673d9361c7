// The lines of a record text and the frame every reader shares: a record
// emptied and titled before reading, its main line shown after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "record/kifu.h"

namespace ravu {

// Calls handle(line) for each line until it answers false: CR LF, a lone LF
// and a lone CR each end a line, and the last line needs no end.  Returns
// the 1-based number of the line refused, 0 when every line was taken.
template <class Handle>
int32_t ForEachLine(std::string_view text, Handle&& handle) {
    int32_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        ++number;
        if (!handle(text.substr(start, end - start)))
            return number;
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return 0;
}

// Empties the record for a reading, with the file's title and no times.
inline void BeginReading(CKifu& k, const std::string& title, LoadReport& report) {
    report = LoadReport{};
    k.Clear();
    k.SetTitle(title);
    k.header.hasStartTime = 0;
    k.header.hasEndTime = 0;
}

// Hands the text's lines to `reader.Line` until it refuses one, which the
// report then names.
template <class Reader>
void ReadUntilRefused(std::string_view text, Reader& reader, LoadReport& report) {
    report.stopLine = ForEachLine(text, [&](std::string_view line) {
        if (reader.Line(line))
            return true;
        report.stopText.assign(line);
        return false;
    });
}

// After a reading: the record at its start, showing its main line.
inline void ShowMainLine(CKifu& k) {
    k.current = k.Root();
    k.lineIsVariation = 0;
    k.SetLine(CKifu::EndOfLine(k.Root()));
}

}  // namespace ravu
