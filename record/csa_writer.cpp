// CSA records written from the record tree.
// Literals here are compiled to Shift-JIS: every Japanese character is two bytes.
#include "record/csa_writer.h"

#include <cstdio>
#include <ctime>
#include <string_view>

#include "game/board.h"
#include "game/sfen.h"
#include "record/kifu.h"
#include "record/notation.h"

namespace ravu {

namespace {

// CSA piece names by the record's piece type (PT_OU .. PT_GYOKU), unpromoted
// and promoted; kings and gold have no promoted name.
constexpr std::string_view NAMES[PT_COUNT] = {"OU", "HI", "KA", "KI", "GI", "KE", "KY", "FU", "OU"};
constexpr std::string_view PROMOTED_NAMES[PT_COUNT] = {"OU", "RY", "UM", "KI", "NG", "NK", "NY", "TO", "OU"};

std::string_view PieceName(int32_t type, int32_t promoted) {
    if (type < 0 || type >= PT_COUNT)
        return "??";
    return promoted ? PROMOTED_NAMES[type] : NAMES[type];
}

char Sign(int32_t side) { return side == GOTE ? '-' : '+'; }

// "%TORYO" and the like; empty for an end that CSA has no word for.
std::string EndStatement(const MoveRec& m) {
    switch (m.status) {
        case MS_RESIGN: return "%TORYO";
        case MS_ABORT:
        case MS_SEALED: return "%CHUDAN";  // a sealed move adjourns the game
        case MS_SENNICHITE: return "%SENNICHITE";
        case MS_JISHOGI: return "%JISHOGI";
        case MS_TIME_UP: return "%TIME_UP";
        case MS_ILLEGAL_LOSS: return "%ILLEGAL_MOVE";
        // The side to move wins by the other side's foul, which CSA names.
        case MS_ILLEGAL_WIN: return std::string("%") + Sign(m.side ^ 1) + "ILLEGAL_ACTION";
        case MS_ENTERING_WIN: return "%KACHI";
        case MS_MATE: return "%TSUMI";
        case MS_NO_MATE: return "%FUZUMI";
        default: return "";
    }
}

std::string TimeLine(const char* key, std::time_t t) {
    std::tm tm{};
    char buf[64];
    if (!localtime_r(&t, &tm) || !std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tm))
        return "";
    return std::string("$") + key + ":" + buf + "\r\n";
}

// Each line of the text as a "'" comment; `star` drops the "*" that starts
// the lines of the header comment.
void CommentLines(std::string_view text, bool star, std::string& out) {
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(0, end);
        if (star && !line.empty() && line[0] == '*')
            line.remove_prefix(1);
        out.append("'").append(line).append("\r\n");
        text.remove_prefix(end);
        if (text.substr(0, 2) == "\r\n")
            text.remove_prefix(2);
        else if (!text.empty())
            text.remove_prefix(1);
    }
}

// Text of a header field on one line.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// P1..P9, the pieces in hand and the side to move of an SFEN position; the
// even game's "PI" when it cannot be set up.
std::string Position(const std::string& sfen) {
    CShogiBoard board;
    int side = SENTE;
    if (sfen.empty() || !SetUpSfen(board, sfen, &side))
        return "PI\r\n+\r\n";
    std::string out;
    for (int rank = 1; rank <= 9; ++rank) {
        out += 'P';
        out += char('0' + rank);
        for (int file = 9; file >= 1; --file) {
            const int i = board.PieceAt(file, rank);
            if (i < 0) {
                out += " * ";
                continue;
            }
            const KomaRec& p = board.pieces[std::size_t(i)];
            out += Sign(p.owner);
            out += PieceName(p.type, p.promoted);
        }
        out += "\r\n";
    }
    for (int owner : {SENTE, GOTE}) {
        std::string hand;
        for (const KomaRec& p : board.pieces)
            if (p.state == KS_HAND && p.owner == owner)
                hand += "00" + std::string(PieceName(p.type, 0));
        if (!hand.empty())
            out += std::string("P") + Sign(owner) + hand + "\r\n";
    }
    return out + Sign(side) + "\r\n";
}

}  // namespace

std::string CsaText(const CKifu& k) {
    const KifuHeader& h = k.header;
    std::string out = "'encoding=UTF-8\r\nV2.2\r\n";
    out += "N+" + OneLine(h.senteName) + "\r\nN-" + OneLine(h.goteName) + "\r\n";
    if (h.hasStartTime)
        out += TimeLine("START_TIME", h.startTime);
    if (h.hasEndTime)
        out += TimeLine("END_TIME", h.endTime);
    CommentLines(h.headerComment, true, out);
    out += Position(h.startSfen);

    // The main line up to its empty entry or its end.  Times are written
    // when any move has one: a record without times holds 0 everywhere.
    bool timed = false;
    for (const KifuNode* e = k.Root(); e && e->filled; e = e->next)
        timed = timed || e->move->seconds > 0;
    for (const KifuNode* e = k.Root(); e && e->filled; e = e->next) {
        const MoveRec& m = *e->move;
        if (IsEndStatus(m.status)) {
            const std::string word = EndStatement(m);
            if (!word.empty())
                out += word + "\r\n";
            else if (m.status != MS_KINGTAKEN)
                CommentLines(EndWord(m.status), false, out);  // kept as said, though CSA has no word for it
            CommentLines(m.comment, false, out);
            break;
        }
        if (m.status == MS_MOVE && int64_t(m.toFile) + m.toRank == 0)
            break;  // an entry without a move
        char buf[64];
        std::snprintf(buf, sizeof buf, "%c%d%d%d%d", Sign(m.side), m.fromFile, m.fromRank, m.toFile,
                      m.toRank);
        out += buf;
        out += PieceName(m.type, m.promoted);
        if (timed)
            out += ",T" + std::to_string(m.seconds);
        out += "\r\n";
        CommentLines(m.comment, false, out);
    }
    return out;
}

}  // namespace ravu
