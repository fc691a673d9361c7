// The peer protocol of a copy: the handshake (names, accepting the guest,
// the guest's proposal of sides), moves both ways, chat, resignation,
// spectators with the game so far, and lost connections.  It holds the
// protocol state (connState, mode, mySide, gamePeer) and the game-state
// operations, works on the board and the record that the main window owns,
// and talks to the windows only through CProtocolHost, so that the whole
// protocol also runs without windows (tests, the command-line peer).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "game/board_host.h"
#include "game/clock.h"
#include "game/referee.h"
#include "net/adjournment.h"
#include "net/extension.h"
#include "net/game_link.h"
#include "net/sock_owner.h"

namespace ravu {

class CShogiBoard;
class CKifuControl;
struct KifuNode;
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
    // Ends of refereed games (both players have the extension).
    WonByMate,          // the opponent is mated
    LostByMate,         // the own king is mated
    Sennichite,         // fourfold repetition: a draw
    WonByRepetition,    // the opponent checked through the whole repetition
    LostByRepetition,   // the own checks through the whole repetition
    WonByIllegalMove,   // the opponent's move broke the rules
    WonOnTime,          // the opponent's time ran out
    LostOnTime,         // the own time ran out
    WonByDeclaration,   // the own entering-king declaration holds
    LostByDeclaration,  // the opponent's declaration holds
    // A game cut off by a lost connection (both copies can resume games).
    Adjourned,     // the opponent's connection went in mid-game: the game waits
    Restored,      // a game kept on disk was taken up after a restart: it waits
    Resumed,       // the opponent is back and the game goes on
    ResumeFailed,  // the opponent no longer has the adjourned game: it is over
    // Reviewing a finished game together (the host and guests with `review`).
    ReviewStarted,  // the record was replaced by the host's and the review began
    ReviewEnded,    // the review is over; the record keeps what it gathered
};

// The notice as the player reads it (Shift-JIS; lines separated by CR LF).
std::string NoticeText(Notice kind);
// The notice as one line of the chat log, marked so that it does not pass
// for a chat line: "◆" and the text without its line breaks (a space in
// their place between two words of a translation).
std::string NoticeLogLine(Notice kind);
// A short machine name of the notice ("opponent_resigned", ...).
const char* NoticeName(Notice kind);

// What a question put to the player is about.
enum class Question {
    Connect,     // a guest asks to connect
    Sides,       // a guest proposes who plays which side
    Resign,      // the player's own resign command, to be confirmed
    Disconnect,  // the player's own disconnect command, to be confirmed
    Declare,     // the player's own entering-king declaration, to be confirmed
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
    // The record of the game being played or watched changed: a move or an
    // end line was recorded (own, received or replayed), or the game ended
    // and its end time was stamped.  The record is complete at this moment.
    virtual void OnRecordChanged() {}
    // Something the player has to hear of happened; the protocol's state is
    // already updated.  Called from socket handlers: must not block.
    virtual void Notify(Notice kind) { (void)kind; }
    // Milliseconds of a monotonic clock (thinking times, time-outs).
    virtual int64_t NowMs() const = 0;
    // The review replaced or changed the record (recordChanged: rebuild the
    // tree and the list) and, when following, moved the board and the
    // record's current entry and displayed line to where it stands.
    virtual void OnReviewChanged(bool recordChanged) { (void)recordChanged; }
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
    // hostCaps: the announcement of the host's extension, empty when none came.
    void OnGuestConnected(const std::string& hostCaps = {});
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
    // The player declares an entering-king win (refereed games, on the own
    // turn).  1 declared and won; -1 the declaration does not hold (nothing
    // is sent); 0 not possible now or not confirmed.
    int Declare();
    // To be called a few times a second: a clock that ran out ends the game.
    void OnTick();
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

    // --- the extension (games with a referee, clocks, handicaps) ---------------
    // Whether this copy announces and uses the extension.
    bool extensionOn = true;
    // This copy's announcement, sent right after its hello; empty when off.
    std::string CapsText() const override { return extensionOn ? CapsPayload() : std::string(); }
    // Guest: whether its host has the extension (then a proposal carries settings).
    bool HostHasExtension() const { return Shared(OwnCaps(), hostCaps).Any(); }
    // Guest: the settings packet to send before a proposal of sides, empty
    // when the host lacks the extension.
    std::string ProposalText() const override {
        return HostHasExtension() ? GamePayload(proposal) : std::string();
    }
    // The settings this copy proposes as a guest.
    GameSettings proposal;
    // The running (or last) game's settings; the basic protocol's free even
    // game when the two copies do not share the extension.
    const GameSettings& Game() const { return game; }
    // Whether the running (or last) game shares the extension with the
    // opponent (a watched one: with the host).
    bool Refereed() const { return gameCaps.Any(); }
    bool Strict() const { return game.rules == Rules::Strict; }
    bool Clocked() const { return game.time.kind != TimeKind::None; }
    // What a side's clock shows now (its running move counted).
    ClockShow ClockOf(int side) const;
    // The figure charged for the opponent's last move, for tests and tools.
    int64_t LastChargedMs() const { return lastChargedMs; }
    int64_t RoundTripMs() const { return rttMs; }

