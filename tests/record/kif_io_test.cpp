// KIF files: the writer's layout byte for byte, the program's own files
// loading and saving back identically, the reader's rules and hostile files
// (files on disk: kif_tool_test.cpp).
#include <gtest/gtest.h>

#include <ctime>

#include "game/board.h"
#include "game/sfen.h"
#include "record/kif_reader.h"
#include "record/kif_writer.h"
#include "record/notation.h"
#include "record_test_util.h"

namespace ravu {
namespace {

using test::Moves;

// Local time is fixed for every test here; Japan has no daylight saving.
struct KifFiles : ::testing::Test {
    void SetUp() override {
        setenv("TZ", "JST-9", 1);
        tzset();
    }
};

// The record's file read back writes the same bytes; answers the section heads.
std::string RoundTrip(const CKifuControl& rec) {
    const std::string text = rec.KifText("a.kif");
    CKifuControl back;
    EXPECT_TRUE(back.LoadKifFromBuffer(text, "a.kif"));
    EXPECT_EQ(back.KifText("a.kif"), text);
    std::string heads;
    for (std::size_t at = text.find("変化"); at != std::string::npos; at = text.find("変化", at + 1))
        heads += text.substr(at, text.find('\r', at) - at) + " ";
    return heads;
}

// A file in a foreign layout (no times, comments before the first move of a
// section, sections without a pending entry) is written in the program's own
// layout, byte for byte, and shown as a tree with a comment on each item.
TEST_F(KifFiles, WriterLayoutTreeAndComments) {
    CKifuControl rec;
    EXPECT_EQ(rec.KifText("x"),
              "# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----\r\n# ファイル名：x\r\n手合割：\r\n先手：\r\n"
              "後手：\r\n手数----指手---------消費時間--\r\n\r\n");
    ASSERT_TRUE(rec.LoadKifFromBuffer(
        "開始日時：2003/05/01(木) 13:05:09\r\n終了日時：2003/05/04(日) 14:05:09\r\n"
        "手合割：平手\r\n先手：羽生\r\n後手：b\r\n*序\r\n*2\r\n   1 ７六歩(77)\r\n*nice\r\n"
        "   2 ３四歩(33)+\r\n   3 ２六歩(27)+\r\n   4 投了\r\n*after\r\n\r\n"
        "変化：9手\r\n   9 ２六歩(27)\r\n*dropped with its section\r\n変化：3手\r\n*not kept\r\n"
        "   3 同　歩(35)+\r\n*line one\r\n*line two\r\n   4 同　歩(23)+\r\n   5 ６八銀(79)\r\n\r\n"
        "変化：4手\r\n   4 ４四歩(43)\r\n変化：3手\r\n   3 ５六歩(57)\r\n"
        "変化：3手\r\n   3 ７八金(69)\r\n",  // no pending 3 is left: one more alternative to move 3
        "a.kif"));
    // The alternative to move 2 never got a section: it stays pending, keeps
    // its "+" and is written as an empty section.
    EXPECT_EQ(rec.KifText("C:\\kifu\\a.kif"),
              "# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----\r\n# ファイル名：C:\\kifu\\a.kif\r\n"
              "開始日時：2003/05/01(木) 13:05:09\r\n終了日時：2003/05/04(日) 14:05:09\r\n"
              "手合割：平手\r\n先手：羽生\r\n後手：b\r\n手数----指手---------消費時間--\r\n*序\r\n*2\r\n"
              "   1 ７六歩(77)   ( 0:00/00:00:00)\r\n*nice\r\n   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
              "   3 ２六歩(27)   ( 0:00/00:00:00)+\r\n   4 投了\r\n*after\r\n\r\n変化：3手\r\n"
              "   3 同　歩(35)   ( 0:00/00:00:00)+\r\n*line one\r\n*line two\r\n"
              "   4 同　歩(23)   ( 0:00/00:00:00)+\r\n   5 ６八銀(79)   ( 0:00/00:00:00)\r\n\r\n"
              "変化：4手\r\n   4 ４四歩(43)   ( 0:00/00:00:00)\r\n\r\n"
              "変化：3手\r\n   3 ５六歩(57)   ( 0:00/00:00:00)+\r\n\r\n"
              "変化：3手\r\n   3 ７八金(69)   ( 0:00/00:00:00)\r\n\r\n変化：2手\r\n\r\n");
    EXPECT_EQ(RoundTrip(rec), "変化：3手 変化：4手 変化：3手 変化：3手 変化：2手 ");
    EXPECT_EQ(InsertAfterBreaks("a\nb\r\n\r\nc", "*"), "a\nb\r\n*\r\n*c");
    test::FakeTree tree;
    rec.BuildTree(&tree);
    // A "+" without a section (move 2) has no children.
    EXPECT_EQ(tree.Render(),
              "a.kif\n     1 ▲ ７六歩(77)\n     2 ▽ ３四歩(33)+\n     3 ▲ ２六歩(27)+\n"
              "       3 ▲ 同　歩(35)+\n         4 ▽ 同　歩(23)+\n           4 ▽ ４四歩(43)\n"
              "         5 ▲ ６八銀(79)\n       3 ▲ ５六歩(57)+\n       3 ▲ ７八金(69)\n     4 投了\n");
    EXPECT_EQ(tree.expanded, std::vector<int32_t>{rec.kifu.header.rootItem});
    std::string comments = rec.GetComment(3);  // no such item
    for (const auto& [item, parent, text] : tree.items)
        comments += rec.GetComment(item) + "|";
    EXPECT_EQ(comments, "*序\r\n*2\r\n|nice\r\n|||line one\r\nline two\r\n||||||after\r\n|");
    // Rebuilding gives the same tree with fresh handles; old handles are forgotten.
    const int32_t old = std::get<0>(tree.items.back());
    const std::string before = tree.Render();
    rec.kifu.header.title.clear();
    rec.BuildTree(&tree);
    EXPECT_EQ(tree.Render(), "無題" + before.substr(before.find('\n')));
    EXPECT_EQ(rec.kifu.FindByItem(old, nullptr), nullptr);
    // Line breaks in header texts or the path cannot inject lines into the file.
    rec.kifu.header.senteName = "a\r\n   1 ７六歩(77)";
    CKifuControl back;
    ASSERT_TRUE(back.LoadKifFromBuffer(rec.KifText("dir/x\n   1 ７六歩(77)\r\n.kif"), "x"));
    EXPECT_EQ(back.KifText("a.kif"), rec.KifText("a.kif"));
    EXPECT_EQ(back.kifu.header.senteName, "a     1 ７六歩(77)");
}

// The time of each move and the mover's total are written back as read, in
// variations too; a move without a total keeps 00:00:00.
TEST_F(KifFiles, MoveTimesAndTotalsWrittenBackAsRead) {
    const std::string moves =
        "手数----指手---------消費時間--\r\n   1 ７六歩(77)   ( 0:12/00:01:05)\r\n"
        "   2 ３四歩(33)   ( 1:40/01:00:00)+\r\n   3 ２六歩(27)   ( 0:00/00:00:00)\r\n\r\n"
        "変化：2手\r\n   2 ８四歩(83)   (10:00/123:04:05)\r\n\r\n";
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(moves, "a.kif"));
    const std::string text = rec.KifText("a.kif");
    EXPECT_EQ(text.substr(text.find("手数-")), moves);
    EXPECT_EQ(rec.kifu.Root()->move->totalSeconds, 65);
    RoundTrip(rec);
}

// Later branch points first; at each, the first alternative's section, its
// own branch points from last to first, then the next sibling.  The empty
// end of a variation read earlier never takes a later section.
TEST_F(KifFiles, SectionOrderOfBranchPoints) {
    CKifuControl two, three;
    std::vector<KifuNode*> m = Moves(two.kifu, two.kifu.Root(), 1, 8, {1, 3, 6});
    const std::vector<KifuNode*> a = Moves(two.kifu, m[5]->alt, 6, 8, {6, 7});
    Moves(two.kifu, Moves(two.kifu, a[1]->alt, 7, 8, {8})[1]->alt, 8, 8);
    Moves(two.kifu, a[0]->alt, 6, 6);
    Moves(two.kifu, m[2]->alt, 3, 3);
    Moves(two.kifu, m[0]->alt, 1, 1);
    EXPECT_EQ(RoundTrip(two), "変化：6手 変化：7手 変化：8手 変化：6手 変化：3手 変化：1手 ");
    m = Moves(three.kifu, three.kifu.Root(), 1, 15, {4, 10});
    Moves(three.kifu, m[9]->alt, 10, 12, {}, "１一香(19)");  // empty end: 13
    Moves(three.kifu, Moves(three.kifu, m[3]->alt, 4, 14, {13}, "９九馬(11)")[9]->alt, 13, 14, {},
          "８八角(77)");
    EXPECT_EQ(RoundTrip(three), "変化：10手 変化：4手 変化：13手 ");
}

// 手合割 names and the position each starts from (the pieces 上手 plays
// without, as the handicap rules define them; 上手 moves first).  A name
// that is no known start, 平手 and その他 start the even game and are
// written back as read; the others are written by their names.
TEST_F(KifFiles, HandicapStarts) {
    const std::string rest = "/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1";
    const struct {
        std::string name, sfen;  // sfen "": the even game
    } rows[] = {
        {"平手", ""},
        {"その他", ""},
        {"角香落ち", ""},
        {"香落ち", "lnsgkgsn1/1r5b1" + rest},
        {"右香落ち", "1nsgkgsnl/1r5b1" + rest},
        {"角落ち", "lnsgkgsnl/1r7" + rest},
        {"飛車落ち", "lnsgkgsnl/7b1" + rest},
        {"飛香落ち", "lnsgkgsn1/7b1" + rest},
        {"二枚落ち　　", "lnsgkgsnl/9" + rest},
        {"三枚落ち", "lnsgkgsn1/9" + rest},
        {"四枚落ち", "1nsgkgsn1/9" + rest},
        {"五枚落ち", "2sgkgsn1/9" + rest},
        {"左五枚落ち", "1nsgkgs2/9" + rest},
        {"六枚落ち", "2sgkgs2/9" + rest},
        {"左七枚落ち", "2sgkg3/9" + rest},
        {"右七枚落ち", "3gkgs2/9" + rest},
        {"八枚落ち", "3gkg3/9" + rest},
        {"十枚落ち", "4k4/9" + rest},
    };
    for (const auto& r : rows) {
        CKifuControl rec;
        ASSERT_TRUE(rec.LoadKifFromBuffer("手合割：" + r.name + "\r\n", "a.kif")) << r.name;
        EXPECT_EQ(rec.kifu.header.startSfen, r.sfen) << r.name;
        const std::string text = rec.KifText("a.kif");
        const std::string written = r.sfen.empty() ? r.name : r.name.substr(0, r.name.find("　"));
        EXPECT_NE(text.find("\r\n手合割：" + written + "\r\n先手：\r\n"), std::string::npos) << r.name;
        CKifuControl back;
        ASSERT_TRUE(back.LoadKifFromBuffer(text, "a.kif"));
        EXPECT_EQ(back.kifu.header.startSfen, r.sfen) << r.name;
    }
}

// A board diagram as the start (hands with counts in kanji and digits,
// promoted pieces, 手数＝N, 後手番): the moves are numbered on from it,
// gote's first, and replay starts from it; it is written back in the same
// layout after 手合割：その他 (hands in kanji) and read back into the same
// start, and its lines are no kept header lines.
TEST_F(KifFiles, BoardDiagramStart) {
    const std::string diagram =
        "  ９ ８ ７ ６ ５ ４ ３ ２ １\r\n+---------------------------+\r\n"
        "| ・ ・ ・ ・v玉 ・ ・ ・ ・|一\r\n| ・ ・ ・ ・ ・ ・ ・ ・ ・|二\r\n"
        "| ・ ・ ・ ・ 金 ・ ・ ・ ・|三\r\n| ・ ・ ・ ・ ・ ・ ・ ・ ・|四\r\n"
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|五\r\n| ・ ・ ・ ・ ・ ・ ・ ・ ・|六\r\n"
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|七\r\n| ・ ・ ・ ・ ・ ・ ・v龍 と|八\r\n"
        "| ・ ・ ・ ・ 玉 ・ ・ ・ ・|九\r\n+---------------------------+\r\n";
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(
        "手合割：平手　\r\n上手の持駒：歩十六　香　\r\n" + diagram +
            "下手の持駒：金2 歩\r\n手数＝10  ▲５三金  まで\r\n後手番\r\n棋戦：詰将棋\r\n"
            "手数----指手---------消費時間--\r\n  11 ５二歩打\r\n  12 同　金(53)\r\n"
            "  13 投了\r\n",
        "a.kif"));
    EXPECT_EQ(rec.kifu.header.startSfen, "4k4/9/4G4/9/9/9/9/7+r+P/4K4 w 2GPl16p 11");
    std::string entries;  // number and side
    for (const KifuNode* e = rec.kifu.Root(); e->filled; e = e->next)
        entries += std::to_string(e->move->number) + "sg"[e->move->side] + " ";
    EXPECT_EQ(entries, "11g 12s 13g ");
    CShogiBoard board;
    rec.SetUpStart(board);
    rec.GoTo(board, 99, 0, nullptr);
    const MoveRec& next = *rec.kifu.current->move;  // the entry the replay stopped at
    EXPECT_EQ(BoardSfen(board, next.side, next.number), "4k4/4G4/9/9/9/9/9/7+r+P/4K4 w 2G2Pl15p 13");
    EXPECT_EQ(rec.kifu.header.otherLines, "棋戦：詰将棋\r\n");
    const std::string text = rec.KifText("a.kif");
    EXPECT_EQ(text.substr(text.find("手合割")),
              "手合割：その他\r\n後手の持駒：香　歩十六　\r\n" + diagram +
                  "先手の持駒：金二　歩　\r\n手数＝10\r\n後手番\r\n先手：\r\n後手：\r\n棋戦：詰将棋\r\n"
                  "手数----指手---------消費時間--\r\n  11 ５二歩打     ( 0:00/00:00:00)\r\n"
                  "  12 同　金(53)   ( 0:00/00:00:00)\r\n  13 投了\r\n\r\n");
    RoundTrip(rec);
}

