// Real records written by other programs and servers (tests/record/data,
// sources in its README): each file's start and main line as USI, its
// players, its end and its number of variations agree with what was written
// down for it independently of this reader; saved as .kifu, written as CSA
// and as a USI line, each reads back the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <unistd.h>

#include "app/record_file.h"
#include "app/textcodec.h"
#include "record/csa_reader.h"
#include "record/csa_writer.h"
#include "record/notation.h"
#include "record/sfen_reader.h"
#include "record/sfen_writer.h"

namespace fs = std::filesystem;
using namespace ravu;

namespace {

const std::string EVEN_START = "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1";

// The "key: value" lines of an .expect file (UTF-8).
std::map<std::string, std::string> ReadExpect(const fs::path& path) {
    std::map<std::string, std::string> out;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            out[line.substr(0, colon)] = line.substr(std::min(colon + 2, line.size()));
    }
    return out;
}

// "start" and "moves" of an .expect file as the USI line of the record.
std::string ExpectedUsi(const std::map<std::string, std::string>& e) {
    const std::string& moves = e.at("moves");
    return (e.at("start") == EVEN_START ? "startpos" : "sfen " + e.at("start")) +
           (moves.empty() ? "" : " moves " + moves) + "\n";
}

// The main line's times, comments and end word, without the blanks that CSA
// readers trim from comment lines and without the end's comment, to which
// the CSA reader adds its own words for some ends.
std::string MainLineRest(const CKifu& k) {
    std::string out = k.header.headerComment;
    for (const KifuNode* e = k.Root(); e && e->filled; e = e->next)
        out += "|" + std::to_string(e->move->seconds) +
               (IsEndStatus(e->move->status) ? std::string(EndWord(e->move->status)) : e->move->comment);
    std::erase_if(out, [](char c) { return c == ' ' || c == '\t'; });
    return out;
}

// Filled alternatives anywhere in the tree below `entry`'s line.
int Variations(const KifuNode* entry) {
    int n = 0;
    for (const KifuNode* e = entry; e; e = e->next)
        for (const KifuNode* a = e->alt; a; a = a->alt)
            n += a->filled + Variations(a->next);
    return n;
}

// The end as the record's word (Shift-JIS); the .expect files of CSA
// records give the CSA end words.
std::string EndAsWord(const std::string& written) {
    static const std::map<std::string, std::string> csa = {
        {"%TORYO", "投了"}, {"%CHUDAN", "中断"}, {"%KACHI", "入玉勝ち"}};
    const auto it = csa.find(written);
    return it == csa.end() ? Utf8ToSjis(written) : it->second;
}

}  // namespace

TEST(Corpus, RealRecordsReadAsWrittenDown) {
    std::vector<fs::path> files;
    for (const auto& f : fs::directory_iterator(RAVU_SOURCE_DIR "/tests/record/data"))
        if (f.path().extension() != ".expect" && f.path().extension() != ".md")
            files.push_back(f.path());
    std::sort(files.begin(), files.end());
    int checked = 0;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const auto e = ReadExpect(file.string() + ".expect");
        CKifuControl rec;
        RecordLoad load;
        ASSERT_TRUE(LoadRecordFile(rec, file.string(), &load));
        EXPECT_EQ(load.stopLine, 0) << SjisToUtf8(load.stopText);
        // A file of ASCII only is the same in either encoding.
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; })) {
            EXPECT_EQ(std::string(EncodingName(load.encoding)),
                      e.at("encoding") == "cp932" ? "cp932" : "utf-8");
        }
        const std::string usi = SfenText(rec.kifu);  // the start and the main line
        EXPECT_EQ(usi, ExpectedUsi(e));
        std::string end;
        for (const KifuNode* x = rec.kifu.Root(); x && x->filled; x = x->next)
            end = std::string(EndWord(x->move->status));
        std::size_t length = 0;
        EXPECT_EQ(end, std::string(EndWord(EndStatusAt(EndAsWord(e.at("end")), &length))));
        EXPECT_EQ(SjisToUtf8(rec.kifu.header.senteName) + "|" + SjisToUtf8(rec.kifu.header.goteName),
                  e.at("sente") + "|" + e.at("gote"));
        EXPECT_EQ(Variations(rec.kifu.Root()), std::stoi(e.at("variations")));
        // Saved as .kifu and loaded again, the record is the same: it writes the same text.
        const std::string kifu =
            (fs::temp_directory_path() / ("ravu_corpus_" + std::to_string(::getpid()) + ".kifu")).string();
        ASSERT_TRUE(SaveRecordFile(rec, kifu));
        CKifuControl back;
        ASSERT_TRUE(LoadRecordFile(back, kifu));
        fs::remove(kifu);
        EXPECT_EQ(back.KifText("a"), rec.KifText("a"));
        // Written as CSA and as a USI line, it reads back the same.
        CKifu csa, sfen;
        LoadReport report;
        EXPECT_GT(ReadCsa(csa, CsaText(rec.kifu), "t", report), 0);
        EXPECT_EQ(report.stopLine, 0) << SjisToUtf8(report.stopText);
        EXPECT_EQ(SfenText(csa) + csa.header.senteName + "|" + csa.header.goteName + MainLineRest(csa),
                  usi + rec.kifu.header.senteName + "|" + rec.kifu.header.goteName + MainLineRest(rec.kifu));
        EXPECT_GT(ReadSfen(sfen, usi, "t", report), 0);
        EXPECT_EQ(SfenText(sfen), usi);
        ++checked;
    }
    EXPECT_EQ(checked, 47);  // every record of the folder
}
