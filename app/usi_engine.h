// A USI engine run as a child process: the usi/usiok and isready/readyok
// handshake, searches of one position for a given time or until stopped,
// and quitting.  Everything runs on the event loop of the thread that owns
// it; nothing waits for the engine, except the destructor for a moment.
//
// An engine is trusted with nothing.  A program that cannot start, exits or
// crashes, does not answer in time (the handshake, or bestmove by the search
// time plus a grace: it is sent "stop", then killed), floods its output,
// prints a line longer than USI_LINE_MAX bytes or a best move that is not
// legal in the position fails the engine: failed() is emitted once, in plain
// words, the process is killed and the engine does nothing more.  Lines it
// does not know are passed over.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <string>
#include <vector>

#include "record/move_tracker.h"
#include "record/usi_line.h"

namespace ravu {

// Longest output line taken from an engine, and the most output per second.
constexpr qsizetype USI_LINE_MAX = 16384;
constexpr qint64 USI_FLOOD_BYTES_PER_SECOND = 4 << 20;
// Output is read this much at a time, the next piece a millisecond later
// (a zero-time timer would starve the window's other timers), so that a
// chatty engine never holds the window up; more than USI_BACKLOG_MAX waiting
// means it prints faster than it can be read: a flood too.
constexpr qint64 USI_READ_PIECE = 16 << 10;
constexpr qint64 USI_BACKLOG_MAX = 1 << 20;

// What a search ended with.
struct EngineResult {
    bool hasScore = false;
    bool mate = false;            // score in plies to mate, from the side to move's view
    int32_t score = 0;            // centipawns, from the side to move's view
    std::vector<std::string> pv;  // USI words, starting with the best move when the engine's pv does not
    std::string bestMove;         // a legal move, or "resign" / "win"
};

class CUsiEngine : public QObject {
    Q_OBJECT
public:
    // How long the engine may take: to answer usiok and readyok each, beyond
    // the search time before it is sent "stop", after "stop" before it is
    // killed, and after "quit" before it is killed.
    struct Limits {
        int handshakeMs = 10000;
        int graceMs = 3000;
        int quitMs = 2000;
    };

    explicit CUsiEngine(QObject* parent = nullptr);
    ~CUsiEngine() override;

    void SetLimits(const Limits& limits) { this->limits = limits; }

    // Starts the program (the command line split as a shell would, but run
    // without one) and the handshake; ready() when it is done.  Once only.
    void Start(const QString& commandLine);

    // Handshake done and no search running.
    bool IsReady() const { return state == State::Ready; }
    // The engine's "id name", empty until it has told it.
    const QString& Name() const { return name; }

    // Searches the position of a USI "position ..." command for movetimeMs:
    // info() on the way, analysed() at the end.  False, with nothing sent,
    // when the engine is not ready or the command names no legal position.
    bool Analyse(const QString& positionCommand, int movetimeMs);
    // The same until Stop().
    bool AnalyseInfinite(const QString& positionCommand);
    // Ends the running search; analysed() follows.
    void Stop();
    // Asks the engine to quit; no signal comes after this.
    void Quit();

signals:
    void ready();
    // An info line of the running search's main line (multipv 1).
    void info(const ravu::UsiInfo& info);
    void analysed(const ravu::EngineResult& result);
    void failed(const QString& message);

private:
    enum class State { Idle, WaitUsiOk, WaitReadyOk, Ready, Searching, Stopping, Failed, Quitting };

    bool Go(const QString& positionCommand, const QString& go, int timeLimitMs);
    void Send(const QByteArray& line);
    void Fail(const QString& message);
    void ReadOutput();
    void HandleLine(const std::string& line);
    void Finish(const std::string& bestMove);
    void TimeUp();
    void Exited();
    void ProcessError(QProcess::ProcessError error);

    QProcess* process;
    QTimer deadline;
    Limits limits;
    State state = State::Idle;
    QString name;
    QByteArray pending;          // output after the last complete line
    bool readScheduled = false;  // the next piece of the output is read at the next turn
    QElapsedTimer floodWindow;
    qint64 floodBytes = 0;
    CMoveTracker position;  // of the running search
    UsiInfo scored;         // the search's latest main-line info with a score
    bool scoredExact = false;
    std::vector<std::string> lastPv;
};

}  // namespace ravu
