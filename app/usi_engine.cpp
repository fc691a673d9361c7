// The USI engine process: handshake, searches, deadlines and garbage.
#include "app/usi_engine.h"

namespace ravu {

namespace {

// The beginnings of the failure texts; the player reads them translated.
const char* const CANNOT_START = QT_TRANSLATE_NOOP("ravu::CUsiEngine", "エンジンを起動できません: ");
const char* const EXITED = QT_TRANSLATE_NOOP("ravu::CUsiEngine", "エンジンが終了しました");
const char* const NO_ANSWER = QT_TRANSLATE_NOOP("ravu::CUsiEngine", "エンジンが応答しません");
const char* const UNREADABLE = QT_TRANSLATE_NOOP("ravu::CUsiEngine", "エンジンの出力を読めません");

}  // namespace

CUsiEngine::CUsiEngine(QObject* parent) : QObject(parent), process(new QProcess(this)) {
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this, &CUsiEngine::TimeUp);
    // The engine's diagnostics are nobody's business, and must not pile up.
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this, &CUsiEngine::ReadOutput);
    connect(process, &QProcess::finished, this, &CUsiEngine::Exited);
    connect(process, &QProcess::errorOccurred, this, &CUsiEngine::ProcessError);
}

CUsiEngine::~CUsiEngine() {
    deadline.stop();
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning)
        return;
    // A moment for a clean exit, then the hard way.
    if (state != State::Quitting && process->state() == QProcess::Running)
        process->write("quit\n");
    if (!process->waitForFinished(300)) {
        process->kill();
        process->waitForFinished(300);
    }
}

void CUsiEngine::Start(const QString& commandLine) {
    if (state != State::Idle)
        return;
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        state = State::WaitUsiOk;  // so that Fail reports it
        Fail(tr(CANNOT_START) + tr("コマンドが空です"));
        return;
    }
    const QString program = words.takeFirst();
    state = State::WaitUsiOk;
    floodWindow.start();
    process->start(program, words);
    if (state != State::WaitUsiOk)
        return;  // it could not be started, and has said so
    Send("usi");
    deadline.start(limits.handshakeMs);
}

bool CUsiEngine::Analyse(const QString& positionCommand, int movetimeMs) {
    return Go(positionCommand, QStringLiteral("go movetime %1").arg(movetimeMs), movetimeMs + limits.graceMs);
}

bool CUsiEngine::AnalyseInfinite(const QString& positionCommand) {
    return Go(positionCommand, QStringLiteral("go infinite"), -1);
}

bool CUsiEngine::Go(const QString& positionCommand, const QString& go, int timeLimitMs) {
    if (state != State::Ready || !TrackPositionCommand(positionCommand.toStdString(), &position))
        return false;
    scored = UsiInfo{};
    scoredExact = false;
    lastPv.clear();
    state = State::Searching;
    Send(positionCommand.toUtf8());
    Send(go.toUtf8());
    if (timeLimitMs >= 0)
        deadline.start(timeLimitMs);
    return true;
}

void CUsiEngine::Stop() {
    if (state != State::Searching)
        return;
    state = State::Stopping;
    Send("stop");
    deadline.start(limits.graceMs);
}

void CUsiEngine::Quit() {
    if (state == State::Idle || state == State::Failed || state == State::Quitting)
        return;
    state = State::Quitting;
    Send("quit");
    deadline.start(limits.quitMs);
}

void CUsiEngine::Send(const QByteArray& line) {
    if (process->state() != QProcess::NotRunning)
        process->write(line + '\n');
}

void CUsiEngine::Fail(const QString& message) {
    if (state == State::Failed || state == State::Quitting || state == State::Idle)
        return;
    state = State::Failed;
    deadline.stop();
    pending.clear();
    process->kill();
    emit failed(message);
}

