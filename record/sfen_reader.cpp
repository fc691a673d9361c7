// USI position lines read into the record tree, the moves followed on a
// board of the reader's own (CMoveTracker).
#include "record/sfen_reader.h"

#include <vector>

#include "game/sfen.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/record_lines.h"
#include "record/usi_line.h"

namespace ravu {

namespace {

// The first line that holds more than blanks, and its 1-based number.
std::string_view FirstLine(std::string_view text, int32_t* number) {
    std::string_view first;
    *number = ForEachLine(text, [&](std::string_view line) {
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            return true;
        first = line;
        return false;
    });
    return first;
}

bool IsSideWord(std::string_view w) { return w == "b" || w == "w"; }

}  // namespace

bool LooksLikeSfen(std::string_view text) {
    int32_t number = 0;
    const std::vector<std::string_view> w = UsiWords(FirstLine(text, &number));
    if (w.empty())
        return false;
    if (w[0] == "sfen" || w[0] == "startpos")
        return true;
    if (w[0] == "position")
        return w.size() > 1 && (w[1] == "sfen" || w[1] == "startpos");
    return w.size() > 1 && IsSfenBoardWord(w[0]) && IsSideWord(w[1]);
}

int ReadSfen(CKifu& k, std::string_view text, const std::string& title, LoadReport& report) {
    report = LoadReport{};
    int32_t lineNumber = 0;
    const std::string_view line = FirstLine(text, &lineNumber);
    const std::vector<std::string_view> w = UsiWords(line);

    std::size_t i = 0;
    CMoveTracker tracker;
    if (!StartUsiPosition(w, &i, &tracker))
        return 0;

    BeginReading(k, title, report);
    const std::string start = BoardSfen(tracker.Board(), tracker.SideToMove(), 1);
    if (start != EVEN_SFEN)
        k.header.startSfen = start;
    int read = 1;
    if (i < w.size() && w[i] == "moves")
        ++i;
    KifuNode* cursor = k.Root();
    for (; i < w.size(); ++i) {
        MoveRec m;
        if (!tracker.PlayUsi(w[i], &m)) {
            report.stopLine = lineNumber;
            report.stopText.assign(line);
            break;
        }
        cursor = k.Append(cursor, m);
        ++read;
    }
    ShowMainLine(k);
    return read;
}

}  // namespace ravu
