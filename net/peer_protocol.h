// The peer protocol of a copy: the handshake (names, accepting the guest,
// the guest's proposal of sides), moves both ways, chat, resignation,
// spectators with the game so far, and lost connections.  It holds the
// protocol state (connState, mode, mySide, gamePeer) and the game-state
// operations, works on the board and the record that the main window owns,
// and talks to the windows only through CProtocolHost, so that the whole
// protocol also runs without windows (tests, the command-line peer).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "game/board_host.h"
#include "net/game_link.h"
#include "net/sock_owner.h"

namespace ravu {

class CShogiBoard;
class CKifuControl;
struct KomaRec;
struct MoveRec;

constexpr int MODE_FREE = 0;
constexpr int MODE_GAME = 1;
constexpr int MODE_WATCHING = 2;
constexpr int MODE_EDIT = 3;

constexpr int CONN_NONE = 0;
constexpr int CONN_GUEST = 1;
constexpr int CONN_HOST = 2;

// Answers of a question.
constexpr int ASK_YES = 1;
constexpr int ASK_NO = 2;  // also: timed out, or a question already open

// Events the player must hear of because they happen without the player's
// own action: the game ends from the other side, the connection goes, a
// chat line comes in.
enum class Notice {
    OpponentResigned,  // the opponent's resignation line
    KingTaken,         // the opponent's move took the own king
    OpponentEnded,     // another end line of the opponent (mate, interrupted)
    MoveRefused,       // a received move (or the game so far) does not fit the board
    OpponentGone,      // the connection to the opponent went during the game
    ConnectionLost,    // the last connection went (the guest's host, the host's last guest)
    SenteResigned,     // in a watched game
    GoteResigned,
    SenteWon,  // in a watched game: the king was taken
    GoteWon,
    WatchedGameEnded,  // a watched game ended otherwise (interrupted, mate)
    WatchedHostGone,   // the connection to the host of a watched game went
    ChatArrived,       // a chat line from someone else
};

// The notice as the player reads it (Shift-JIS; lines separated by CR LF).
std::string NoticeText(Notice kind);
// The notice as one line of the chat log, marked so that it does not pass
// for a chat line: "◆" and the text without its line breaks.
std::string NoticeLogLine(Notice kind);
// A short machine name of the notice ("opponent_resigned", ...).
const char* NoticeName(Notice kind);

// What a question put to the player is about.
enum class Question {
    Connect,     // a guest asks to connect
    Sides,       // a guest proposes who plays which side
    Resign,      // the player's own resign command, to be confirmed
    Disconnect,  // the player's own disconnect command, to be confirmed
};

// What the protocol asks of the windows around it.  Texts are Shift-JIS.
class CProtocolHost {
public:
    virtual ~CProtocolHost() = default;
    // The question balloon: 1 yes, 2 no / timed out.  May run a nested event
    // loop; the protocol itself answers 2 to a second question meanwhile.
    virtual int Ask(Question kind, const std::string& question) = 0;
    // One line for the chat log window.
    virtual void AddLine(const std::string& line) = 0;
    // Compose and show the picture (full: the control strip too).
    virtual void Redraw(bool full) = 0;
    // Draw the check label (the own king is attacked); gone at the next Redraw.
    virtual void ShowCheck() = 0;
    virtual void ShowChatInput(bool show) = 0;
    // Close the turn decision dialog if it is open (the connection is gone).
    virtual void CloseTurnDialog() = 0;
    // True while the connect dialog is open (the user is connecting out).
    virtual bool IsConnectDialogOpen() const = 0;
    // The opponent's name for the settings (SetOpponentName).
    virtual void SetOpponentName(const std::string& name) { (void)name; }
    // A game starts (gray the edit menu, empty the record list) / the board
    // and record were reset (empty the record list); the board's flip is set.
    virtual void OnStartGame() {}
    virtual void OnResetGame() {}
    // Something the player has to hear of happened; the protocol's state is
    // already updated.  Called from socket handlers: must not block.
    virtual void Notify(Notice kind) { (void)kind; }
};

class CPeerProtocol : public CSockOwner {
public:
    // connectSocket: the guest's connection; listenSocket: the host's.  All
    // referenced objects outlive the protocol.
    CPeerProtocol(CShogiBoard& board, CKifuControl& record, CGameLink& connectSocket, CGameLink& listenSocket,
                  CProtocolHost& host);
    ~CPeerProtocol() override;

