// USI position lines read through the record's loader.
#include <gtest/gtest.h>

#include "record/kifu.h"
#include "record_test_util.h"

namespace ravu {
namespace {

TEST(SfenReader, PositionLinesAsRead) {
    const struct {
        const char *text, *summary;
        int32_t stopLine = 0;
        // clang-format off
    } rows[] = {
        {"position startpos moves 7g7f 3c3d 8h2b+ 3a2b B*4e", "- |: 7g7f 3c3d 8h2b+ 3a2b B*4e"},
        {"\n  \nstartpos moves 2g2f\r\nposition startpos moves 7g7f\n", "- |: 2g2f"},  // the first line only
        {"sfen lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1 moves 3c3d",
         "lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1 |: 3c3d"},
        // The move number of the line is not kept: the record counts from 1.
        {"position sfen 8k/9/8+P/5B3/9/9/9/9/9 b G2rb3g4s4n4l17p 37 moves 4d2b+ 1a2b",
         "8k/9/8+P/5B3/9/9/9/9/9 b G2rb3g4s4n4l17p 1 |: 4d2b+ 1a2b"},
        {"8k/9/8+P/5B3/9/9/9/9/9 w G2rb3g4s4n4l17p", "8k/9/8+P/5B3/9/9/9/9/9 w G2rb3g4s4n4l17p 1 |:"},
        {"\nstartpos moves 7g7f 7g7f 3c3d", "- |: 7g7f", 2},  // a move that cannot be played stops
        {"position startpos moves 7g7f 3c3d 8h2b+ 4a3b 2b1a+", "- |: 7g7f 3c3d 8h2b+ 4a3b", 1},  // a promoted piece promotes again
        {"sfen 9/9 b -", "not read"},
        {"position sfen moves 7g7f", "not read"},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        CKifuControl rec;
        LoadReport report;
        const bool loaded = rec.LoadKifFromBuffer(r.text, "a.sfen", &report);
        EXPECT_EQ(loaded ? test::Summary(rec.kifu) : "not read", r.summary);
        EXPECT_EQ(report.stopLine, r.stopLine) << report.stopText;
    }
}

}  // namespace
}  // namespace ravu
