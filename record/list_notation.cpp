// The move list in Western and USI notation.
#include "record/list_notation.h"

#include <utility>

#include "game/board.h"
#include "record/notation.h"
#include "record/usi_line.h"

namespace ravu {

namespace {

// The Western letters are USI's: P L N S G B R K.
std::string Letter(int32_t type) { return std::string(1, UsiLetter(type)); }

// Without the position: every origin, never a capture.
std::string LongWesternMove(const MoveRec& m) {
    const bool promotedBefore = m.promoted && m.status != MS_PROMOTE;
    const std::string piece = (promotedBefore ? "+" : "") + Letter(m.type);
    if (m.fromFile == 0)
        return piece + "*" + UsiSquare(m.toFile, m.toRank);
    return piece + UsiSquare(m.fromFile, m.fromRank) + "-" + UsiSquare(m.toFile, m.toRank) +
           (m.status == MS_PROMOTE ? "+" : "");
}

}  // namespace

std::string WesternMove(const CShogiBoard& before, const MoveRec& m) {
    const bool promotedBefore = m.promoted && m.status != MS_PROMOTE;
    const std::string piece = (promotedBefore ? "+" : "") + Letter(m.type);
    if (m.fromFile == 0)
        return piece + "*" + UsiSquare(m.toFile, m.toRank);
    const int mover = before.PieceAt(m.fromFile, m.fromRank);
    bool ambiguous = false;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = before.pieces[i];
        if (i != mover && p.state == KS_BOARD && p.owner == m.side && SameKind(p.type, m.type) &&
            p.promoted == (promotedBefore ? 1 : 0) && before.CanMove(p, m.toFile, m.toRank))
            ambiguous = true;
    }
    const bool capture = before.PieceAt(m.toFile, m.toRank) >= 0;
    std::string out = piece + (ambiguous ? UsiSquare(m.fromFile, m.fromRank) : "") + (capture ? "x" : "-") +
                      UsiSquare(m.toFile, m.toRank);
    const bool promotable = !promotedBefore && m.type != PT_KIN && !IsKing(m.type);
    const bool zone = CShogiBoard::InZone(m.side, m.toRank) || CShogiBoard::InZone(m.side, m.fromRank);
    if (m.status == MS_PROMOTE)
        out += "+";
    else if (promotable && zone)
        out += "=";
    return out;
}

CListNotation::CListNotation(std::string_view startSfen, int n)
    : notation(n), following(tracker.Start(startSfen)) {}

std::string CListNotation::Line(const std::string& line) {
    if (notation != NOTATION_WESTERN && notation != NOTATION_USI)
        return line;
    MoveRec m;
    const bool start = std::exchange(first, false);
    const int alt = start ? 0 : ParseMoveText(m, line, lastFile, lastRank);
    if (start || m.number == 0 || IsEndStatus(m.status) || !IsBoardMove(m))
        return line;
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
    return line.substr(0, 5) + text + (alt ? " +" : "");
}

}  // namespace ravu
