#include "peer_console.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostInfo>
#include <QTimer>

#include <unistd.h>

#include <cstdio>

#include "app/json_text.h"
#include "app/textcodec.h"
#include "net/host_list.h"
#include "record/move_tracker.h"
#include "record/record_path.h"

namespace ravu {

namespace {
constexpr size_t kMaxLine = 64 * 1024;  // longer input lines are dropped

// "7六歩(77)" without a number gets the number of the move to be made.
std::string WithMoveNumber(const std::string& sjis, int number) {
    if (!sjis.empty() && (sjis[0] == ' ' || (sjis[0] >= '0' && sjis[0] <= '9')))
        return sjis;
    char num[16];
    std::snprintf(num, sizeof num, "%4d ", number);
    std::string n(num);
    return n.substr(n.size() - 5) + sjis + " ";
}

// A USI move ("7g7f", "8h2b+", "P*5e") as the board window reports a move
// of the review; anything else has no squares, and the review refuses it.
MoveRec ReviewMoveOf(const std::string& usi) {
    MoveRec m;
    UsiSquares u;
    if (!ParseUsiMove(usi, &u))
        return m;
    m.fromFile = u.fromFile;
    m.fromRank = u.fromRank;
    m.toFile = u.toFile;
    m.toRank = u.toRank;
    m.type = u.dropType;
    m.status = u.promote ? MS_PROMOTE : MS_MOVE;
    return m;
}
}  // namespace

CPeerConsole::CPeerConsole(const PeerOptions& options, QObject* parent) : QObject(parent), opt(options) {
    std::string name = opt.name.empty() ? QHostInfo::localHostName().toStdString() : opt.name;
    copy = std::make_unique<CHeadlessCopy>(Utf8ToSjis(name));
    copy->answerPolicy = opt.answer;
    copy->SetExtension(opt.extension);
    copy->protocol.proposal = opt.proposal;
    copy->askHandler = [this](const std::string& q) { return AskOnStdin(q); };
    copy->handshake.connectTimeoutMs = opt.connectTimeoutMs;
    copy->handshake.turnTimeoutMs = opt.turnTimeoutMs;
    connect(copy.get(), &CHeadlessCopy::event, this,
            [this](const QString& kind, const QByteArray& text, qint64 v) {
                PrintEvent(kind.toStdString(), text.toStdString(), v);
                if (kind == "accept" && copy->protocol.connState == CONN_GUEST) {
                    everConnected = true;
                    if (opt.turn >= 0 && copy->protocol.mode == MODE_FREE &&
                        copy->handshake.phase() == CGuestHandshake::PHASE_IDLE) {
                        int side = opt.turn;
                        opt.turn = -1;  // once
                        QTimer::singleShot(0, this, [this, side] { copy->ProposeTurn(side); });
                    }
                }
                if (copy->protocol.connState != CONN_NONE)
                    everConnected = true;
                // Looked at once the protocol has taken the close in: the
                // connection state is not yet updated when "closed" is told,
                // and an adjourned guest goes on until it gives up coming back.
                if (opt.exitOnClose && everConnected &&
                    (kind == "closed" || kind == "refuse" || kind == "timeout" || kind == "connect_failed" ||
                     kind == "reconnect_gave_up"))
                    QTimer::singleShot(0, this, [this] {
                        if (copy->protocol.connState == CONN_NONE &&
                            (!copy->protocol.Adjourned() || !copy->reconnector.Running()))
                            Quit(0);
                    });
                if (opt.exitOnClose && !opt.connectHost.empty() &&
                    (kind == "refuse" || kind == "timeout" || kind == "connect_failed"))
                    QTimer::singleShot(0, this, [this] { Quit(1); });
            });
    CPacketSocket::SetErrorReporter([this](const std::string& text) { PrintEvent("error", text, 0); });
}

CPeerConsole::~CPeerConsole() { CPacketSocket::SetErrorReporter(nullptr); }

bool CPeerConsole::Start() {
    // The list first: an input that has already ended would otherwise end
    // the program in the middle of the fetch.
    if (opt.fetchList)
        FetchList();
    stdinNotifier = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(stdinNotifier.get(), &QSocketNotifier::activated, this, [this] { ReadStdin(); });
    if (opt.host) {
        if (!copy->Listen(opt.listenPort)) {
            PrintEvent("error", copy->listenSocket.m_strError, 0);
            return false;
        }
        Print("{\"event\":\"listening\",\"port\":" + std::to_string(copy->Port()) + "}");
    }
    if (!opt.connectHost.empty()) {
        if (!copy->Connect(opt.connectHost, opt.connectPort))
            return false;
    }
    return true;
}

void CPeerConsole::Print(const std::string& json) {
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void CPeerConsole::PrintEvent(const std::string& kind, const std::string& sjisText, long long value) {
    Print("{\"event\":" + JsonString(kind) + ",\"text\":" + JsonString(SjisToUtf8(sjisText)) +
          ",\"value\":" + std::to_string(value) + "}");
}

void CPeerConsole::PrintState() {
    const CPeerProtocol& p = copy->protocol;
    Print("{\"event\":\"state\",\"connState\":" + std::to_string(p.connState) +
          ",\"mode\":" + std::to_string(p.mode) + ",\"mySide\":" + std::to_string(p.mySide) +
          ",\"gamePeer\":" + std::to_string(p.gamePeer) + ",\"sideToMove\":" +
          std::to_string(p.SideToMove()) + ",\"port\":" + std::to_string(copy->Port()) + "}");
}

void CPeerConsole::ReadStdin() {
    char buf[4096];
    ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
        stdinNotifier->setEnabled(false);
        if (!opt.stayOnEof)
            Quit(0);
        return;
    }
    stdinBuf.append(buf, static_cast<size_t>(n));
    size_t pos;
    while ((pos = stdinBuf.find('\n')) != std::string::npos) {
        std::string line = stdinBuf.substr(0, pos);
        stdinBuf.erase(0, pos + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Command(line);
    }
    if (stdinBuf.size() > kMaxLine)
        stdinBuf.clear();
}

int CPeerConsole::AskOnStdin(const std::string&) {
    // The question event has been printed; wait for "yes" or "no" (other
    // commands keep working) or the balloon's time-out.
    if (asking)
        return ASK_NO;
    asking = true;
    pendingAnswer = -1;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(opt.askTimeoutMs);
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pendingAnswer >= 0)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    asking = false;
    return pendingAnswer == ASK_YES ? ASK_YES : ASK_NO;
}

void CPeerConsole::FetchList() {
    CListSocket list;
    list.FetchList();
    PrintEvent("list", list.ListText(), static_cast<long long>(list.ListText().size()));
}

void CPeerConsole::Quit(int code) { QCoreApplication::exit(code); }

void CPeerConsole::Command(const std::string& line) {
    size_t sp = line.find(' ');
    std::string cmd = line.substr(0, sp);
    std::string arg = sp == std::string::npos ? std::string() : line.substr(sp + 1);
    bool ok = true;
    if (cmd.empty()) {
        return;
    } else if (cmd == "turn") {
        ok = copy->protocol.connState == CONN_GUEST && copy->protocol.mode == MODE_FREE &&
             (arg == "0" || arg == "1");
        if (ok)
            copy->ProposeTurn(arg == "1" ? 1 : 0);
    } else if (cmd == "move") {
        const KifuNode* cur = copy->record.kifu.current;
        int number = cur && cur->move && cur->move->number > 0 ? cur->move->number : 1;
        ok = copy->Move(WithMoveNumber(Utf8ToSjis(arg), number)) == 1;
    } else if (cmd == "resign") {
        ok = copy->Resign() == 1;
    } else if (cmd == "declare") {
        ok = copy->Declare() == 1;
    } else if (cmd == "chat") {
        ok = copy->protocol.connState != CONN_NONE && !arg.empty();
        if (ok)
            copy->Chat(Utf8ToSjis(arg));
    } else if (cmd == "review") {
        ok = copy->protocol.StartReview();
    } else if (cmd == "review-end") {
        ok = copy->protocol.Reviewing();
        copy->protocol.EndReview();
    } else if (cmd == "review-move") {
        ok = copy->protocol.ReviewMove(ReviewMoveOf(arg));
    } else if (cmd == "review-go") {
        RecordPath path;
        const KifuNode* entry = nullptr;
        ok = copy->protocol.Reviewing() && ParsePath(arg, path) &&
             (path.empty() || (entry = EntryAt(copy->record.kifu, path)) != nullptr);
        if (ok)
            copy->protocol.ReviewShown(entry);
    } else if (cmd == "review-comment") {
        ok = copy->protocol.Reviewing() && !arg.empty();
        copy->protocol.ReviewComment(Utf8ToSjis(arg));
    } else if (cmd == "follow") {
        ok = copy->protocol.Reviewing() && (arg == "on" || arg == "off");
        if (ok)
            copy->protocol.SetFollowing(arg == "on");
    } else if (cmd == "yes" || cmd == "no") {
        ok = asking;
        pendingAnswer = cmd == "yes" ? ASK_YES : ASK_NO;
    } else if (cmd == "disconnect") {
        ok = copy->Disconnect() == 1;
    } else if (cmd == "connect") {
        const Destination d = SplitDestination(arg, GUEST_PORT);
        ok = copy->Connect(d.host, d.port);
    } else if (cmd == "list") {
        FetchList();
    } else if (cmd == "state") {
        PrintState();
    } else if (cmd == "quit") {
        Quit(0);
    } else {
        ok = false;
    }
    if (!ok)
        Print("{\"event\":\"refused_command\",\"text\":" + JsonString(line) + "}");
}

}  // namespace ravu
