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

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ravu_settings_" + std::to_string(std::random_device{}()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "ravuone.ini").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    void Write(const std::string& bytes) {
        std::ofstream f(path, std::ios::binary);
        f << bytes;
    }
    std::string Read() {
        std::ifstream f(path, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    CProfile Load(const std::string& bytes) {
        Write(bytes);
        CProfile p;
        EXPECT_TRUE(p.LoadProfile(path));
        return p;
    }
    fs::path dir;
    std::string path;
};

// The file a first run writes: both sections, the eleven keys in order,
// Shift-JIS names, CR LF line ends.
const std::string DEFAULT_FILE =
    "[プロパティ]\r\n"
    "ハンドル名=\r\n"
    "対局者名=\r\n"
    "接続先=\r\n"
    "ポート番号=9149\r\n"
    "表示位置Ｘ=0\r\n"
    "表示位置Ｙ=0\r\n"
    "駒音=0\r\n"
    "[チャットログ]\r\n"
    "left=3\r\n"
    "top=22\r\n"
    "right=571\r\n"
    "bottom=199\r\n";

TEST_F(SettingsFile, NoFileGivesTheDefaultsOfAFirstRun) {
    CProfile p;
    p.SetHandleName("stale");
    EXPECT_TRUE(p.LoadProfile(path));
    EXPECT_EQ(p.GetHandleName(), "");
    EXPECT_EQ(p.GetHost(), "");
    EXPECT_EQ(p.Settings().opponentName, "");
    EXPECT_EQ(p.GetPort(), 9149);
    EXPECT_EQ(p.WindowX(), 0);
    EXPECT_EQ(p.WindowY(), 0);
    EXPECT_FALSE(p.IsSoundOn());
    const ChatLogRect& r = p.GetChatLogRect();
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.top, 22);
    EXPECT_EQ(r.right, 571);
    EXPECT_EQ(r.bottom, 199);
    EXPECT_FALSE(fs::exists(path));  // reading never creates the file
}