TEST_F(KifFiles, HeaderLines) {
    const struct {
        std::string line;
        int result;
        const char* fields;  // start time (local; flag when not set), handicap, sente, gote
        // clang-format off
    } rows[] = {
        {"開始日時：2003/05/01(木) 13:05:09", 1, "2003/05/01(木) 13:05:09|old|old|old"},
        {"開始日時：2003/05/01", 1, "2003/05/01(木) 00:00:00|old|old|old"},  // no time of day: midnight
        {"開始", 0, "7|old|old|old"},  // shorter than 6 bytes: nothing is touched
        {"先手：", 1, "7|old||old"},
        {"後手：名人", 1, "7|old|old|名人"},
        {"手合割：香落ち", 1, "7|香落ち|old|old"},
        {"手合割", 0, "7|old|old|old"},  // a key needs its colon
        {"下手：a", 1, "7|old|a|old"}, {"上手:b", 1, "7|old|old|b"},  // handicap games name the players so
        {"先手省略名：羽生", 0, "7|old|old|old"},  // the whole key counts
        {"棋戦：竜王戦", 0, "7|old|old|old"},
        // Dates as other programs write them.
        {"開始日時：2014/09/13 14：59", 1, "2014/09/13(土) 14:59:00|old|old|old"},
        {"開始日時：２０１４年9月13日(土) 14時59分7秒", 1, "2014/09/13(土) 14:59:07|old|old|old"},
        // Dates out of range or before 1970 are not stored, and the old one is forgotten.
        {"開始日時：1899/05/01(木) 13:05:09", 0, "0|old|old|old"}, {"開始日時：2003/13/01(木) 13:05:09", 0, "0|old|old|old"},
        {"開始日時：2003/05/32(木) 13:05:09", 0, "0|old|old|old"}, {"開始日時：2003/00/00(木) 13:05:09", 0, "0|old|old|old"},
        {"開始日時：1969/12/31(水) 23:59:59", 0, "0|old|old|old"}, {"開始日時：9999999999999999999999999999999", 0, "0|old|old|old"},
    };
    // clang-format on
    for (const auto& r : rows) {
        KifuHeader h{0, "", 0, 7, 0, 0, "old", "old", "old", "", "", ""};
        EXPECT_EQ(ParseHeaderLine(h, r.line), r.result) << r.line;
        const std::string start =
            h.hasStartTime == 1 ? FormatKifDate(h.startTime) : std::to_string(h.hasStartTime);
        EXPECT_EQ(start + "|" + h.handicap + "|" + h.senteName + "|" + h.goteName, r.fields) << r.line;
    }
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);  // daylight saving is decided by the system
    tzset();
    KifuHeader h;
    ASSERT_EQ(ParseHeaderLine(h, "終了日時：2003/07/01(火) 12:00:00"), 1);
    EXPECT_EQ(h.endTime, 1057075200);  // 16:00 UTC: summer time, UTC-4
    ASSERT_EQ(ParseHeaderLine(h, "終了日時：2003/01/01(水) 12:00:00"), 1);
    EXPECT_EQ(h.endTime, 1041440400);  // 17:00 UTC: UTC-5
}

