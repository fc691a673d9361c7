// The fast move generator against the rules written straight from the
// board's own judge (CanMove, CanDrop, ApplyMove, one board copy per
// candidate): the same moves on positions reached by random play, and the
// same line counts on arranged positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "game/legal_moves.h"
#include "game/position.h"
#include "game/sfen.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

bool RefInCheck(const CShogiBoard& board, int side) {
    for (const KomaRec& king : board.pieces)
        if (king.state == KS_BOARD && king.owner == side && IsKing(king.type)) {
            for (const KomaRec& p : board.pieces)
                if (p.state == KS_BOARD && p.owner != side && board.CanMove(p, king.file, king.rank))
                    return true;
            return false;
        }
    return false;
}

std::vector<MoveRec> RefLegalMoves(const CShogiBoard& board, int side) {
    std::vector<MoveRec> out;
    auto keep = [&](const MoveRec& m) {
        CShogiBoard after = board;
        after.ApplyMove(m, true);
        if (!RefInCheck(after, side) && !(m.fromFile == 0 && m.type == PT_FU && RefInCheck(after, side ^ 1) &&
                                          RefLegalMoves(after, side ^ 1).empty()))
            out.push_back(m);
    };
    for (const KomaRec& p : board.pieces)
        for (int f = 1; f <= 9 && p.state == KS_BOARD && p.owner == side; ++f)
            for (int r = 1; r <= 9; ++r) {
                const int there = board.PieceAt(f, r);
                if ((there >= 0 && board.pieces[there].owner == side) || !board.CanMove(p, f, r))
                    continue;
                const bool zone = CShogiBoard::InZone(side, p.rank) || CShogiBoard::InZone(side, r);
                if (zone && !p.promoted && p.type != PT_KIN && !IsKing(p.type))
                    keep(test::Move(side, p.file, p.rank, f, r, p.type, 1, MS_PROMOTE));
                const int ahead = side == SENTE ? r - 1 : 9 - r;
                if (p.promoted || !(((p.type == PT_FU || p.type == PT_KYO) && ahead < 1) ||
                                    (p.type == PT_KEI && ahead < 2)))
                    keep(test::Move(side, p.file, p.rank, f, r, p.type, p.promoted));
            }
    for (int type = PT_HI; type <= PT_FU; ++type)
        for (int sq = 0, piece = board.FindInHand(side, type); sq < 81 && piece >= 0; ++sq)
            if (board.PieceAt(sq / 9 + 1, sq % 9 + 1) < 0 && board.CanDrop(piece, sq / 9 + 1, sq % 9 + 1))
                keep(test::Move(side, 0, 0, sq / 9 + 1, sq % 9 + 1, type));
    return out;
}

uint64_t RefPerft(const CShogiBoard& board, int side, int depth) {
    if (depth == 0)
        return 1;
    uint64_t n = 0;
    for (const MoveRec& m : RefLegalMoves(board, side)) {
        CShogiBoard next = board;
        next.ApplyMove(m, true);
        n += RefPerft(next, side ^ 1, depth - 1);
    }
    return n;
}