    // --- adjourned games (resume_game.cpp) ------------------------------------
    // The game lost its opponent's connection in mid-game and waits, with
    // board, record and clocks as they were; no move can be made meanwhile.
    bool Adjourned() const { return adjourned; }
    // The running game could be resumed if its connection were lost: both
    // copies announced it and both hold the token.
    bool Resumable() const {
        return mode == MODE_GAME && !resumeToken.empty() && (!resumeAsHost || tokenHeld);
    }
    // The running (or adjourned) game as it is kept on disk, for Resumable()
    // games; recordPath is left for the caller.
    Adjournment Kept() const;
    // A game kept on disk is taken up again after a restart: board and record
    // hold its moves already.  The game is adjourned; a guest comes back to
    // its host (ResumeText), a host waits for its guest.  False when the kept
    // game does not fit the record (the side to move unknown, say).
    bool RestoreAdjourned(const Adjournment& kept);
    // The player gives the adjourned game up: it ends as it stands.
    void AbandonAdjourned();
    // Guest: what it sends before its hello to take up its adjourned game;
    // empty when it has none.
    std::string ResumeText() const override;
    // Guest: where it reached its host, kept with its game for coming back.
    std::string hostAddress;
    // Where the tokens of new games come from (fixed where runs must repeat).
    std::string (*tokenSource)() = NewResumeToken;

    // --- reviewing a finished game together (review_game.cpp) -----------------
    // Connected, no game running or watched, and this copy shares `review`
    // with its host (guest) or with at least one accepted guest (host).
    bool CanReview() const;
    // Host: starts at once; guest: asks its host.  False when !CanReview().
    bool StartReview();
    // Host: ends it for all; guest: asks its host.
    void EndReview();
    bool Reviewing() const { return reviewing; }
    bool Following() const { return following; }
    // On again: the board jumps to where the review stands now.
    void SetFollowing(bool on);
    // The user stepped or jumped in the record; lastShown is the last entry
    // applied (null: the start position).  Tells the others when following.
    void ReviewShown(const KifuNode* lastShown);
    // A move the user made on the board in the position shown (the window
    // puts the board back first: the move comes back through the host's
    // order like everyone's).  False when not reviewing or the move does not
    // fit the position.
    bool ReviewMove(const MoveRec& move);
    // A comment typed by the user for the entry shown; cut to what one
    // packet carries.
    void ReviewComment(const std::string& sjisText);

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
    // --- the extension (refereed_game.cpp) ---
    Capabilities OwnCaps() const { return extensionOn ? ParseCaps(CapsPayload()) : Capabilities{}; }
    Capabilities CapsOf(SockHandle handle) const;
    // Handles a packet of the extension; false for every other packet.
    bool HandleExtension(SockHandle handle);
    // The settings and clocks to a spectator with the extension.
    void SendGameTo(SockHandle handle);
    void SendClocks(SockHandle except);
    // The game's settings for a start: set up board and record, start the clocks.
    void SetUpGame();
    // A move of the opponent arrives: false when it ends the game instead
    // (illegal, or out of time); its thinking time is charged.
    bool CheckReceivedMove(const MoveRec& m);
    // After a move stands on the board: an automatic end, recorded.  True
    // when the game ended.
    bool JudgeAfterMove(int mover, bool ownMove);
    // Records the end entry of the side to move and ends the game; `send`:
    // the opponent and spectators receive it, else only the spectators.
    void EndGame(int status, bool send, Notice notice);
    void SendOwnClock(int64_t thinkMs);
    // --- the health of links to peers with the extension (heartbeat.cpp) ---
    // A packet came on the link.
    void Heard(SockHandle handle);
    // Starts watching a link whose peer announced round trips.
    void Watch(SockHandle handle, const Capabilities& caps);
    // Pings every link now and then; a link silent for too long is gone.
    void Beat();
    void Ping(SockHandle handle);
    void Gone(SockHandle handle);
    // The opponent's link: the guest's to its host, the host's to its opponent.
    SockHandle OpponentLink() const { return connState == CONN_GUEST ? guestLink : gamePeer; }
    // --- adjourned games (resume_game.cpp) ---
    // The opponent's link went in mid-game: true when the game is adjourned
    // instead of ended.
    bool Adjourn();
    // A packet of type PKT_EXT_RESUME.
    void HandleResume(SockHandle handle, bool fromHost, const std::string& text);
    // Host: a guest's hello that came after its request to resume.
    void AnswerResume(SockHandle handle);
    // The game goes on after an adjournment.
    void Resume();
    // The moves of the game, oldest first.
    std::vector<const MoveRec*> Moves() const;
    // How long the side to move has been thinking (as it stood when adjourned).
    int64_t ThinkingMs() const;
    // The last move as the opponent is sent it.
    std::string LastMoveText() const;
    // Replays the game so far of a watched game.
    void ReplayCatchUp(const std::string& text);
    // The board again as the record's main line has it (after a move that
    // was made on the board but not recorded).
    void RestoreBoard();
    int64_t Now() const { return host.NowMs(); }
    // --- reviewing (review_game.cpp) ---
    // A packet of type PKT_EXT_REVIEW: a guest's request or the host's order.
    void HandleReview(SockHandle handle, bool fromHost, const std::string& text);
    // Host: the record text and where the review stands, to one guest.
    void SendReviewTo(SockHandle handle, const std::string& kif);
    // Host: a guest accepted or announced during a review joins it.
    void ReviewJoined(SockHandle handle);
    // Host: an order to every accepted guest with `review`.
    void SendReviewOrder(const std::string& order);
    // Host: applies a request (own: its own user's, else a guest's); the
    // order that results goes to every guest.  False when refused.
    bool ApplyReviewRequest(const std::string& request, bool own);
    // Applies an order ("go", "move", "comment"); the host's own and the
    // guests'.  ownMove: the move came from this copy's user.  False when it
    // does not fit the record.
    bool ApplyReviewOrder(std::string_view order, bool ownMove);
    // The record is replaced by the host's text; the review stands at `at`.
    bool BeginReview(const std::string& kif, std::string_view at);
    // The review stops here; the record stays.
    void StopReview(bool notify);
    // A follower's board, current entry and displayed line go to reviewAt.
    void ShowReview(bool recordChanged);