void CUsiEngine::ReadOutput() {
    readScheduled = false;
    if (state == State::Failed || state == State::Quitting) {
        process->readAllStandardOutput();  // nobody listens any more
        return;
    }
    if (process->bytesAvailable() > USI_BACKLOG_MAX) {
        Fail(tr(UNREADABLE) + tr("（出力が多すぎます）"));
        return;
    }
    const QByteArray data = process->read(USI_READ_PIECE);
    if (process->bytesAvailable() > 0) {
        readScheduled = true;
        QTimer::singleShot(1, this, [this] {
            if (readScheduled)
                ReadOutput();
        });
    }
    if (floodWindow.elapsed() > 1000) {
        floodWindow.restart();
        floodBytes = 0;
    }
    floodBytes += data.size();
    if (floodBytes > USI_FLOOD_BYTES_PER_SECOND) {
        Fail(tr(UNREADABLE) + tr("（出力が多すぎます）"));
        return;
    }
    pending += data;
    qsizetype start = 0;
    for (qsizetype end; (end = pending.indexOf('\n', start)) >= 0; start = end + 1) {
        if (end - start > USI_LINE_MAX) {
            Fail(tr(UNREADABLE) + tr("（行が長すぎます）"));
            return;
        }
        qsizetype length = end - start;
        if (length > 0 && pending[end - 1] == '\r')
            --length;
        HandleLine(pending.mid(start, length).toStdString());
        if (state == State::Failed || state == State::Quitting)
            return;
    }
    pending.remove(0, start);
    if (pending.size() > USI_LINE_MAX)
        Fail(tr(UNREADABLE) + tr("（行が長すぎます）"));
}

void CUsiEngine::HandleLine(const std::string& line) {
    switch (state) {
        case State::WaitUsiOk:
            if (line.rfind("id name ", 0) == 0)
                name = QString::fromUtf8(line.substr(8)).trimmed().left(200);
            else if (line == "usiok" || line.rfind("usiok ", 0) == 0) {
                state = State::WaitReadyOk;
                Send("isready");
                deadline.start(limits.handshakeMs);
            }
            break;
        case State::WaitReadyOk:
            if (line == "readyok" || line.rfind("readyok ", 0) == 0) {
                deadline.stop();
                state = State::Ready;
                Send("usinewgame");
                emit ready();
            }
            break;
        case State::Searching:
        case State::Stopping: {
            UsiInfo parsed;
            std::string move, ponder;
            if (ParseInfo(line, &parsed)) {
                if (parsed.multipv != 1)
                    break;
                if (parsed.hasScore && (parsed.bound == BOUND_EXACT || !scoredExact)) {
                    scored = parsed;
                    scoredExact = parsed.bound == BOUND_EXACT;
                }
                if (!parsed.pv.empty())
                    lastPv = parsed.pv;
                emit info(parsed);
            } else if (ParseBestMove(line, &move, &ponder)) {
                Finish(move);
            }
            break;
        }
        default: break;  // late lines of a search, or nothing asked
    }
}

void CUsiEngine::Finish(const std::string& bestMove) {
    CMoveTracker check = position;
    MoveRec played;
    if (bestMove != "resign" && bestMove != "win" && !check.PlayUsi(bestMove, &played)) {
        Fail(tr(UNREADABLE) + tr("（指せない手: ") + QString::fromUtf8(bestMove).left(20) + ")");
        return;
    }
    EngineResult result;
    result.hasScore = scored.hasScore;
    result.mate = scored.mate;
    result.score = scored.score;
    result.pv = !scored.pv.empty() ? scored.pv : lastPv;
    if (bestMove == "resign" || bestMove == "win")
        result.pv.clear();
    else if (result.pv.empty() || result.pv.front() != bestMove)
        result.pv = {bestMove};
    result.bestMove = bestMove;
    deadline.stop();
    state = State::Ready;
    emit analysed(result);
}

void CUsiEngine::TimeUp() {
    switch (state) {
        case State::Searching:  // past its time: asked once to stop
            state = State::Stopping;
            Send("stop");
            deadline.start(limits.graceMs);
            break;
        case State::Quitting: process->kill(); break;
        default: Fail(tr(NO_ANSWER)); break;
    }
}

void CUsiEngine::Exited() {
    if (state == State::Quitting)
        deadline.stop();
    else
        Fail(tr(EXITED));
}

void CUsiEngine::ProcessError(QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart)
        Fail(tr(CANNOT_START) + process->errorString());
    // A crash, or writing to a program that has gone: finished() tells.
}

}  // namespace ravu
