// An engine's judgement of the positions of a record: evaluations from
// sente's side, the moves that threw a position away, and the analysis
// lines of a move's comment in the form other shogi programs write and read
// in KIF files: "#評価値=<centipawns>", "#詰み=先手勝ち:<plies>手" (or
// 後手勝ち, without the plies when the engine did not tell them) and
// "#読み筋=▲２六歩(27)△３四歩(33)...", each on its own comment line (the file
// writes them after "*").  Standard library only; text is Shift-JIS.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/types.h"
#include "record/usi_line.h"

namespace ravu {

class CMoveTracker;
struct KifuNode;

struct Evaluation {
    bool known = false;
    bool mate = false;
    // From SENTE's view: centipawns, or (mate) plies to mate, positive when
    // sente mates; MATE_UNKNOWN_PLIES when the engine did not tell how many.
    int32_t value = 0;
};

// An engine's score (from the side to move's view) seen from sente.  A mate
// in 0 means the side to move is already mated.
Evaluation FromEngine(int32_t value, bool mate, int sideToMove);

// Height of the evaluation graph: centipawns clamped, a mate at the limit.
constexpr int32_t GRAPH_LIMIT_CP = 3000;
int32_t GraphValue(const Evaluation& e);

constexpr int32_t BAD_MOVE_CP = 300;

// The mover's evaluation fell by at least BAD_MOVE_CP from the position
// before its move to the one after it (both known); a move that lets a mate
// in or misses its own counts too.
bool IsBadMove(const Evaluation& before, const Evaluation& after, int mover);

// Whether list line `index` of a displayed line (line 0: the start, line k:
// line[k - 1]) holds a move that the analysis in the comments found bad.
bool IsBadLine(const std::vector<KifuNode>& line, int index);

// The evaluation a comment's analysis lines give; known = false when it has none.
Evaluation EvaluationOf(std::string_view comment);

// The text of the comment's "#読み筋=" line; empty when none.
std::string PvOf(std::string_view comment);

// The comment (lines each ending in CR LF) with its earlier analysis lines
// replaced by these: the evaluation when known and the pv when not empty,
// at the end.  Other lines are kept, in order.
std::string WithAnalysis(std::string_view comment, const Evaluation& e, std::string_view pvText);

// Moves of a pv that a comment holds: enough to read the plan without
// making a record of a long game too large to load again.
constexpr std::size_t COMMENT_PV_MOVES = 12;

// The moves' KIF text, "▲２六歩(27)△同　歩(23)...": 同 where a move goes to
// the square the one before it went to, the first compared with
// (refFile, refRank), the square of the move the pv follows.
std::string PvText(const std::vector<MoveRec>& moves, int32_t refFile, int32_t refRank);

// The moves of a pv's KIF text (as PvText writes it) played from the
// tracker's position, up to the first one that cannot be played there.
std::vector<MoveRec> PvMovesOfText(CMoveTracker from, std::string_view pvText);

}  // namespace ravu