    // Socket message dispatch (WM_SOCK_PACKET and WM_SOCK_CLOSED; the others
    // are ignored).
    void OnSockMessage(SockMsg msg, SockHandle wParam) override;

    // --- handlers of the peer's packets -------------------------------------
    void HandleHello(SockHandle handle);
    void HandleTurn(SockHandle handle);
    void HandleMove(CGameLink& socket, SockHandle handle);
    void RelayMove(const std::string& text);
    void HandleObserve(SockHandle handle);
    void HandleCatchUp(CGameLink& socket);
    // handle and no text: a received line; handle 0 and a text: a typed line.
    void HandleChat(SockHandle handle, const std::string* text);
    void SendToPeers(uint8_t type, const std::string& text);

    // --- the guest's half of the handshake (the connect and turn dialogs) ----
    // The connect dialog ended with OK: connState 1, chat input shown.
    void OnGuestConnected();
    // The turn dialog ended with OK: mySide := side; StartGame.
    void OnTurnAccepted(int side);

    // --- game-state operations of the main window ----------------------------
    void StartGame();
    void ResetGame();
    void ClearGameState();
    // Asks, records and sends the own resignation.  1 when resigned.
    int Resign();
    // Asks and closes the connection(s).  1 when disconnected.
    int Disconnect();
    // A move just made on the own board by the user (the piece has moved):
    // records it, sends it, ends the game when it ends it.  Returns the text.
    std::string SendBoardMove(KomaRec& piece);
    // A move given as list-layout text, played as the user would on the own
    // board (rules judged, promotion as the text says).  Only in MODE_GAME on
    // the own turn.  1 when made and sent.  Installs its own promotion answer
    // on the board, so it is for copies without a pointer (the command-line
    // peer, tests).
    int PlayMoveText(const std::string& text);
    // The side to move according to the record.
    int SideToMove() const;
    // The view turns round: flipped := 1 - flipped, and the board with it.
    void FlipView();
    // The board is edited by hand: MODE_EDIT.
    void BeginEdit();
    // A record file was loaded to be browsed: MODE_FREE.
    void BrowseRecord();

    // --- settings -------------------------------------------------------------
    void SetHandleName(const std::string& sjisName) { handleName = sjisName; }
    const std::string& GetHandleName() const { return handleName; }
    // The opponent's handle name, for the record's header: a guest learns it
    // from its host's hello; a host takes it from the guest whose sides it
    // accepts.
    void SetOpponentName(const std::string& sjisName) { opponentName = sjisName; }
    const std::string& GetOpponentName() const { return opponentName; }

    // --- state ----------------------------------------------------------------
    int connState = CONN_NONE;
    int mode = MODE_FREE;
    int mySide = 0;
    SockHandle gamePeer = 0;
    int flipped = 0;
    // Handle of connectSocket's connection when this copy became a guest.
    SockHandle guestLink = 0;

    CGameLink& ConnectSocket() { return connectSocket; }
    CGameLink& ListenSocket() { return listenSocket; }

    // True when the guest with the handle was accepted (as opponent or
    // spectator) and is still connected.
    bool IsAccepted(SockHandle handle) const;

private:
    int AskHost(Question kind, const std::string& question);
    void Accepted(SockHandle handle);
    void Forget(SockHandle handle);
    // Refuses a guest's connection and closes its slot once the refusal is
    // out, so that refused guests cannot hold the host's slots.
    void RefuseGuest(SockHandle handle);
    void LogChat(const std::string& line);
    // The notice of a received end line or refused move, by the mode the
    // copy was in (playing or watching).
    static Notice EndNotice(const MoveRec& m, int oldMode);
    CShogiBoard& board;
    CKifuControl& record;
    CGameLink& connectSocket;
    CGameLink& listenSocket;
    CProtocolHost& host;
    std::string handleName;
    std::string opponentName;
    bool asking = false;
    // Guests this host has accepted; at most one per slot.
    std::vector<SockHandle> acceptedGuests;
    // Guests that have said hello: a guest says it once.
    std::vector<SockHandle> greetedGuests;
    // A guest's own chat lines sent and not yet echoed by the host: the echo
    // is no news to the player.
    std::deque<std::string> echoPending;
};

}  // namespace ravu
