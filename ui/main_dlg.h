// The main window: the shaped, captionless window with the board, the two
// hands, the turn labels and the control strip.  It owns the board, the game
// record, the two game connections and every secondary window, and turns
// mouse clicks into moves (two clicks: pick up, put down).  Its jobs are in
// separate files: main_dlg.cpp (set-up, board input, placement, what the
// protocol asks), board_view.h (the picture), main_commands.cpp (popup menu,
// command table, control strip, toggles, game-state commands) and
// main_files.cpp (opening and saving record files).
#pragma once

#include <QCursor>
#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "game/board.h"
#include "net/monotonic_clock.h"
#include "net/peer_protocol.h"  // MODE_ and CONN_ constants, shared with the protocol
#include "record/kifu.h"
#include "ui/autosave.h"
#include "ui/board_view.h"
#include "ui/main_parts.h"
#include "ui/skin.h"

class QAction;
class QLineEdit;
class QMenu;

namespace ravu {

class CGameLink;
class CGameSocket;
class CPortMapper;
class CReconnector;
class CAnalysisDlg;
struct RecordLoad;

// Command ids of the popup menu, the record window and the dialog keys.
constexpr int ID_OK = 1;        // Enter in the chat input
constexpr int ID_CANCEL = 2;    // Esc and close requests
constexpr int ID_FLIP = 32771;  // "画面反転"
constexpr int ID_EDIT = 32772;  // "編集"
constexpr int ID_START = 32773;
constexpr int ID_RESIGN = 32774;
constexpr int ID_EDIT_END = 32775;  // "編集終了"
constexpr int ID_STEP_FORWARD = 32776;
constexpr int ID_STEP_BACK = 32777;
constexpr int ID_OPEN = 32778;
constexpr int ID_LIST_SELECT = 32779;
constexpr int ID_EXIT = 32780;  // "終了"
constexpr int ID_KIFU_WINDOW = 32782;
constexpr int ID_LOG_WINDOW = 32783;
constexpr int ID_TREE_SELECT = 32784;
constexpr int ID_FILE_DROP = 32785;
constexpr int ID_PANEL = 32786;
constexpr int ID_VERSION = 32787;
constexpr int ID_COPY_RECORD = 32788;      // "棋譜をコピー": the record as KIF text
constexpr int ID_COPY_POSITION = 32789;    // "局面をコピー": the board as SFEN
constexpr int ID_PASTE_RECORD = 32790;     // "棋譜を貼り付け": KIF, KI2, CSA, SFEN or USI text
constexpr int ID_DECLARE = 32791;          // "入玉宣言": the entering-king declaration of a refereed game
constexpr int ID_OPEN_RECENT = 32792;      // an item of "最近の対局": a saved game, by its path
constexpr int ID_ABANDON = 32793;          // "中断した対局を終える": give an adjourned game up
constexpr int ID_REVIEW_START = 32794;     // "感想戦を始める": review the game with everyone connected
constexpr int ID_REVIEW_END = 32795;       // "感想戦を終える"
constexpr int ID_REVIEW_FOLLOW = 32796;    // toggle: the board follows the review, or browses alone
constexpr int ID_ANALYSIS_WINDOW = 32797;  // toggle: the analysis window

constexpr int AUTOPLAY_TIMER = 100;
constexpr int AUTOPLAY_PERIOD_MS = 500;
// How often running clocks are read and their plates redrawn.
constexpr int CLOCK_PERIOD_MS = 100;

// KifuShowCmd() values.
constexpr int SHOW_RECORD_WINDOW = 5;
constexpr int HIDE_RECORD_WINDOW = 0;

constexpr int STRIP_BUTTON_COUNT = 11;
constexpr int PANEL_HEIGHT = 150;  // what hiding the panel takes off

// The buttons painted on the control strip, left to right.
enum class StripButton {
    None = -1,    // the point is on no button
    ToStart = 0,  // back to the start of the record
    StepBack,
    StepForward,
    Autoplay,  // replay the record, a move every half second
    StopAutoplay,
    Open,     // load a record file
    Save,     // save the record
    Connect,  // connect to a host, or disconnect
    Turn,     // propose the sides (guest)
    Resign,
    Settings,
};

// The strip button under a point, StripButton::None when on none.
StripButton StripButtonAt(QPoint p);

// The turn label cells: lit for the side to move, both plain in MODE_EDIT.
LabelChoice ChooseLabels(int mode, int flipped, int sideToMove);

class CMainDlg : public QDialog,
                 public IPromotionAsker,
                 public ISoundSetting,
                 public IBoardMessages,
                 public CProtocolHost {
    Q_OBJECT
public:
    // skinDir: where "BackBmp.bmp", "Waku.bmp" and "Koma01.bmp" are read
    // (the start folder or the installed skin folder in the program).  The window makes its two game
    // sockets, listens on the profile's port and runs the peer protocol over
    // them.
    explicit CMainDlg(CProfile& profile, const QString& skinDir = QStringLiteral("."));
    // The same over two given connections instead of sockets (tests); both
    // outlive the window.
    CMainDlg(CProfile& profile, const QString& skinDir, CGameLink& connectLink, CGameLink& listenLink);
    ~CMainDlg() override;

    // --- drawing and geometry -----------------------------------------------
    // Composes the picture in the back buffer; repaints the board band, or the
    // whole window when full is set.  Removes every overlay.
    void Redraw(bool full) override;
    int InDragMargin(QPoint p) const;
    // The check label (王手), shown over the picture until the next Redraw.
    void ShowCheckLabel() { view.ShowCheckLabel(); }

    // --- commands and game state (main_commands.cpp, main_files.cpp) -----------
    int HitTestClick(QPoint p);
    void StartGame();
    void ResetGame();
    void ClearGameState();
    void Resign();
    void Disconnect();
    void GoToStart();
    void LoadKifuFile(const QString& path);
    // A record file named on the command line or handed over by a second
    // copy: loaded as the open command loads it, outside a game; in a game
    // the character says that it cannot be opened now.
    void OpenGivenFile(const QString& path);
    // At start-up: the game kept on disk when the program last ran (a game
    // cut off by a lost connection, or by the program's own end) is taken up
    // again, adjourned; a guest starts coming back to its host.  When it
    // cannot be, the kept file stays as it is, nothing is opened, and the
    // chat log says so.
    void RestoreKeptGame();
    void TogglePanel();
    void ToggleKifuWindow();
    void ToggleLogWindow();
    // The command table.  param: list index, tree item, or 0; text: the path
    // of a file dropped on the record window.
    void OnCommand(int id, intptr_t param = 0, const QString& text = QString());
    // A move or a resignation line to the peer (or every guest).
    void SendToPeers(uint8_t type, const std::string& text);
    // A typed chat line (Enter in the chat input): sent and logged as the
    // connection state says.
    void HandleChat(const std::string& text);

    // --- board input (the mouse handlers call these) ---------------------------
    void OnLeftButtonDown(QPoint p);
    void OnRightButtonUp(QPoint p, QPoint globalPos);
    void OnMouseMove(QPoint p, QPoint globalPos);
    void OnLeftButtonUp(QPoint globalPos);
    // The held piece follows the pointer: repaints its old and new 30 x 30 areas.
    void DragTo(int index, int px, int py);

    // --- the board's questions ---------------------------------------------------
    int AskPromotion(int x, int y) override;
    bool IsSoundOn() const override;
    void ShowInternalError(const std::string& sjisText) override;

    // --- what the peer protocol asks of the window -------------------------------
    int Ask(Question kind, const std::string& question) override;
    void AddLine(const std::string& line) override;
    void ShowCheck() override { ShowCheckLabel(); }
    void ShowChatInput(bool show) override;
    void CloseTurnDialog() override;
    bool IsConnectDialogOpen() const override;
    void SetOpponentName(const std::string& name) override { profile.SetOpponentName(name); }
    void OnStartGame() override;
    void OnResetGame() override;
    // Saves the game played or watched (autosave); a failure is told once a
    // game, as a line of the chat log.
    void OnRecordChanged() override;
    // Shows the notice in the balloon and keeps a line of it in the chat log;
    // an arriving chat line is told once until the log window is shown.
    void Notify(Notice kind) override;
    int64_t NowMs() const override { return MonotonicMs(); }
    // The review changed the record (lists and tree are filled again) or,
    // while following, the entry shown (the list selects it).
    void OnReviewChanged(bool recordChanged) override;
    // The board's accessible description becomes the move ("△３四歩"), which
    // screen readers are told of.
    void OnMoveArrived(const MoveRec& move) override;

    // --- typed moves (main_typed.cpp) ----------------------------------------------
    // A move typed by the player (the record window's move field, or a chat
    // line with the move mark): made through the same two clicks as with the
    // pointer, the promotion answered as typed.  Empty when the move was
    // made, else why not (nothing is sent then).
    QString EnterTypedMove(const QString& text);
    // A chat line that starts with the move mark "/" (or "／") is a move;
    // "//" sends a chat line that starts with one "/".  True when the line
    // was a move (made or refused; a refusal goes to the chat log and the
    // line stays in the input).
    bool TypedMoveLine(const QString& line);

    // --- the game state, kept by the protocol --------------------------------------
    int Mode() const { return protocol->mode; }
    int Flipped() const { return protocol->flipped; }
    int MySide() const { return protocol->mySide; }
    int ConnState() const { return protocol->connState; }
    SockHandle GamePeer() const { return protocol->gamePeer; }
    // SHOW_RECORD_WINDOW while the record window is meant to be shown (the
    // menu's record window toggle is on), else HIDE_RECORD_WINDOW.
    int KifuShowCmd() const;

    // --- state read and set by the other parts of the program ------------------
    CKifuControl record;
    CShogiBoard board;
    // The file the game being played or watched is kept in.
    CAutosave autosave;
    // The game connections: the guest's own and the host's listening one,
    // null when the window runs over given connections.
    std::unique_ptr<CGameSocket> connectSocket;
    std::unique_ptr<CGameSocket> listenSocket;
    // Keeps the listening port forwarded by the home router; null with
    // given connections.
    std::unique_ptr<CPortMapper> portMapper;
    // Brings a guest whose game was adjourned back to its host; null with
    // given connections.
    std::unique_ptr<CReconnector> reconnector;
    // The peer protocol; mode, flipped, mySide, connState and gamePeer live
    // in it and change only through its operations.
    std::unique_ptr<CPeerProtocol> protocol;
    int dragging = 0;
    QPoint grabOffset;
    std::string hostListText;

    // Owned secondary windows, created in the constructor in this order and
    // deleted in the same order when the window goes.
    std::unique_ptr<IRecordWindow> kifuWnd;
    std::unique_ptr<IModalDialog> settingsDlg;
    std::unique_ptr<IModalDialog> connectDlg;
    std::unique_ptr<ITurnDialog> turnDlg;
    std::unique_ptr<IChatLog> chatLog;
    std::unique_ptr<IQuestion> balloon;
    // The engine's view of the record and of the board ("解析").
    std::unique_ptr<CAnalysisDlg> analysisDlg;
    std::unique_ptr<IModalDialog>
        aboutDlg;  // kept here rather than made for each use, so that tests can answer it
    // The click played when a piece is put down (when the setting is on).
    std::unique_ptr<IPieceSound> pieceSound;

    // Chooses the file to open (save false) or save (save true); empty when
    // cancelled.  RunFileDialog by default; tests answer it themselves.
    std::function<QString(bool save)> chooseFile;
    // Qt's file dialog, centred over the board picture, run modally.
    QString RunFileDialog(bool save);
    // Where the file dialog starts: the folder of the last file chosen in
    // it; before that, for opening, the folder of the saved games when there
    // is one; else empty (the current folder).
    QString FileDialogFolder(bool save) const;
    // Opens the popup menu at a screen position; QMenu::exec by default.
    std::function<void(QPoint globalPos)> openMenu;
    // Shows an error message with an OK button; a message box by default.
    std::function<void(const QString& text)> showMessage;

    // --- what tests and benchmarks look at ----------------------------------------
    QMenu* PopupMenu() const { return popupMenu; }
    // "最近の対局": the saved games, filled each time it opens.
    QMenu* RecentMenu() const { return recentMenu; }
    QAction* MenuAction(int id) const;
    QLineEdit* ChatInput() const { return chatInput; }
    const QImage& BackBuffer() const { return view.BackBuffer(); }
    const QImage& Background() const { return view.Background(); }
    bool AutoplayRunning() const { return autoplay.isActive(); }
    int SideToMove() const;
    // The clock plates beside the turn labels: shown in games and watched
    // games with a time control; right is the side shown at the bottom.
    bool ClocksShown() const { return view.ClocksShown(); }
    const ClockFace& Clock(bool right) const { return view.Clock(right); }
    bool ClockRunning() const { return clockTimer.isActive(); }
    // The rectangles handed to update() since the last call.
    std::vector<QRect> TakeRepaintLog() { return view.TakeRepaintLog(); }
    // The mask the window is cut to without the clocks, and as it is now.
    static QRegion WindowRegion() { return CBoardView::WindowRegion(); }
    QRegion ShownRegion() const {
        return view.ClocksShown() ? WindowRegion() + CBoardView::ClockRegion() : WindowRegion();
    }
    // The picture as it is on the screen: back buffer plus overlays.
    QImage ScreenImage() const { return view.ScreenImage(); }
    const CSkin& Skin() const { return view.Skin(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

public slots:
    // Enter, Esc and close requests do not end the window; only "終了" does.
    void accept() override;
    void reject() override;

private:
    CMainDlg(CProfile& profile, const QString& skinDir, CGameLink* connectLink, CGameLink* listenLink);
    void SetUp(const QString& skinDir);
    // The protocol and the listening socket keep their own copy of the name.
    void SyncHandleName();
    // main_commands.cpp
    void BuildPopupMenu();
    // The items of "最近の対局", one a saved game; they open only outside a game.
    void FillRecentMenu();
    // A menu item whose state is its checked state; its text says the state
    // to the user (onText while on), and apply carries the change out.
    QAction* AddToggle(int id, bool on, const QString& onText, const QString& offText,
                       void (CMainDlg::*apply)(bool on));
    void ShowPanel(bool shown);
    void ShowKifuWindow(bool shown);
    void ShowLogWindow(bool shown);
    void ShowAnalysisWindow(bool shown);
    void SetMenuEnabled(int id, bool enabled);
    void StopAutoplay();
    void PressStripButton(StripButton button);
    // The balloon's notice for a UTF-8 text (a strip button that cannot act).
    void TellWhy(const QString& text);
    // main_files.cpp
    void OpenFile();
    void SaveFile();
    // Shows a record just read (lists, board, mode) and what the player
    // should know about it, in one message naming `source`.
    void ShowLoadedRecord(const RecordLoad& load, const QString& source);
    // main_clipboard.cpp
    void CopyRecord();
    void CopyPosition();
    void PasteRecord();
    // main_typed.cpp: the painted control strip and turn labels as keys for
    // the keyboard and screen readers; each acts as a click at its centre.
    void AddStripKeys();
    // main_dlg.cpp
    void BeginWindowDrag(QPoint p);
    // Picks the piece up for a move of `side`: its reach is marked and it follows the pointer.
    void PickUp(int index, QPoint p, int side);
    // A piece is held for a move (in a game, while editing, or tried in a review).
    bool Holding() const;
    // Moves the window (and the record window with it) during a drag.
    void DragWindowTo(QPoint topLeft);
    void PlaceWindows();
    void UpdateCursor(QPoint p);
    // The clocks shown, hidden or brought up to date as the game is now, with
    // their timer; the count-down beep of the side to move.
    void UpdateClocks();
    // Whether the player may declare now: a strict game, on the own turn.
    bool CanDeclare() const;
    // Keeps the running game on disk while it can be resumed; removes the
    // kept file once the game this window kept has ended.
    void KeepGame();
    // A guest whose game is adjourned starts coming back to its host.
    void ComeBack();
    // "中断した対局を終える": asks, then gives the adjourned game up.
    void AbandonAdjourned();
    // --- reviewing (main_review.cpp) ---
    // The entry whose position the board shows outside a game: the selected
    // line of the record window (a copy in the displayed line); null at the start.
    const KifuNode* ShownEntry() const;
    // The side to move in the position shown.
    int ShownSideToMove() const;
    // The board again at the entry shown (after a move tried on it, or a preview).
    void ShowPosition();
    // The menu items of the review as the review stands.
    void UpdateReviewMenu();
    // The follow toggle of the menu.
    void FollowReview(bool on);
    // The player stepped or jumped in the record: the others follow when this copy does.
    void TellShown();
    // Board input during a review: a move tried on the board goes to everyone.
    bool ReviewPickUp(QPoint p);
    void ReviewDrop(int held, QPoint p);
    // A chat line that starts with the comment mark is a comment on the entry shown.
    bool ReviewCommentLine(const QString& line);
    // --- the engine's view (main_review.cpp) ---
    // The analysis window learns the position shown and whether the engine may run.
    void TellAnalysis();
    // The graph's click: main-line move `ply`.
    void GoToMainLinePly(int ply);
    // The engine's line of the position shown, played on the board only.
    void PreviewLine();
    // The engine's line kept as a variation at the position shown.
    void KeepLine();

    CProfile& profile;
    CBoardView view;
    QMenu* popupMenu = nullptr;
    QMenu* recentMenu = nullptr;
    // The folder of the last file chosen in the file dialog.
    QString fileFolder;
    // The autosave of the current game failed and the player was told.
    bool autosaveWarned = false;
    // The kept game's file is this window's: written for the running game,
    // or the one it took up.  Only then does the game's end remove it.
    bool gameKept = false;
    // The window toggles of the popup menu; each one's checked state is
    // whether the panel, the record window, the log window is shown.
    QAction* panelToggle = nullptr;
    QAction* kifuToggle = nullptr;
    QAction* logToggle = nullptr;
    QAction* followToggle = nullptr;
    QAction* analysisToggle = nullptr;
    // The board shows an engine's line, not the record: any command puts it back first.
    bool previewing = false;
    QLineEdit* chatInput = nullptr;
    QTimer autoplay;
    QTimer clockTimer;
    // The side and second of the last count-down beep, so each second beeps once.
    int beepSide = -1;
    int beepSecond = 0;
    QCursor ownPieceCursor;
    bool exiting = false;
    // Set when the connect or turn dialog reported the host's acceptance
    // itself while it ran.
    bool acceptedInDialog = false;
    // A chat line came while the log window was hidden and the player has
    // been told; no more of that until the log window is shown.
    bool chatNoticeGiven = false;
    // While a typed move is made: the promotion question's answer (0 asks).
    int typedPromotion = 0;
    QPoint kifuDragOffset;  // the record window's place relative to this window, during a drag
};

}  // namespace ravu
