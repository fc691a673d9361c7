// The settings file: bytes on disk, defaults, round trips, hostile content
// and the atomic replacement of the old file.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "app/atomic_file.h"
#include "app/settings.h"

namespace fs = std::filesystem;
using namespace ravu;

namespace {

// Every field of a profile on one line, for whole-profile comparisons.
std::string Dump(const CProfile& p) {
    const ChatLogRect& r = p.GetChatLogRect();
    const ProfileSettings& s = p.Settings();
    std::ostringstream out;
    out << s.handleName << '|' << s.opponentName << '|' << s.host << '|' << s.port << '|' << s.windowX << '|'
        << s.windowY << '|' << s.pieceSound << '|' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom;
    return out.str();
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("ravu_settings_" + std::to_string(std::random_device{}()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "ravuone.ini").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    void Write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string Read() {
        std::stringstream ss;
        ss << std::ifstream(path, std::ios::binary).rdbuf();
        return ss.str();
    }
    CProfile Load(const std::string& bytes) {
        Write(bytes);
        CProfile p;
        EXPECT_TRUE(p.LoadProfile(path));
        return p;
    }
    CProfile SaveAndReload(const CProfile& p) {
        EXPECT_TRUE(p.SaveProfile(path));
        CProfile q;
        q.SetPort(1);
        EXPECT_TRUE(q.LoadProfile(path));
        return q;
    }
    fs::path dir;
    std::string path;
};

// The file a first run writes: both sections, the eleven keys in order,
// Shift-JIS names, CR LF line ends.
const std::string DEFAULT_FILE =
    "[プロパティ]\r\nハンドル名=\r\n対局者名=\r\n接続先=\r\nポート番号=9149\r\n表示位置Ｘ=0\r\n表示位置Ｙ=0\r\n"
    "駒音=0\r\n[チャットログ]\r\nleft=3\r\ntop=22\r\nright=571\r\nbottom=199\r\n";

TEST_F(SettingsFile, FirstRunReadsTheDefaultsAndWritesThemAsShiftJisWithCrLf) {
    CProfile p;
    p.SetHandleName("stale");
    EXPECT_TRUE(p.LoadProfile(path));
    EXPECT_EQ(Dump(p), "|||9149|0|0|0|3,22,571,199");
    EXPECT_FALSE(fs::exists(path));  // reading never creates the file
    ASSERT_TRUE(p.SaveProfile(path));
    const std::string bytes = Read();
    EXPECT_EQ(bytes, DEFAULT_FILE);
    // Independent of how this test's literals are compiled: code page 932 on disk.
    EXPECT_EQ(bytes.substr(0, 12), "[\x83\x76\x83\x8d\x83\x70\x83\x65\x83\x42]");
    EXPECT_NE(bytes.find("\x8b\xee\x89\xb9=0\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(SettingsFile, EveryFieldSurvivesARoundTrip) {
    CProfile p;
    p.SetHandleName("将棋太郎");
    p.SetOpponentName("ゾーン=]の人");
    p.SetHost("shogi.example.jp");
    p.SetPort(10001);
    p.WindowX() = -1200;
    p.WindowY() = INT_MAX;
    p.SetSound(7);  // stored unchanged, not squashed to 1
    p.GetChatLogRect() = ChatLogRect{-5, 40, 900, 1000};
    EXPECT_EQ(Dump(SaveAndReload(p)), Dump(p));
    // Line breaks in values cannot inject keys.
    p.SetHost("evil\r\n[プロパティ]\r\nポート番号=1");
    p.SetHandleName(std::string("a\nb\0c", 5));
    const CProfile q = SaveAndReload(p);
    EXPECT_EQ(q.GetPort(), 10001);
    EXPECT_EQ(q.GetHost(), "evil  [プロパティ]  ポート番号=1");
    EXPECT_EQ(q.GetHandleName(), "a b c");
}

TEST_F(SettingsFile, ReadsLfFilesBlanksAndAnyCaseAndTheFirstOfDuplicates) {
    CProfile p = Load(
        "; written by hand\n  [ プロパティ ]  \nハンドル名 =  名人  \nハンドル名=second\n駒音=1\n"
        "[チャットログ]\nLEFT=10\nTop=20\r\n[プロパティ]\nポート番号=1\n");
    // Absent keys keep their defaults; only the first section of a name counts.
    EXPECT_EQ(Dump(p), "名人|||9149|0|0|1|10,20,571,199");
}

// Integers: a value that is not plain decimal text or does not fit in 32 bits
// gives the key's default; a port outside 1..65535 gives 9149.
TEST_F(SettingsFile, HostileIntegersFallBackToTheirDefaults) {
    struct Case {
        const char* text;
        int32_t port, windowX;
    } cases[] = {
        {"1234", 1234, 1234}, {"+77", 77, 77}, {"  65535  ", 65535, 65535}, {"65536", 9149, 65536},
        {"0", 9149, 0}, {"-1", 9149, -1}, {"2147483647", 9149, INT_MAX}, {"2147483648", 9149, 0},
        {"-2147483648", 9149, INT_MIN}, {"-2147483649", 9149, 0}, {"99999999999999999999999999", 9149, 0},
        {"12abc", 9149, 0}, {"0x10", 9149, 0}, {"abc", 9149, 0}, {"", 9149, 0}, {"--5", 9149, 0},
        {"1 2", 9149, 0}, {"３", 9149, 0},  // full-width digit
    };
    for (const Case& c : cases) {
        CProfile p = Load(std::string("[プロパティ]\r\nポート番号=") + c.text + "\r\n表示位置Ｘ=" + c.text + "\r\n");
        EXPECT_EQ(p.GetPort(), c.port) << c.text;
        EXPECT_EQ(p.WindowX(), c.windowX) << c.text;
    }
}

TEST_F(SettingsFile, LongValuesAreCutAtACharacterBoundary) {
    std::string kana;
    for (int i = 0; i < 600; ++i) kana += "あ";  // two bytes each
    CProfile p = Load("[プロパティ]\r\nハンドル名=" + kana + "\r\n接続先=" + std::string(100000, 'x') + "\r\n");
    EXPECT_EQ(p.GetHandleName(), kana.substr(0, 254));  // 127 whole characters, not 255 bytes
    EXPECT_EQ(p.GetHost(), std::string(PROFILE_MAX_STRING, 'x'));
    p.SetHandleName("x" + kana);  // what the program sets is cut the same way when written
    EXPECT_EQ(SaveAndReload(p).GetHandleName(), "x" + kana.substr(0, 254));
}

TEST_F(SettingsFile, GarbageFilesNeverBreakLoading) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131 + 7) & 0xFF);
    static const char nul[] = "[プロパティ]\0\r\n駒音\0=1\r\n";
    const std::string cases[] = {
        binary,
        std::string(nul, sizeof nul - 1),
        "[プロパティ]\r\nハンドル名\r\n駒音 1\r\n",  // no equals
        "[プロパティ\r\n駒音=1\r\n",                 // unclosed section
        "[プロパティ]\r\n=5\r\n",
        "[プロパティ]\r\nハンドル名=\x82\r\n",       // lone lead byte
        "[プロパティ]\r駒音=1\r",                    // only CR
        "[プロパティ]\r\n" + std::string(1 << 20, '=') + "\r\n駒音=1\r\n",
    };
    for (const std::string& bytes : cases) {
        CProfile p = Load(bytes);
        EXPECT_EQ(p.GetPort(), 9149);
        EXPECT_FALSE(p.IsSoundOn());
        EXPECT_LE(p.GetHandleName().size(), PROFILE_MAX_STRING);
    }
    // Only the first megabyte is read.
    CProfile p = Load("[プロパティ]\r\nポート番号=4000\r\n;" + std::string(PROFILE_MAX_FILE_BYTES, 'z') + "\r\n駒音=1\r\n");
    EXPECT_EQ(p.GetPort(), 4000);
    EXPECT_FALSE(p.IsSoundOn());
}

// Random files made of the file's own tokens: whatever was read is read
// again, unchanged, from the file the program writes back.
TEST_F(SettingsFile, WhatIsLoadedSurvivesSavingAndLoadingAgain) {
    const std::string tokens[] = {"[プロパティ]", "[チャットログ]", "ハンドル名", "接続先", "ポート番号", "駒音",
                                  "left", "bottom", "=", "\r\n", "\n", " ", "-", "12", "99999999999", "あ",
                                  "\x83", "]", "\r", std::string(1, '\0')};
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = rng() % 40; i > 0; --i) text += tokens[rng() % std::size(tokens)];
        const CProfile first = Load(text);
        ASSERT_EQ(Dump(SaveAndReload(first)), Dump(first)) << ::testing::PrintToString(text);
    }
}

