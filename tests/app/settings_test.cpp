// The settings file: the bytes a first run writes, round trips, the reading
// rules and bounds, what else the file holds, and atomic replacement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "app/atomic_file.h"
#include "app/settings.h"
#include "app/skin_files.h"

namespace fs = std::filesystem;
using namespace ravu;

namespace {

// Every field of a profile on one line, for whole-profile comparisons.
std::string Dump(const CProfile& p) {
    const ChatLogRect& r = p.GetChatLogRect();
    const ProfileSettings& s = p.Settings();
    std::string out = s.handleName + '|' + s.opponentName + '|' + s.host;
    for (int32_t v : {s.port, s.windowX, s.windowY, s.pieceSound, r.left, r.top, r.right, r.bottom})
        out += '|' + std::to_string(v);
    return out;
}

struct SettingsFile : ::testing::Test {
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Read() {
        return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
    }
    CProfile Load(const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        CProfile p;
        p.SetPort(1);
        EXPECT_TRUE(p.LoadProfile(path));
        return p;
    }
    const fs::path dir = fs::temp_directory_path() / ("ravu_settings_" + std::to_string(getpid()));
    const std::string path = (dir / "ravuone.ini").string();
};

}  // namespace

// A first run reads the defaults and writes both sections, the eleven keys in
// order, Shift-JIS names, CR LF line ends; every field comes back as written,
// and line breaks in a value inject no keys.
TEST_F(SettingsFile, FirstRunAndRoundTrip) {
    CProfile p;
    p.SetHandleName("stale");
    EXPECT_TRUE(p.LoadProfile(path));
    EXPECT_EQ(Dump(p), "|||9149|0|0|0|3|22|571|199");
    ASSERT_TRUE(p.SaveProfile(path));
    EXPECT_EQ(Read(),
              "[プロパティ]\r\nハンドル名=\r\n対局者名=\r\n接続先=\r\nポート番号=9149\r\n表示位置Ｘ=0\r\n"
              "表示位置Ｙ=0\r\n駒音=0\r\n[チャットログ]\r\nleft=3\r\ntop=22\r\nright=571\r\nbottom=199\r\n");
    p.Settings() = {std::string("将棋\n太\0郎", 10),
                    "ゾーン=]",
                    "evil\r\n[プロパティ]\r\nポート番号=1",
                    65535,
                    -1200,
                    2147483647,
                    7};
    p.GetChatLogRect() = ChatLogRect{-5, 40, 900, 1000};
    ASSERT_TRUE(p.SaveProfile(path));
    EXPECT_EQ(Dump(Load(Read())),
              "将棋 太 郎|ゾーン=]|evil  [プロパティ]  ポート番号=1|65535|-1200|2147483647|7|-5|40|900|1000");
}

// Integers: plain decimal text that fits in 32 bits, else the key's default;
// a port outside 1..65535 gives 9149.  Strings are cut at 255 bytes on a
// character boundary, and lose the blanks the cut leaves at the end; only the
// first megabyte is read.  Keys and sections in
// any case, LF line ends, blanks around; the first of duplicates counts.
TEST_F(SettingsFile, ReadingRulesAndBounds) {
    // clang-format off
    const std::pair<std::string, std::string> ints[] = {
        {"+77", "77|77"}, {"65535", "65535|65535"}, {"65536", "9149|65536"}, {"0", "9149|0"}, {"-1", "9149|-1"},
        {"-2147483648", "9149|-2147483648"}, {"2147483648", "9149|0"}, {"12abc", "9149|0"}, {"", "9149|0"},
    };
    // clang-format on
    for (const auto& [text, read] : ints) {
        const CProfile p = Load("[プロパティ]\r\nポート番号=" + text + "\r\n表示位置Ｘ=" + text + "\r\n");
        EXPECT_EQ(std::to_string(p.GetPort()) + "|" + std::to_string(p.Settings().windowX), read) << text;
    }
    std::string kana;
    for (int i = 0; i < 600; ++i)
        kana += "あ";
    const CProfile p = Load("; by hand\n  [ プロパティ ]  \nハンドル名 =  " + kana +
                            "  \nハンドル名=second\n駒音=1\n接続先=" + std::string(254, 'x') +
                            " y\n[プロパティ]\nポート番号=1\n[チャットログ]\nLEFT=10\n;" +
                            std::string(PROFILE_MAX_FILE_BYTES, 'z') + "\ntop=7\n");
    EXPECT_EQ(Dump(p), kana.substr(0, 254) + "||" + std::string(254, 'x') + "|9149|0|0|1|10|22|571|199");
}