// Every field of the records, sorted: the order of the moves is free.
auto Sorted(const std::vector<MoveRec>& moves) {
    std::vector<std::tuple<int, int, int, int, int, int, int, int, int>> keys;
    for (const MoveRec& m : moves)
        keys.emplace_back(m.side, m.number, m.fromFile, m.fromRank, m.toFile, m.toRank, m.type, m.promoted,
                          m.status);
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Random games from the even game and from a handicap, a quarter of the
// moves checks and a quarter captures where there are any, so that hands
// fill, kings come under fire and drops block checks.  At each position the
// moves, the check and every attacked square agree with the board's judge,
// and the position played move by move is the one the board gives.
TEST(FastRules, AgreeWithTheBoardsJudgeInRandomGames) {
    std::mt19937 rng(2024);
    int positions = 0, checks = 0, drops = 0;
    for (const char* start : {"lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1",
                              "lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"})
        for (int game = 0; game < 6; ++game) {
            CShogiBoard board;
            int side = SENTE;
            ASSERT_TRUE(SetUpSfen(board, start, &side));
            Position walked(board, side);
            for (int ply = 0; ply < 60; ++ply, side ^= 1) {
                SCOPED_TRACE(BoardSfen(board, side, ply + 1));
                const std::vector<MoveRec> moves = LegalMoves(board, side);
                ASSERT_EQ(Sorted(moves), Sorted(RefLegalMoves(board, side)));
                ASSERT_EQ(InCheck(board, side), RefInCheck(board, side));
                for (int sq = 0; sq < 81; ++sq)
                    for (int by : {SENTE, GOTE}) {
                        bool reached = false;
                        for (const KomaRec& p : board.pieces)
                            reached |= p.state == KS_BOARD && p.owner == by &&
                                       board.CanMove(p, sq / 9 + 1, sq % 9 + 1);
                        ASSERT_EQ(Attacks(board, by, sq / 9 + 1, sq % 9 + 1), reached) << sq << " by " << by;
                    }
                ASSERT_TRUE(walked == Position(board, side));
                ++positions, checks += InCheck(board, side);
                if (moves.empty())
                    break;
                Position::MoveList list;
                walked.LegalMoves(list);
                std::vector<Position::Move> captures, checking;
                for (const Position::Move& w : list) {
                    Position after = walked;
                    after.Play(w);
                    if (after.InCheck())
                        checking.push_back(w);
                    if (w.from && walked.At(w.to) != NO_PIECE)
                        captures.push_back(w);
                    drops += w.from == 0;
                }
                const int pick = int(rng() % 4);
                const Position::Move w = pick == 0 && !checking.empty()   ? checking[rng() % checking.size()]
                                         : pick == 1 && !captures.empty() ? captures[rng() % captures.size()]
                                                                          : list.moves[rng() % list.size];
                const auto m = std::find_if(moves.begin(), moves.end(), [&](const MoveRec& r) {
                    return SquareOf(r.toFile, r.toRank) == w.to && r.type == w.type &&
                           (r.fromFile ? SquareOf(r.fromFile, r.fromRank) : 0) == w.from &&
                           (r.status == MS_PROMOTE) == bool(w.promote);
                });
                ASSERT_NE(m, moves.end());
                board.ApplyMove(*m, true);
                walked.Play(w);
            }
        }
    // The games reached what the rules are about.
    EXPECT_GT(positions, 600);
    EXPECT_GT(checks, 30);
    EXPECT_GT(drops, 5000);
}

// Lines of one and two moves from arranged positions: checks answered by
// drops, pins, mate by a dropped pawn, forced and optional promotion, gote
// to move.  `known`: the count published for the position (0: none).
TEST(FastRules, PerftOfArrangedPositions) {
    const struct {
        const char* sfen;
        int depth;
        uint64_t known;
    } rows[] = {
        {"R8/2K1S1SSk/4B4/9/9/9/9/9/1L1L1L3 b RBGSNLP3g3n17p 1", 1, 593},  // the most moves known
        // 祭り, the middle game engines count lines from
        {"l6nl/5+P1gk/2np1S3/p1p4Pp/3P2Sp1/1PPb2P1P/P5GS1/R8/LN4bKL w RGgsn5p 1", 2, 28684},
        {"7nk/7p1/8G/9/9/9/9/9/K8 b P 1", 1, 0},       // the pawn may not mate by drop
        {"7nk/7p1/9/9/9/9/9/9/K8 b P 1", 2, 0},        // without the gold the king takes it
        {"k3r4/9/9/9/9/9/9/9/4K4 b GSNLP 1", 2, 0},    // check answered by the king or a drop
        {"4k4/9/4r4/9/9/9/4G4/4K4/9 b - 1", 2, 0},     // the gold pinned on its file
        {"4k4/1P1S5/2N6/L8/9/9/9/9/4K4 b - 1", 2, 0},  // promotions forced and free
        {"4k4/9/9/9/9/9/l1n6/6p2/4K4 w - 1", 2, 0},    // the same for gote
        {"8k/9/9/9/4p4/9/9/9/8K w p 1", 2, 0},         // no second pawn on a file
        {"g3k4/9/9/9/4R4/9/9/9/4L3K b - 1", 2, 0},     // a king left in check may be taken
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.sfen);
        CShogiBoard board;
        int side = SENTE;
        ASSERT_TRUE(SetUpSfen(board, r.sfen, &side));
        const uint64_t fast = Perft(Position(board, side), r.depth);
        EXPECT_EQ(fast, RefPerft(board, side, r.depth));
        EXPECT_TRUE(r.known == 0 || fast == r.known) << fast;
    }
}

}  // namespace
}  // namespace ravu
