// Record files at the program's edge: the encoding a file's bytes show, the
// one conversion to the record's Shift-JIS and back, and the characters
// Shift-JIS cannot hold, kept as references.  Narrow literals here are
// Shift-JIS (model text); u8 literals are UTF-8 (file bytes).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/record_file.h"
#include "app/textcodec.h"

namespace ravu {
namespace {

namespace fs = std::filesystem;

std::string U8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

struct RecordFile : ::testing::Test {
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    static std::string Read(const std::string& path) {
        std::stringstream s;
        s << std::ifstream(path, std::ios::binary).rdbuf();
        return s.str();
    }
    fs::path dir = fs::temp_directory_path() / ("ravu_record_file_" + std::to_string(::getpid()));
};

// The encoding is decided by the bytes; the record holds Shift-JIS either way.
TEST_F(RecordFile, EncodingFoundByContent) {
    const struct {
        std::string bytes;
        RecordEncoding encoding;
        std::string headerComment;  // as the record holds it
        int substituted;
    } rows[] = {
        {U8(u8"\uFEFF*歩\r\n"), RecordEncoding::Utf8, "*歩\r\n", 0},
        {U8(u8"*歩𠮷\r\n"), RecordEncoding::Utf8, "*歩&#x20BB7;\r\n", 1},
        {"*歩\r\n", RecordEncoding::Cp932, "*歩\r\n", 0},
        // 燿雨 in code page 932 is also UTF-8 (U+0809 "J"): UTF-8 wins ...
        {"*燿雨\r\n", RecordEncoding::Utf8, "*&#x0809;J\r\n", 1},
        // ... unless the file says it is Shift-JIS; saying UTF-8 over text
        // that is not UTF-8 changes nothing.
        {"#KIF version=2.0 encoding=Shift_JIS\r\n*燿雨\r\n", RecordEncoding::Cp932, "*燿雨\r\n", 0},
        {"#KIF version=2.0 encoding=UTF-8\r\n*歩\r\n", RecordEncoding::Cp932, "*歩\r\n", 0},
        {"*abc\r\n", RecordEncoding::Cp932, "*abc\r\n", 0},
        // A cut UTF-8 sequence (歩 without its last byte) is not UTF-8.
        {"*\xE6\xAD\r\n", RecordEncoding::Cp932, "*\xE6\xAD\r\n", 0},
    };
    for (const auto& r : rows) {
        CKifuControl rec;
        RecordLoad load;
        ASSERT_TRUE(LoadRecordFile(rec, Write("a.kif", r.bytes), &load)) << r.bytes;
        EXPECT_EQ(load.encoding, r.encoding) << r.bytes;
        EXPECT_EQ(rec.kifu.header.headerComment, r.headerComment) << r.bytes;
        EXPECT_EQ(load.substituted, r.substituted) << r.bytes;
    }
}

// A UTF-8 file with characters outside Shift-JIS comes back byte for byte as
// .kifu, and as .kif with the references.
TEST_F(RecordFile, SavesBackWhatWasRead) {
    const std::string kifu = (dir / "a.kifu").string(), kif = (dir / "a.kif").string();
    CKifuControl source;
    ASSERT_TRUE(source.LoadKifFromBuffer("先手：&#x20BB7;田\r\n   1 ７六歩(77)\r\n*&#x1F600;!\r\n", "t"));
    const std::string utf8 = SjisToUtf8Restoring(source.KifText(Utf8ToSjis(kifu)));
    const std::string sente = U8(u8"先手：𠮷田");  // (not inside a macro, whose text is Shift-JIS)
    ASSERT_NE(utf8.find(sente), std::string::npos) << utf8;
    Write("a.kifu", utf8);

    CKifuControl rec;
    RecordLoad load;
    ASSERT_TRUE(LoadRecordFile(rec, kifu, &load));
    EXPECT_EQ(load.substituted, 2);
    EXPECT_TRUE(RecordNeedsUnicode(rec));
    ASSERT_TRUE(SaveRecordFile(rec, kifu));
    EXPECT_EQ(Read(kifu), utf8);
    ASSERT_TRUE(SaveRecordFile(rec, kif));
    EXPECT_EQ(Read(kif), rec.KifText(kif));
    EXPECT_NE(Read(kif).find("先手：&#x20BB7;田\r\n"), std::string::npos);
    CKifuControl plain;
    EXPECT_FALSE(RecordNeedsUnicode(plain));
}

}  // namespace
}  // namespace ravu
