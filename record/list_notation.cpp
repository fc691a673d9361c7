// The move list in Western and USI notation.
#include "record/list_notation.h"

#include "game/board.h"
#include "record/move_tracker.h"
#include "record/notation.h"
#include "record/usi_line.h"

namespace ravu {

namespace {

std::string Letter(int32_t type) {
    switch (type) {
        case PT_FU: return "P";
        case PT_KYO: return "L";
        case PT_KEI: return "N";
        case PT_GIN: return "S";
        case PT_KIN: return "G";
        case PT_KAKU: return "B";
        case PT_HI: return "R";
        default: return "K";
    }
}

std::string Square(int32_t file, int32_t rank) { return {char('0' + file), char('a' + rank - 1)}; }

bool SameKind(int32_t a, int32_t b) { return a == b || (IsKing(a) && IsKing(b)); }

// Without the position: every origin, never a capture.
std::string LongWesternMove(const MoveRec& m) {
    const bool promotedBefore = m.promoted && m.status != MS_PROMOTE;
    const std::string piece = (promotedBefore ? "+" : "") + Letter(m.type);
    if (m.fromFile == 0)
        return piece + "*" + Square(m.toFile, m.toRank);
    return piece + Square(m.fromFile, m.fromRank) + "-" + Square(m.toFile, m.toRank) +
           (m.status == MS_PROMOTE ? "+" : "");
}

}  // namespace

std::string WesternMove(const CShogiBoard& before, const MoveRec& m) {
    const bool promotedBefore = m.promoted && m.status != MS_PROMOTE;
    const std::string piece = (promotedBefore ? "+" : "") + Letter(m.type);
    if (m.fromFile == 0)
        return piece + "*" + Square(m.toFile, m.toRank);
    const int mover = before.PieceAt(m.fromFile, m.fromRank);
    bool ambiguous = false;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = before.pieces[i];
        if (i != mover && p.state == KS_BOARD && p.owner == m.side && SameKind(p.type, m.type) &&
            p.promoted == (promotedBefore ? 1 : 0) && before.CanMove(p, m.toFile, m.toRank))
            ambiguous = true;
    }
    const bool capture = before.PieceAt(m.toFile, m.toRank) >= 0;
    std::string out = piece + (ambiguous ? Square(m.fromFile, m.fromRank) : "") + (capture ? "x" : "-") +
                      Square(m.toFile, m.toRank);
    const bool promotable = !promotedBefore && m.type != PT_KIN && !IsKing(m.type);
    const bool zone = CShogiBoard::InZone(m.side, m.toRank) || CShogiBoard::InZone(m.side, m.fromRank);
    if (m.status == MS_PROMOTE)
        out += "+";
    else if (promotable && zone)
        out += "=";
    return out;
}

std::vector<std::string> ListLinesIn(const std::vector<std::string>& lines, std::string_view startSfen,
                                     int notation) {
    if (notation != NOTATION_WESTERN && notation != NOTATION_USI)
        return lines;
    std::vector<std::string> out;
    out.reserve(lines.size());
    CMoveTracker tracker;
    bool following = tracker.Start(startSfen);
    int32_t lastFile = 0, lastRank = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        MoveRec m;
        const int alt = i == 0 ? 0 : ParseMoveText(m, line, lastFile, lastRank);
        if (i == 0 || m.number == 0 || IsEndStatus(m.status) || !IsBoardMove(m)) {
            out.push_back(line);
            continue;
        }
        std::string text;
        if (notation == NOTATION_USI)
            text = UsiMove(m);
        else
            text = following ? WesternMove(tracker.Board(), m) : LongWesternMove(m);
        MoveRec played;
        following = following && tracker.Play(m.fromFile, m.fromRank, m.toFile, m.toRank, m.type,
                                              m.status == MS_PROMOTE, &played);
        lastFile = m.toFile;
        lastRank = m.toRank;
        out.push_back(line.substr(0, 5) + text + (alt ? " +" : ""));
    }
    return out;
}

}  // namespace ravu