TEST_F(SettingsFile, FirstSaveWritesElevenKeysInOrderAsShiftJisWithCrLf) {
    CProfile p;
    p.LoadProfile(path);
    ASSERT_TRUE(p.SaveProfile(path));
    const std::string bytes = Read();
    EXPECT_EQ(bytes, DEFAULT_FILE);
    // Independent of how this test's literals are compiled: the section name
    // and the piece-sound key are code page 932 on disk.
    EXPECT_EQ(bytes.substr(0, 12), "[\x83\x76\x83\x8d\x83\x70\x83\x65\x83\x42]");
    EXPECT_NE(bytes.find("\x8b\xee\x89\xb9=0\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_EQ(bytes[i - 1], '\r') << "bare LF at " << i;
        }
    }
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(SettingsFile, EveryFieldSurvivesARoundTrip) {
    CProfile p;
    p.LoadProfile(path);
    p.SetHandleName("将棋太郎");
    p.SetOpponentName("ゾーン=]の人");
    p.SetHost("shogi.example.jp");
    p.SetPort(10001);
    p.WindowX() = -1200;
    p.WindowY() = 2147483647;
    p.SetSound(7);
    p.GetChatLogRect() = ChatLogRect{-5, 40, 900, 1000};
    ASSERT_TRUE(p.SaveProfile(path));

    CProfile q;
    q.SetPort(1);
    ASSERT_TRUE(q.LoadProfile(path));
    EXPECT_EQ(q.GetHandleName(), "将棋太郎");
    EXPECT_EQ(q.Settings().opponentName, "ゾーン=]の人");
    EXPECT_EQ(q.GetHost(), "shogi.example.jp");
    EXPECT_EQ(q.GetPort(), 10001);
    EXPECT_EQ(q.WindowX(), -1200);
    EXPECT_EQ(q.WindowY(), 2147483647);
    EXPECT_EQ(q.GetSound(), 7);  // stored unchanged, not squashed to 1
    EXPECT_TRUE(q.IsSoundOn());
    EXPECT_EQ(q.GetChatLogRect().left, -5);
    EXPECT_EQ(q.GetChatLogRect().top, 40);
    EXPECT_EQ(q.GetChatLogRect().right, 900);
    EXPECT_EQ(q.GetChatLogRect().bottom, 1000);
}

TEST_F(SettingsFile, ReadsLfFilesBlanksAndAnyCaseAndTheFirstOfDuplicates) {
    CProfile p = Load(
        "; written by hand\n"
        "  [ プロパティ ]  \n"
        "ハンドル名 =  名人  \n"
        "ハンドル名=second\n"
        "駒音=1\n"
        "[チャットログ]\n"
        "LEFT=10\n"
        "Top=20\r\n"
        "[プロパティ]\n"
        "ポート番号=1\n");
    EXPECT_EQ(p.GetHandleName(), "名人");
    EXPECT_TRUE(p.IsSoundOn());
    EXPECT_EQ(p.GetChatLogRect().left, 10);
    EXPECT_EQ(p.GetChatLogRect().top, 20);
    EXPECT_EQ(p.GetChatLogRect().right, 571);  // absent key: its default
    EXPECT_EQ(p.GetPort(), 9149);  // only the first section of a name counts
}

// Integers from the file: a value that is not plain decimal text or does not
// fit in 32 bits gives the key's default; a port outside 1..65535 gives 9149.
TEST_F(SettingsFile, HostileIntegersFallBackToTheirDefaults) {
    struct Case {
        const char* text;
        int32_t port;     // read back from ポート番号
        int32_t windowX;  // read back from 表示位置Ｘ
    };
    const Case cases[] = {
        {"1234", 1234, 1234},
        {"+77", 77, 77},
        {"  65535  ", 65535, 65535},
        {"65536", 9149, 65536},
        {"0", 9149, 0},
        {"-1", 9149, -1},
        {"2147483647", 9149, 2147483647},
        {"2147483648", 9149, 0},
        {"-2147483648", 9149, INT_MIN},
        {"-2147483649", 9149, 0},
        {"99999999999999999999999999", 9149, 0},
        {"12abc", 9149, 0},
        {"0x10", 9149, 0},
        {"abc", 9149, 0},
        {"", 9149, 0},
        {"--5", 9149, 0},
        {"1 2", 9149, 0},
        {"３", 9149, 0},  // full-width digit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CProfile p = Load(std::string("[プロパティ]\r\nポート番号=") + c.text + "\r\n表示位置Ｘ=" + c.text + "\r\n");
        EXPECT_EQ(p.GetPort(), c.port);
        EXPECT_EQ(p.WindowX(), c.windowX);
    }
}

TEST_F(SettingsFile, LongValuesAreCutAtACharacterBoundary) {
    std::string kana;
    for (int i = 0; i < 600; ++i) kana += "あ";  // two bytes each
    std::string ascii(100000, 'x');
    CProfile p = Load("[プロパティ]\r\nハンドル名=" + kana + "\r\n接続先=" + ascii + "\r\n");
    EXPECT_EQ(p.GetHandleName().size(), 254u);  // 127 whole characters, not 255 bytes
    EXPECT_EQ(p.GetHandleName().substr(0, 4), "ああ");
    EXPECT_EQ(p.GetHost(), std::string(PROFILE_MAX_STRING, 'x'));

    // What the program sets is cut the same way when it is written.
    p.SetHandleName("x" + kana);
    ASSERT_TRUE(p.SaveProfile(path));
    CProfile q;
    q.LoadProfile(path);
    EXPECT_EQ(q.GetHandleName().size(), 255u);
    EXPECT_EQ(q.GetHandleName().substr(0, 3), "xあ");
}

TEST_F(SettingsFile, GarbageFilesNeverBreakLoading) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131 + 7) & 0xFF);
    std::string megaLine = "[プロパティ]\r\n" + std::string(1 << 20, '=') + "\r\n駒音=1\r\n";
    static const char nul[] = "[プロパティ]\0\r\n駒音\0=1\r\n";
    const Case cases[] = {
        {"binary", binary},
        {"nul bytes", std::string(nul, sizeof nul - 1)},
        {"no equals", "[プロパティ]\r\nハンドル名\r\n駒音 1\r\n"},
        {"unclosed section", "[プロパティ\r\n駒音=1\r\n"},
        {"empty key", "[プロパティ]\r\n=5\r\n"},
        {"lone lead byte", "[プロパティ]\r\nハンドル名=\x82\r\n"},
        {"only CR", "[プロパティ]\r駒音=1\r"},
        {"one megabyte line", megaLine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CProfile p = Load(c.bytes);
        EXPECT_EQ(p.GetPort(), 9149);
        EXPECT_FALSE(p.IsSoundOn());
        EXPECT_LE(p.GetHandleName().size(), PROFILE_MAX_STRING);
    }
}

