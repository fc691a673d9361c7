// ravuone-kif: reads and writes RavuOne's KIF records from the command line.
//
//   ravuone-kif dump FILE      prints the record as one JSON object (UTF-8)
//   ravuone-kif save IN OUT    loads IN and writes it again as OUT
//
// Exit status 0 on success, 1 when a file cannot be read, is too large or
// cannot be written, 2 on a usage error.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/json_text.h"
#include "app/textcodec.h"
#include "record/kifu.h"

namespace {

using namespace ravu;

// JSON string of Shift-JIS model text.
std::string Json(std::string_view sjis) { return JsonString(SjisToUtf8(sjis)); }

std::string Time(int32_t has, std::time_t t) {
    std::tm tm{};
    if (!has || !localtime_r(&t, &tm))
        return "null";
    char buf[64];
    std::strftime(buf, sizeof buf, "\"%Y-%m-%d %H:%M:%S\"", &tm);
    return buf;
}

void Line(const KifuNode* first, bool isAlternative, std::string& out);

void Entry(const KifuNode& e, bool listAlternatives, std::string& out) {
    const MoveRec& m = *e.move;
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "{\"number\":%d,\"side\":%d,\"to\":[%d,%d],\"type\":%d,\"promoted\":%d,"
                  "\"from\":[%d,%d],\"status\":%d,\"seconds\":%d,\"comment\":",
                  m.number, m.side, m.toFile, m.toRank, m.type, m.promoted, m.fromFile, m.fromRank, m.status,
                  m.seconds);
    out += buf;
    out += m.comment.empty() ? "null" : Json(m.comment);
    if (listAlternatives && e.alt) {
        out += ",\"alternatives\":[";
        for (const KifuNode* a = e.alt; a; a = a->alt) {
            if (a != e.alt)
                out += ',';
            Line(a, true, out);
        }
        out += ']';
    }
    out += '}';
}

// The filled entries of a line as a JSON array.  The first entry of an
// alternative line lists no alternatives: its `alt` chain is its siblings,
// listed at the entry they all replace.
void Line(const KifuNode* first, bool isAlternative, std::string& out) {
    out += '[';
    bool any = false;
    for (const KifuNode* e = first; e; e = e->next) {
        if (!e->filled)
            continue;
        if (any)
            out += ',';
        Entry(*e, !(isAlternative && e == first), out);
        any = true;
    }
    out += ']';
}

std::string Dump(const CKifu& k) {
    const KifuHeader& h = k.header;
    std::string out = "{\"title\":" + Json(h.title) + ",\"handicap\":" + Json(h.handicap) +
                      ",\"sente\":" + Json(h.senteName) + ",\"gote\":" + Json(h.goteName) +
                      ",\"start\":" + Time(h.hasStartTime, h.startTime) +
                      ",\"end\":" + Time(h.hasEndTime, h.endTime) +
                      ",\"headerComment\":" + Json(h.headerComment) + ",\"moves\":";
    Line(k.Root(), false, out);
    return out + "}\n";
}

// Loads the file into rec, or says why not on stderr.
bool Load(CKifuControl& rec, const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::is_regular_file(status)) {
        std::fprintf(stderr, "ravuone-kif: cannot read %s\n", path.c_str());
        return false;
    }
    const auto size = fs::file_size(path, ec);
    if (!ec && size > KIF_MAX_BYTES) {
        std::fprintf(stderr, "ravuone-kif: %s is larger than %zu bytes\n", path.c_str(), KIF_MAX_BYTES);
        return false;
    }
    const std::string name = fs::path(path).filename().string();
    if (ec || !rec.LoadKif(path, Utf8ToSjis(name))) {
        std::fprintf(stderr, "ravuone-kif: cannot read %s\n", path.c_str());
        return false;
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: ravuone-kif dump FILE     print the record as JSON\n"
                 "       ravuone-kif save IN OUT   load IN and write it as OUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "dump" && argc == 3) {
        CKifuControl rec;
        if (!Load(rec, argv[2]))
            return 1;
        const std::string json = Dump(rec.kifu);
        std::fwrite(json.data(), 1, json.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (command == "save" && argc == 4) {
        CKifuControl rec;
        if (!Load(rec, argv[2]))
            return 1;
        if (!rec.SaveKif(argv[3], Utf8ToSjis(argv[3]))) {
            std::fprintf(stderr, "ravuone-kif: cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    return Usage();
}
