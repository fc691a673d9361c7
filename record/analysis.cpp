// Evaluations from sente's side and the analysis lines of comments.
// Literals here are compiled to Shift-JIS.
#include "record/analysis.h"

#include <algorithm>
#include <cstdlib>

#include "game/sjis.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/notation.h"

namespace ravu {

namespace {

constexpr std::string_view SCORE_KEY = "#評価値=";
constexpr std::string_view MATE_KEY = "#詰み=";
constexpr std::string_view PV_KEY = "#読み筋=";
constexpr std::string_view SENTE_WINS = "先手勝ち";
constexpr std::string_view GOTE_WINS = "後手勝ち";
constexpr std::string_view PLIES_MARK = "手";

// A mate is worth more than any count of centipawns; a longer mate a little less.
constexpr int64_t MATE_WORTH = int64_t(1) << 40;
constexpr int64_t CP_LIMIT = int64_t(1) << 32;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Calls handle(line) for each line of a comment, without its CR LF.
template <class Handle>
void ForEachCommentLine(std::string_view comment, Handle&& handle) {
    while (!comment.empty()) {
        std::size_t end = comment.find('\n');
        std::string_view line = comment.substr(0, end);
        comment.remove_prefix(end == std::string_view::npos ? comment.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        handle(line);
    }
}

bool IsAnalysisLine(std::string_view line) {
    return StartsWith(line, SCORE_KEY) || StartsWith(line, MATE_KEY) || StartsWith(line, PV_KEY);
}

// "先手勝ち:7手" or "後手勝ち"; known = false for anything else.
Evaluation MateOf(std::string_view text) {
    Evaluation e;
    const bool sente = StartsWith(text, SENTE_WINS);
    if (!sente && !StartsWith(text, GOTE_WINS))
        return e;
    text.remove_prefix(SENTE_WINS.size());
    int32_t plies = MATE_UNKNOWN_PLIES;
    if (StartsWith(text, ":")) {
        plies = std::clamp(DecimalValue(text.substr(1)), 1, MATE_UNKNOWN_PLIES);
    }
    e.known = e.mate = true;
    e.value = sente ? plies : -plies;
    return e;
}

// The evaluation from `side`'s view on one scale: centipawns, mates beyond them.
int64_t Worth(const Evaluation& e, int side) {
    const int64_t v = side == SENTE ? e.value : -int64_t(e.value);
    if (!e.mate)
        return std::clamp(v, -CP_LIMIT, CP_LIMIT);
    return v > 0 ? MATE_WORTH - v : -MATE_WORTH - v;
}

}  // namespace

Evaluation FromEngine(int32_t value, bool mate, int sideToMove) {
    Evaluation e;
    e.known = true;
    e.mate = mate;
    if (mate && value == 0)
        value = -MATE_UNKNOWN_PLIES;  // mated now
    // -INT32_MIN does not exist; no engine's score comes near it.
    value = std::max(value, -INT32_MAX);
    e.value = sideToMove == SENTE ? value : -value;
    return e;
}

int32_t GraphValue(const Evaluation& e) {
    if (!e.known)
        return 0;
    if (e.mate)
        return e.value >= 0 ? GRAPH_LIMIT_CP : -GRAPH_LIMIT_CP;
    return std::clamp(e.value, -GRAPH_LIMIT_CP, GRAPH_LIMIT_CP);
}

bool IsBadMove(const Evaluation& before, const Evaluation& after, int mover) {
    if (!before.known || !after.known)
        return false;
    const int64_t was = Worth(before, mover), is = Worth(after, mover);
    const bool wasMating = before.mate && was > 0, isMating = after.mate && is > 0;
    const bool wasMated = before.mate && was < 0, isMated = after.mate && is < 0;
    if (wasMating || isMated)
        return !isMating && !wasMated;  // a mate missed, or one let in
    return !wasMated && was - is >= BAD_MOVE_CP;
}

bool IsBadLine(const std::vector<KifuNode>& line, int index) {
    if (index < 2 || std::size_t(index) > line.size())
        return false;
    const MoveRec& before = *line[std::size_t(index) - 2].move;
    const MoveRec& move = *line[std::size_t(index) - 1].move;
    return IsBadMove(EvaluationOf(before.comment), EvaluationOf(move.comment), move.side);
}

Evaluation EvaluationOf(std::string_view comment) {
    Evaluation score, mate;
    ForEachCommentLine(comment, [&](std::string_view line) {
        if (StartsWith(line, SCORE_KEY) && !score.known) {
            const std::string_view text = line.substr(SCORE_KEY.size());
            const std::size_t digit = StartsWith(text, "+") || StartsWith(text, "-") ? 1 : 0;
            if (digit < text.size() && text[digit] >= '0' && text[digit] <= '9') {
                score.known = true;
                score.value = DecimalValue(text);
            }
        } else if (StartsWith(line, MATE_KEY) && !mate.known) {
            mate = MateOf(line.substr(MATE_KEY.size()));
        }
    });
    return mate.known ? mate : score;
}

std::string PvOf(std::string_view comment) {
    std::string pv;
    bool found = false;
    ForEachCommentLine(comment, [&](std::string_view line) {
        if (!found && StartsWith(line, PV_KEY)) {
            pv.assign(line.substr(PV_KEY.size()));
            found = true;
        }
    });
    return pv;
}

std::string WithAnalysis(std::string_view comment, const Evaluation& e, std::string_view pvText) {
    std::string out;
    ForEachCommentLine(comment, [&](std::string_view line) {
        if (!IsAnalysisLine(line))
            out.append(line).append("\r\n");
    });
    if (e.known && e.mate) {
        out.append(MATE_KEY).append(e.value >= 0 ? SENTE_WINS : GOTE_WINS);
        const int32_t plies = std::abs(e.value);
        if (plies != MATE_UNKNOWN_PLIES)
            out.append(":").append(std::to_string(plies)).append(PLIES_MARK);
        out.append("\r\n");
    } else if (e.known) {
        out.append(SCORE_KEY).append(std::to_string(e.value)).append("\r\n");
    }
    if (!pvText.empty())
        out.append(PV_KEY).append(pvText).append("\r\n");
    return out;
}

std::string PvText(const std::vector<MoveRec>& moves, int32_t refFile, int32_t refRank) {
    std::string out;
    for (const MoveRec& m : moves) {
        out += m.side == SENTE ? "▲" : "△";
        out += KifMoveText(m, m.toFile == refFile && m.toRank == refRank);
        refFile = m.toFile;
        refRank = m.toRank;
    }
    return out;
}

std::vector<MoveRec> PvMovesOfText(CMoveTracker from, std::string_view pvText) {
    constexpr std::string_view SENTE_MARK = "▲", GOTE_MARK = "△";
    std::vector<MoveRec> moves;
    std::size_t at = 0;
    while (at < pvText.size() && moves.size() < PV_MAX_WORDS) {
        std::size_t start = at;
        if (pvText.substr(at).starts_with(SENTE_MARK) || pvText.substr(at).starts_with(GOTE_MARK))
            start += SENTE_MARK.size();
        else
            break;
        std::size_t end = start;
        while (end < pvText.size() && !pvText.substr(end).starts_with(SENTE_MARK) &&
               !pvText.substr(end).starts_with(GOTE_MARK))
            end += IsSjisLead(static_cast<unsigned char>(pvText[end])) ? 2 : 1;
        // The move reader reads a move line: number and blank first.
        const std::string line = "   1 " + std::string(pvText.substr(start, end - start));
        MoveRec parsed;
        ParseMoveText(parsed, line, from.LastFile(), from.LastRank());
        if (parsed.toFile == 0)
            break;
        MoveRec played;
        // A piece promoted before the move reads as promoted too: it does not promote again.
        const bool ok = from.Play(parsed.fromFile, parsed.fromRank, parsed.toFile, parsed.toRank, parsed.type,
                                  parsed.promoted != 0, &played) ||
                        (parsed.promoted && from.Play(parsed.fromFile, parsed.fromRank, parsed.toFile,
                                                      parsed.toRank, parsed.type, false, &played));
        if (!ok)
            break;
        moves.push_back(played);
        at = end;
    }
    return moves;
}

}  // namespace ravu
