// Fuzz target: the bytes of a settings file.  The file is read into the
// settings, written back over itself, read and written once more.  Reading
// what was written must give the same settings, and the second write the
// same bytes as the first: loading and saving never change a file twice.
//
// The file lives in a directory of its own under the temporary directory
// (TMPDIR; /dev/shm keeps the writes' flushes cheap), removed after each run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "app/settings.h"

using namespace ravu;

namespace {

// A directory of this process's own, made for each run and removed after it
// (fuzzing engines may end the process without running exit handlers).
const std::filesystem::path& Dir() {
    static const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                             ("ravu_fuzz_settings_" + std::to_string(std::random_device()()));
    return dir;
}

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

bool Same(const CProfile& a, const CProfile& b) {
    const ProfileSettings& x = a.Settings();
    const ProfileSettings& y = b.Settings();
    const ChatLogRect& r = a.GetChatLogRect();
    const ChatLogRect& q = b.GetChatLogRect();
    return x.handleName == y.handleName && x.opponentName == y.opponentName && x.host == y.host &&
           x.port == y.port && x.windowX == y.windowX && x.windowY == y.windowY &&
           x.pieceSound == y.pieceSound && r.left == q.left && r.top == q.top && r.right == q.right &&
           r.bottom == q.bottom;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::filesystem::create_directories(Dir());
    const std::string path = (Dir() / "ravuone.ini").string();
    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!f)
            abort();
    }
    CProfile first;
    first.LoadProfile(path);
    if (!first.SaveProfile(path))
        abort();
    const std::string written = ReadAll(path);

    CProfile second;
    second.LoadProfile(path);
    if (!Same(first, second))
        abort();  // a value did not survive its own file
    if (!second.SaveProfile(path))
        abort();
    if (ReadAll(path) != written)
        abort();  // the second write changed the file again
    std::filesystem::remove_all(Dir());
    return 0;
}
