// An engine's judgement in the record: evaluations seen from sente, bad
// moves, the analysis lines of comments, the USI lines of an engine, pvs
// turned into legal record moves and the position after any entry.
#include <gtest/gtest.h>

#include "game/sfen.h"
#include "record/analysis.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/usi_line.h"

namespace ravu {
namespace {

constexpr int32_t UNKNOWN = MATE_UNKNOWN_PLIES;

Evaluation Cp(int32_t v) { return {true, false, v}; }
Evaluation Mate(int32_t plies) { return {true, true, plies}; }

std::string Show(const Evaluation& e) {
    return !e.known ? "?" : (e.mate ? "mate " : "cp ") + std::to_string(e.value);
}

TEST(Analysis, EngineScoreSeenFromSenteAndOnTheGraph) {
    const struct {
        int32_t value;
        bool mate;
        int side;
        const char* sente;
        int32_t graph;
    } rows[] = {
        {193, false, SENTE, "cp 193", 193},
        {193, false, GOTE, "cp -193", -193},
        {-4000, false, SENTE, "cp -4000", -GRAPH_LIMIT_CP},
        {-4000, false, GOTE, "cp 4000", GRAPH_LIMIT_CP},
        {5, true, GOTE, "mate -5", -GRAPH_LIMIT_CP},       // gote mates in 5
        {-3, true, GOTE, "mate 3", GRAPH_LIMIT_CP},        // gote is mated in 3
        {0, true, SENTE, "mate -10000", -GRAPH_LIMIT_CP},  // sente is mated already
        {0, true, GOTE, "mate 10000", GRAPH_LIMIT_CP},
        {INT32_MIN, false, GOTE, "cp 2147483647", GRAPH_LIMIT_CP},
    };
    for (const auto& r : rows) {
        const Evaluation e = FromEngine(r.value, r.mate, r.side);
        EXPECT_EQ(Show(e), r.sente) << r.value << " " << r.side;
        EXPECT_EQ(GraphValue(e), r.graph) << r.value << " " << r.side;
    }
    EXPECT_EQ(GraphValue(Evaluation{}), 0);
}

TEST(Analysis, BadMoves) {
    const struct {
        Evaluation before, after;
        int mover;
        bool bad;
    } rows[] = {
        {Cp(100), Cp(-200), SENTE, true},  // fell by exactly the limit
        {Cp(100), Cp(-199), SENTE, false},       {Cp(-100), Cp(200), GOTE, true},  // gote's view: 100 -> -200
        {Cp(-100), Cp(-400), GOTE, false},                                         // gote improved
        {Cp(100), Cp(-200), GOTE, false},        {Cp(0), Evaluation{}, SENTE, false},  // not known
        {Evaluation{}, Cp(-2000), SENTE, false}, {Cp(-50), Mate(-7), SENTE, true},     // lets a mate in
        {Mate(-9), Mate(-3), SENTE, false},                                            // was lost already
        {Mate(-9), Cp(-5000), SENTE, false},                                           // escaped
        {Mate(5), Cp(2500), SENTE, true},                                              // missed its own mate
        {Mate(5), Mate(12), SENTE, false},                                             // still mates
        {Mate(-5), Mate(3), GOTE, true},  // gote's mate missed: gote is mated now
        {Cp(2800), Mate(3), SENTE, false},       {Mate(UNKNOWN), Cp(100), SENTE, true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(IsBadMove(r.before, r.after, r.mover), r.bad)
            << Show(r.before) << " -> " << Show(r.after) << " by " << r.mover;
}

// The lines written, read back, and other programs' lines read.
TEST(Analysis, CommentLinesWrittenAndRead) {
    const struct {
        const char* comment;
        Evaluation e;
        const char *pv, *written;
        // clang-format off
    } rows[] = {
        {"", Cp(-35), "▲２六歩(27)", "#評価値=-35\r\n#読み筋=▲２六歩(27)\r\n"},
        {"好手\r\n#評価値=10\r\n次\r\n#読み筋=△３四歩(33)\r\n#詰み=先手勝ち\r\n", Cp(120), "",
         "好手\r\n次\r\n#評価値=120\r\n"},
        {"一行目\r\n#読み筋=x\r\n最後", Mate(7), "▲１二金打", "一行目\r\n最後\r\n#詰み=先手勝ち:7手\r\n#読み筋=▲１二金打\r\n"},
        {"*評価値=5\r\n", Mate(-UNKNOWN), "", "*評価値=5\r\n#詰み=後手勝ち\r\n"},  // another program's line kept
        {"#評価値=5\r\n# 評価値=1\r\n", Evaluation{}, "", "# 評価値=1\r\n"},  // nothing known: the old lines go
    };
    // clang-format on
    for (const auto& r : rows) {
        const std::string written = WithAnalysis(r.comment, r.e, r.pv);
        EXPECT_EQ(written, r.written) << r.comment;
        EXPECT_EQ(Show(EvaluationOf(written)), Show(r.e)) << written;
        EXPECT_EQ(PvOf(written), r.pv) << written;
    }
    const struct {
        const char* comment;
        const char* read;
    } foreign[] = {
        {"互角\n#評価値=+158\n#読み筋=▲７六歩△３四歩\n", "cp 158"},
        {"#評価値=\r\n", "?"},
        {"#評価値=abc\r\n", "?"},
        {"#評価値=-12x\r\n", "cp -12"},
        {"#評価値=- 12\r\n", "?"},
        {"#評価値=99999999999\r\n", "cp 2147483647"},
        {"#詰み=後手勝ち:8手\r\n#評価値=-30000\r\n", "mate -8"},
        {"#詰み=先手勝ち:0手\r\n", "mate 1"},
        {"#詰み=引き分け\r\n", "?"},
        {"x #評価値=5\r\n", "?"},
    };
    for (const auto& r : foreign)
        EXPECT_EQ(Show(EvaluationOf(r.comment)), r.read) << r.comment;
    EXPECT_EQ(PvOf("互角\n#読み筋=▲７六歩△３四歩\n#読み筋=▲２六歩\n"), "▲７六歩△３四歩");
}

TEST(UsiLine, InfoAndBestMoveLines) {
    const struct {
        std::string line;
        bool isInfo;
        const char* read;  // depth multipv score bound pv-count
        // clang-format off
    } rows[] = {
        {"info depth 12 seldepth 18 multipv 1 score cp 138 upperbound nodes 148912 time 302 pv 4g4f 5a4b", true,
         "12 1 cp 138 2 2"},
        {"info depth 0 score mate 0", true, "0 1 mate 0 0 0"},
        {"info\tscore mate -5 lowerbound pv G*5b", true, "-1 1 mate -5 1 1"},
        {"info score mate + pv G*5b", true, "-1 1 mate 10000 0 1"},
        {"info multipv 2 score mate -", true, "-1 2 mate -10000 0 0"},
        {"info score cp +44 lowerbound", true, "-1 1 cp 44 1 0"},
        {"info string score cp 5 pv 7g7f", true, "-1 1 none 0 0"},
        {"info depth x score cp 9999999999 multipv", true, "-1 1 none 0 0"},
        {"info score cp", true, "-1 1 none 0 0"},
        {"info score centipawns 12 depth 3", true, "3 1 none 0 0"},
        {"info nodes 5 pv " + std::string(2000, 'x'), true, "-1 1 none 0 1"},
        {"infos depth 1", false, ""},
        {"bestmove 7g7f", false, ""},
        {"", false, ""},
        {"\x81\x40\xff info depth 3", false, ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        UsiInfo info;
        ASSERT_EQ(ParseInfo(r.line, &info), r.isInfo) << r.line;
        if (!r.isInfo)
            continue;
        const std::string score =
            !info.hasScore ? "none" : (info.mate ? "mate " : "cp ") + std::to_string(info.score);
        EXPECT_EQ(std::to_string(info.depth) + " " + std::to_string(info.multipv) + " " + score + " " +
                      std::to_string(info.bound) + " " + std::to_string(info.pv.size()),
                  r.read)
            << r.line;
    }
    UsiInfo info;
    std::string many = "info pv";
    for (int i = 0; i < 100; ++i)
        many += " 7g7f";
    ASSERT_TRUE(ParseInfo(many, &info));
    EXPECT_EQ(info.pv.size(), PV_MAX_WORDS);

    const struct {
        const char* line;
        bool isBest;
        const char *move, *ponder;
    } best[] = {
        {"bestmove 2g2f ponder 3c3d", true, "2g2f", "3c3d"},
        {"bestmove resign", true, "resign", ""},
        {"bestmove  7g7f  ponder", true, "7g7f", ""},
        {"bestmove", false, "", ""},
        {"bestmoves 7g7f", false, "", ""},
        {"info pv 7g7f", false, "", ""},
    };
    for (const auto& r : best) {
        std::string move, ponder;
        EXPECT_EQ(ParseBestMove(r.line, &move, &ponder), r.isBest) << r.line;
        if (r.isBest) {
            EXPECT_EQ(move + "|" + ponder, std::string(r.move) + "|" + r.ponder) << r.line;
        }
    }
}

// A pv keeps its moves up to the first one the strict rules refuse.
TEST(UsiLine, PvMovesStopAtTheFirstIllegalMove) {
    const struct {
        const char* position;
        std::vector<std::string> pv;
        const char* text;
        // clang-format off
    } rows[] = {
        {"startpos", {"7g7f", "3c3d", "8h2b+", "3a2b", "B*4e"}, "▲７六歩(77)△３四歩(33)▲２二角成(88)△同　銀(31)▲４五角打"},
        {"startpos moves 7g7f 3c3d 8h2b+", {"3a2b", "B*3c", "2b3c"}, "△同　銀(31)▲３三角打△同　銀(22)"},
        {"startpos", {"7g7f", "7g7f", "3c3d"}, "▲７六歩(77)"},  // the piece has gone
        {"startpos", {"7g7f", "5c5d", "8h2b", "4a3b"}, "▲７六歩(77)△５四歩(53)"},  // the bishop's path is blocked
        {"startpos", {"1g1f", "1c1d", "1f1e", "1d1e", "1i1e", "1a1e", "P*1a"}, "▲１六歩(17)△１四歩(13)▲１五歩(16)△同　歩(14)▲同　香(19)△同　香(11)"},
        // a second pawn on a file, a king walking into check, garbage
        {"sfen 4k4/9/9/9/9/9/4P4/9/4K4 b P 1", {"P*5e"}, ""},
        {"sfen 4k4/9/9/9/4r4/9/9/9/3K5 b - 1", {"6i5i"}, ""},
        {"sfen 4k4/9/9/9/9/9/9/9/4K4 b G 1", {"G*5b", "5a5b"}, "▲５二金打△同　王(51)"},
        {"startpos", {"7g7f+", "77", "resign", "7g7fx"}, ""},
        {"startpos", {}, ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        CMoveTracker at;
        ASSERT_TRUE(TrackPositionCommand(std::string("position ") + r.position, &at)) << r.position;
        EXPECT_EQ(PvText(PvMoves(at, r.pv), at.LastFile(), at.LastRank()), r.text) << r.position;
    }
    CMoveTracker at;
    EXPECT_FALSE(TrackPositionCommand("position startpos moves 7g7f 7g7f", &at));  // an illegal move
    EXPECT_FALSE(TrackPositionCommand("position sfen 9/9 b -", &at));
}

// The position after a variation's entry follows the variation's path.
TEST(UsiLine, PositionAfterAnyEntry) {
    CKifuControl rec;
    ASSERT_TRUE(
        rec.LoadKifFromBuffer("   1 ７六歩(77)\r\n   2 ３四歩(33)+\r\n   3 ２二角成(88)\r\n\r\n"
                              "変化：2手\r\n   2 ８四歩(83)\r\n   3 ２六歩(27)\r\n",
                              "v.kif"));
    const KifuNode* first = rec.kifu.Root();
    const KifuNode* variation = first->next->alt->next;  // ２六歩 after ８四歩
    ASSERT_TRUE(variation && variation->filled);
    EXPECT_EQ(PositionCommand(rec.kifu, nullptr), "position startpos");
    EXPECT_EQ(PositionCommand(rec.kifu, first->next->next), "position startpos moves 7g7f 3c3d 8h2b+");
    EXPECT_EQ(PositionCommand(rec.kifu, variation), "position startpos moves 7g7f 8c8d 2g2f");
    CMoveTracker byRecord, byCommand;
    ASSERT_TRUE(TrackTo(rec.kifu, variation, &byRecord));
    ASSERT_TRUE(TrackPositionCommand(PositionCommand(rec.kifu, variation), &byCommand));
    EXPECT_EQ(BoardSfen(byRecord.Board(), byRecord.SideToMove(), 1),
              "lnsgkgsnl/1r5b1/p1ppppppp/1p7/9/2P4P1/PP1PPPP1P/1B5R1/LNSGKGSNL w - 1");
    EXPECT_EQ(BoardSfen(byCommand.Board(), byCommand.SideToMove(), 1),
              BoardSfen(byRecord.Board(), byRecord.SideToMove(), 1));

    // A record from a position; one whose path holds a move the rules refuse.
    ASSERT_TRUE(rec.LoadKifFromBuffer("sfen 4k4/9/9/9/9/9/9/9/4K4 w G 1 moves 5a4a 5i5h", "p.sfen"));
    EXPECT_EQ(PositionCommand(rec.kifu, rec.kifu.Root()->next),
              "position sfen 4k4/9/9/9/9/9/9/9/4K4 w G 1 moves 5a4a 5i5h");
    ASSERT_TRUE(rec.LoadKifFromBuffer("   1 ５五歩(57)\r\n   2 ３四歩(33)\r\n", "free.kif"));
    EXPECT_FALSE(TrackTo(rec.kifu, rec.kifu.Root()->next, &byRecord));
}

}  // namespace
}  // namespace ravu