// Random files made of the file's own tokens: whatever was read is read
// again, unchanged, from the file the program writes back.
TEST_F(SettingsFile, WhatIsLoadedSurvivesSavingAndLoadingAgain) {
    const std::string tokens[] = {"[プロパティ]", "[チャットログ]", "ハンドル名", "接続先", "ポート番号", "駒音",
                                  "left", "bottom", "=", "\r\n", "\n", " ", "-", "12", "99999999999", "あ",
                                  "\x83", "]", "\r", std::string(1, '\0')};
    uint32_t seed = 99;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int count = int(seed % 40);
        for (int i = 0; i < count; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text += tokens[(seed >> 16) % (sizeof tokens / sizeof tokens[0])];
        }
        seed = seed * 1664525u + 1013904223u;
        CProfile first = Load(text);
        ASSERT_TRUE(first.SaveProfile(path));
        CProfile second;
        second.LoadProfile(path);
        SCOPED_TRACE(::testing::PrintToString(text));
        ASSERT_EQ(second.GetHandleName(), first.GetHandleName());
        ASSERT_EQ(second.GetHost(), first.GetHost());
        ASSERT_EQ(second.GetPort(), first.GetPort());
        ASSERT_EQ(second.GetSound(), first.GetSound());
        ASSERT_EQ(second.GetChatLogRect().left, first.GetChatLogRect().left);
        ASSERT_EQ(second.GetChatLogRect().bottom, first.GetChatLogRect().bottom);
    }
}

TEST_F(SettingsFile, OnlyTheFirstMegabyteIsRead) {
    std::string bytes = "[プロパティ]\r\nポート番号=4000\r\n;" + std::string(PROFILE_MAX_FILE_BYTES, 'z') +
                        "\r\n駒音=1\r\n";
    CProfile p = Load(bytes);
    EXPECT_EQ(p.GetPort(), 4000);
    EXPECT_FALSE(p.IsSoundOn());
}

TEST_F(SettingsFile, LineBreaksInValuesCannotInjectKeys) {
    CProfile p;
    p.LoadProfile(path);
    p.SetHost("evil\r\n[プロパティ]\r\nポート番号=1");
    p.SetHandleName(std::string("a\nb\0c", 5));
    ASSERT_TRUE(p.SaveProfile(path));
    CProfile q;
    q.LoadProfile(path);
    EXPECT_EQ(q.GetPort(), 9149);
    EXPECT_EQ(q.GetHost(), "evil  [プロパティ]  ポート番号=1");
    EXPECT_EQ(q.GetHandleName(), "a b c");
}

TEST_F(SettingsFile, SavingKeepsWhatElseTheFileHoldsAndItsOrder) {
    Write(
        "[Other]\r\n"
        "keep=me\r\n"
        "[チャットログ]\r\n"
        "bottom=1\r\n"
        "extra=2\r\n"
        "[プロパティ]\r\n"
        "駒音=0\r\n");
    CProfile p;
    p.LoadProfile(path);
    p.SetSound(1);
    ASSERT_TRUE(p.SaveProfile(path));
    EXPECT_EQ(Read(),
              "[Other]\r\n"
              "keep=me\r\n"
              "[チャットログ]\r\n"
              "bottom=1\r\n"
              "extra=2\r\n"
              "left=3\r\n"
              "top=22\r\n"
              "right=571\r\n"
              "[プロパティ]\r\n"
              "駒音=1\r\n"
              "ハンドル名=\r\n"
              "対局者名=\r\n"
              "接続先=\r\n"
              "ポート番号=9149\r\n"
              "表示位置Ｘ=0\r\n"
              "表示位置Ｙ=0\r\n");
}

TEST_F(SettingsFile, AFailedWriteLeavesTheOldFileWhole) {
    Write(DEFAULT_FILE);
    // The temporary file cannot be created: a directory is in its way.
    fs::create_directory(path + ".tmp");
    CProfile p;
    p.LoadProfile(path);
    p.SetHandleName("new");
    std::string error;
    EXPECT_FALSE(p.SaveProfile(path, &error));
    EXPECT_NE(error.find(".tmp"), std::string::npos) << error;
    EXPECT_EQ(Read(), DEFAULT_FILE);
}

TEST_F(SettingsFile, AFailedRenameRemovesTheTemporaryFile) {
    // The target is a directory: the temporary file is written but cannot
    // replace it.
    fs::create_directory(path);
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(path, "data", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(SettingsFile, AFailedSaveIntoAMissingDirectoryReportsIt) {
    CProfile p;
    std::string error;
    EXPECT_FALSE(p.SaveProfile((dir / "no" / "such.ini").string(), &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(SettingsFile, ReadFileHeadStopsAtTheLimit) {
    Write(std::string(200000, 'q'));
    std::string out;
    ASSERT_TRUE(ReadFileHead(path, 70000, &out));
    EXPECT_EQ(out.size(), 70000u);
    ASSERT_TRUE(ReadFileHead(path, 1 << 20, &out));
    EXPECT_EQ(out.size(), 200000u);
    EXPECT_FALSE(ReadFileHead((dir / "absent").string(), 10, &out));
    EXPECT_TRUE(out.empty());
}

}  // namespace
