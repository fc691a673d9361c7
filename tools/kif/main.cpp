// ravuone-kif: reads and writes RavuOne's KIF records from the command line.
//
//   ravuone-kif dump FILE      prints the record as one JSON object (UTF-8),
//                              its start position as SFEN ("startSfen")
//   ravuone-kif save IN OUT    loads IN and writes it again as OUT
//   ravuone-kif convert IN OUT loads IN and writes it in the format OUT's
//                              extension names:
//       .kif   KIF in Shift-JIS, as "save" writes it
//       .kifu  KIF in UTF-8
//       .csa   CSA V2.2 in UTF-8: the main line (CSA has no variations)
//       .sfen  one USI line: the start and the main line's moves
//   ravuone-kif analyze [--engine CMD] [--time MS] [--variations] IN OUT
//                              analyses every main-line move of IN (and of
//                              its variations) on the USI engine CMD, MS
//                              milliseconds a position, and writes IN with
//                              the evaluations and the engine's lines in the
//                              moves' comments as OUT (KIF, as "save" writes
//                              it); progress on stderr.  Only in a build with
//                              Qt.  CMD defaults to the installed
//                              fairy-stockfish, MS to 1000.
//
// FILE and IN may be KIF, KI2, CSA or USI text, Shift-JIS or UTF-8 (found
// from their bytes); "save" writes OUT in UTF-8 when it ends in ".kifu",
// else in Shift-JIS.
//
// Exit status 0 on success, 1 when a file cannot be read, is too large or
// cannot be written or the engine fails, 2 on a usage error (convert: also
// an OUT of another extension).
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#ifdef RAVU_KIF_ANALYZE
#include <QCoreApplication>

#include "app/record_analyzer.h"
#endif

#include "app/atomic_file.h"
#include "app/json_text.h"
#include "app/record_file.h"
#include "app/settings.h"
#include "app/textcodec.h"
#include "game/sfen.h"
#include "record/csa_writer.h"
#include "record/kifu.h"
#include "record/sfen_writer.h"

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

std::string Dump(const CKifu& k, RecordEncoding encoding) {
    const KifuHeader& h = k.header;
    // The position the record starts from (the even game when it names none).
    const std::string sfen = h.startSfen.empty() ? std::string(EVEN_SFEN) : h.startSfen;
    std::string out = "{\"title\":" + Json(h.title) + ",\"encoding\":\"" + EncodingName(encoding) +
                      "\",\"handicap\":" + Json(h.handicap) + ",\"sente\":" + Json(h.senteName) +
                      ",\"gote\":" + Json(h.goteName) + ",\"start\":" + Time(h.hasStartTime, h.startTime) +
                      ",\"end\":" + Time(h.hasEndTime, h.endTime) + ",\"startSfen\":" + JsonString(sfen) +
                      ",\"firstMover\":" + (sfen.find(" w ") != std::string::npos ? "1" : "0") +
                      ",\"otherLines\":" + Json(h.otherLines) +
                      ",\"headerComment\":" + Json(h.headerComment) + ",\"moves\":";
    Line(k.Root(), false, out);
    return out + "}\n";
}

// Loads the file into rec, or says why not on stderr.
bool Load(CKifuControl& rec, const std::string& path, RecordLoad* load) {
    if (LoadRecordFile(rec, path, load))
        return true;
    if (load->tooLarge)
        std::fprintf(stderr, "ravuone-kif: %s is larger than %zu bytes\n", path.c_str(), KIF_MAX_BYTES);
    else
        std::fprintf(stderr, "ravuone-kif: cannot read %s\n", path.c_str());
    return false;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: ravuone-kif dump FILE        print the record as JSON\n"
                 "       ravuone-kif save IN OUT      load IN and write it as OUT (KIF)\n"
                 "       ravuone-kif convert IN OUT   load IN and write it in the format of OUT's\n"
                 "                                    extension: .kif, .kifu, .csa or .sfen\n");
#ifdef RAVU_KIF_ANALYZE
    std::fprintf(stderr,
                 "       ravuone-kif analyze [--engine CMD] [--time MS] [--variations] IN OUT\n"
                 "                                    analyse IN's moves on a USI engine (default: the\n"
                 "                                    installed fairy-stockfish, 1000 ms a position) and\n"
                 "                                    write it with the results in the comments as OUT\n");
