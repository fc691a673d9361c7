// The USI engine process against a scripted engine (every way it can fail,
// each reported once while the event loop keeps turning), the analysis of a
// record (failure, cancel), and with fairy-stockfish when it is installed:
// a whole game analysed, and ravuone-kif analyze run as a program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/record_analyzer.h"
#include "app/record_file.h"
#include "record/analysis.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/notation.h"

namespace ravu {
namespace {

namespace fs = std::filesystem;

constexpr const char* FAIRY = "/usr/games/fairy-stockfish";

const QString CANNOT_START = QStringLiteral("エンジンを起動できません: ");
const QString EXITED = QStringLiteral("エンジンが終了しました");
const QString NO_ANSWER = QStringLiteral("エンジンが応答しません");
const QString UNREADABLE = QStringLiteral("エンジンの出力を読めません");

QString Fake(const char* mode) { return QStringLiteral("bash \"%1\" %2").arg(FAKE_USI_ENGINE, mode); }

// Runs the event loop until pred holds or the deadline passes; answers pred.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer clock;
    for (clock.start(); !pred() && clock.elapsed() <= timeoutMs;)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return pred();
}

void RunFor(int ms) {
    WaitUntil([] { return false; }, ms);
}

// Counts the turns of the event loop: 10 ms ticks while it runs freely.
struct Ticker {
    Ticker() {
        QObject::connect(&timer, &QTimer::timeout, [this] { ++ticks; });
        timer.start(10);
        clock.start();
    }
    // At least half the ticks the time since the start allows: nothing blocked the loop for long.
    bool KeptTurning() const { return ticks * 10 * 2 >= clock.elapsed() - 50; }
    QTimer timer;
    QElapsedTimer clock;
    int ticks = 0;
};

TEST(UsiEngine, EachFailureIsReportedOnceWithoutBlocking) {
    const struct {
        QString command;
        bool infinite;
        QString failure;
        const char* result = "";
        // A flood is output faster than the limit a second; a reader slower
        // than that (a sanitizer build) reads on, unblocked, until the search's time is up.
        QString orFailure = {};
    } rows[] = {
        {Fake("normal"), false, "", "cp 40 | 7g7f 3c3d | 7g7f"},  // the exact score, multipv 1 only
        {Fake("normal"), true, "", "cp 40 | 7g7f 3c3d | 7g7f"},
        {Fake("garbage junk"), false, "", "cp 40 | 7g7f 3c3d | 7g7f"},
        {Fake("crash usiok"), false, EXITED},
        {Fake("crash go"), false, EXITED},
        {Fake("hang ready"), false, NO_ANSWER},
        {Fake("hang go"), false, NO_ANSWER},  // past its time, then past "stop"
        {Fake("hang go"), true, NO_ANSWER},   // "stop" unanswered
        {Fake("garbage long"), false, UNREADABLE},
        {Fake("garbage illegal"), false, UNREADABLE},
        {Fake("garbage flood"), false, UNREADABLE, "", NO_ANSWER},
        {"/nonexistent/engine --usi", false, CANNOT_START},
        {" ", false, CANNOT_START},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.command.toStdString() + (r.infinite ? " infinite" : ""));
        CUsiEngine engine;
        engine.SetLimits({400, 200, 300});
        QStringList failures;
        std::string result;
        int infos = 0;
        QObject::connect(&engine, &CUsiEngine::failed, [&](const QString& m) { failures << m; });
        QObject::connect(&engine, &CUsiEngine::info, [&](const UsiInfo&) { ++infos; });
        QObject::connect(&engine, &CUsiEngine::analysed, [&](const EngineResult& res) {
            result = (res.mate ? "mate " : "cp ") + std::to_string(res.score) + " |";
            for (const std::string& w : res.pv)
                result += " " + w;
            result += " | " + res.bestMove;
        });
        QObject::connect(&engine, &CUsiEngine::ready, [&] {
            EXPECT_FALSE(engine.Analyse("position startpos moves 7g7f 7g7f", 50));  // not a legal position
            if (!r.infinite) {
                EXPECT_TRUE(engine.Analyse("position startpos", 50));
                return;
            }
            EXPECT_TRUE(engine.AnalyseInfinite("position startpos"));
            QTimer::singleShot(100, &engine, [&] { engine.Stop(); });
        });
        engine.Start(r.command);
        // Counted from here: starting a process is the system's time, not the engine's.
        Ticker ticker;
        EXPECT_TRUE(WaitUntil([&] { return !failures.isEmpty() || !result.empty(); }, 4000));
        RunFor(100);
        EXPECT_TRUE(ticker.KeptTurning()) << ticker.ticks << " ticks in " << ticker.clock.elapsed() << " ms";
        ASSERT_EQ(failures.size(), r.failure.isEmpty() ? 0 : 1) << failures.join("; ").toStdString();
        if (!failures.isEmpty()) {
            EXPECT_TRUE(failures[0].startsWith(r.failure) ||
                        (!r.orFailure.isEmpty() && failures[0].startsWith(r.orFailure)))
                << failures[0].toStdString();
        }
        EXPECT_EQ(result, r.result);
        if (r.failure.isEmpty()) {
            EXPECT_GE(infos, 1);
            EXPECT_TRUE(engine.Name().startsWith("Fake ")) << engine.Name().toStdString();
        }
    }
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(RecordAnalyzer, StopsOnAFailureOrWhenCancelled) {
    for (const bool cancel : {false, true}) {
        CKifuControl rec;
        ASSERT_TRUE(rec.LoadKifFromBuffer("startpos moves 7g7f 3c3d", "a.sfen"));
        CRecordAnalyzer analyzer(rec.kifu);
        analyzer.Engine().SetLimits({400, 200, 300});
        QStringList events;
        QObject::connect(&analyzer, &CRecordAnalyzer::failed,
                         [&](const QString& m) { events << "failed " + m; });
        QObject::connect(&analyzer, &CRecordAnalyzer::finished,
                         [&](bool c) { events << QString("finished %1").arg(c); });
        QObject::connect(&analyzer, &CRecordAnalyzer::progress,
                         [&](int d, int t) { events << QString("%1/%2").arg(d).arg(t); });
        analyzer.Start(Fake(cancel ? "hang go" : "crash go"), 50, false);
        if (cancel)
            QTimer::singleShot(100, &analyzer, [&] { analyzer.Cancel(); });
        WaitUntil([&] { return !events.isEmpty(); }, 3000);
        RunFor(500);  // past the grace: nothing more comes
        EXPECT_EQ(events.join("; "), cancel ? "finished 1" : "failed " + EXITED);
        EXPECT_EQ(rec.kifu.Root()->move->comment, "");
    }
}

// A game in which sente's 31st move puts its rook where gote's bishop takes it for nothing.
constexpr const char* ROOK_BLUNDER =
    "startpos moves 7g7f 5a4b 2h6h 5c5d 5g5f 4b3b 3i2h 1c1d 4i5h 2b1c 6h7h 6c6d 5i4h 8b6b 5h5g 3a2b "
    "4g4f 1c3e 3g3f 3e5c 2h3g 6d6e 7f7e 4a5b 1g1f 9c9d 4h3i 9d9e 7e7d 7a7b 7h7e 5c7e 7i6h 7c7d 5f5e "
    "6b6d 3f3e 4c4d 3g3f 7b7c";

TEST(RecordAnalyzer, WholeGameOnFairyStockfish) {
    if (!fs::exists(FAIRY))
        GTEST_SKIP() << FAIRY << " is not installed";
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(ROOK_BLUNDER, "blunder.sfen"));
    CRecordAnalyzer analyzer(rec.kifu);
    std::string end;
    int lastDone = 0;
    QObject::connect(&analyzer, &CRecordAnalyzer::failed, [&](const QString& m) { end = m.toStdString(); });
    QObject::connect(&analyzer, &CRecordAnalyzer::finished, [&](bool c) { end = c ? "cancelled" : "done"; });
    QObject::connect(&analyzer, &CRecordAnalyzer::progress, [&](int d, int t) { lastDone = d * 100 + t; });
    analyzer.Start(FAIRY, 100, false);
    ASSERT_TRUE(WaitUntil([&] { return !end.empty(); }, 30000));
    ASSERT_EQ(end, "done");
    EXPECT_EQ(lastDone, 40 * 100 + 40);

