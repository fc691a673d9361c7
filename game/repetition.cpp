// Counting positions for fourfold repetition.
#include "game/repetition.h"

#include "game/board.h"
#include "game/sfen.h"

namespace ravu {

namespace {

constexpr std::size_t REPETITION_COUNT = 4;

}  // namespace

std::string PositionKey(const CShogiBoard& board, int sideToMove) {
    std::string sfen = BoardSfen(board, sideToMove, 1);
    return sfen.substr(0, sfen.rfind(' '));  // without the move number
}

void CRepetitionCounter::Start(const std::string& key) {
    seen.clear();
    plies.clear();
    seen[key].push_back(0);
}

Repetition CRepetitionCounter::Record(const std::string& key, int mover, bool gaveCheck) {
    plies.push_back({mover == GOTE ? GOTE : SENTE, gaveCheck});
    std::vector<std::size_t>& at = seen[key];
    at.push_back(plies.size());
    if (at.size() < REPETITION_COUNT)
        return Repetition::None;
    // The moves since the position first stood: a side that checked with
    // every one of its own moves there loses.
    bool allChecks[2] = {true, true}, moved[2] = {false, false};
    for (std::size_t i = at.front(); i < plies.size(); ++i) {
        const Ply& p = plies[i];
        moved[p.mover] = true;
        allChecks[p.mover] = allChecks[p.mover] && p.gaveCheck;
    }
    if (moved[SENTE] && allChecks[SENTE])
        return Repetition::SenteLoses;
    if (moved[GOTE] && allChecks[GOTE])
        return Repetition::GoteLoses;
    return Repetition::Draw;
}

}  // namespace ravu