TEST_F(SettingsFile, SavingKeepsWhatElseTheFileHoldsAndItsOrder) {
    Write("[Other]\r\nkeep=me\r\n[チャットログ]\r\nbottom=1\r\nextra=2\r\n[プロパティ]\r\n駒音=0\r\n");
    CProfile p;
    p.LoadProfile(path);
    p.SetSound(1);
    ASSERT_TRUE(p.SaveProfile(path));
    EXPECT_EQ(Read(),
              "[Other]\r\nkeep=me\r\n[チャットログ]\r\nbottom=1\r\nextra=2\r\nleft=3\r\ntop=22\r\nright=571\r\n"
              "[プロパティ]\r\n駒音=1\r\nハンドル名=\r\n対局者名=\r\n接続先=\r\nポート番号=9149\r\n"
              "表示位置Ｘ=0\r\n表示位置Ｙ=0\r\n");
}

TEST_F(SettingsFile, FailedWritesLeaveTheOldFileWholeAndSayWhy) {
    Write(DEFAULT_FILE);
    fs::create_directory(path + ".tmp");  // the temporary file cannot be created
    CProfile p;
    p.LoadProfile(path);
    p.SetHandleName("new");
    std::string error;
    EXPECT_FALSE(p.SaveProfile(path, &error));
    EXPECT_NE(error.find(".tmp"), std::string::npos) << error;
    EXPECT_EQ(Read(), DEFAULT_FILE);
    // The target is a directory: the temporary file is written, cannot
    // replace it, and is removed.
    const std::string target = (dir / "target").string();
    fs::create_directory(target);
    error.clear();
    EXPECT_FALSE(WriteFileAtomic(target, "data", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_FALSE(fs::exists(target + ".tmp"));
    error.clear();
    EXPECT_FALSE(p.SaveProfile((dir / "no" / "such.ini").string(), &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
