// CSA records read through the record's loader: names, information lines,
// start positions, moves by the piece after the move, times, endings and
// comments, and where a record that cannot be followed stops.
#include <gtest/gtest.h>

#include "record/csa_reader.h"
#include "record/kifu.h"
#include "record_test_util.h"

namespace ravu {
namespace {

TEST(CsaReader, RecordsAsRead) {
    const struct {
        const char *text, *summary;
        int32_t stopLine = 0;
        // clang-format off
    } rows[] = {
        // Version 2.2 with every kind of line; a board row without its last
        // blank, missing rows empty; times on T lines and after a comma.
        {"'example\nV2.2\nN+NAKAHARA\nN-YONENAGA\n$EVENT:名人戦\n$SITE:KAZUSA\n$START_TIME:2003/05/03 10:30:00\n"
         "$END_TIME:\n$TIME_LIMIT:00:25+30\n$OPENING:YAGURA\n$X_WINNER:+\n"
         "P1-KY-KE-GI-KI-OU-KI-GI-KE-KY\nP2 * -HI *  *  *  *  * -KA *\nP3-FU-FU-FU-FU-FU-FU-FU-FU-FU\n"
         "P7+FU+FU+FU+FU+FU+FU+FU+FU+FU\nP8 * +KA *  *  *  *  * +HI * \nP9+KY+KE+GI+KI+OU+KI+GI+KE+KY\n"
         "+\n'*opening\n+7776FU\nT12\n-3334FU,T6\n'good\n%TORYO\n",
         "- NAKAHARA|YONENAGA: 7g7f(12) 3c3d(6){good\r\n} 投了 H{*example\r\n**opening\r\n} "
         "O{棋戦：名人戦\r\n場所：KAZUSA\r\n持ち時間：25分+30秒\r\n戦型：YAGURA\r\n$X_WINNER:+\r\n}"},
        // PI less rook and bishop, gote to move; a time without date kept; "/" ends the record.
        {"$START_TIME: 15:35:06\nPI82HI22KA\n-\n-3334FU\n+7776FU\n/\n+2726FU\n",
         "lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1 |: 3c3d 7g7f O{開始日時：15:35:06\r\n}", 6},
        // Pieces placed by P+ / P-, the rest to gote's hand; UM from a bishop
        // promotes, TO of a promoted pawn does not.
        {"P-11OU\nP+13TO44KA\nP+00KI\nP-00AL\n+\n+4422UM\n-1122OU\n+1312TO\n-2212OU\n+0013KI,T1\n%TSUMI\n",
         "8k/9/8+P/5B3/9/9/9/9/9 b G2rb3g4s4n4l17p 1 |: 4d2b+ 1a2b 1c1b 2b1b G*1c(1) 詰み"},
        // No version, position nor side line: the even game; several
        // statements on one line; a king named as a silver stops the reading.
        {"N+a\n+7776FU,T3,-3334FU,T5\n+8822UM\n-5152GI\n%TORYO\n", "- a|: 7g7f(3) 3c3d(5) 8h2b+", 4},
        {"+\n-3334FU\n", "- |:", 2},                // the wrong side moves
        {"+\n+5554FU\n", "- |:", 2},                // from an empty square
        {"+\n+7776FU\n-0055KA\n", "- |: 7g7f", 3},  // a drop of a piece not in hand
        // Nineteen pawns: no board holds the position.
        {"P1+FU+FU+FU+FU+FU+FU+FU+FU+FU\nP2+FU+FU+FU+FU+FU+FU+FU+FU+FU\nP+00FU\n+\n", "- |:", 4},
        // The endings: the entry is the side to move's, so ILLEGAL_ACTION of
        // sente is gote's win and of gote gote's loss.
        {"+\n+7776FU\n%CHUDAN\n", "- |: 7g7f 中断"},
        {"+\n+7776FU\n%SENNICHITE\n", "- |: 7g7f 千日手"},
        {"+\n+7776FU\n%JISHOGI\n", "- |: 7g7f 持将棋"},
        {"+\n+7776FU\n%TIME_UP\n", "- |: 7g7f 切れ負け"},
        {"+\n+7776FU\n%ILLEGAL_MOVE\n", "- |: 7g7f 反則負け"},
        {"+\n+7776FU\n%+ILLEGAL_ACTION\n", "- |: 7g7f 反則勝ち{先手の反則により後手の勝ち\r\n}"},
        {"+\n+7776FU\n%-ILLEGAL_ACTION\n", "- |: 7g7f 反則負け{後手の反則により先手の勝ち\r\n}"},
        {"+\n%-ILLEGAL_ACTION\n", "- |: 反則勝ち{後手の反則により先手の勝ち\r\n}"},
        {"+\n+7776FU\n%KACHI\n", "- |: 7g7f 入玉勝ち"},
        {"+\n+7776FU\n%FUZUMI\n", "- |: 7g7f 不詰"},
        {"+\n+7776FU\n%HIKIWAKE\n", "- |: 7g7f 持将棋{入玉による引き分けの宣言\r\n}"},
        {"+\n+7776FU\n%MATTA\n", "- |: 7g7f 中断{待った\r\n}"},
        {"+\n+7776FU\n%MAX_MOVES\n-3334FU\n", "- |: 7g7f 中断{%MAX_MOVES\r\n}", 4},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        CKifuControl rec;
        LoadReport report;
        ASSERT_TRUE(rec.LoadKifFromBuffer(r.text, "a.csa", &report));
        EXPECT_EQ(test::Summary(rec.kifu), r.summary);
        EXPECT_EQ(report.stopLine, r.stopLine) << report.stopText;
    }
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(rows[0].text, "a.csa"));
    EXPECT_EQ(rec.kifu.header.hasStartTime, 1);
    EXPECT_EQ(rec.kifu.header.hasEndTime, 0);
    EXPECT_EQ(rec.kifu.header.title, "a.csa");
    // Only CSA statements make a CSA file; a KIF board diagram starts with "+" too.
    for (const char* kif : {"+---------------------------+\n", "開始日時：2003/05/03\n", "   1 ７六歩(77)\n",
                            "'only comments\n", "Version 2\n"})
        EXPECT_FALSE(LooksLikeCsa(kif)) << kif;
}

}  // namespace
}  // namespace ravu
