// KIF files on disk: ravuone-kif run as a program (the JSON of a record, saving, the exit
// status and message for files it cannot read or write) and the loader in process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/textcodec.h"
#include "record/kifu.h"

namespace ravu {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct KifTool : ::testing::Test {
    void SetUp() override {
        setenv("TZ", "JST-9", 1);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // Runs the tool; returns its exit status, fills out and err.
    int Tool(const std::string& args) {
        const int rc = std::system((std::string(RAVU_KIF_TOOL) + " " + args + " >" + (dir / "out").string() +
                                    " 2>" + (dir / "err").string())
                                       .c_str());
        out = Slurp(dir / "out"), err = Slurp(dir / "err");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    fs::path dir = fs::temp_directory_path() / ("ravu_kif_tool_" + std::to_string(::getpid()));
    std::string out, err;
};

// One table of commands: exit status, the start of the message on stderr
// (none: empty), and stdout.  Then, in process, what the tool does not reach:
// the title taken from the path, the size limit of the reader itself.
TEST_F(KifTool, CommandsAndFilesOnDisk) {
    const std::string game = Write(
        "game.kif",
        "開始日時：2003/05/01(木) 13:05:09\r\n先手：\"q\"\\\r\n後手：名人\r\n*h\x01\r\n"
        "   1 ７六歩(77)   ( 1:05/00:00:00)\r\n*tab\there\r\n   2 ２二角成(88) ( 0:00/00:00:00)+\r\n\r\n"
        "変化：2手\r\n   2 ２六歩(27)   ( 0:00/00:00:00)+\r\n");
    std::string big = "   1 ２六歩(27)\r\n";
    big.resize(KIF_MAX_BYTES + 1, ' ');
    // A legal game for convert, which CSA and USI need.
    const std::string legal =
        Write("legal.kif",
              "開始日時：2003/05/01(木) 13:05:09\r\n先手：名人\r\n後手：q\r\n"
              "   1 ７六歩(77)   ( 1:05/00:00:00)\r\n*一手\r\n   2 ３四歩(33)   ( 0:02/00:00:00)\r\n"
              "   3 ２二角成(88) ( 0:03/00:00:00)\r\n   4 投了\r\n");
    CKifuControl legalRec;
    ASSERT_TRUE(legalRec.LoadKif(legal));
    const std::string toKif = (dir / "c.kif").string(), toKifu = (dir / "c.kifu").string();
    const std::string bigFile = Write("big.kif", big), max = Write("max.kif", big.substr(0, KIF_MAX_BYTES)),
                      saved = Write("out.kif", "old contents that are longer than nothing");
    const struct {
        std::string args;
        int status;
        std::string message;
        const char* out;
        std::string written = "", contents = "";  // a file the command writes and its bytes
        // clang-format off
    } rows[] = {
        // UTF-8 out: this file's literals are Shift-JIS, so 名人 is written as bytes.
        {"dump " + game, 0, "",
         "{\"title\":\"game.kif\",\"encoding\":\"cp932\",\"handicap\":\"\",\"sente\":\"\\\"q\\\"\\\\\",\"gote\":\"\xe5\x90\x8d\xe4\xba\xba\","
         "\"start\":\"2003-05-01 13:05:09\",\"end\":null,"
         "\"startSfen\":\"lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1\",\"firstMover\":0,"
         "\"otherLines\":\"\",\"headerComment\":\"*h\\u0001\\r\\n\",\"moves\":[{\"number\":1,"
         "\"side\":0,\"to\":[7,6],\"type\":7,\"promoted\":0,\"from\":[7,7],\"status\":0,\"seconds\":65,"
         "\"comment\":\"tab\\there\\r\\n\"},{\"number\":2,\"side\":1,\"to\":[2,2],\"type\":2,\"promoted\":1,\"from\":[8,8],"
         "\"status\":1,\"seconds\":0,\"comment\":null,\"alternatives\":[[{\"number\":2,\"side\":1,\"to\":[2,6],\"type\":7,"
         "\"promoted\":0,\"from\":[2,7],\"status\":0,\"seconds\":0,\"comment\":null}],[]]}]}\n"},
        {"save " + game + " " + saved, 0, "", ""},  // replaces the old contents
        {"save " + max + " " + max, 0, "", ""},     // exactly the limit is read
        {"dump " + (dir / "missing.kif").string(), 1, "ravuone-kif: cannot read", ""},
        {"dump " + bigFile, 1, "ravuone-kif: " + bigFile + " is larger than 65536 bytes", ""},
        {"save " + bigFile + " " + (dir / "o.kif").string(), 1, "ravuone-kif: " + bigFile + " is larger", ""},
        {"dump " + dir.string(), 1, "ravuone-kif: cannot read", ""},
        {"save " + game + " " + (dir / "no" / "dir.kif").string(), 1, "ravuone-kif: cannot write", ""},
        {"save " + game + " " + dir.string(), 1, "ravuone-kif: cannot write", ""},
        {"", 2, "usage: ravuone-kif dump FILE", ""}, {"dump", 2, "usage", ""}, {"save " + game, 2, "usage", ""},
        {"frobnicate x", 2, "usage", ""},
        // convert: the format by OUT's extension, in any case; CSA and KIFU in UTF-8.
        {"convert " + legal + " " + toKif, 0, "", "", toKif, legalRec.KifText(toKif)},
        {"convert " + legal + " " + toKifu, 0, "", "", toKifu, SjisToUtf8(legalRec.KifText(toKifu))},
        {"convert " + legal + " " + (dir / "c.CSA").string(), 0, "", "", (dir / "c.CSA").string(),
         SjisToUtf8("'encoding=UTF-8\r\nV2.2\r\nN+名人\r\nN-q\r\n$START_TIME:2003/05/01 13:05:09\r\nPI\r\n+\r\n"
                    "+7776FU,T65\r\n'一手\r\n-3334FU,T2\r\n+8822UM,T3\r\n%TORYO\r\n")},
        {"convert " + legal + " " + (dir / "c.sfen").string(), 0, "", "", (dir / "c.sfen").string(),
         "startpos moves 7g7f 3c3d 8h2b+\n"},
        {"convert " + legal + " " + (dir / "c.txt").string(), 2, "ravuone-kif: convert writes .kif, .kifu, .csa or .sfen", ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        EXPECT_EQ(Tool(r.args), r.status) << r.args;
        EXPECT_EQ(err.substr(0, r.message.size()), r.message) << r.args;
        EXPECT_TRUE(!r.message.empty() || err.empty()) << err;
        EXPECT_EQ(out, r.out) << r.args;
        EXPECT_EQ(r.written.empty() ? "" : Slurp(r.written), r.contents) << r.args;
    }
    // Files over the limit, from disk or memory, and missing files leave the record.
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKif(game));
    EXPECT_FALSE(rec.LoadKifFromBuffer(big, "big") || rec.LoadKif(bigFile) ||
                 rec.LoadKif((dir / "none.kif").string()));
    EXPECT_EQ(Slurp(saved), rec.KifText(saved));
    EXPECT_EQ(rec.kifu.header.title, "game.kif");
    // game, legal, big, max, out.kif, the four files converted, and the tool's out and err:
    // no temporary left, nothing written on failure.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 11);
}

}  // namespace
}  // namespace ravu
