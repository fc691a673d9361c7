#include "app/skin_files.h"

#include <filesystem>
#include <system_error>

#include "game/local_text.h"

namespace ravu {

bool CheckSkinFilesIn(const std::string& dir, std::string* message) {
    std::string text = LocalText("SkinFiles", RAVU_TEXT("SkinFiles", "ファイルが見つかりません。")) + "\n\n";
    bool missing = false;
    for (const char* name : {SKIN_BACKGROUND, SKIN_FRAME, SKIN_PIECES}) {
        std::error_code ec;
        std::filesystem::path p =
            dir.empty() ? std::filesystem::path(name) : std::filesystem::path(dir) / name;
        // Only "cannot get its status" counts as missing, as for any file.
        std::filesystem::file_status st = std::filesystem::status(p, ec);
        if (ec || !std::filesystem::exists(st)) {
            text += name;
            text += "\n";
            missing = true;
        }
    }
    if (message)
        *message = missing ? text : std::string();
    return !missing;
}

}  // namespace ravu
