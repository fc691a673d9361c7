// ravuone-kif, run as a program: the JSON of a record, saving, and the
// exit status and message for files it cannot read.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "record/kifu.h"

namespace ravu {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string out, err;
};

std::string Slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

struct KifTool : ::testing::Test {
    void SetUp() override {
        setenv("TZ", "JST-9", 1);
        dir = fs::temp_directory_path() / ("ravu_kif_tool_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    ToolRun Tool(const std::string& args) {
        const std::string cmd = std::string(RAVU_KIF_TOOL) + " " + args + " >" + (dir / "out").string() +
                                " 2>" + (dir / "err").string();
        const int rc = std::system(cmd.c_str());
        return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
    }
    fs::path Write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    fs::path dir;
};

TEST_F(KifTool, DumpPrintsTheRecordAsJson) {
    const fs::path p = Write("game.kif",
        "開始日時：2003/05/01(木) 13:05:09\r\n"
        "先手：\"q\"\\\r\n"
        "後手：名人\r\n"
        "*h\x01\r\n"
        "   1 ７六歩(77)   ( 1:05/00:00:00)\r\n"
        "*tab\there\r\n"
        "   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
        "   3 ２二角成(88) ( 0:00/00:00:00)+\r\n"
        "   4 投了\r\n"
        "\r\n"
        "変化：3手\r\n"
        "   3 ２六歩(27)   ( 0:00/00:00:00)+\r\n"
        "   4 同　歩(23)   ( 0:00/00:00:00)\r\n"
        "\r\n"
        "変化：3手\r\n"
        "   3 ５五角打     ( 0:00/00:00:00)\r\n");
    const ToolRun r = Tool("dump " + p.string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // The expected text is UTF-8: this test file is compiled with Shift-JIS
    // literals, so the Japanese parts are written as UTF-8 bytes.
    const std::string want =
        "{\"title\":\"game.kif\",\"handicap\":\"\",\"sente\":\"\\\"q\\\"\\\\\",\"gote\":\"\xe5\x90\x8d\xe4\xba\xba\","
        "\"start\":\"2003-05-01 13:05:09\",\"end\":null,\"headerComment\":\"*h\\u0001\\r\\n\","
        "\"moves\":["
        "{\"number\":1,\"side\":0,\"to\":[7,6],\"type\":7,\"promoted\":0,\"from\":[7,7],\"status\":0,"
        "\"seconds\":65,\"comment\":\"tab\\there\\r\\n\"},"
        "{\"number\":2,\"side\":1,\"to\":[3,4],\"type\":7,\"promoted\":0,\"from\":[3,3],\"status\":0,"
        "\"seconds\":0,\"comment\":null,\"alternatives\":[[]]},"
        "{\"number\":3,\"side\":0,\"to\":[2,2],\"type\":2,\"promoted\":1,\"from\":[8,8],\"status\":1,"
        "\"seconds\":0,\"comment\":null,\"alternatives\":["
        "[{\"number\":3,\"side\":0,\"to\":[2,6],\"type\":7,\"promoted\":0,\"from\":[2,7],\"status\":0,"
        "\"seconds\":0,\"comment\":null},"
        "{\"number\":4,\"side\":1,\"to\":[2,6],\"type\":7,\"promoted\":0,\"from\":[2,3],\"status\":0,"
        "\"seconds\":0,\"comment\":null}],"
        "[{\"number\":3,\"side\":0,\"to\":[5,5],\"type\":2,\"promoted\":0,\"from\":[0,0],\"status\":0,"
        "\"seconds\":0,\"comment\":null}]]},"
        "{\"number\":4,\"side\":1,\"to\":[0,0],\"type\":0,\"promoted\":0,\"from\":[0,0],\"status\":2,"
        "\"seconds\":0,\"comment\":null}]}\n";
    EXPECT_EQ(r.out, want);
}

TEST_F(KifTool, SaveWritesTheRecordAgain) {
    const std::string in =
        "   1 ７六歩(77)   ( 0:00/00:00:00)\r\n"
        "*c\r\n"
        "   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
        "\r\n"
        "変化：2手\r\n"
        "   2 ８四歩(83)   ( 0:00/00:00:00)\r\n";
    const fs::path p = Write("in.kif", in);
    const fs::path out = dir / "out.kif";
    const ToolRun r = Tool("save " + p.string() + " " + out.string());
    ASSERT_EQ(r.status, 0) << r.err;
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKif(p.string()));
    EXPECT_EQ(Slurp(out), rec.KifText(out.string()));
    EXPECT_NE(Slurp(out).find("変化：2手\r\n   2 ８四歩(83)"), std::string::npos);
}

TEST_F(KifTool, FilesThatCannotBeReadFailWithAMessage) {
    ToolRun r = Tool("dump " + (dir / "missing.kif").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos);
    EXPECT_EQ(r.out, "");
    const fs::path big = Write("big.kif", std::string(KIF_MAX_BYTES + 1, ' '));
    r = Tool("dump " + big.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("larger than 65536 bytes"), std::string::npos);
    r = Tool("save " + big.string() + " " + (dir / "o.kif").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(dir / "o.kif"));
    r = Tool("dump " + dir.string());
    EXPECT_EQ(r.status, 1);
    const fs::path ok = Write("ok.kif", "   1 ７六歩(77)\r\n");
    r = Tool("save " + ok.string() + " " + (dir / "no" / "such" / "dir.kif").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos);
    EXPECT_EQ(Tool("").status, 2);
    EXPECT_EQ(Tool("dump").status, 2);
    EXPECT_EQ(Tool("frobnicate x").status, 2);
}

}  // namespace
}  // namespace ravu
