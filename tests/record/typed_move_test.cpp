// Moves typed by the user: every written form found on the board shown, and
// every reason a text is not made into a move.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/board.h"
#include "record/move_tracker.h"
#include "record/typed_move.h"
#include "record/usi_line.h"

namespace ravu {
namespace {

// Sente: a gold and a pawn in hand, a gold on 5六; gote's king on 1一.
const char* const HAND = "8k/9/9/9/9/4G4/9/9/K8 b GP 1";
// Sente: a pawn on 5七, a pawn in hand.
const char* const PAWN_FILE = "8k/9/9/9/9/9/4P4/9/K8 b P 1";
// Sente pawns on 5二 (one step from the last rank) and 3四 (one step from the zone).
const char* const PAWNS = "k8/4P4/9/6P2/9/9/9/9/K8 b - 1";
// Sente's gold on 5八 stands between its king on 5九 and gote's rook on 5五.
const char* const PINNED = "4k4/9/9/9/4r4/9/9/4G4/4K4 b - 1";
// Sente's golds on 5八 (pinned as above) and 3八 can both step to 4八.
const char* const ONE_PINNED = "4k4/9/9/9/4r4/9/9/4G1G2/4K4 b - 1";
// A promoted bishop of sente on 5五, a knight on 2四.
const char* const HORSE = "8k/9/9/7N1/4+B4/9/9/9/K8 b - 1";

// The names of TypedError's and TypedIllegal's values, in their order.
const char* const ERRORS[] = {"none",           "unreadable", "not-your-turn",    "no-piece",
                              "not-your-piece", "ambiguous",  "choose-promotion", "illegal"};
const char* const ILLEGAL[] = {"none",       "own-piece-there", "not-in-hand",  "drop-occupied", "two-pawns",
                               "dead-piece", "cannot-promote",  "must-promote", "strict-rules"};

// The move as USI, or the error: "ambiguous 49右 69左" (origins with their
// words, sorted), "illegal two-pawns".
std::string Describe(const CShogiBoard& b, int side, const TypedMove& t) {
    switch (t.error) {
        case TypedError::None: {
            // The piece named must be the one that makes the move.
            const KomaRec& p = b.pieces[t.piece];
            const bool fits = p.owner == side &&
                              (t.move.fromFile == 0 ? p.state == KS_HAND && p.type == t.move.type
                                                    : p.file == t.move.fromFile && p.rank == t.move.fromRank);
            return fits ? UsiMove(t.move) : "wrong piece";
        }
        case TypedError::Ambiguous: {
            std::vector<std::string> each;
            for (std::size_t i = 0; i < t.origins.size(); ++i)
                each.push_back(std::to_string(t.origins[i]) + t.words.at(i));
            std::sort(each.begin(), each.end());
            std::string out = "ambiguous";
            for (const std::string& e : each)
                out += " " + e;
            return out;
        }
        case TypedError::Illegal: return std::string("illegal ") + ILLEGAL[int(t.illegal)];
        default: return ERRORS[int(t.error)];
    }
}

TEST(TypedMove, EveryFormAndEveryRefusal) {
    struct Case {
        const char* sfen;   // empty: the even game
        const char* moves;  // USI moves played first
        bool strict;
        const char* text;
        const char* expected;
    } const cases[] = {
        // The same move in every form.
        {"", "", false, "76歩", "7g7f"},
        {"", "", false, "７六歩", "7g7f"},
        {"", "", false, " ▲ ７ 六 歩 ", "7g7f"},
        {"", "", false, "&#x2617;76歩", "7g7f"},
        {"", "", false, "７六歩(77)", "7g7f"},
        {"", "", false, "7g7f", "7g7f"},
        {"", "", false, "P-7f", "7g7f"},
        {"", "", false, "P-76", "7g7f"},
        {"", "", false, "7776FU", "7g7f"},
        // Relative words and origins tell pieces apart.
        {"", "", false, "58金", "ambiguous 49右 69左"},
        {"", "", false, "G-5h", "ambiguous 49右 69左"},
        {"", "", false, "58金右", "4i5h"},
        {"", "", false, "G6i-5h", "6i5h"},
        {"", "", false, "58金(49)", "4i5h"},
        {"", "", false, "58金直", "no-piece"},
        // Promotion: said, declined, or to be chosen.
        {"", "7g7f 3c3d", false, "22角成", "8h2b+"},
        {"", "7g7f 3c3d", false, "22角不成", "8h2b"},
        {"", "7g7f 3c3d", false, "22角", "choose-promotion"},
        {"", "7g7f 3c3d", false, "Bx2b+", "8h2b+"},
        {"", "7g7f 3c3d", false, "Bx2b=", "8h2b"},
        {"", "7g7f 3c3d", false, "8h2b", "8h2b"},
        {"", "7g7f 3c3d", false, "8822UM", "8h2b+"},
        {"", "7g7f 3c3d", false, "8822KA", "8h2b"},
        {PAWNS, "", false, "51歩", "5b5a+"},
        {PAWNS, "", false, "51歩不成", "illegal must-promote"},
        {PAWNS, "", false, "33歩", "choose-promotion"},
        {PAWNS, "", false, "P-3c=", "3d3c"},
        {"", "", false, "7g7f+", "illegal cannot-promote"},
        {HORSE, "", false, "+B-9a", "5e9a"},
        {HORSE, "", false, "91馬", "5e9a"},
        {HORSE, "", false, "91馬成", "illegal cannot-promote"},
        {HORSE, "", false, "B-9a", "no-piece"},
        // 同: the square of the last move, with or without its blank.
        {"", "7g7f 3c3d 8h2b+", false, "同　銀", "3a2b"},
        {"", "7g7f 3c3d 8h2b+", false, "△同 銀", "3a2b"},
        {"", "7g7f 3c3d 8h2b+", false, "S3ax2b", "3a2b"},
        {"", "7g7f 3c3d 8h2b+", false, "同歩", "no-piece"},
        {"", "", false, "同歩", "unreadable"},
        // Drops: implied where no board piece goes, written with 打 otherwise.
        {HAND, "", false, "55歩", "P*5e"},
        {HAND, "", false, "55金", "5f5e"},
        {HAND, "", false, "55金打", "G*5e"},
        {HAND, "", false, "G*5e", "G*5e"},
        {HAND, "", false, "0055KI", "G*5e"},
        {HAND, "", false, "55角打", "illegal not-in-hand"},
        {HAND, "", false, "51歩", "illegal dead-piece"},
        {HAND, "", false, "G*1a", "illegal drop-occupied"},
        {HAND, "", false, "55歩成", "no-piece"},
        {PAWN_FILE, "", false, "55歩打", "illegal two-pawns"},
        {PAWN_FILE, "", false, "56歩", "5g5f"},
        // Turn, ownership, squares.
        {"", "", false, "△３四歩", "not-your-turn"},
        {"", "", false, "-3334FU", "not-your-turn"},
        {"", "", false, "3c3d", "not-your-piece"},
        {"", "", false, "5e5d", "no-piece"},
        {"", "", false, "55角", "no-piece"},
        {"", "", false, "8i7g", "illegal own-piece-there"},
        {"", "", false, "78金(69)", "6i7h"},
        {"", "", false, "78金(49)", "no-piece"},
        {"", "", false, "", "unreadable"},
        {"", "", false, "xyz", "unreadable"},
        {"", "", false, "7g7f7e", "unreadable"},
        {"", "", false, "76歩(77", "unreadable"},
        // Strict games refuse what leaves the own king attacked; free ones do not.
        {PINNED, "", false, "68金", "5h6h"},
        {PINNED, "", true, "68金", "illegal strict-rules"},
        {PINNED, "", true, "57金", "5h5g"},
        // A pinned piece needs no word to be told apart; a word still picks it.
        {ONE_PINNED, "", false, "48金", "3h4h"},
        {ONE_PINNED, "", false, "48金(58)", "5h4h"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " after " + c.moves);
        CMoveTracker tracker;
        ASSERT_TRUE(tracker.Start(c.sfen));
        for (const std::string_view word : UsiWords(c.moves)) {
            MoveRec m;
            ASSERT_TRUE(tracker.PlayUsi(word, &m));
        }
        const TypedMove t = ReadTypedMove(tracker.Board(), tracker.SideToMove(), tracker.LastFile(),
                                          tracker.LastRank(), c.strict, c.text);
        EXPECT_EQ(Describe(tracker.Board(), tracker.SideToMove(), t), c.expected);
    }
}

}  // namespace
}  // namespace ravu
