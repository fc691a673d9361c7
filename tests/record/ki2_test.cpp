// KI2 records: moves named by destination, piece and relative words, found
// on the reader's own board; the summary line as the record's end; variation
// sections and comments.
#include <gtest/gtest.h>

#include "record/ki2_reader.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/notation.h"
#include "record/usi_line.h"

namespace ravu {
namespace {

const char* const EVEN_W = "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1";
// Sente golds on 5九 (behind 5八), 4八 (beside) and 5七 (in front).
const char* const GOLDS = "8k/9/9/9/9/9/4G4/5G3/K3G4 b - 1";
// Gote silvers on 6四 and 4四 (behind 5五 for gote) and 4六 (in front).
const char* const SILVERS = "8k/9/9/3s1s3/9/5s3/9/9/K8 w - 1";
// A sente gold on 5六, a gold and a pawn in hand.
const char* const HAND = "8k/9/9/9/9/4G4/9/9/K8 b GP 1";
// Sente dragons on 5二 and 1二, a promoted silver on 5六.
const char* const DRAGONS = "8k/4+R3+R/9/9/9/4+S4/9/9/K8 b - 1";

TEST(Ki2, MovesFoundFromTheirWords) {
    struct Case {
        const char* sfen;  // empty: the even game
        const char* text;
        const char* usi;  // the moves read; "bad" for a move refused
    } const cases[] = {
        {"", "▲７六歩    △３四歩 ▲２二角成△同　銀", "7g7f 3c3d 8h2b+ 3a2b"},
        {"", "▲７六歩 △３四歩 ▲２二角不成 △同銀", "7g7f 3c3d 8h2b 3a2b"},
        {"", "&#x2617;２六歩&#x2616;８四歩", "2g2f 8c8d"},
        // Golds of sente: right is towards file 1.
        {"", "▲５八金右", "4i5h"},
        {"", "▲５八金左", "6i5h"},
        {"", "▲５八金", "bad"},
        // Golds of gote: right is towards file 9.
        {EVEN_W, "△５二金右", "6a5b"},
        {EVEN_W, "▽５二金左", "4a5b"},
        {GOLDS, "▲５八金上", "5i5h"},
        {GOLDS, "▲５八金直", "5i5h"},
        {GOLDS, "▲５八金寄", "4h5h"},
        {GOLDS, "▲５八金引", "5g5h"},
        {GOLDS, "▲５八金右", "4h5h"},
        {GOLDS, "▲５八金左", "bad"},  // 5九 and 5七 are both leftmost
        {SILVERS, "△５五銀右", "6d5e"},
        {SILVERS, "△５五銀左", "bad"},
        {SILVERS, "△５五銀左上", "4d5e"},
        {SILVERS, "△５五銀引", "4f5e"},
        {DRAGONS, "▲３二龍右", "1b3b"},
        {DRAGONS, "▲３二竜左", "5b3b"},
        {DRAGONS, "▲５五全", "5f5e"},
        // Drops: implied when no board piece can go there, written with 打 otherwise.
        {HAND, "▲５五歩", "P*5e"},
        {HAND, "▲５五金", "5f5e"},
        {HAND, "▲５五金打", "G*5e"},
        {HAND, "▲５四金", "G*5d"},
        {HAND, "▲５五銀", "bad"},  // no silver anywhere
        {"", "▲７六歩成", "bad"},  // far from the zone
        {"", "△３四歩", "bad"},    // not gote's turn
        {"", "▲同歩", "bad"},      // no move to be the same square as
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CMoveTracker tracker;
        ASSERT_TRUE(tracker.Start(c.sfen));
        std::string_view text = c.text;
        std::string got;
        for (;;) {
            while (!text.empty() && text[0] == ' ')
                text.remove_prefix(1);
            if (text.empty())
                break;
            MoveRec m;
            const Ki2Move r = ReadKi2Move(tracker, text, &m);
            got += got.empty() ? "" : " ";
            if (r != Ki2Move::Played) {
                got += "bad";
                break;
            }
            got += UsiMove(m);
        }
        EXPECT_EQ(got, c.usi);
    }
}

// The whole record: header, comments, the summary as the end entry, a
// variation section from move 3, one from move 4 inside it, and a move no
// piece can make stopping the reading.
TEST(Ki2, RecordWithVariationAndEnd) {
    const std::string text =
        "先手: 羽生 / 後手: 谷川\r\n棋戦：竜王戦\r\n*序\r\n"
        "▲７六歩    △３四歩    ▲２六歩\r\n*three\r\n△８四歩\r\nまで4手で千日手\r\n\r\n"
        "変化：3手\r\n▲６六歩    △８四歩\r\nまで4手で後手の勝ち\r\n"
        "変化：4手\r\n△６二銀\r\n変化：4手\r\n△５五飛\r\n";
    ASSERT_TRUE(LooksLikeKi2(text));
    EXPECT_FALSE(LooksLikeKi2("   1 ７六歩(77)\r\n*▲７六歩\r\n"));
    CKifu k;
    LoadReport report;
    EXPECT_GT(ReadKi2(k, text, "a.ki2", report), 0);
    EXPECT_EQ(report.stopLine, 15);
    EXPECT_EQ(report.stopText, "△５五飛");
    EXPECT_EQ(k.header.senteName, "羽生");
    EXPECT_EQ(k.header.goteName, "谷川");
    EXPECT_EQ(k.header.otherLines, "棋戦：竜王戦\r\n");
    EXPECT_EQ(k.header.headerComment, "*序\r\n");
    std::string main;
    const KifuNode* third = nullptr;
    for (const KifuNode* e = k.Root(); e->filled; e = e->next) {
        main +=
            IsEndStatus(e->move->status) ? std::string(EndWord(e->move->status)) : UsiMove(*e->move) + " ";
        if (e->move->number == 3)
            third = e;
    }
    EXPECT_EQ(main, "7g7f 3c3d 2g2f 8c8d 千日手");
    ASSERT_TRUE(third);
    EXPECT_EQ(third->move->comment, "three\r\n");
    // 変化：3手 hangs on move 3; 変化：4手, read after it, on its move 4.
    ASSERT_TRUE(third->alt && third->alt->filled);
    const KifuNode* v = third->alt;
    EXPECT_EQ(UsiMove(*v->move), "6g6f");
    ASSERT_TRUE(v->next->filled && v->next->next->filled);
    EXPECT_EQ(v->next->next->move->status, MS_RESIGN);  // sente to move, gote won
    ASSERT_TRUE(v->next->alt && v->next->alt->filled);
    EXPECT_EQ(UsiMove(*v->next->alt->move), "7a6b");
    EXPECT_EQ(v->next->alt->alt, nullptr);  // the second 変化：4手 read no move
    EXPECT_EQ(third->next->alt, nullptr);
}

// A handicap named in the header starts from its position, 上手 (gote) first.
TEST(Ki2, HandicapStart) {
    CKifu k;
    LoadReport report;
    EXPECT_GT(ReadKi2(k, "手合割：角落ち\r\n△３四歩    ▲７六歩\r\n", "h.ki2", report), 0);
    EXPECT_EQ(report.stopLine, 0);
    EXPECT_EQ(k.header.startSfen, "lnsgkgsnl/1r7/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1");
    EXPECT_EQ(UsiMove(*k.Root()->move) + " " + UsiMove(*k.Root()->next->move), "3c3d 7g7f");
}

}  // namespace
}  // namespace ravu