// What the reader keeps of a file: the main line text (list layout, ";" after
// each entry) and the sente name, and the items of the tree (its top item
// included; 0: the file is not taken).  The displayed line is the main line
// of a file taken.
// Files of thousands of alternatives or nesting levels load, show and write
// back; files from which nothing can be read are not taken.
TEST_F(KifFiles, ReaderLineRulesAndHostileFiles) {
    auto fill = [](std::string s, const std::string& unit) {
        while (s.size() + unit.size() <= KIF_MAX_BYTES)
            s += unit;
        return s;
    };
    const struct {
        const char* what;
        std::string file, mainLine;
        std::size_t items;
        // clang-format off
    } rows[] = {
        {"a last line without CR LF is read", "   1 ７六歩(77)\r\n   2 ３四歩(33)", "   1 ７六歩(77) ;   2 ３四歩(33) ;;", 3},
        {"CR alone ends a line", "   1 ７六歩(77)\r   2 ３四歩(33)\r\n", "   1 ７六歩(77) ;   2 ３四歩(33) ;;", 3},
        {"a number not above the last stops the reading", "   1 ７六歩(77)\r\n   2 ３四歩(33)\r\n   2 ２六歩(27)\r\n先手：x\r\n",
         "   1 ７六歩(77) ;   2 ３四歩(33) ;;", 3},
        {"a gap is accepted", "   1 ７六歩(77)\r\n   5 ３四歩(33)\r\n", "   1 ７六歩(77) ;   5 ３四歩(33) ;;", 3},
        {"number 0, negative and other lines are passed over",
         "   0 ７六歩(77)\r\n  -1 ３四歩(33)\r\n   1 ２六歩(27)\r\nまで1手で先手の勝ち\r\ngarbage\r\n#   2 x\r\n先手：名人\r\n",
         "   1 ２六歩(27) ;;名人", 2},
        {"a line that is no move stops the reading", "   1 ７六歩(77)\r\n2 ▽３四歩\r\n3 ２六歩(27)\r\n", "   1 ７六歩(77) ;;", 2},
        {"sections without + marks, the last first", "1 ７六歩(77)\r\n2 ３四歩(33)\r\n3 ２六歩(27)\r\n変化：3手\r\n"
         "3 ６六歩(67)\r\n4 ８四歩(83)\r\n変化：4手\r\n4 ４四歩(43)\r\n変化：2手\r\n2 ８四歩(83)\r\n",
         "   1 ７六歩(77) ;   2 ３四歩(33) +;   3 ２六歩(27) +;;", 8},
        {"a header line the program does not use is kept", "棋戦：竜王戦\r\n   1 ７六歩(77)\r\n", "   1 ７六歩(77) ;;", 2},
        {"thousands of alternatives", fill("   1 ７六歩(77)+\r\n", "変化：1手\r\n   1 ７六歩(77)+\r\n"), "   1 ７六歩(77) +;;",
         2 + (KIF_MAX_BYTES - 18) / 29},
        {"thousands of levels", fill("   1 ７六歩(77)+\r\n", "変化：1手\r\n   1 ７六歩(77)\r\n   1 同　歩(77)+\r\n"),
         "   1 ７六歩(77) +;;", 2 + 2 * ((KIF_MAX_BYTES - 18) / 46)},
        {"a line of pending alternatives", fill("   1 ７六歩(77)+\r\n変化：1手\r\n", "   1 +\r\n"), "   1 ７六歩(77) +;;",
         2 + (KIF_MAX_BYTES - 29) / 8},
        {"a comment is taken", "*only a comment\r\n", ";", 1},
        {"only section heads", fill("", "変化：1手\r\n"), ";", 0},
        {"binary", fill("", std::string("\x00\x81\r\xff\n\x82+(\x9f", 9)), ";", 0},
    };
    // clang-format on
    for (const auto& r : rows) {
        CKifuControl rec;
        ASSERT_EQ(rec.LoadKifFromBuffer(r.file, "t"), r.items > 0) << r.what;
        std::string text;
        rec.GetMainLineText(text);
        EXPECT_EQ(text + rec.kifu.header.senteName, r.mainLine) << r.what;
        EXPECT_TRUE(rec.kifu.current == rec.kifu.Root() && rec.kifu.lineIsVariation == 0 &&
                    rec.kifu.line.size() ==
                        (r.items ? std::size_t(std::count(text.begin(), text.end(), ';')) : 0));
        test::FakeTree tree;
        rec.BuildTree(&tree);
        EXPECT_EQ(tree.items.size(), r.items ? r.items : 1) << r.what;
        CKifuControl back;
        EXPECT_TRUE(back.LoadKifFromBuffer(rec.KifText("h").substr(0, KIF_MAX_BYTES), "h"));
        EXPECT_EQ(back.kifu.header.otherLines, r.file.rfind("棋戦", 0) == 0 ? "棋戦：竜王戦\r\n" : "")
            << r.what;
    }
}

}  // namespace
}  // namespace ravu