#endif
    return 2;
}

#ifdef RAVU_KIF_ANALYZE
// analyze: the arguments after the command word.
int Analyze(char* program, int argc, char** argv) {
    std::string engine = DefaultEngineCommand();
    long timeMs = DEFAULT_ENGINE_TIME_MS;
    bool variations = false;
    std::vector<std::string> files;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--engine" && i + 1 < argc) {
            engine = argv[++i];
        } else if (arg == "--time" && i + 1 < argc) {
            char* end = nullptr;
            timeMs = std::strtol(argv[++i], &end, 10);
            if (*end || timeMs < ENGINE_TIME_MIN_MS || timeMs > ENGINE_TIME_MAX_MS) {
                std::fprintf(stderr, "ravuone-kif: --time takes %d to %d milliseconds\n", ENGINE_TIME_MIN_MS,
                             ENGINE_TIME_MAX_MS);
                return Usage();
            }
        } else if (arg == "--variations") {
            variations = true;
        } else if (arg.rfind("--", 0) == 0) {
            return Usage();
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2)
        return Usage();
    if (engine.empty()) {
        std::fprintf(stderr,
                     "ravuone-kif: no engine: fairy-stockfish is not installed; name one with --engine\n");
        return Usage();
    }
    CKifuControl rec;
    RecordLoad load;
    if (!Load(rec, files[0], &load))
        return 1;
    int appArgc = 1;
    char* appArgv[] = {program, nullptr};
    QCoreApplication app(appArgc, appArgv);
    CRecordAnalyzer analyzer(rec.kifu);
    QObject::connect(&analyzer, &CRecordAnalyzer::progress, [](int done, int total) {
        std::fprintf(stderr, "ravuone-kif: analysed %d of %d\n", done, total);
    });
    QObject::connect(&analyzer, &CRecordAnalyzer::finished, &app, [&app] { app.exit(0); });
    QObject::connect(&analyzer, &CRecordAnalyzer::failed, &app, [&app](const QString& message) {
        std::fprintf(stderr, "ravuone-kif: %s\n", message.toUtf8().constData());
        app.exit(1);
    });
    analyzer.Start(QString::fromLocal8Bit(engine), int(timeMs), variations);
    if (app.exec() != 0)
        return 1;
    if (!SaveRecordFile(rec, files[1])) {
        std::fprintf(stderr, "ravuone-kif: cannot write %s\n", files[1].c_str());
        return 1;
    }
    return 0;
}
#endif

// Writes the record in the format of the path's extension (known to be one
// that Convert takes).
bool Write(const CKifuControl& rec, const std::string& path) {
    const std::string ext = PathExtension(path);
    if (ext == ".csa")
        return SaveCsaFile(rec, path);
    if (ext == ".sfen")
        return WriteFileAtomic(path, SfenText(rec.kifu));
    return SaveRecordFile(rec, path);  // .kif in Shift-JIS, .kifu in UTF-8
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "dump" && argc == 3) {
        CKifuControl rec;
        RecordLoad load;
        if (!Load(rec, argv[2], &load))
            return 1;
        const std::string json = Dump(rec.kifu, load.encoding);
        std::fwrite(json.data(), 1, json.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (command == "save" && argc == 4) {
        CKifuControl rec;
        RecordLoad load;
        if (!Load(rec, argv[2], &load))
            return 1;
        if (!SaveRecordFile(rec, argv[3])) {
            std::fprintf(stderr, "ravuone-kif: cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    if (command == "convert" && argc == 4) {
        const std::string ext = PathExtension(argv[3]);
        if (ext != ".kif" && ext != ".kifu" && ext != ".csa" && ext != ".sfen") {
            std::fprintf(stderr, "ravuone-kif: convert writes .kif, .kifu, .csa or .sfen files, not %s\n",
                         argv[3]);
            return Usage();
        }
        CKifuControl rec;
        RecordLoad load;
        if (!Load(rec, argv[2], &load))
            return 1;
        if (!Write(rec, argv[3])) {
            std::fprintf(stderr, "ravuone-kif: cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
#ifdef RAVU_KIF_ANALYZE
    if (command == "analyze")
        return Analyze(argv[0], argc - 2, argv + 2);
#endif
    return Usage();
}
