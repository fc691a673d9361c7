// The skin file check: the exact message for every combination of missing
// files, and the order of the names in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/skin_files.h"

namespace fs = std::filesystem;
using namespace ravu;

namespace {

// A folder of this process only: test runs may overlap.
fs::path TempDir(const char* name) {
    return fs::temp_directory_path() / (std::string(name) + "_" + std::to_string(std::random_device{}()));
}

TEST(SkinFiles, MessageForEveryCombinationOfMissingFiles) {
    const fs::path dir = TempDir("ravu_skin_files_test");
    const char* names[3] = {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"};
    for (int present = 0; present < 8; ++present) {
        SCOPED_TRACE(present);
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::string expected = "ファイルが見つかりません。\n\n";
        for (int i = 0; i < 3; ++i) {
            if (present & (1 << i))
                std::ofstream(dir / names[i]) << "not a bitmap";  // existence is all that counts
            else
                expected += std::string(names[i]) + "\n";
        }
        std::string message = "left over";
        bool ok = CheckSkinFilesIn(dir.string(), &message);
        EXPECT_EQ(ok, present == 7);
        EXPECT_EQ(message, present == 7 ? "" : expected);
    }
    fs::remove_all(dir);
}

TEST(SkinFiles, TheHeaderIsShiftJis) {
    std::string message;
    EXPECT_FALSE(CheckSkinFilesIn("/nonexistent/ravu", &message));
    EXPECT_EQ(message,
              "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42"
              "\n\nBackBmp.bmp\nWaku.bmp\nKoma01.bmp\n");
}

TEST(SkinFiles, NamesAreCaseSensitiveOnThisSystem) {
    const fs::path dir = TempDir("ravu_skin_case_test");
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "backbmp.bmp") << "x";
    std::ofstream(dir / "Waku.bmp") << "x";
    std::ofstream(dir / "Koma01.bmp") << "x";
    std::string message;
    EXPECT_FALSE(CheckSkinFilesIn(dir.string(), &message));
    EXPECT_EQ(message, "ファイルが見つかりません。\n\nBackBmp.bmp\n");
    fs::remove_all(dir);
}

}  // namespace
