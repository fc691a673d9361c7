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

TEST(SkinFiles, MessageForEveryCombinationOfMissingFiles) {
    // A folder of this process only: test runs may overlap.
    const fs::path dir = fs::temp_directory_path() / ("ravu_skin_" + std::to_string(std::random_device{}()));
    const char* names[3] = {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"};
    // "ファイルが見つかりません。" in code page 932, whatever this file's literals are compiled as.
    const std::string header =
        "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42\n\n";
    for (int present = 0; present < 9; ++present) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        const int bits = present == 8 ? 6 : present;
        std::string expected = header;
        for (int i = 0; i < 3; ++i) {
            if (bits & (1 << i))
                std::ofstream(dir / names[i]) << "not a bitmap";  // existence is all that counts
            else
                expected += std::string(names[i]) + "\n";
        }
        if (present == 8)  // names are case-sensitive on this system
            std::ofstream(dir / "backbmp.bmp") << "x";
        std::string message = "left over";
        EXPECT_EQ(CheckSkinFilesIn(dir.string(), &message), present == 7) << present;
        EXPECT_EQ(message, present == 7 ? "" : expected) << present;
    }
    fs::remove_all(dir);
}

}  // namespace
