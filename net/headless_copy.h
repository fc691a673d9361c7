// A whole copy of the system without windows: board, record, the two game
// sockets, the peer protocol and the guest's handshake, with the questions
// answered by a policy or a callback.  The command-line peer, the loopback
// tests and the benchmark are built on it.  Every event is reported through
// the event signal (texts in Shift-JIS).
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/board.h"
#include "net/game_socket.h"
#include "net/guest_handshake.h"
#include "net/monotonic_clock.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"

namespace ravu {

class CHeadlessCopy : public QObject, public CProtocolHost, public CSockOwner {
    Q_OBJECT
public:
    explicit CHeadlessCopy(const std::string& sjisHandleName, QObject* parent = nullptr);
    ~CHeadlessCopy() override;

    // Host side: listens (port 0 = a free port).  False when listening failed.
    bool Listen(unsigned port);
    unsigned Port() const { return listenSocket.ListenPort(); }

    // Guest side: connect dialog and turn dialog, headless.  True while the
    // attempt runs (a name is looked up first); its end comes as an event.
    bool Connect(const std::string& host, unsigned port);
    void ProposeTurn(int side);

    // Turns the protocol extension on or off (before connecting): off, the
    // copy says and understands only the basic protocol.
    void SetExtension(bool on) { protocol.extensionOn = on; }

    // The user's commands.
    int Move(const std::string& sjisListText);  // PlayMoveText
    int Resign();
    int Declare();  // the entering-king declaration (CPeerProtocol::Declare)
    void Chat(const std::string& sjisText);
    int Disconnect();

    // --- CProtocolHost ---
    int Ask(Question kind, const std::string& question) override;
    void AddLine(const std::string& line) override;
    void Redraw(bool full) override;
    void ShowCheck() override;
    void ShowChatInput(bool show) override;
    void CloseTurnDialog() override;
    bool IsConnectDialogOpen() const override;
    void SetOpponentName(const std::string& name) override { opponentName = name; }
    void Notify(Notice kind) override;
    int64_t NowMs() const override { return MonotonicMs(); }

    // --- CSockOwner: the main window's dispatch ---
    void OnSockMessage(SockMsg msg, SockHandle wParam) override;
    std::string CapsText() const override { return protocol.CapsText(); }
    std::string ProposalText() const override { return protocol.ProposalText(); }

    // How questions are answered: ASK_YES, ASK_NO, or 0 = through askHandler
    // (which may run a nested loop), or when that is null, ASK_NO.
    int answerPolicy = ASK_YES;
    std::function<int(const std::string& question)> askHandler;
    // Separate answer for the connection question (hello), -1 = answerPolicy.
    int helloAnswer = -1;
    // A connect dialog of this copy counts as open (hellos are refused).
    bool connectDialogOpen = false;

    CShogiBoard board;
    CKifuControl record;
    CGameSocket connectSocket;
    CGameSocket listenSocket;
    CPeerProtocol protocol;
    CGuestHandshake handshake;

    std::vector<std::string> chatLog;    // lines given to the chat log
    std::vector<std::string> questions;  // every question asked
    std::string opponentName;
    int checkCount = 0;  // times the check label was drawn
    int redrawCount = 0;
    bool chatInputShown = false;

signals:
    // kind: "hello", "accept", "refuse", "observe", "catchup", "move", "chat",
    // "closed", "connected", "connect_failed", "timeout", "question",
    // "answer", "game_start", "game_over" (text: the end line recorded, if
    // any), "check", "turn_refused", "turn_accept", "turn_timeout", "moved",
    // "watching", "turn", "notice" (text: what the player is told, value:
    // the Notice); of the extension: "caps" (the peer's announcement),
    // "settings" (the game's, as GamePayload; value: own side, -1 watching),
    // "clock" (a clock report as received), "end" (an ending of a refereed
    // game: NoticeName, value: the Notice).  text: Shift-JIS.  value: handle
    // or number.
    void event(const QString& kind, const QByteArray& sjisText, qint64 value);

private:
    void Emit(const char* kind, const std::string& text = std::string(), qint64 value = 0);
    void ReportModeChange(int oldMode);
    // The main line's entries (list layout), empty ones left out.
    std::vector<std::string> MainLine() const;
    // A user's move command: the move's own entry (an automatic end may
    // follow it), then the change of mode.
    void ReportOwnMove(int ok, size_t entriesBefore, int oldMode);

    // Clocks run out and round trips are measured only while this ticks.
    QTimer tick;
};

}  // namespace ravu