    int AskHost(Question kind, const std::string& question);
    void Accepted(SockHandle handle);
    void Forget(SockHandle handle);
    // Refuses a guest's connection and closes its slot once the refusal is
    // out, so that refused guests cannot hold the host's slots.
    void RefuseGuest(SockHandle handle);
    void LogChat(const std::string& line);
    // The notice of a received end line or refused move, by the mode the
    // copy was in (playing or watching) and the side it played.
    static Notice EndNotice(const MoveRec& m, int oldMode, int side);
    // A received move text as the record would read it, not yet recorded.
    MoveRec PeekMove(const std::string& text) const;
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

    // The extension's state.
    Capabilities hostCaps;  // guest: what its host announced
    struct GuestExt {
        Capabilities caps;
        bool proposed = false;  // a settings packet came before the next proposal
        bool valid = false;
        GameSettings settings;
        bool resumeAsked = false;  // a request to resume came before its hello
        ResumeRequest resume;
    };
    std::map<SockHandle, GuestExt> guestExt;  // host: by guest
    GameSettings game;
    Capabilities gameCaps;  // shared with the opponent of the running game
    CReferee referee;
    CStrictJudge judge;
    CGameClock clock;
    int64_t turnStartMs = 0;  // when the side to move began its move, as seen here
    int64_t lastChargedMs = -1;
    int64_t pendingThinkMs = -1;  // the opponent's figure for its coming move
    int64_t rttMs = 0;
    struct Health {
        int64_t heard = 0;     // when the last packet came
        int64_t pinged = 0;    // when the last ping went
        bool answered = true;  // its pong came back
        uint32_t seq = 0;
    };
    std::map<SockHandle, Health> health;
    std::string pendingCatchUp;     // spectator: the game so far, waiting for its settings
    bool watchedClock = false;      // spectator: the host reports clocks
    bool awaitingSettings = false;  // spectator: its host has the extension, settings not yet here
    int64_t lastOwnThinkMs = 0;
    // Resuming.
    std::string resumeToken;  // of the running game; empty: it cannot be resumed
    bool adjourned = false;
    bool resumeAsHost = false;     // this copy hosts the game
    bool tokenHeld = false;        // host: its guest has told that it holds the token
    int64_t adjournedThinkMs = 0;  // how long the side to move had thought when the link went
    // Reviewing.
    bool reviewing = false;
    bool following = true;
    std::vector<int> reviewAt;  // the entry where the review stands (empty: the start)
    std::vector<int> shownAt;   // the entry this copy's board shows
    std::string reviewKif;      // guest: the host's record text, arriving in pieces
    // Guest: own requests sent and not yet ordered back ("go" steps shown
    // already, and moves, which this copy shows even when not following).
    std::deque<std::string> stepsPending;
    std::deque<std::string> movesPending;
};

}  // namespace ravu
