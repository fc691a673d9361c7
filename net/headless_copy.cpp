#include "net/headless_copy.h"

#include "record/notation.h"
#include "record/record_path.h"

namespace ravu {

namespace {
// How often a running game's clocks are looked at (as the main window does).
constexpr int TICK_MS = 100;
}  // namespace

CHeadlessCopy::CHeadlessCopy(const std::string& sjisHandleName, QObject* parent)
    : QObject(parent),
      protocol(board, record, connectSocket, listenSocket, *this),
      handshake(connectSocket, this),
      reconnector(connectSocket, this) {
    protocol.SetHandleName(sjisHandleName);
    listenSocket.SetHandleName(sjisHandleName);
    connectSocket.m_pOwner = this;
    listenSocket.m_pOwner = this;
    connectSocket.Create(0);
    board.Reset();
    tick.setInterval(TICK_MS);
    connect(&tick, &QTimer::timeout, this, [this] {
        const int oldMode = protocol.mode;
        protocol.OnTick();
        ReportModeChange(oldMode);
    });

    handshake.onHostHello = [this] {
        opponentName = handshake.hostName;
        protocol.SetOpponentName(handshake.hostName);
        Emit("hello", handshake.hostName);
    };
    handshake.onOutcome = [this](CGuestHandshake::Phase phase, CGuestHandshake::Outcome out) {
        int oldMode = protocol.mode;
        if (phase == CGuestHandshake::PHASE_CONNECTING) {
            switch (out) {
                case CGuestHandshake::OUT_ACCEPTED:
                    protocol.hostAddress = dialed;
                    protocol.OnGuestConnected(handshake.hostCaps);
                    Emit("accept");
                    break;
                case CGuestHandshake::OUT_REFUSED: Emit("refuse"); break;
                case CGuestHandshake::OUT_FAILED:
                case CGuestHandshake::OUT_UNKNOWN_HOST:
                case CGuestHandshake::OUT_OWN_ADDRESS:
                    Emit("connect_failed", connectSocket.m_strError);
                    break;
                case CGuestHandshake::OUT_TIMED_OUT: Emit("timeout"); break;
            }
        } else if (phase == CGuestHandshake::PHASE_TURN) {
            switch (out) {
                case CGuestHandshake::OUT_ACCEPTED:
                    Emit("turn_accept");
                    protocol.OnTurnAccepted(handshake.proposedSide());
                    break;
                case CGuestHandshake::OUT_REFUSED: Emit("turn_refused"); break;
                case CGuestHandshake::OUT_TIMED_OUT: Emit("turn_timeout"); break;
                default: break;
            }
        }
        ReportModeChange(oldMode);
    };

    reconnector.onAccepted = [this](const std::string& hostName, const std::string& hostCaps) {
        const int oldMode = protocol.mode;
        protocol.OnGuestConnected(hostCaps);
        Emit("reconnected", hostName);
        ReportModeChange(oldMode);
    };
    reconnector.onGaveUp = [this](bool refused) { Emit("reconnect_gave_up", std::string(), refused); };
}

CHeadlessCopy::~CHeadlessCopy() {
    // Stopped first: it hands the connection back to this copy.
    reconnector.Stop();
    connectSocket.m_pOwner = nullptr;
    listenSocket.m_pOwner = nullptr;
}

bool CHeadlessCopy::Listen(unsigned port) { return listenSocket.Listen(port) != 0; }

bool CHeadlessCopy::Connect(const std::string& host, unsigned port) {
    reconnector.Stop();
    if (protocol.connState != CONN_NONE)
        return false;
    // Kept with an adjourned game for coming back: "host:port", "[v6]:port".
    const std::string p = ":" + std::to_string(port);
    dialed = host.find(':') == std::string::npos ? host + p : "[" + host + "]" + p;
    handshake.ownPort = listenSocket.ListenPort();
    if (handshake.StartConnect(Destination{host, port, true}, protocol.GetHandleName()) !=
        CGuestHandshake::START_CONNECTING) {
        Emit("connect_failed", connectSocket.m_strError);
        return false;
    }
    return true;
}

void CHeadlessCopy::ProposeTurn(int side) {
    if (protocol.connState == CONN_GUEST && protocol.mode == MODE_FREE)
        handshake.ProposeTurn(side);
}

int CHeadlessCopy::Move(const std::string& sjisListText) {
    const int oldMode = protocol.mode;
    const size_t before = MainLine().size();
    const int ok = protocol.PlayMoveText(sjisListText);
    ReportOwnMove(ok, before, oldMode);
    return ok;
}

int CHeadlessCopy::Resign() {
    const int oldMode = protocol.mode;
    const size_t before = MainLine().size();
    const int ok = protocol.Resign();
    ReportOwnMove(ok, before, oldMode);
    return ok;
}

int CHeadlessCopy::Declare() {
    const int oldMode = protocol.mode;
    const size_t before = MainLine().size();
    const int result = protocol.Declare();
    ReportOwnMove(result == 1, before, oldMode);
    return result;
}

void CHeadlessCopy::ReportOwnMove(int ok, size_t entriesBefore, int oldMode) {
    if (ok) {
        const std::vector<std::string> entries = MainLine();
        Emit("moved", entriesBefore < entries.size() ? entries[entriesBefore] : record.textBuf);
    }
    ReportModeChange(oldMode);
}

std::vector<std::string> CHeadlessCopy::MainLine() const {
    std::vector<std::string> out;
    for (const KifuNode* e = record.kifu.Root(); e && e->filled; e = e->next)
        if (std::string text = FormatMove(*e, FMT_LIST); !text.empty())
            out.push_back(std::move(text));
    return out;
}

void CHeadlessCopy::Chat(const std::string& sjisText) {
    if (!sjisText.empty())
        protocol.HandleChat(0, &sjisText);
}

int CHeadlessCopy::Disconnect() {
    // Coming back on its own ends too (the game stays adjourned).
    const bool comingBack = reconnector.Running();
    reconnector.Stop();
    int oldMode = protocol.mode;
    int ok = protocol.Disconnect();
    ReportModeChange(oldMode);
    return ok || comingBack ? 1 : 0;
}

int CHeadlessCopy::Ask(Question kind, const std::string& question) {
    questions.push_back(question);
    Emit("question", question);
    int policy = answerPolicy;
    if (kind == Question::Connect && helloAnswer >= 0)
        policy = helloAnswer;
    // Resigning, disconnecting and declaring are this copy's own commands:
    // whoever gave the command has already said yes to its question.
    if (kind == Question::Resign || kind == Question::Disconnect || kind == Question::Declare)
        policy = ASK_YES;
    int answer = ASK_NO;
    if (policy == ASK_YES || policy == ASK_NO)
        answer = policy;
    else if (askHandler)
        answer = askHandler(question) == ASK_YES ? ASK_YES : ASK_NO;
    Emit("answer", std::string(), answer);
    return answer;
}

void CHeadlessCopy::AddLine(const std::string& line) {
    chatLog.push_back(line);
    Emit("chat", line);
}

void CHeadlessCopy::Redraw(bool) { ++redrawCount; }

void CHeadlessCopy::Notify(Notice kind) {
    Emit("notice", NoticeText(kind), static_cast<qint64>(kind));
    if (kind >= Notice::WonByMate && kind < Notice::Adjourned)
        Emit("end", NoticeName(kind), static_cast<qint64>(kind));
    // A guest goes back to its host; a host waits for its guest.
    if (kind == Notice::Adjourned && !protocol.Kept().host && !protocol.hostAddress.empty()) {
        Emit("reconnecting", protocol.hostAddress);
        reconnector.Start(protocol.hostAddress, GUEST_PORT, protocol.GetHandleName(),
                          listenSocket.ListenPort());
    }
}

void CHeadlessCopy::OnReviewChanged(bool recordChanged) {
    const KifuNode* cur = record.kifu.current;
    const KifuNode* shown = cur ? cur->prev : nullptr;
    Emit("review", PathText(PathOf(record.kifu, shown).value_or(RecordPath{})), recordChanged ? 1 : 0);
}

void CHeadlessCopy::ShowCheck() {
    ++checkCount;
    Emit("check", std::string(), protocol.mySide);
}

void CHeadlessCopy::ShowChatInput(bool show) { chatInputShown = show; }

void CHeadlessCopy::CloseTurnDialog() {
    if (handshake.phase() == CGuestHandshake::PHASE_TURN)
        handshake.Cancel();
}

bool CHeadlessCopy::IsConnectDialogOpen() const {
    return connectDialogOpen || handshake.phase() == CGuestHandshake::PHASE_CONNECTING;
}

void CHeadlessCopy::OnSockMessage(SockMsg msg, SockHandle wParam) {
    int oldMode = protocol.mode;
    // Handshake packets are reported before they are handled (their
    // questions follow); game packets after, when they have been applied.
    const char* after = nullptr;
    std::string text;
    // The guest's own link (also while its handshake still holds it; handles
    // are never shared between the two sockets).
    const bool fromHost = connectSocket.HasConnection(wParam) != 0;
    bool settingsFromHost = false;
    if (msg == WM_SOCK_PACKET) {
        CGameLink& link =
            fromHost ? static_cast<CGameLink&>(connectSocket) : static_cast<CGameLink&>(listenSocket);
        text = link.GetText(wParam);
        switch (link.GetLastType(wParam)) {
            case PKT_HELLO: Emit("hello", text, wParam); break;
            case PKT_TURN: Emit("turn", text, wParam); break;
            case PKT_ACCEPT: Emit("accept", text, wParam); break;
            case PKT_REFUSE: Emit("refuse", text, wParam); break;
            case PKT_OBSERVE: after = "observe"; break;
            case PKT_MOVE: after = "move"; break;
            case PKT_CHUNK_END: after = "catchup"; break;
            // The extension's packets mean something only to a copy that has it.
            case PKT_EXT_CAPS:
                if (protocol.extensionOn)
                    Emit("caps", text, wParam);
                break;
            case PKT_EXT_CLOCK:
                if (protocol.extensionOn)
                    after = "clock";
                break;
            case PKT_EXT_GAME: settingsFromHost = fromHost; break;
            default: break;  // chat lines are reported when they are logged
        }
    } else if (msg == WM_SOCK_CLOSED) {
        Emit("closed", std::string(), wParam);
    }
    protocol.OnSockMessage(msg, wParam);
    if (after)
        Emit(after, text, wParam);
    // A spectator learns the watched game's settings from its host.
    if (settingsFromHost && protocol.mode == MODE_WATCHING && protocol.Refereed())
        Emit("settings", GamePayload(protocol.Game()), -1);
    ReportModeChange(oldMode);
}

void CHeadlessCopy::Emit(const char* kind, const std::string& text, qint64 value) {
    emit event(QString::fromLatin1(kind), QByteArray(text.data(), static_cast<qsizetype>(text.size())),
               value);
}

void CHeadlessCopy::ReportModeChange(int oldMode) {
    int mode = protocol.mode;
    // Also a game taken up again without a change of mode (restored and resumed).
    if (mode != MODE_GAME)
        tick.stop();
    else if (!tick.isActive())
        tick.start();
    if (mode == oldMode)
        return;
    if (mode == MODE_GAME) {
        Emit("game_start", std::string(), protocol.mySide);
        if (protocol.Refereed())
            Emit("settings", GamePayload(protocol.Game()), protocol.mySide);
    } else if (mode == MODE_WATCHING) {
        Emit("watching");
    } else if (mode == MODE_FREE && (oldMode == MODE_GAME || oldMode == MODE_WATCHING)) {
        const std::vector<std::string> entries = MainLine();
        const KifuNode* last = nullptr;
        for (const KifuNode* e = record.kifu.Root(); e && e->filled; e = e->next)
            last = e;
        const bool ended = last && last->move && IsEndStatus(last->move->status) && !entries.empty();
        Emit("game_over", ended ? entries.back() : std::string());
    }
}

}  // namespace ravu
