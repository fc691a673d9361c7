// The CSA and USI writers over the real records of tests/record/data: the
// USI line is the main line written down for each record, and reading
// either text back gives the same start, main line, times, comments, end
// and (CSA) names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

// "start: ..." and "moves: ..." of an .expect file as one USI line.
std::string ExpectedUsi(const fs::path& expect) {
    std::ifstream in(expect);
    std::string start, moves;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("start: ", 0) == 0)
            start = line.substr(7);
        if (line.rfind("moves:", 0) == 0)
            moves = line.size() > 7 ? line.substr(7) : "";
    }
    const std::string position = start == "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1"
                                     ? "startpos"
                                     : "sfen " + start;
    return position + (moves.empty() ? "" : " moves " + moves) + "\n";
}

// The main line's times, comments and end word (Shift-JIS), without the
// blanks that CSA readers trim from the ends of comment lines and without
// the end's comment, to which the CSA reader adds its own words for some ends.
std::string MainLineRest(const CKifu& k) {
    std::string out = k.header.headerComment;
    for (const KifuNode* e = k.Root(); e && e->filled; e = e->next)
        out += "|" + std::to_string(e->move->seconds) +
               (IsEndStatus(e->move->status) ? std::string(EndWord(e->move->status)) : e->move->comment);
    std::erase_if(out, [](char c) { return c == ' ' || c == '\t'; });
    return out;
}

}  // namespace

TEST(RecordWriters, CorpusRoundTrips) {
    int checked = 0;
    for (const auto& f : fs::directory_iterator(RAVU_SOURCE_DIR "/tests/record/data")) {
        const fs::path file = f.path();
        if (file.extension() == ".expect" || file.extension() == ".md")
            continue;
        SCOPED_TRACE(file.filename().string());
        CKifuControl rec;
        ASSERT_TRUE(LoadRecordFile(rec, file.string()));
        const CKifu& k = rec.kifu;
        const std::string usi = SfenText(k);
        EXPECT_EQ(usi, ExpectedUsi(file.string() + ".expect"));

        CKifu csa, sfen;
        LoadReport report;
        const std::string text = CsaText(k);
        ASSERT_TRUE(LooksLikeCsa(text));
        EXPECT_GT(ReadCsa(csa, text, "t", report), 0);
        EXPECT_EQ(report.stopLine, 0) << SjisToUtf8(report.stopText);
        EXPECT_EQ(SfenText(csa), usi);
        EXPECT_EQ(csa.header.senteName + "|" + csa.header.goteName,
                  k.header.senteName + "|" + k.header.goteName);
        EXPECT_EQ(SjisToUtf8(MainLineRest(csa)), SjisToUtf8(MainLineRest(k)));

        ASSERT_TRUE(LooksLikeSfen(usi));
        EXPECT_GT(ReadSfen(sfen, usi, "t", report), 0);
        EXPECT_EQ(report.stopLine, 0);
        EXPECT_EQ(SfenText(sfen), usi);
        ++checked;
    }
    EXPECT_EQ(checked, 47);
}