    std::vector<Evaluation> evals;
    for (const KifuNode* e = rec.kifu.Root(); e && e->filled; e = e->next) {
        SCOPED_TRACE("move " + std::to_string(e->move->number));
        evals.push_back(EvaluationOf(e->move->comment));
        EXPECT_TRUE(evals.back().known);
        CMoveTracker at;
        ASSERT_TRUE(TrackTo(rec.kifu, e, &at));
        // Every move of the line is legal where it stands: read back and
        // written again, the whole line comes out as it was.
        const std::string pv = PvOf(e->move->comment);
        const std::vector<MoveRec> line = PvMovesOfText(at, pv);
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(PvText(line, at.LastFile(), at.LastRank()), pv);
    }
    ASSERT_EQ(evals.size(), 40u);
    EXPECT_TRUE(IsBadMove(evals[29], evals[30], SENTE)) << evals[29].value << " -> " << evals[30].value;
    EXPECT_LT(evals[30].value, -500);  // gote is a rook up once it takes, and is seen so before
    EXPECT_LT(evals[31].value, -500);
}

// ravuone-kif analyze as a program: the record written with its analysis,
// the exit status and message when it cannot be done.
TEST(RecordAnalyzer, KifToolAnalyze) {
    const fs::path dir = fs::temp_directory_path() / ("ravu_analyze_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // UTF-8, which the reader finds by itself: two main-line moves and a variation of the second.
    std::ofstream(dir / "in.kif")
        << "手合割：平手\r\n   1 ７六歩(77)\r\n   2 ３四歩(33)+\r\n   3 ２二角成(88)\r\n\r\n"
           "変化：2手\r\n   2 ８四歩(83)\r\n";
    const auto tool = [&](const std::string& args) {
        const int rc = std::system(
            (std::string(RAVU_KIF_TOOL) + " analyze " + args + " 2>" + (dir / "err").string()).c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    };
    const std::string in = (dir / "in.kif").string(), out = (dir / "out.kif").string();
    EXPECT_EQ(tool(in), 2);
    EXPECT_EQ(tool("--time 5 " + in + " " + out), 2);
    EXPECT_EQ(tool("--engine /nonexistent " + in + " " + out), 1);
    EXPECT_NE(Slurp(dir / "err").find(CANNOT_START.toStdString()), std::string::npos) << Slurp(dir / "err");
    EXPECT_EQ(tool("--engine '" + Fake("crash go").toStdString() + "' " + in + " " + out), 1);
    EXPECT_FALSE(fs::exists(out));
    if (fs::exists(FAIRY)) {
        ASSERT_EQ(tool(std::string("--engine ") + FAIRY + " --time 50 --variations " + in + " " + out), 0)
            << Slurp(dir / "err");
        EXPECT_NE(Slurp(dir / "err").find("analysed 4 of 4"), std::string::npos) << Slurp(dir / "err");
        CKifuControl rec;
        ASSERT_TRUE(LoadRecordFile(rec, out));
        KifuNode* first = rec.kifu.Root();
        ASSERT_TRUE(first->next->alt && first->next->alt->filled);
        for (const KifuNode* e : {first, first->next, first->next->next, first->next->alt})
            EXPECT_TRUE(EvaluationOf(e->move->comment).known && !PvOf(e->move->comment).empty())
                << e->move->number << ": " << e->move->comment;
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace ravu
