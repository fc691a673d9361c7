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
#include "net/reconnector.h"
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
    // A connection by hand ends any coming back on its own; an adjourned
    // game is taken up with it when the host holds it.
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
    int Disconnect();  // also stops coming back to an adjourned game: 1 when either was done

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
    // A review moved this copy's board or changed its record: "review" with
    // the path of the entry shown, value 1 when the record changed.
    void OnReviewChanged(bool recordChanged) override;

    // --- CSockOwner: the main window's dispatch ---
    void OnSockMessage(SockMsg msg, SockHandle wParam) override;
    std::string CapsText() const override { return protocol.CapsText(); }
    std::string ProposalText() const override { return protocol.ProposalText(); }
    std::string ResumeText() const override { return protocol.ResumeText(); }

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
    // A guest whose game was adjourned comes back to its host on its own
    // (the waits can be shortened); the player's Connect and Disconnect stop it.
    CReconnector reconnector;

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
    // game: NoticeName, value: the Notice); of adjourned games: "reconnecting"
    // (a guest starts coming back to its host: text the address),
    // "reconnected" (the host took it back: text its name; the "resumed" or
    // "resume_failed" notice follows), "reconnect_gave_up" (value 1: the
    // host refused, 0: the time ran out).  text: Shift-JIS.
    // value: handle or number.
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
    // Where the guest's connection by hand goes, "host:port".
    std::string dialed;
};

}  // namespace ravu
