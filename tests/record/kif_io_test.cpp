// KIF files: the writer's layout and section order, the reader's rules, and
// round trips of generated records through SaveKif and LoadKif.
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
#include "record/kifu.h"
#include "record_compare.h"
#include "record_gen.h"
#include "fake_views.h"

namespace ravu {
namespace {

using test::ExpectSameRecord;
using test::Fields;
using test::GenOptions;
using test::RecordGen;

// Local time is fixed for every test here; Japan has no daylight saving.
struct KifFiles : ::testing::Test {
    void SetUp() override {
        setenv("TZ", "JST-9", 1);
        tzset();
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t i; (i = text.find("\r\n", start)) != std::string::npos; start = i + 2)
        out.push_back(text.substr(start, i - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return out;
}

std::vector<std::string> SectionHeads(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& l : Lines(text))
        if (l.rfind("変化", 0) == 0)
            out.push_back(l);
    return out;
}

// Builds a record from move lines; "|" in the text starts the next line.
KifuNode* Line(CKifu& k, KifuNode* at, std::initializer_list<const char*> texts) {
    KifuNode* first = nullptr;
    for (const char* t : texts) {
        at = k.AddMoveLine(at, t);
        if (!first)
            first = at;
    }
    return first;
}

TEST_F(KifFiles, WriterLayoutOfTheDocumentedExample) {
    CKifuControl rec;
    KifuNode* m1 = Line(rec.kifu, rec.kifu.Root(), {"   1 ７六歩(77)", "   2 ３四歩(33)+", "   3 ２六歩(27)"});
    rec.kifu.AddNodeComment(m1, "nice");
    rec.kifu.AddMoveLine(m1->next->alt, "   2 ８四歩(83)");
    const std::string want =
        "# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----\r\n"
        "# ファイル名：C:\\kifu\\a.kif\r\n"
        "手合割：\r\n"
        "先手：\r\n"
        "後手：\r\n"
        "手数----指手---------消費時間--\r\n"
        "   1 ７六歩(77)   ( 0:00/00:00:00)\r\n"
        "*nice\r\n"
        "   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
        "   3 ２六歩(27)   ( 0:00/00:00:00)\r\n"
        "\r\n"
        "変化：2手\r\n"
        "   2 ８四歩(83)   ( 0:00/00:00:00)\r\n"
        "\r\n";
    EXPECT_EQ(rec.KifText("C:\\kifu\\a.kif"), want);
    EXPECT_EQ(std::string("\x82\x56\x98\x5a\x95\xe0"), "７六歩");  // literals are Shift-JIS
}

TEST_F(KifFiles, HeaderLinesTimesCommentsAndEndLines) {
    CKifuControl rec;
    CKifu& k = rec.kifu;
    std::tm tm{};
    tm.tm_year = 103;
    tm.tm_mon = 4;
    tm.tm_mday = 1;
    tm.tm_hour = 13;
    tm.tm_min = 5;
    tm.tm_sec = 9;
    tm.tm_isdst = -1;
    k.header.startTime = std::mktime(&tm);
    k.header.hasStartTime = 1;
    k.header.endTime = k.header.startTime + 86400 * 3 + 3600;
    k.header.hasEndTime = 1;
    k.header.handicap = "平手";
    k.header.senteName = "羽生";
    k.header.goteName = "b";
    k.header.headerComment = "*序\r\n*2\r\n";
    KifuNode* e = k.Root();
    for (const char* t : {"   1 ７六歩(77)", "   2 ３四歩(33)", "   3 ２六歩(27)", "   4 ８四歩(83)",
                          "   5 ２五歩(26)", "   6 投了"})
        e = k.AddMoveLine(e, t);
    k.AddNodeComment(e->prev, "line one");
    k.AddNodeComment(e->prev, "line two");
    k.AddNodeComment(e, "after");
    const std::vector<std::string> lines = Lines(rec.KifText("a.kif"));
    const std::vector<std::string> want = {
        "# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----",
        "# ファイル名：a.kif",
        "開始日時：2003/05/01(木) 13:05:09",
        "終了日時：2003/05/04(日) 14:05:09",
        "手合割：平手",
        "先手：羽生",
        "後手：b",
        "手数----指手---------消費時間--",
        "*序",
        "*2",
        "   1 ７六歩(77)   ( 0:00/00:00:00)",
        "   2 ３四歩(33)   ( 0:00/00:00:00)",
        "   3 ２六歩(27)   ( 0:00/00:00:00)",
        "   4 ８四歩(83)   ( 0:00/00:00:00)",
        "   5 ２五歩(26)   ( 0:00/00:00:00)",
        "*line one",
        "*line two",
        "   6 投了",
        "*after",
        "",
    };
    EXPECT_EQ(lines, want);
}

TEST_F(KifFiles, WeekdayKanjiForEveryDay) {
    const char* days[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int d = 0; d < 7; ++d) {
        std::tm tm{};
        tm.tm_year = 124;
        tm.tm_mon = 8;
        tm.tm_mday = 1 + d;  // 2024-09-01 is a Sunday
        tm.tm_hour = 23;
        tm.tm_min = 59;
        tm.tm_sec = 59;
        tm.tm_isdst = -1;
        const std::string s = FormatKifDate(std::mktime(&tm));
        EXPECT_EQ(s.substr(10, 4), std::string("(") + days[d] + ")") << s;
        EXPECT_EQ(s.size(), 23u);
    }
}

TEST_F(KifFiles, EmptyRecordWritesHeaderAndOneEmptyLine) {
    CKifuControl rec;
    const std::vector<std::string> lines = Lines(rec.KifText("x"));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2], "手合割：");
    EXPECT_EQ(lines[5], "手数----指手---------消費時間--");
    EXPECT_EQ(lines[6], "");
}

TEST_F(KifFiles, SectionOrderOfSeveralBranchPoints) {
    CKifuControl rec;
    CKifu& k = rec.kifu;
    KifuNode* e = k.Root();
    KifuNode* m[13];
    const char* texts[] = {"７六歩(77)", "３四歩(33)", "２六歩(27)", "８四歩(83)", "２五歩(26)", "８五歩(84)",
                           "７八金(69)", "３二金(41)", "２四歩(25)", "同　歩(23)", "同　飛(28)", "２三歩打"};
    for (int i = 1; i <= 12; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%4d %s%s", i, texts[i - 1], i == 10 || i == 4 ? "+" : "");
        e = m[i] = k.AddMoveLine(e, line);
    }
    KifuNode* a1 = Line(k, m[10]->alt, {"  10 ２三歩(24)+", "  11 ３四歩(33)"});
    Line(k, a1->alt, {"  10 ７七角(88)"});
    KifuNode* c = Line(k, m[4]->alt, {"   4 ３二金(41)", "   5 ７八金(69)+"});
    Line(k, c->next->alt, {"   5 ２五歩(26)"});
    EXPECT_EQ(SectionHeads(rec.KifText("a")),
              (std::vector<std::string>{"変化：10手", "変化：10手", "変化：4手", "変化：5手"}));
}

TEST_F(KifFiles, NestedBranchesComeBeforeLaterSiblings) {
    CKifuControl rec;
    CKifu& k = rec.kifu;
    KifuNode* m1 = Line(k, k.Root(), {"   1 ７六歩(77)+", "   2 ３四歩(33)", "   3 ２六歩(27)+", "   4 ８四歩(83)",
                                      "   5 ２五歩(26)", "   6 ８五歩(84)+", "   7 ７八金(69)", "   8 ３二金(41)"});
    KifuNode* m3 = m1->next->next;
    KifuNode* m6 = m3->next->next->next;
    KifuNode* a = Line(k, m6->alt, {"   6 ３二金(41)+", "   7 ７八金(69)+", "   8 ８五歩(84)"});
    KifuNode* b = Line(k, a->next->alt, {"   7 ２四歩(25)", "   8 同　歩(23)+"});
    Line(k, b->next->alt, {"   8 ８五歩(84)"});
    Line(k, a->alt, {"   6 ５八玉(59)"});
    Line(k, m3->alt, {"   3 ６六歩(67)"});
    Line(k, m1->alt, {"   1 ２六歩(27)"});
    EXPECT_EQ(SectionHeads(rec.KifText("a")),
              (std::vector<std::string>{"変化：6手", "変化：7手", "変化：8手", "変化：6手", "変化：3手",
                                        "変化：1手"}));
    // Read back: every section lands where it came from.
    CKifuControl back;
    ASSERT_TRUE(back.LoadKifFromBuffer(rec.KifText("a"), "a"));
    ExpectSameRecord(rec.kifu, back.kifu);
    EXPECT_EQ(back.KifText("a"), rec.KifText("a"));
}

TEST_F(KifFiles, InsertAfterBreaksAndNextAlternative) {
    EXPECT_EQ(InsertAfterBreaks("a\r\nb\r\n", "*"), "a\r\n*b\r\n");
    EXPECT_EQ(InsertAfterBreaks("\r\n\r\n", "*"), "\r\n*\r\n");
    EXPECT_EQ(InsertAfterBreaks("a\nb\r", "*"), "a\nb\r");
    EXPECT_EQ(InsertAfterBreaks("", "*"), "");
    CKifu k;
    KifuNode* m1 = Line(k, k.Root(), {"   1 ７六歩(77)+", "   2 ３四歩(33)", "   3 ２六歩(27)"});
    EXPECT_EQ(NextAlternative(CKifu::EndOfLine(m1), m1), m1->alt);
    EXPECT_EQ(NextAlternative(CKifu::EndOfLine(m1), m1->next), nullptr);
    EXPECT_EQ(NextAlternative(nullptr, m1), nullptr);
}

// The reader.

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

TEST_F(KifFiles, ReaderKeepsTheRecordForTooLargeOrMissingFiles) {
    CKifuControl rec;
    rec.RecordMoveText("   1 ７六歩(77) ");
    std::string big = File({"   1 ２六歩(27)"});
    big.resize(KIF_MAX_BYTES + 1, ' ');
    EXPECT_FALSE(rec.LoadKifFromBuffer(big, "big"));
    EXPECT_EQ(rec.kifu.Root()->move->toFile, 7);
    EXPECT_FALSE(rec.LoadKif("/nonexistent/dir/x.kif"));
    EXPECT_EQ(rec.kifu.Root()->move->toFile, 7);
    const auto dir = std::filesystem::temp_directory_path() / ("ravu_record_limit_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        std::ofstream(dir / "big.kif", std::ios::binary) << big;
    }
    EXPECT_FALSE(rec.LoadKif((dir / "big.kif").string()));
    EXPECT_EQ(rec.kifu.Root()->move->toFile, 7);
    big.resize(KIF_MAX_BYTES);  // exactly the limit is read
    {
        std::ofstream(dir / "max.kif", std::ios::binary) << big;
    }
    EXPECT_TRUE(rec.LoadKif((dir / "max.kif").string()));
    EXPECT_EQ(rec.kifu.header.title, "max.kif");
    EXPECT_EQ(rec.kifu.Root()->move->toFile, 2);
    std::filesystem::remove_all(dir);
}

TEST_F(KifFiles, ReaderLineRules) {
    struct Row {
        const char* what;
        std::string file;
        int mainLength;
    } rows[] = {
        {"last line without CR LF is lost", File({"   1 ７六歩(77)"}) + "   2 ３四歩(33)", 1},
        {"LF alone ends a line", File({"   1 ７六歩(77)", "   2 ３四歩(33)"}, "\n"), 2},
        {"byte after CR is skipped", "   1 ７六歩(77)\rX   2 ３四歩(33)\r\n", 2},
        {"numbering again from 1 stops the reading",
         File({"   1 ７六歩(77)", "   2 ３四歩(33)", "   1 ２六歩(27)", "   3 ２六歩(27)"}), 2},
        {"a gap is accepted", File({"   1 ７六歩(77)", "   5 ３四歩(33)", "   7 ２六歩(27)"}), 3},
        {"number 0 and negative lines are ignored", File({"   0 ７六歩(77)", "  -1 ３四歩(33)", "   1 ２六歩(27)"}), 1},
        {"まで line and unknown lines are passed over",
         File({"   1 ７六歩(77)", "まで1手で先手の勝ち", "garbage", "#   2 x", "   2 ３四歩(33)"}), 2},
        {"numbers of four digits begin without a blank", File({"   1 ７六歩(77)", "1000 ３四歩(33)"}), 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        CKifuControl rec;
        ASSERT_TRUE(rec.LoadKifFromBuffer(r.file, "t"));
        EXPECT_EQ(MainLength(rec.kifu), r.mainLength);
        EXPECT_EQ(rec.kifu.current, rec.kifu.Root());
        EXPECT_EQ(rec.kifu.line.size(), std::size_t(r.mainLength) + 1);
        EXPECT_EQ(rec.kifu.lineIsVariation, 0);
    }
    CKifuControl rec;
    rec.LoadKifFromBuffer(File({"   1 ７六歩(77)", "   5 ３四歩(33)"}), "t");
    EXPECT_EQ(rec.kifu.Root()->next->move->number, 5);
    EXPECT_EQ(rec.kifu.Root()->next->move->side, 0);
    rec.LoadKifFromBuffer(File({"   1 ７六歩(77)", "   2 ３四歩(33)", "   1 ２六歩(27)", "先手：late"}), "t");
    EXPECT_EQ(rec.kifu.header.senteName, "");  // the rest of the file is ignored
}

TEST_F(KifFiles, ReaderHeaderLines) {
    struct Row {
        const char* line;
        int result;
        int hasStart;
    } rows[] = {
        {"開始日時：2003/05/01(木) 13:05:09", 1, 1},
        {"開始日時：1899/05/01(木) 13:05:09", 0, 0},
        {"開始日時：2003/13/01(木) 13:05:09", 0, 0},
        {"開始日時：2003/05/32(木) 13:05:09", 0, 0},
        {"開始日時：1969/12/31(水) 23:59:59", 0, 0},  // before 1970: not stored
        {"開始日時：2003/05/01", 1, 1},               // no time of day: midnight
        {"開始日時", 0, 0},
        {"開始", 0, 1},  // shorter than 6 bytes: nothing is touched
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        KifuHeader h;
        h.hasStartTime = 1;
        EXPECT_EQ(ParseHeaderLine(h, r.line), r.result);
        EXPECT_EQ(h.hasStartTime, r.hasStart);
    }
    KifuHeader h;
    ASSERT_EQ(ParseHeaderLine(h, "開始日時：2003/05/01(木) 13:05:09"), 1);
    EXPECT_EQ(FormatKifDate(h.startTime), "2003/05/01(木) 13:05:09");
    ASSERT_EQ(ParseHeaderLine(h, "終了日時：2010/01/02(土) 03:04:05"), 1);
    EXPECT_EQ(FormatKifDate(h.endTime), "2010/01/02(土) 03:04:05");
    EXPECT_EQ(h.hasEndTime, 1);
    EXPECT_EQ(ParseHeaderLine(h, "先手："), 1);
    EXPECT_EQ(h.senteName, "");
    EXPECT_EQ(ParseHeaderLine(h, "後手：名人"), 1);
    EXPECT_EQ(h.goteName, "名人");
    EXPECT_EQ(ParseHeaderLine(h, "手合割：香落ち"), 1);
    EXPECT_EQ(h.handicap, "香落ち");
    // Pairs that straddle two keys select by their first character's key.
    EXPECT_EQ(ParseHeaderLine(h, "合先xxyyzz"), 1);
    EXPECT_EQ(h.handicap, "zz");
    EXPECT_EQ(ParseHeaderLine(h, "手後：abc"), 1);
    EXPECT_EQ(h.senteName, "abc");
    EXPECT_EQ(ParseHeaderLine(h, "手合"), 0);       // shorter than 6 bytes
    EXPECT_EQ(ParseHeaderLine(h, "棋戦：竜王戦"), 0);
    EXPECT_EQ(ParseHeaderLine(h, "\x8a\x4a\x8e\x6e"), 0);
    EXPECT_EQ(ParseHeaderLine(h, "手合割"), 1);     // six bytes: the rest from byte 8 is empty
    EXPECT_EQ(h.handicap, "");
}

TEST_F(KifFiles, DaylightSavingIsDecidedByTheSystem) {
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
    KifuHeader h;
    ASSERT_EQ(ParseHeaderLine(h, "開始日時：2003/07/01(火) 12:00:00"), 1);
    EXPECT_EQ(h.startTime, 1057075200);  // 16:00 UTC: summer time, UTC-4
    EXPECT_EQ(FormatKifDate(h.startTime), "2003/07/01(火) 12:00:00");
    ASSERT_EQ(ParseHeaderLine(h, "開始日時：2003/01/01(水) 12:00:00"), 1);
    EXPECT_EQ(h.startTime, 1041440400);  // 17:00 UTC: UTC-5
}

TEST_F(KifFiles, ReaderCommentsAndVariationSections) {
    const std::string file = File({
        "*before the first move",
        "   1 ７六歩(77)   ( 0:00/00:00:00)",
        "*one",
        "   2 ３四歩(33)   ( 0:00/00:00:00)+",
        "   3 ２六歩(27)   ( 0:00/00:00:00)+",
        "",
        "変化：9手",
        "   9 ２六歩(27)",
        "*dropped with its section",
        "変化：3手",
        "*before the section's first move: not kept",
        "   3 ２五歩(26)",
        "*kept",
        "   4 同　歩(23)",
        "変化：3手",  // repeats a number already filled
        "   3 ７八金(69)",
    });
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(file, "t"));
    CKifu& k = rec.kifu;
    EXPECT_EQ(k.header.headerComment, "*before the first move\r\n");
    KifuNode* m1 = k.Root();
    EXPECT_EQ(m1->move->comment, "one\r\n");
    KifuNode* m2 = m1->next;
    KifuNode* m3 = m2->next;
    ASSERT_NE(m3->alt, nullptr);
    EXPECT_EQ(m3->alt->move->comment, "kept\r\n");
    EXPECT_EQ(m3->alt->next->move->toFile, 2);
    EXPECT_EQ(m3->alt->next->move->toRank, 5);
    EXPECT_EQ(m3->alt->next->next->filled, 0);
    EXPECT_EQ(m3->alt->alt, nullptr);
    // The alternative to move 2 never got a section: it stays pending.
    ASSERT_NE(m2->alt, nullptr);
    EXPECT_EQ(m2->alt->filled, 0);
    EXPECT_EQ(FormatMove(*m2, FMT_LIST), "   2 ３四歩(33) +");
    const std::string out = rec.KifText("t");
    EXPECT_NE(out.find("変化：2手\r\n\r\n"), std::string::npos);  // an empty section
    EXPECT_EQ(SectionHeads(out), (std::vector<std::string>{"変化：3手", "変化：2手"}));
}

// Written by the writer: a later main-line branch point (10) whose
// alternative line ends one move before a nested branch point (13) of an
// earlier variation (at 4).  The nested section must find its own entry.
TEST_F(KifFiles, EmptyEndOfAnEarlierVariationNeverTakesASection) {
    CKifuControl rec;
    CKifu& k = rec.kifu;
    KifuNode* e = k.Root();
    KifuNode* m4 = nullptr;
    KifuNode* m10 = nullptr;
    for (int i = 1; i <= 15; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%4d ５五歩(56)%s", i, i == 4 || i == 10 ? "+" : "");
        e = k.AddMoveLine(e, line);
        if (i == 4) m4 = e;
        if (i == 10) m10 = e;
    }
    Line(k, m10->alt, {"  10 １一香(19)", "  11 １二香(11)", "  12 １三香(12)"});  // empty end: 13
    KifuNode* c = m4->alt;
    KifuNode* at = c;
    for (int i = 4; i <= 14; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%4d ９九馬(11)%s", i, i == 13 ? "+" : "");
        at = k.AddMoveLine(at, line);
    }
    KifuNode* nested13 = CKifu::EndOfLine(c)->prev->prev;
    ASSERT_EQ(nested13->move->number, 13);
    ASSERT_NE(nested13->alt, nullptr);
    Line(k, nested13->alt, {"  13 ８八角(77)", "  14 ７七角(88)"});
    const std::string text = rec.KifText("left.kif");
    EXPECT_EQ(SectionHeads(text), (std::vector<std::string>{"変化：10手", "変化：4手", "変化：13手"}));
    CKifuControl back;
    ASSERT_TRUE(back.LoadKifFromBuffer(text, "left.kif"));
    ExpectSameRecord(rec.kifu, back.kifu);
    EXPECT_EQ(back.KifText("left.kif"), text);
}

// Records generated with every kind of entry, nested variations, comments
// and header fields read back into the same tree, and write the same bytes.
TEST_F(KifFiles, RoundTripOfGeneratedRecords) {
    struct Shape {
        const char* what;
        GenOptions o;
        int seeds;
    } shapes[] = {
        {"short games, many variations", {20, 6, 3, 20, 30, 50, 15, true}, 60},
        {"middle games", {80, 10, 2, 6, 20, 50, 10, true}, 30},
        {"long games", {400, 12, 2, 1, 10, 100, 10, true}, 10},
        {"no header, no comments", {50, 6, 2, 8, 0, 30, 20, false}, 10},
        {"deep nesting", {30, 10, 6, 30, 10, 20, 10, true}, 10},
    };
    int files = 0;
    for (const Shape& s : shapes)
        for (int seed = 1; seed <= s.seeds; ++seed) {
            SCOPED_TRACE(std::string(s.what) + " seed " + std::to_string(seed));
            RecordGen gen(seed * 7919u + s.o.mainLength);
            CKifuControl rec;
            gen.Generate(rec.kifu, s.o);
            const std::string text = rec.KifText("gen.kif");
            if (text.size() > KIF_MAX_BYTES)
                continue;
            CKifuControl back;
            ASSERT_TRUE(back.LoadKifFromBuffer(text, "gen.kif"));
            ExpectSameRecord(rec.kifu, back.kifu);
            if (HasFatalFailure())
                return;
            EXPECT_EQ(back.KifText("gen.kif"), text);
            EXPECT_EQ(back.kifu.header.title, "gen.kif");
            ++files;
        }
    EXPECT_GE(files, 100);
}

TEST_F(KifFiles, SaveAndLoadThroughTheFileSystem) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("ravu_record_save_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    RecordGen gen(99);
    CKifuControl rec;
    gen.Generate(rec.kifu, GenOptions{});
    const std::string path = (dir / "game.kif").string();
    {
        std::ofstream(path, std::ios::binary) << "old contents that are longer than nothing";
    }
    ASSERT_TRUE(rec.SaveKif(path));
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), rec.KifText(path));
    int entries = 0;
    for (auto& p : fs::directory_iterator(dir)) {
        (void)p;
        ++entries;
    }
    EXPECT_EQ(entries, 1);  // no temporary file left behind
    CKifuControl back;
    ASSERT_TRUE(back.LoadKif(path));
    EXPECT_EQ(back.kifu.header.title, "game.kif");
    ExpectSameRecord(rec.kifu, back.kifu);
    EXPECT_FALSE(rec.SaveKif((dir / "missing" / "x.kif").string()));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_FALSE(rec.SaveKif(dir.string()));  // a directory is not replaced
    EXPECT_TRUE(fs::is_directory(dir));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace ravu

