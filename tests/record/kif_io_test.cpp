// KIF files: the writer's layout and section order, the reader's rules, hostile
// files, and round trips of generated records through the writer and reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "record/kif_reader.h"
#include "record/kif_writer.h"
#include "record/notation.h"
#include "record_test_util.h"

namespace ravu {
namespace {

namespace fs = std::filesystem;
using test::ExpectSameRecord;
using test::Moves;

// Local time is fixed for every test here; Japan has no daylight saving.
struct KifFiles : ::testing::Test {
    void SetUp() override {
        setenv("TZ", "JST-9", 1);
        tzset();
    }
    // Writes the record, reads it back: the same record and the same bytes.
    static void ExpectRoundTrip(const CKifuControl& rec) {
        const std::string text = rec.KifText("a.kif");
        CKifuControl back;
        ASSERT_TRUE(back.LoadKifFromBuffer(text, "a.kif"));
        ExpectSameRecord(rec.kifu, back.kifu);
        EXPECT_EQ(back.KifText("a.kif"), text);
        EXPECT_EQ(back.kifu.header.title, "a.kif");
    }
};

std::vector<std::string> Lines(const std::string& text, bool headsOnly = false) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t i; (i = text.find("\r\n", start)) != std::string::npos; start = i + 2)
        if (!headsOnly || text.compare(start, 4, "変化") == 0)
            out.push_back(text.substr(start, i - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return out;
}

std::string File(std::initializer_list<const char*> lines, const char* end = "\r\n") {
    std::string s;
    for (const char* l : lines)
        s += std::string(l) + end;
    return s;
}

int MainLength(const CKifu& k) {
    int n = 0;
    for (KifuNode* e = k.Root(); e && e->filled; e = e->next)
        ++n;
    return n;
}

TEST_F(KifFiles, WriterLayoutByteForByte) {
    CKifuControl rec;
    EXPECT_EQ(Lines(rec.KifText("x")),  // no moves: the header and one empty line
              (std::vector<std::string>{"# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----", "# ファイル名：x", "手合割：",
                                        "先手：", "後手：", "手数----指手---------消費時間--", ""}));
    KifuNode* m1 = rec.kifu.AddMoveLine(rec.kifu.Root(), "   1 ７六歩(77)");
    rec.kifu.AddNodeComment(m1, "nice");
    rec.kifu.AddMoveLine(rec.kifu.AddMoveLine(m1, "   2 ３四歩(33)+"), "   3 ２六歩(27)");
    rec.kifu.AddMoveLine(m1->next->alt, "   2 ８四歩(83)");
    EXPECT_EQ(rec.KifText("C:\\kifu\\a.kif"),
              "# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----\r\n"
              "# ファイル名：C:\\kifu\\a.kif\r\n"
              "手合割：\r\n先手：\r\n後手：\r\n"
              "手数----指手---------消費時間--\r\n"
              "   1 ７六歩(77)   ( 0:00/00:00:00)\r\n"
              "*nice\r\n"
              "   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
              "   3 ２六歩(27)   ( 0:00/00:00:00)\r\n"
              "\r\n"
              "変化：2手\r\n"
              "   2 ８四歩(83)   ( 0:00/00:00:00)\r\n"
              "\r\n");
}

TEST_F(KifFiles, HeaderLinesTimesCommentsAndEndLines) {
    CKifuControl rec;
    KifuHeader& h = rec.kifu.header;
    std::tm tm{};
    tm.tm_year = 103, tm.tm_mon = 4, tm.tm_mday = 1, tm.tm_hour = 13, tm.tm_min = 5, tm.tm_sec = 9, tm.tm_isdst = -1;
    h.startTime = std::mktime(&tm);
    h.endTime = h.startTime + 86400 * 3 + 3600;
    h.hasStartTime = h.hasEndTime = 1;
    h.handicap = "平手", h.senteName = "羽生", h.goteName = "b", h.headerComment = "*序\r\n*2\r\n";
    const std::vector<KifuNode*> m = Moves(rec.kifu, rec.kifu.Root(), 1, 2);
    KifuNode* resign = rec.kifu.AddMoveLine(m[1], "   3 投了");
    rec.kifu.AddNodeComment(m[1], "line one");
    rec.kifu.AddNodeComment(m[1], "line two");
    rec.kifu.AddNodeComment(resign, "after");
    EXPECT_EQ(Lines(rec.KifText("a.kif")),
              (std::vector<std::string>{"# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----", "# ファイル名：a.kif",
                                        "開始日時：2003/05/01(木) 13:05:09", "終了日時：2003/05/04(日) 14:05:09",
                                        "手合割：平手", "先手：羽生", "後手：b", "手数----指手---------消費時間--",
                                        "*序", "*2", "   1 ５五歩(56)   ( 0:00/00:00:00)",
                                        "   2 同　歩(56)   ( 0:00/00:00:00)", "*line one", "*line two", "   3 投了",
                                        "*after", ""}));
    const char* days[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int d = 0; d < 7; ++d) {
        tm = {};
        tm.tm_year = 124, tm.tm_mon = 8, tm.tm_mday = 1 + d, tm.tm_hour = 23, tm.tm_min = 59, tm.tm_sec = 59;
        tm.tm_isdst = -1;  // 2024-09-01 is a Sunday
        EXPECT_EQ(FormatKifDate(std::mktime(&tm)), "2024/09/0" + std::to_string(1 + d) + "(" + days[d] + ") 23:59:59");
    }
    EXPECT_EQ(InsertAfterBreaks("a\r\nb\r\n", "*"), "a\r\n*b\r\n");
    EXPECT_EQ(InsertAfterBreaks("\r\n\r\n", "*"), "\r\n*\r\n");
    EXPECT_EQ(InsertAfterBreaks("a\nb\r", "*"), "a\nb\r");
}

// Later branch points first; at each, the first alternative's section, its
// own branch points from last to first, then the next sibling.
TEST_F(KifFiles, SectionOrderOfSeveralBranchPoints) {
    {
        CKifuControl rec;
        CKifu& k = rec.kifu;
        const std::vector<KifuNode*> m = Moves(k, k.Root(), 1, 12, {4, 10});
        Moves(k, Moves(k, m[9]->alt, 10, 11, {10})[0]->alt, 10, 10, {}, "７七角(88)");
        Moves(k, Moves(k, m[3]->alt, 4, 5, {5})[1]->alt, 5, 5);
        EXPECT_EQ(Lines(rec.KifText("a"), true), (std::vector<std::string>{"変化：10手", "変化：10手", "変化：4手", "変化：5手"}));
        ExpectRoundTrip(rec);
    }
    CKifuControl rec;
    CKifu& k = rec.kifu;
    const std::vector<KifuNode*> m = Moves(k, k.Root(), 1, 8, {1, 3, 6});
    const std::vector<KifuNode*> a = Moves(k, m[5]->alt, 6, 8, {6, 7});
    Moves(k, Moves(k, a[1]->alt, 7, 8, {8})[1]->alt, 8, 8);
    Moves(k, a[0]->alt, 6, 6);
    Moves(k, m[2]->alt, 3, 3);
    Moves(k, m[0]->alt, 1, 1);
    EXPECT_EQ(Lines(rec.KifText("a"), true),
              (std::vector<std::string>{"変化：6手", "変化：7手", "変化：8手", "変化：6手", "変化：3手", "変化：1手"}));
    ExpectRoundTrip(rec);
}

// A later main-line branch point (10) whose alternative line ends one move
// before a nested branch point (13) of an earlier variation (at 4): the empty
// end of the line read first must not take the nested section.
TEST_F(KifFiles, EmptyEndOfAnEarlierVariationNeverTakesASection) {
    CKifuControl rec;
    CKifu& k = rec.kifu;
    const std::vector<KifuNode*> m = Moves(k, k.Root(), 1, 15, {4, 10});
    Moves(k, m[9]->alt, 10, 12, {}, "１一香(19)");  // empty end: 13
    const std::vector<KifuNode*> v = Moves(k, m[3]->alt, 4, 14, {13}, "９九馬(11)");
    Moves(k, v[9]->alt, 13, 14, {}, "８八角(77)");
    EXPECT_EQ(Lines(rec.KifText("a"), true), (std::vector<std::string>{"変化：10手", "変化：4手", "変化：13手"}));
    ExpectRoundTrip(rec);
}

// Generated records with every kind of entry, nested variations, comments on
// every kind of entry and header fields read back into the same tree, and
// write the same bytes.
TEST_F(KifFiles, RoundTripOfGeneratedRecords) {
    const struct {
        test::GenOptions o;
        int seeds;
    } shapes[] = {
        {{20, 6, 3, 20, 30, 50, 15, true}, 60},  // short games, many variations
        {{80, 10, 2, 6, 20, 50, 10, true}, 30},
        {{400, 12, 2, 1, 10, 100, 10, true}, 10},  // long games
        {{50, 6, 2, 8, 0, 30, 20, false}, 10},     // no header, no comments
        {{30, 10, 6, 30, 10, 20, 10, true}, 10},   // deep nesting
    };
    int files = 0;
    for (const auto& s : shapes)
        for (int seed = 1; seed <= s.seeds; ++seed) {
            SCOPED_TRACE(std::to_string(s.o.mainLength) + " seed " + std::to_string(seed));
            test::RecordGen gen(seed * 7919u + s.o.mainLength);
            CKifuControl rec;
            gen.Generate(rec.kifu, s.o);
            if (rec.KifText("a.kif").size() > KIF_MAX_BYTES)
                continue;
            ExpectRoundTrip(rec);
            if (HasFatalFailure())
                return;
            ++files;
        }
    EXPECT_GE(files, 100);
}

TEST_F(KifFiles, SaveAndLoadThroughTheFileSystem) {
    const fs::path dir = fs::temp_directory_path() / ("ravu_record_save_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    CKifuControl rec;
    test::RecordGen(99).Generate(rec.kifu, test::GenOptions{});
    const std::string path = (dir / "game.kif").string();
    std::ofstream(path, std::ios::binary) << "old contents that are longer than nothing";
    ASSERT_TRUE(rec.SaveKif(path));
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(bytes.str(), rec.KifText(path));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // no temporary left
    CKifuControl back;
    ASSERT_TRUE(back.LoadKif(path));
    EXPECT_EQ(back.kifu.header.title, "game.kif");
    ExpectSameRecord(rec.kifu, back.kifu);
    EXPECT_FALSE(rec.SaveKif((dir / "missing" / "x.kif").string()));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_FALSE(rec.SaveKif(dir.string()));  // a directory is not replaced
    EXPECT_TRUE(fs::is_directory(dir));

    // Files over 65536 bytes, from disk or memory, and missing files leave the record.
    std::string big = File({"   1 ２六歩(27)"});
    big.resize(KIF_MAX_BYTES + 1, ' ');
    std::ofstream(dir / "big.kif", std::ios::binary) << big;
    std::ofstream(dir / "max.kif", std::ios::binary) << big.substr(0, KIF_MAX_BYTES);
    rec.ClearRecord();
    rec.RecordMoveText("   1 ７六歩(77) ");
    EXPECT_FALSE(rec.LoadKifFromBuffer(big, "big"));
    EXPECT_FALSE(rec.LoadKif((dir / "big.kif").string()));
    EXPECT_FALSE(rec.LoadKif((dir / "none.kif").string()));
    EXPECT_EQ(rec.kifu.Root()->move->toFile, 7);
    EXPECT_TRUE(rec.LoadKif((dir / "max.kif").string()));  // exactly the limit is read
    EXPECT_EQ(rec.kifu.header.title, "max.kif");
    EXPECT_EQ(rec.kifu.Root()->move->toFile, 2);
    fs::remove_all(dir);
}

TEST_F(KifFiles, ReaderLineRules) {
    const struct {
        const char* what;
        std::string file;
        int mainLength;
    } rows[] = {
        {"last line without CR LF is lost", File({"   1 ７六歩(77)"}) + "   2 ３四歩(33)", 1},
        {"LF alone ends a line", File({"   1 ７六歩(77)", "   2 ３四歩(33)"}, "\n"), 2},
        {"byte after CR is skipped", "   1 ７六歩(77)\rX   2 ３四歩(33)\r\n", 2},
        {"numbering again from 1 stops the reading",
         File({"   1 ７六歩(77)", "   2 ３四歩(33)", "   1 ２六歩(27)", "   3 ２六歩(27)", "先手：late"}), 2},
        {"a gap is accepted", File({"   1 ７六歩(77)", "   5 ３四歩(33)", "   7 ２六歩(27)"}), 3},
        {"number 0 and negative lines are ignored", File({"   0 ７六歩(77)", "  -1 ３四歩(33)", "   1 ２六歩(27)"}), 1},
        {"まで line and unknown lines are passed over",
         File({"   1 ７六歩(77)", "まで1手で先手の勝ち", "garbage", "#   2 x", "   2 ３四歩(33)"}), 2},
        {"numbers of four digits begin without a blank", File({"   1 ７六歩(77)", "1000 ３四歩(33)"}), 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CKifuControl rec;
        ASSERT_TRUE(rec.LoadKifFromBuffer(r.file, "t"));
        EXPECT_EQ(MainLength(rec.kifu), r.mainLength);
        EXPECT_EQ(rec.kifu.current, rec.kifu.Root());
        EXPECT_EQ(rec.kifu.line.size(), std::size_t(r.mainLength) + 1);
        EXPECT_EQ(rec.kifu.lineIsVariation, 0);
        EXPECT_EQ(rec.kifu.header.senteName, "");  // the rest of the file after a stop is ignored
        if (r.mainLength == 3) {
            EXPECT_EQ(std::tie(rec.kifu.Root()->next->move->number, rec.kifu.Root()->next->move->side), std::tuple(5, 0));
        }
    }
}

TEST_F(KifFiles, ReaderHeaderLines) {
    const struct {
        std::string line;
        int result, hasStart;
    } rows[] = {
        {"開始日時：2003/05/01(木) 13:05:09", 1, 1}, {"開始日時：1899/05/01(木) 13:05:09", 0, 0},
        {"開始日時：2003/13/01(木) 13:05:09", 0, 0}, {"開始日時：2003/05/32(木) 13:05:09", 0, 0},
        {"開始日時：1969/12/31(水) 23:59:59", 0, 0},  // before 1970: not stored
        {"開始日時：2003/05/01", 1, 1},               // no time of day: midnight
        {"開始日時：" + std::string(40, '9'), 0, 0}, {"開始日時", 0, 0},
        {"開始", 0, 1},  // shorter than 6 bytes: nothing is touched
    };
    for (const auto& r : rows) {
        KifuHeader h;
        h.hasStartTime = 1;
        EXPECT_EQ(ParseHeaderLine(h, r.line), r.result) << r.line;
        EXPECT_EQ(h.hasStartTime, r.hasStart) << r.line;
    }
    KifuHeader h;  // times that pass are read back by the round trips
    // Names and handicap; pairs that straddle two keys select by their first character's key.
    const struct {
        const char* line;
        std::string KifuHeader::*field;
        const char* value;
    } fields[] = {{"先手：", &KifuHeader::senteName, ""}, {"後手：名人", &KifuHeader::goteName, "名人"},
                  {"手合割：香落ち", &KifuHeader::handicap, "香落ち"}, {"合先xxyyzz", &KifuHeader::handicap, "zz"},
                  {"手後：abc", &KifuHeader::senteName, "abc"}, {"手合割", &KifuHeader::handicap, ""}};
    for (const auto& f : fields) {
        h.*f.field = "old";
        EXPECT_EQ(ParseHeaderLine(h, f.line), 1) << f.line;
        EXPECT_EQ(h.*f.field, f.value) << f.line;
    }
    for (const char* line : {"手合", "棋戦：竜王戦", "\x8a\x4a\x8e\x6e"})
        EXPECT_EQ(ParseHeaderLine(h, line), 0) << line;

    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);  // daylight saving is decided by the system
    tzset();
    ASSERT_EQ(ParseHeaderLine(h, "開始日時：2003/07/01(火) 12:00:00"), 1);
    EXPECT_EQ(h.startTime, 1057075200);  // 16:00 UTC: summer time, UTC-4
    EXPECT_EQ(FormatKifDate(h.startTime), "2003/07/01(火) 12:00:00");
    ASSERT_EQ(ParseHeaderLine(h, "開始日時：2003/01/01(水) 12:00:00"), 1);
    EXPECT_EQ(h.startTime, 1041440400);  // 17:00 UTC: UTC-5
}

TEST_F(KifFiles, ReaderCommentsAndVariationSections) {
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(File({
        "*before the first move", "   1 ７六歩(77)   ( 0:00/00:00:00)", "*one",
        "   2 ３四歩(33)   ( 0:00/00:00:00)+", "   3 ２六歩(27)   ( 0:00/00:00:00)+", "",
        "変化：9手", "   9 ２六歩(27)", "*dropped with its section",
        "変化：3手", "*before the section's first move: not kept", "   3 ２五歩(26)", "*kept", "   4 同　歩(23)",
        "変化：3手", "   3 ７八金(69)",  // repeats a number already filled
    }), "t"));
    CKifu& k = rec.kifu;
    EXPECT_EQ(k.header.headerComment, "*before the first move\r\n");
    KifuNode *m1 = k.Root(), *m2 = m1->next, *m3 = m2->next;
    EXPECT_EQ(m1->move->comment, "one\r\n");
    ASSERT_NE(m3->alt, nullptr);
    EXPECT_EQ(m3->alt->move->comment, "kept\r\n");
    EXPECT_EQ(std::tie(m3->alt->next->move->toFile, m3->alt->next->move->toRank), std::tuple(2, 5));
    EXPECT_EQ(m3->alt->next->next->filled, 0);
    EXPECT_EQ(m3->alt->alt, nullptr);
    // The alternative to move 2 never got a section: it stays pending, keeps
    // its "+" and is written as an empty section.
    ASSERT_NE(m2->alt, nullptr);
    EXPECT_EQ(m2->alt->filled, 0);
    EXPECT_EQ(FormatMove(*m2, FMT_LIST), "   2 ３四歩(33) +");
    const std::string out = rec.KifText("t");
    EXPECT_NE(out.find("変化：2手\r\n\r\n"), std::string::npos);
    EXPECT_EQ(Lines(out, true), (std::vector<std::string>{"変化：3手", "変化：2手"}));
}

// Fills a file up to the 65536-byte limit with a repeated unit.
std::string Fill(const std::string& head, const std::string& unit) {
    std::string s = head;
    while (s.size() + unit.size() <= KIF_MAX_BYTES)
        s += unit;
    return s;
}

int ChainLength(const KifuNode* first) {
    int n = 0;
    for (; first; first = first->alt)
        ++n;
    return n;
}

// Deepest nesting of variations below the entry's line.
int Depth(const KifuNode* first) {
    int deepest = 0;
    for (const KifuNode* e = first; e; e = e->next)
        for (const KifuNode* a = e->alt; a; a = a->alt)
            deepest = std::max(deepest, 1 + Depth(a->next));
    return deepest;
}

TEST_F(KifFiles, HostileFilesLoadAndWriteBack) {
    const std::string nines(40, '9');
    const struct {
        const char* what;
        std::string file;
        int mainLength, chain, depth;
    } rows[] = {
        {"a chain of thousands of alternatives to move 1",
         Fill("   1 ７六歩(77)+\r\n", "変化：1手\r\n   1 ７六歩(77)+\r\n"), 1,
         2 + int(KIF_MAX_BYTES - 18) / 29, 1},  // the root, every section, one left pending
        {"variations nested a thousand deep",
         Fill("   1 ７六歩(77)+\r\n", "変化：1手\r\n   1 ７六歩(77)\r\n   1 同　歩(77)+\r\n"), 1, 2,
         1 + int(KIF_MAX_BYTES - 18) / 46},  // each section one level deeper
        {"sections that match nothing", Fill("   1 ７六歩(77)+\r\n", "変化：5000手\r\n"), 1, 2, 1},
        {"a \"+\" on every line", Fill("   1 ７六歩(77)\r\n", " 1+\r\n"), 1, 1, 0},
        {"only 変化 lines", Fill("", "変化：1手\r\n"), 0, 1, 0},
        {"a variation line of pending alternatives", Fill("   1 ７六歩(77)+\r\n変化：1手\r\n", "   1+\r\n"), 1, 3, 2},
        {"binary garbage", Fill("", std::string("\x00\x81\r\xff\n\x82+(\x9f", 9)), 0, 1, 0},
        {"a character cut in half at the end", "   1 ７六歩(77)\r\n   2 ３四歩(33)\x82", 1, 1, 0},
        {"forty-digit numbers and unclosed brackets",
         "   1 ７六歩(77)   (" + nines + ":" + nines + "/00:00:00)\r\n   2 ３四歩(33)   (((((((((( 1:05\r\n"
         "変化：" + nines + "手\r\n", 2, 1, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CKifuControl rec;
        // A file that yields no header, move or comment is not taken at all.
        const bool readable = r.mainLength > 0;
        ASSERT_EQ(rec.LoadKifFromBuffer(r.file, "h"), readable);
        if (!readable)
            continue;
        test::FakeTree tree;
        rec.BuildTree(&tree);
        EXPECT_EQ(MainLength(rec.kifu), r.mainLength);
        EXPECT_EQ(ChainLength(rec.kifu.Root()), r.chain);
        EXPECT_EQ(Depth(rec.kifu.Root()), r.depth);
        CKifuControl back;
        ASSERT_TRUE(back.LoadKifFromBuffer(rec.KifText("h").substr(0, KIF_MAX_BYTES), "h"));
    }
}

// Line breaks in header texts or the path cannot inject lines into the file.
TEST_F(KifFiles, LineBreaksInHeaderTextsCannotInjectLines) {
    CKifuControl rec;
    rec.kifu.header.senteName = "a\r\n   1 ７六歩(77)";
    CKifuControl back;
    ASSERT_TRUE(back.LoadKifFromBuffer(rec.KifText("dir/x\n   1 ７六歩(77)\r\n.kif"), "x"));
    EXPECT_EQ(back.kifu.Root()->filled, 0);
    EXPECT_EQ(back.kifu.header.senteName, "a     1 ７六歩(77)");
}

}  // namespace
}  // namespace ravu
