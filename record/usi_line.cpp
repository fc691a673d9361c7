// USI moves, positions, and the lines an engine prints.
#include "record/usi_line.h"

#include <charconv>

#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/notation.h"

namespace ravu {

namespace {

constexpr std::string_view SFEN_CHARS = "/+0123456789KRBGSNLPkrbgsnlp";

bool IsSideWord(std::string_view w) { return w == "b" || w == "w"; }

// A whole word as a 32-bit number with an optional sign.
bool Number(std::string_view w, int32_t* value) {
    if (!w.empty() && w[0] == '+')
        w.remove_prefix(1);
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), *value);
    return ec == std::errc() && end == w.data() + w.size() && !w.empty();
}

// The entries from the record's first move to `entry`, in playing order.
std::vector<const KifuNode*> PathTo(const KifuNode* entry) {
    std::vector<const KifuNode*> path;
    for (const KifuNode* e = entry; e; e = e->prev)
        path.push_back(e);
    return {path.rbegin(), path.rend()};
}

}  // namespace

std::string UsiSquare(int32_t file, int32_t rank) { return {char('0' + file), char('a' + rank - 1)}; }

char UsiLetter(int32_t type) { return "KRBGSNLPK"[type]; }

bool IsBoardMove(const MoveRec& m) {
    return !IsEndStatus(m.status) && m.type >= 0 && m.type < PT_COUNT && m.toFile >= 1 && m.toFile <= 9 &&
           m.toRank >= 1 && m.toRank <= 9 && m.fromFile >= 0 && m.fromFile <= 9 && m.fromRank >= 0 &&
           m.fromRank <= 9;
}

std::string UsiMove(const MoveRec& m) {
    if (m.fromFile == 0)
        return std::string(1, UsiLetter(m.type)) + "*" + UsiSquare(m.toFile, m.toRank);
    return UsiSquare(m.fromFile, m.fromRank) + UsiSquare(m.toFile, m.toRank) +
           (m.status == MS_PROMOTE ? "+" : "");
}

std::vector<std::string_view> UsiWords(std::string_view line) {
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

bool IsSfenBoardWord(std::string_view w) {
    std::size_t slashes = 0;
    for (char c : w) {
        if (SFEN_CHARS.find(c) == std::string_view::npos)
            return false;
        slashes += c == '/';
    }
    return slashes == 8;
}

bool StartUsiPosition(const std::vector<std::string_view>& w, std::size_t* at, CMoveTracker* tracker) {
    std::size_t i = *at;
    if (i < w.size() && w[i] == "position")
        ++i;
    std::string sfen;  // empty: the even game
    if (i < w.size() && w[i] == "startpos") {
        ++i;
    } else {
        if (i < w.size() && w[i] == "sfen")
            ++i;
        if (i + 3 > w.size() || !IsSfenBoardWord(w[i]) || !IsSideWord(w[i + 1]))
            return false;
        sfen = std::string(w[i]) + " " + std::string(w[i + 1]) + " " + std::string(w[i + 2]) + " 1";
        i += 3;
        if (i < w.size() && w[i].find_first_not_of("0123456789") == std::string_view::npos)
            ++i;  // the move number: the record counts from 1
    }
    if (!tracker->Start(sfen))
        return false;
    *at = i;
    return true;
}

bool TrackPositionCommand(std::string_view command, CMoveTracker* tracker) {
    const std::vector<std::string_view> w = UsiWords(command);
    std::size_t i = 0;
    if (!StartUsiPosition(w, &i, tracker))
        return false;
    tracker->SetStrict(true);
    if (i < w.size() && w[i] == "moves")
        ++i;
    MoveRec m;
    for (; i < w.size(); ++i)
        if (!tracker->PlayUsi(w[i], &m))
            return false;
    return true;
}

std::string PositionCommand(const CKifu& k, const KifuNode* entry) {
    std::string out =
        k.header.startSfen.empty() ? "position startpos" : "position sfen " + k.header.startSfen;
    bool any = false;
    for (const KifuNode* e : PathTo(entry)) {
        if (!IsBoardMove(*e->move))
            break;
        out += any ? " " : " moves ";
        out += UsiMove(*e->move);
        any = true;
    }
    return out;
}

bool TrackTo(const CKifu& k, const KifuNode* entry, CMoveTracker* tracker) {
    if (!tracker->Start(k.header.startSfen))
        return false;
    tracker->SetStrict(true);
    MoveRec played;
    for (const KifuNode* e : PathTo(entry)) {
        const MoveRec& m = *e->move;
        if (!IsBoardMove(m) || !tracker->Play(m.fromFile, m.fromRank, m.toFile, m.toRank, m.type,
                                              m.status == MS_PROMOTE, &played))
            return false;
    }
    return true;
}

bool ParseInfo(std::string_view line, UsiInfo* info) {
    const std::vector<std::string_view> w = UsiWords(line);
    if (w.empty() || w[0] != "info")
        return false;
    *info = UsiInfo{};
    for (std::size_t i = 1; i < w.size(); ++i) {
        const std::string_view key = w[i];
        const bool hasValue = i + 1 < w.size();
        if (key == "string")
            break;
        if (key == "pv") {
            for (++i; i < w.size() && info->pv.size() < PV_MAX_WORDS; ++i)
                info->pv.emplace_back(w[i]);
            break;
        }
        if (key == "lowerbound" || key == "upperbound") {
            info->bound = key == "lowerbound" ? BOUND_LOWER : BOUND_UPPER;
            continue;
        }
        if (!hasValue)
            break;
        if (key == "depth") {
            int32_t v = 0;
            if (Number(w[++i], &v))
                info->depth = v;
        } else if (key == "multipv") {
            int32_t v = 0;
            if (Number(w[++i], &v))
                info->multipv = v;
        } else if (key == "score" && i + 2 < w.size() && (w[i + 1] == "cp" || w[i + 1] == "mate")) {
            const bool mate = w[i + 1] == "mate";
            const std::string_view value = w[i + 2];
            i += 2;
            int32_t v = 0;
            if (mate && (value == "+" || value == "-"))
                v = value == "+" ? MATE_UNKNOWN_PLIES : -MATE_UNKNOWN_PLIES;
            else if (!Number(value, &v))
                continue;
            info->hasScore = true;
            info->mate = mate;
            info->score = v;
        }
    }
    return true;
}

bool ParseBestMove(std::string_view line, std::string* move, std::string* ponder) {
    const std::vector<std::string_view> w = UsiWords(line);
    if (w.size() < 2 || w[0] != "bestmove")
        return false;
    move->assign(w[1]);
    ponder->clear();
    if (w.size() >= 4 && w[2] == "ponder")
        ponder->assign(w[3]);
    return true;
}

std::vector<MoveRec> PvMoves(const CMoveTracker& from, const std::vector<std::string>& words) {
    CMoveTracker tracker = from;
    tracker.SetStrict(true);
    std::vector<MoveRec> out;
    MoveRec m;
    for (const std::string& w : words) {
        if (!tracker.PlayUsi(w, &m))
            break;
        out.push_back(m);
    }
    return out;
}

}  // namespace ravu