namespace ravu {
namespace {

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
    struct Row {
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
        {"a variation line of pending alternatives",
         Fill("   1 ７六歩(77)+\r\n変化：1手\r\n", "   1+\r\n"), 1, 3, 2},
        {"binary garbage", Fill("", std::string("\x00\x81\r\xff\n\x82+(\x9f", 9)), 0, 1, 0},
        {"a character cut in half at the end", "   1 ７六歩(77)\r\n   2 ３四歩(33)\x82", 1, 1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        CKifuControl rec;
        ASSERT_TRUE(rec.LoadKifFromBuffer(r.file, "h"));
        test::FakeTree tree;
        rec.BuildTree(&tree);
        EXPECT_EQ(MainLength(rec.kifu), r.mainLength);
        EXPECT_EQ(ChainLength(rec.kifu.Root()), r.chain);
        EXPECT_EQ(Depth(rec.kifu.Root()), r.depth);
        const std::string text = rec.KifText("h");
        CKifuControl back;
        ASSERT_TRUE(back.LoadKifFromBuffer(text.substr(0, KIF_MAX_BYTES), "h"));
    }
}

TEST_F(KifFiles, FortyDigitNumbersAndUnclosedBrackets) {
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(
        "   1 ７六歩(77)   (" + std::string(40, '9') + ":" + std::string(40, '9') + "/00:00:00)\r\n"
        "   2 ３四歩(33)   (((((((((( 1:05\r\n"
        "変化：" + std::string(40, '9') + "手\r\n"
        "開始日時：" + std::string(40, '9') + "\r\n", "d"));
    EXPECT_EQ(rec.kifu.Root()->move->seconds, INT32_MAX);
    EXPECT_EQ(rec.kifu.Root()->next->move->seconds, 0);
    EXPECT_EQ(rec.kifu.header.hasStartTime, 0);
    EXPECT_EQ(MainLength(rec.kifu), 2);
}

}  // namespace
}  // namespace ravu

namespace ravu {
namespace {

TEST_F(KifFiles, LineBreaksInHeaderTextsCannotInjectLines) {
    CKifuControl rec;
    rec.kifu.header.senteName = "a\r\n   1 ７六歩(77)";
    const std::string text = rec.KifText("dir/x\n   1 ７六歩(77)\r\n.kif");
    CKifuControl back;
    ASSERT_TRUE(back.LoadKifFromBuffer(text, "x"));
    EXPECT_EQ(back.kifu.Root()->filled, 0);
    EXPECT_EQ(back.kifu.header.senteName, "a     1 ７六歩(77)");
}

}  // namespace
}  // namespace ravu
