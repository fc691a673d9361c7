// USI position lines read into the record tree, the moves followed on a
// board of the reader's own (CMoveTracker).
#include "record/sfen_reader.h"

#include <vector>

#include "game/sfen.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/record_lines.h"

namespace ravu {

namespace {

constexpr std::string_view SFEN_CHARS = "/+0123456789KRBGSNLPkrbgsnlp";
// Drop letters of USI and the record's piece types.
constexpr std::string_view DROP_LETTERS = "PLNSGBR";
constexpr int DROP_TYPES[] = {PT_FU, PT_KYO, PT_KEI, PT_GIN, PT_KIN, PT_KAKU, PT_HI};

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

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> out;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos)
            break;
        std::size_t end = line.find_first_of(" \t", start);
        if (end == std::string_view::npos)
            end = line.size();
        out.push_back(line.substr(start, end - start));
        at = end;
    }
    return out;
}

// The board part of an SFEN: nine ranks between eight slashes.
bool IsBoardWord(std::string_view w) {
    std::size_t slashes = 0;
    for (char c : w) {
        if (SFEN_CHARS.find(c) == std::string_view::npos)
            return false;
        slashes += c == '/';
    }
    return slashes == 8;
}

bool IsSideWord(std::string_view w) { return w == "b" || w == "w"; }

int FileOf(char c) { return c >= '1' && c <= '9' ? c - '0' : 0; }
int RankOf(char c) { return c >= 'a' && c <= 'i' ? c - 'a' + 1 : 0; }

// Plays one USI move ("7g7f", "8h2b+", "P*5e"); false when it is not one
// or cannot be played.
bool PlayUsi(CMoveTracker& tracker, std::string_view w, MoveRec* m) {
    if (w.size() == 4 && w[1] == '*') {
        char letter = w[0];
        if (letter >= 'a' && letter <= 'z')
            letter = char(letter - 'a' + 'A');
        const std::size_t at = DROP_LETTERS.find(letter);
        const int file = FileOf(w[2]), rank = RankOf(w[3]);
        return at != std::string_view::npos && file && rank &&
               tracker.Play(0, 0, file, rank, DROP_TYPES[at], false, m);
    }
    if (w.size() != 4 && !(w.size() == 5 && w[4] == '+'))
        return false;
    const int fromFile = FileOf(w[0]), fromRank = RankOf(w[1]), toFile = FileOf(w[2]), toRank = RankOf(w[3]);
    return fromFile && fromRank && toFile && toRank &&
           tracker.Play(fromFile, fromRank, toFile, toRank, 0, w.size() == 5, m);
}

}  // namespace

bool LooksLikeSfen(std::string_view text) {
    int32_t number = 0;
    const std::vector<std::string_view> w = Words(FirstLine(text, &number));
    if (w.empty())
        return false;
    if (w[0] == "sfen" || w[0] == "startpos")
        return true;
    if (w[0] == "position")
        return w.size() > 1 && (w[1] == "sfen" || w[1] == "startpos");
    return w.size() > 1 && IsBoardWord(w[0]) && IsSideWord(w[1]);
}

int ReadSfen(CKifu& k, std::string_view text, const std::string& title, LoadReport& report) {
    report = LoadReport{};
    int32_t lineNumber = 0;
    const std::string_view line = FirstLine(text, &lineNumber);
    const std::vector<std::string_view> w = Words(line);

    // The position: startpos, or board, side and hands with an optional move number.
    std::size_t i = 0;
    if (i < w.size() && w[i] == "position")
        ++i;
    std::string sfen;  // empty: the even game
    if (i < w.size() && w[i] == "startpos") {
        ++i;
    } else {
        if (i < w.size() && w[i] == "sfen")
            ++i;
        if (i + 3 > w.size() || !IsBoardWord(w[i]) || !IsSideWord(w[i + 1]))
            return 0;
        sfen = std::string(w[i]) + " " + std::string(w[i + 1]) + " " + std::string(w[i + 2]) + " 1";
        i += 3;
        if (i < w.size() && w[i].find_first_not_of("0123456789") == std::string_view::npos)
            ++i;  // the move number: the record counts from 1
    }
    CMoveTracker tracker;
    if (!tracker.Start(sfen))
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
        if (!PlayUsi(tracker, w[i], &m)) {
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
