#include "app/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace ravu {

namespace {

void SetError(std::string* error, const std::string& what, const std::string& path, int err) {
    if (error)
        *error = what + " " + path + ": " + std::strerror(err);
}

// Pushes the written data out of the page cache, so that a rename that
// survives a power loss never points at an empty file.
bool SyncFile(std::FILE* f) {
#if defined(__unix__) || defined(__APPLE__)
    return ::fsync(::fileno(f)) == 0;
#else
    (void)f;
    return true;
#endif
}

// Makes the rename itself durable.
void SyncParentDirectory(const std::string& path) {
#if defined(__unix__) || defined(__APPLE__)
    size_t slash = path.find_last_of('/');
    std::string dir = (slash == std::string::npos) ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    (void)path;
#endif
}

}  // namespace

bool ReadFileHead(const std::string& path, size_t maxBytes, std::string* out) {
    out->clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    constexpr size_t CHUNK = 64 * 1024;
    bool ok = true;
    while (out->size() < maxBytes) {
        size_t want = std::min(CHUNK, maxBytes - out->size());
        size_t old = out->size();
        out->resize(old + want);
        size_t got = std::fread(out->data() + old, 1, want, f);
        out->resize(old + got);
        if (got < want) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    if (!ok)
        out->clear();
    return ok;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error) {
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        SetError(error, "cannot create", tmp, errno);
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int err = errno;
    if (ok) {
        ok = std::fflush(f) == 0 && SyncFile(f);
        err = errno;
    }
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        std::remove(tmp.c_str());
        SetError(error, "cannot write", tmp, err);
        return false;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        err = errno;
        std::remove(tmp.c_str());
        SetError(error, "cannot replace", path, err);
        return false;
    }
    SyncParentDirectory(path);
    return true;
}

}  // namespace ravu