TEST_F(SettingsFile, SavingKeepsWhatElseTheFileHoldsAndFailsWithoutHarm) {
    CProfile p =
        Load("[Other]\r\nkeep=me\r\n[チャットログ]\r\nbottom=1\r\nextra=2\r\n[プロパティ]\r\n駒音=0\r\n");
    p.SetSound(1);
    ASSERT_TRUE(p.SaveProfile(path));
    const std::string saved = Read();
    EXPECT_EQ(
        saved,
        "[Other]\r\nkeep=me\r\n[チャットログ]\r\nbottom=1\r\nextra=2\r\nleft=3\r\ntop=22\r\nright=571\r\n"
        "[プロパティ]\r\n駒音=1\r\nハンドル名=\r\n対局者名=\r\n接続先=\r\nポート番号=9149\r\n表示位置Ｘ=0\r\n"
        "表示位置Ｙ=0\r\n");
    std::string error;
    fs::create_directory(path + ".tmp");  // the temporary file cannot be made
    EXPECT_FALSE(p.SaveProfile(path, &error));
    EXPECT_EQ(error.substr(0, 14) + Read(), "cannot create " + saved);
    fs::create_directory(dir / "target");  // written, but cannot replace a folder: removed again
    EXPECT_FALSE(WriteFileAtomic((dir / "target").string(), "data", &error));
    EXPECT_EQ(error.substr(0, 15) + std::to_string(fs::exists(dir / "target.tmp")), "cannot replace 0");
}

// Keys an older copy's file lacks: it loads (port forwarding on, the
// default engine, the locale's language) and saves unchanged.  The engine and
// language keys are written once set,
// the port forwarding key once turned off, and kept from then on.  An engine
// time outside 10 ms .. 1 hour reads as the default.
TEST_F(SettingsFile, NewerKeysAreWrittenOnlyOnceSet) {
    const std::string old =
        "[プロパティ]\r\nハンドル名=a\r\n対局者名=\r\n接続先=\r\nポート番号=9149\r\n表示位置Ｘ=0\r\n"
        "表示位置Ｙ=0\r\n駒音=0\r\n[チャットログ]\r\nleft=3\r\ntop=22\r\nright=571\r\nbottom=199\r\n";
    CProfile p = Load(old);
    EXPECT_EQ(p.GetEngineCommand(), DefaultEngineCommand());
    EXPECT_TRUE(p.IsPortMappingOn());
    EXPECT_EQ(p.GetLanguage(), "");
    ASSERT_TRUE(p.SaveProfile(path));
    EXPECT_EQ(Read(), old);
    p.SetLanguage(LANGUAGE_ENGLISH);
    p.SetEngineCommand("/opt/engine --usi");
    p.SetEngineTimeMs(250);
    p.SetPortMapping(0);
    ASSERT_TRUE(p.SaveProfile(path));
    p = Load(Read());
    EXPECT_EQ(p.GetEngineCommand() + "|" + std::to_string(p.GetEngineTimeMs()), "/opt/engine --usi|250");
    EXPECT_FALSE(p.IsPortMappingOn());
    EXPECT_EQ(p.GetLanguage(), "en");
    p.SetLanguage("");  // back to the locale's: the key stays, empty
    p.SetPortMapping(1);
    ASSERT_TRUE(p.SaveProfile(path));
    EXPECT_NE(Read().find("\r\nポート自動開放=1\r\n"), std::string::npos);
    EXPECT_NE(Read().find("\r\nLanguage=\r\n"), std::string::npos);
    EXPECT_TRUE(Load(Read()).IsPortMappingOn());
    for (const auto& [text, ms] :
         {std::pair{"9", 1000}, {"10", 10}, {"3600000", 3600000}, {"3600001", 1000}, {"", 1000}})
        EXPECT_EQ(Load("[プロパティ]\r\nEngineTimeMs=" + std::string(text) + "\r\n").GetEngineTimeMs(), ms)
            << text;
}

// The skins are looked up beside the program; the message names each missing
// file on a line of its own, in a fixed order.
TEST_F(SettingsFile, MissingSkinFilesAreNamedInOrder) {
    std::string message = "stale";
    EXPECT_FALSE(CheckSkinFilesIn(dir.string(), &message));
    EXPECT_EQ(message, "ファイルが見つかりません。\n\nBackBmp.bmp\nWaku.bmp\nKoma01.bmp\n");
    std::ofstream(dir / SKIN_BACKGROUND) << "x";
    std::ofstream(dir / SKIN_PIECES) << "x";
    EXPECT_FALSE(CheckSkinFilesIn(dir.string(), &message));
    EXPECT_EQ(message, "ファイルが見つかりません。\n\nWaku.bmp\n");
    std::ofstream(dir / SKIN_FRAME) << "x";
    EXPECT_TRUE(CheckSkinFilesIn(dir.string(), &message));
    EXPECT_EQ(message, "");
}
