#include "ui/main_dlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QHostInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "app/atomic_file.h"
#include "app/piece_sound.h"
#include "app/resources.h"
#include "app/textcodec.h"
#include "net/game_link.h"
#include "net/game_socket.h"
#include "net/peer_protocol.h"
#include "net/port_mapper.h"
#include "net/reconnector.h"
#include "record/analysis.h"
#include "ui/about_dlg.h"
#include "ui/analysis_dlg.h"
#include "ui/balloon_dlg.h"
#include "ui/chat_log_dlg.h"
#include "ui/clock_face.h"
#include "ui/connect_dlg.h"
#include "ui/kifu_dlg.h"
#include "ui/promote_dlg.h"
#include "ui/settings_dlg.h"
#include "ui/turn_dlg.h"
#include "ui/ui_fonts.h"

namespace ravu {

namespace {

// The connect and turn dialogs of a window that runs over given connections
// (tests): there is no socket to connect with, so they answer cancel
// without showing anything.
class CDialogStandIn : public ITurnDialog {
public:
    int Run() override { return 2; }
    int ChosenSide() const override { return 0; }
};

// The client area of the dialog template, 327 x 303 dialog units.  Taller
// than the drawn 410 rows: hiding the panel takes 150 rows off the bottom and
// must leave the board whole.
const QSize CLIENT_SIZE = DluSize(327, 303);

// The chat input: the template's size, 250 x 13 dialog units, centred in the
// dark groove that "BackBmp.bmp" paints under the button row.  (The
// template's place, dialog units (38, 250), would run over its right edge.)
const QRect CHAT_GROOVE(33, 366, 460, 32);
const QRect CHAT_INPUT_RECT = [] {
    QRect r(QPoint(0, 0), DluSize(250, 13));
    r.moveCenter(CHAT_GROOVE.center());
    return r;
}();

}  // namespace

LabelChoice ChooseLabels(int mode, int flipped, int s) {
    if (mode == MODE_EDIT)
        return flipped ? LabelChoice{LABEL_GOTE, LABEL_SENTE} : LabelChoice{LABEL_SENTE, LABEL_GOTE};
    if (!flipped)
        return {s == SENTE ? LABEL_SENTE_LIT : LABEL_SENTE, s == GOTE ? LABEL_GOTE_LIT : LABEL_GOTE};
    return {s == GOTE ? LABEL_GOTE_LIT : LABEL_GOTE, s == SENTE ? LABEL_SENTE_LIT : LABEL_SENTE};
}

CMainDlg::CMainDlg(CProfile& profile, const QString& skinDir)
    : CMainDlg(profile, skinDir, nullptr, nullptr) {}

CMainDlg::CMainDlg(CProfile& profile, const QString& skinDir, CGameLink& connectLink, CGameLink& listenLink)
    : CMainDlg(profile, skinDir, &connectLink, &listenLink) {}

CMainDlg::CMainDlg(CProfile& profile, const QString& skinDir, CGameLink* connectLink, CGameLink* listenLink)
    : QDialog(nullptr, Qt::Window | Qt::FramelessWindowHint),
      connectSocket(connectLink ? nullptr : std::make_unique<CGameSocket>()),
      listenSocket(listenLink ? nullptr : std::make_unique<CGameSocket>()),
      protocol(std::make_unique<CPeerProtocol>(board, record, connectLink ? *connectLink : *connectSocket,
                                               listenLink ? *listenLink : *listenSocket, *this)),
      profile(profile),
      view(*this) {
    SetUp(skinDir);
}

void CMainDlg::SetUp(const QString& skinDir) {
    setWindowTitle(QStringLiteral("Ravu One"));
    setWindowIcon(QIcon(QString::fromLatin1(RES_ICON)));
    setFont(PGothicFont(9));

    // The secondary windows, owned here and deleted in this order by the
    // destructor.  They are top-level windows; this window is their owner
    // only so that they stay above it and go with it.
    auto kifu = std::make_unique<CKifuDlg>(&record, this);
    connect(kifu.get(), &CKifuDlg::command, this, [this](int id, int param) { OnCommand(id, param); });
    connect(kifu.get(), &CKifuDlg::fileDropped, this,
            [this](const QString& path) { OnCommand(ID_FILE_DROP, 0, path); });
    // Its close box hides it as "棋譜窓を消す" does.
    connect(kifu.get(), &CKifuDlg::closeRequested, this, [this] { kifuToggle->setChecked(false); });
    // Moves an analysis found bad are marked as the list shows them.
    kifu->MoveList()->SetBadTest([this](int index) { return IsBadLine(record.kifu.line, index); });
    kifuWnd = std::move(kifu);
    settingsDlg = std::make_unique<CSettingsDlg>(&profile, this);
    if (connectSocket) {
        auto connect =
            std::make_unique<CConnectDlg>(connectSocket.get(), &hostListText, &profile, protocol.get(), this);
        connect->onAccepted = [this, dial = connect.get()] {
            acceptedInDialog = true;
            protocol->SetOpponentName(profile.GetOpponentName());  // the host's hello
            protocol->hostAddress = dial->Dest();                  // where to come back to after a lost link
            protocol->OnGuestConnected(dial->Handshake().hostCaps);
        };
        connectDlg = std::move(connect);
        // Coming back on its own goes through the same handshake as the dialog.
        reconnector = std::make_unique<CReconnector>(*connectSocket, protocol.get());
        reconnector->onAccepted = [this](const std::string&, const std::string& hostCaps) {
            protocol->OnGuestConnected(hostCaps);
        };
        // Still adjourned after the attempts: the player can try again by hand.
        reconnector->onGaveUp = [this](bool) {
            if (!protocol->Adjourned())
                return;
            chatLog->AddLine(Utf8ToSjis("◆" + tr("相手に再接続できませんでした。").toStdString()));
            balloon->Tell(Utf8ToSjis(
                tr("相手に再接続できませんでした。\r\n「接続」からつなぎ直すと\r\n対局を再開できます。")
                    .toStdString()));
        };
        auto turn = std::make_unique<CTurnDlg>(&profile, protocol.get(), this);
        turn->SetProtocol(protocol.get());
        turn->onAccepted = [this](int side) {
            acceptedInDialog = true;
            protocol->OnTurnAccepted(side == GOTE ? GOTE : SENTE);
        };
        turnDlg = std::move(turn);
    }
    // Over given connections there is nothing to connect with.
    if (!connectDlg)
        connectDlg = std::make_unique<CDialogStandIn>();
    if (!turnDlg)
        turnDlg = std::make_unique<CDialogStandIn>();
    chatLog = std::make_unique<CChatLogDlg>(&profile.GetChatLogRect(), this);
    balloon = std::make_unique<CBalloonDlg>(this);
    auto about = std::make_unique<CAboutDlg>(this);
    if (listenSocket) {
        portMapper = std::make_unique<CPortMapper>();
        about->Follow(portMapper.get());
    }
    aboutDlg = std::move(about);
    analysisDlg = std::make_unique<CAnalysisDlg>(&record, &profile, this);
    connect(analysisDlg.get(), &CAnalysisDlg::plyChosen, this, [this](int ply) { GoToMainLinePly(ply); });
    connect(analysisDlg.get(), &CAnalysisDlg::previewRequested, this, [this] { PreviewLine(); });
    connect(analysisDlg.get(), &CAnalysisDlg::keepRequested, this, [this] { KeepLine(); });
    connect(analysisDlg.get(), &CAnalysisDlg::recordAnalysed, this, [this] { kifuWnd->CommentsChanged(); });
    pieceSound = std::make_unique<CPieceSound>(&profile);

    chooseFile = [this](bool save) { return RunFileDialog(save); };
    openMenu = [this](QPoint globalPos) { popupMenu->exec(globalPos); };
    showMessage = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };

    // Set-up, in the order of the window's initialisation.
    BuildPopupMenu();
    SetMenuEnabled(ID_EDIT, false);
    SetMenuEnabled(ID_EDIT_END, false);
    // The protocol starts with mode, flipped, mySide and connState all 0.

    // The pictures for the ratio of the screen the window opens on.
    view.Load(skinDir, CLIENT_SIZE, devicePixelRatioF());
    resize(CLIENT_SIZE);

    // Its hot spot is in logical pixels, whichever picture it has.
    const QPixmap cursorPicture =
        QPixmap::fromImage(LoadPicture(QString::fromLatin1(RES_CURSOR_OWN_PIECE), view.Scale()));
    ownPieceCursor = cursorPicture.isNull() ? QCursor(Qt::PointingHandCursor)
                                            : QCursor(cursorPicture, RES_CURSOR_HOT_X, RES_CURSOR_HOT_Y);
    setMask(WindowRegion());
    setMouseTracking(true);
    clockTimer.setInterval(CLOCK_PERIOD_MS);
    connect(&clockTimer, &QTimer::timeout, this, [this] { UpdateClocks(); });

    board.SetPromotionAsker(this);
    board.SetSoundSetting(this);
    board.SetMessages(this);
    board.SetPieceSound(pieceSound.get());

    chatInput = new QLineEdit(this);
    chatInput->setGeometry(CHAT_INPUT_RECT);
    chatInput->setFrame(true);
    chatInput->setValidator(new CChatLineLimit([this] { return profile.GetHandleName(); }, chatInput));
    connect(chatInput, &QLineEdit::returnPressed, this, [this] { OnCommand(ID_OK); });

    Redraw(true);

    record.listBox = kifuWnd->MoveList();

    // The sockets report to the protocol; the guest's socket learns the local
    // host name, the host's listens on the configured port.
    if (connectSocket) {
        connectSocket->m_pOwner = protocol.get();
        connectSocket->Create(0);
    }
    if (listenSocket) {
        listenSocket->m_pOwner = protocol.get();
        listenSocket->Listen(static_cast<unsigned>(profile.GetPort()));
        // In the background: the window never waits for the router.
        RouterConfig router;
        router.port = static_cast<uint16_t>(listenSocket->ListenPort());
        portMapper->Start(router, profile.IsPortMappingOn());
    }
    // A refereed game's clocks run out, and its round trips are measured,
    // only as the protocol is looked at (it does nothing outside a game).
    constexpr int PROTOCOL_TICK_MS = 100;
    auto* protocolTick = new QTimer(this);
    connect(protocolTick, &QTimer::timeout, this, [this] { protocol->OnTick(); });
    protocolTick->start(PROTOCOL_TICK_MS);
    CPacketSocket::SetErrorReporter(
        [this](const std::string& sjisText) { showMessage(QString::fromUtf8(SjisToUtf8(sjisText))); });

    if (profile.GetHandleName().empty())
        profile.SetHandleName(connectSocket && !connectSocket->m_strHostName.empty()
                                  ? connectSocket->m_strHostName
                                  : Utf8ToSjis(QHostInfo::localHostName().toStdString()));
    SyncHandleName();

    chatInput->hide();

    autoplay.setInterval(AUTOPLAY_PERIOD_MS);
    connect(&autoplay, &QTimer::timeout, this, [this] { kifuWnd->StepCommand(ID_STEP_FORWARD); });

    move(profile.WindowX(), profile.WindowY());
}

CMainDlg::~CMainDlg() {
    autoplay.stop();
    // Its handshake holds the guest's socket and reports to the protocol.
    reconnector.reset();
    CPacketSocket::SetErrorReporter(nullptr);
    board.SetPromotionAsker(nullptr);
    board.SetSoundSetting(nullptr);
    board.SetMessages(nullptr);
    board.SetPieceSound(nullptr);
    record.listBox = nullptr;
    analysisDlg.reset();
    kifuWnd.reset();
    settingsDlg.reset();
    connectDlg.reset();
    turnDlg.reset();
    chatLog.reset();
    balloon.reset();
    aboutDlg.reset();
    // The router forgets the port (a bounded wait) before the port closes.
    portMapper.reset();
    // The sockets go before the protocol they report to.
    if (connectSocket)
        connectSocket->m_pOwner = nullptr;
    if (listenSocket)
        listenSocket->m_pOwner = nullptr;
    connectSocket.reset();
    listenSocket.reset();
}

// ---------------------------------------------------------------------------
// Shape and drawing

int CMainDlg::SideToMove() const {
    const KifuNode* cur = record.kifu.current;
    if (!cur || !cur->move)
        return SENTE;
    return cur->move->side == GOTE ? GOTE : SENTE;
}

void CMainDlg::Redraw(bool full) {
    view.Compose(ChooseLabels(Mode(), Flipped(), SideToMove()), Flipped() != 0, board.DrawList(),
                 full ? rect() : BOARD_BAND);
    // Every change of the game passes here: the clocks and the declaration follow it.
    UpdateClocks();
    SetMenuEnabled(ID_DECLARE, CanDeclare());
    SetMenuEnabled(ID_ABANDON, protocol->Adjourned());
    TellAnalysis();
}

void CMainDlg::UpdateClocks() {
    if (!protocol->Clocked() || (Mode() != MODE_GAME && Mode() != MODE_WATCHING)) {
        clockTimer.stop();
        beepSecond = 0;
        if (view.ClocksShown()) {
            view.HideClocks();
            setMask(ShownRegion());
        }
        return;
    }
    const int toMove = protocol->SideToMove();
    // An adjourned game's clocks stand still: neither is lit.
    auto face = [&](int side) {
        return ClockFace{ClockText(protocol->ClockOf(side)), side == toMove && !protocol->Adjourned()};
    };
    const int bottom = Flipped() ? GOTE : SENTE;
    const bool wasShown = view.ClocksShown();
    view.SetClocks(face(bottom), face(bottom ^ 1));
    if (!wasShown)
        setMask(ShownRegion());
    if (!clockTimer.isActive())
        clockTimer.start();
    // The count-down of the side to move, a beep for each new second.
    const int second = WarningSecond(protocol->ClockOf(toMove), protocol->Game().time.kind);
    if (second != 0 && (second != beepSecond || toMove != beepSide) && pieceSound)
        pieceSound->PlayPieceSound();
    beepSide = toMove;
    beepSecond = second;
}

bool CMainDlg::CanDeclare() const {
    return Mode() == MODE_GAME && !protocol->Adjourned() && ConnState() != CONN_NONE && protocol->Strict() &&
           protocol->SideToMove() == MySide();
}

void CMainDlg::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    view.Paint(p, e->rect());
}

void CMainDlg::DragTo(int index, int px, int py) {
    DragStep step{};
    if (board.DragTo(index, px, py, step))
        view.MoveHeld(step);
}

int CMainDlg::InDragMargin(QPoint p) const {
    return CONTROL_STRIP.contains(p) && !STRIP_INSIDE.contains(p) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Board input

void CMainDlg::OnLeftButtonDown(QPoint p) {
    const int held = board.HeldPiece();
    if (held == -1) {
        if (HitTestClick(p))
            return;
        if (Mode() == MODE_FREE && protocol->Reviewing()) {
            const int i = board.HitTest(p.x(), p.y());
            const int s = ShownSideToMove();
            if (i != -1 && board.IsOwner(i, s))
                PickUp(i, p, s);
            return;
        }
        if (Mode() == MODE_FREE || Mode() == MODE_WATCHING)
            return;
        const int i = board.HitTest(p.x(), p.y());
        // An adjourned game waits for its opponent: no move can be made.
        if (i == -1 || Mode() != MODE_GAME || protocol->Adjourned())
            return;
        const int s = SideToMove();
        if (!board.IsOwner(i, s) || ConnState() == CONN_NONE || MySide() != s)
            return;
        PickUp(i, p, s);
        return;
    }
    if (Mode() == MODE_FREE && protocol->Reviewing()) {
        ReviewDrop(held, p);
        return;
    }
    if (Mode() == MODE_FREE || Mode() == MODE_WATCHING) {
        // A piece still held after the game ended from elsewhere (the peer
        // resigned, the connection dropped) goes back to its place; otherwise
        // it would stay held and every click on the labels and the control
        // strip would go to it.
        board.CancelCapture();
        Redraw(false);
        return;
    }
    // Records, sends, and ends the game when the move took the king.
    if (Mode() == MODE_GAME && board.DropHeld(held, p.x(), p.y()) == 1)
        protocol->SendBoardMove(board.GetPiece(held));
    Redraw(false);
}

void CMainDlg::PickUp(int index, QPoint p, int side) {
    board.PickUp(index, p.x(), p.y());
    Redraw(false);  // the held piece is no longer drawn at its place
    board.ComputeAttacks(side);
    // The marks go into the back buffer, so dragging does not wipe them.
    view.DrawIntoBuffer(board.MarkList(0, index));
    DragTo(index, p.x(), p.y());
    view.Repaint(BOARD_BAND);
}

bool CMainDlg::Holding() const {
    return (Mode() == MODE_GAME || Mode() == MODE_EDIT || (Mode() == MODE_FREE && protocol->Reviewing())) &&
           board.HeldPiece() != -1;
}

void CMainDlg::OnRightButtonUp(QPoint p, QPoint globalPos) {
    (void)p;
    if (Holding()) {
        board.CancelCapture();
        Redraw(false);
        return;
    }
    openMenu(globalPos + QPoint(1, 1));
}

void CMainDlg::OnMouseMove(QPoint p, QPoint globalPos) {
    if (dragging) {
        DragWindowTo(globalPos - grabOffset);
        return;
    }
    if (Holding() && DRAG_AREA.Contains(p.x(), p.y()))
        DragTo(board.HeldPiece(), p.x(), p.y());
    UpdateCursor(p);
}

void CMainDlg::OnLeftButtonUp(QPoint globalPos) {
    if (!dragging)
        return;
    DragWindowTo(globalPos - grabOffset);
    profile.WindowX() = x();
    profile.WindowY() = y();
    dragging = 0;
}

void CMainDlg::UpdateCursor(QPoint p) {
    switch (Mode()) {
        case MODE_FREE:
        case MODE_WATCHING:
            if (InDragMargin(p))
                setCursor(Qt::SizeAllCursor);
            else
                unsetCursor();
            break;
        case MODE_GAME:
            if (MySide() == SideToMove() && !protocol->Adjourned())
                setCursor(ownPieceCursor);
            else
                unsetCursor();
            break;
        case MODE_EDIT: setCursor(ownPieceCursor); break;
        default: unsetCursor();
    }
}

void CMainDlg::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        OnLeftButtonDown(e->position().toPoint());
    e->accept();
}

void CMainDlg::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        OnLeftButtonUp(e->globalPosition().toPoint());
    else if (e->button() == Qt::RightButton)
        OnRightButtonUp(e->position().toPoint(), e->globalPosition().toPoint());
    e->accept();
}

void CMainDlg::mouseMoveEvent(QMouseEvent* e) {
    OnMouseMove(e->position().toPoint(), e->globalPosition().toPoint());
    e->accept();
}

// The second press of a double click neither picks up nor puts down a piece.
void CMainDlg::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }

int CMainDlg::AskPromotion(int x, int y) {
    CPromoteDlg dlg(this);
    dlg.point = QPoint(x, y);
    return dlg.exec();
}

bool CMainDlg::IsSoundOn() const { return profile.IsSoundOn(); }

void CMainDlg::ShowInternalError(const std::string& sjisText) {
    showMessage(QString::fromUtf8(SjisToUtf8(sjisText)));
}

// ---------------------------------------------------------------------------
// Keys and closing: only "終了" ends the window.

void CMainDlg::keyPressEvent(QKeyEvent* e) {
    // The chat input handles its own copy and paste; these reach the board.
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Paste)) {
        e->matches(QKeySequence::Copy) ? CopyRecord() : PasteRecord();
        e->accept();
        return;
    }
    switch (e->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter: e->accept(); return;
        default: QDialog::keyPressEvent(e);
    }
}

void CMainDlg::closeEvent(QCloseEvent* e) {
    if (exiting)
        e->accept();
    else
        e->ignore();
}

void CMainDlg::accept() {}
void CMainDlg::reject() {}

// ---------------------------------------------------------------------------
// Placement

void CMainDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    PlaceWindows();
}

void CMainDlg::PlaceWindows() {
    move(profile.WindowX(), profile.WindowY());
    if (QWidget* w = kifuWnd ? kifuWnd->Window() : nullptr) {
        w->move(profile.WindowX() + width() - w->frameGeometry().width(), profile.WindowY());
        w->setVisible(KifuShowCmd() == SHOW_RECORD_WINDOW);
    }
}

void CMainDlg::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange)
        return;
    // Minimising hides the record window with its owner; restoring brings it
    // back only when it was shown before.
    if (QWidget* w = kifuWnd ? kifuWnd->Window() : nullptr)
        w->setVisible(!isMinimized() && KifuShowCmd() == SHOW_RECORD_WINDOW);
}

void CMainDlg::BeginWindowDrag(QPoint p) {
    grabOffset = p;  // the client area starts at the window's corner
    dragging = 1;
    if (QWidget* w = kifuWnd ? kifuWnd->Window() : nullptr)
        kifuDragOffset = w->pos() - pos();
}

void CMainDlg::DragWindowTo(QPoint topLeft) {
    move(topLeft);
    // The record window keeps its place beside the board.
    if (QWidget* w = kifuWnd ? kifuWnd->Window() : nullptr)
        w->move(topLeft + kifuDragOffset);
}

// ---------------------------------------------------------------------------
// What the protocol asks of the window

void CMainDlg::SyncHandleName() {
    protocol->SetHandleName(profile.GetHandleName());
    if (listenSocket)
        listenSocket->SetHandleName(profile.GetHandleName());
}

int CMainDlg::Ask(Question, const std::string& question) { return balloon->Ask(question); }

void CMainDlg::AddLine(const std::string& line) { chatLog->AddLine(line); }

void CMainDlg::Notify(Notice kind) {
    const std::string text = NoticeText(kind);
    if (kind == Notice::ChatArrived) {
        // The line itself is in the log; the player only has to know it is there.
        QWidget* log = chatLog ? chatLog->Window() : nullptr;
        if ((log && log->isVisible()) || chatNoticeGiven)
            return;
        chatNoticeGiven = true;
    } else {
        chatLog->AddLine(NoticeLogLine(kind));
    }
    balloon->Tell(text);
    if (kind == Notice::Adjourned || kind == Notice::Restored) {
        // The waiting game stays on disk until it goes on and ends.
        KeepGame();
        if (!protocol->Kept().host)
            ComeBack();
    } else if ((kind == Notice::Resumed || kind == Notice::ResumeFailed) && reconnector) {
        reconnector->Stop();
    }
}

void CMainDlg::ComeBack() {
    if (reconnector && protocol->Adjourned() && !protocol->hostAddress.empty())
        reconnector->Start(
            protocol->hostAddress, GUEST_PORT, profile.GetHandleName(),
            listenSocket ? listenSocket->ListenPort() : static_cast<unsigned>(profile.GetPort()));
}

void CMainDlg::ShowChatInput(bool show) { chatInput->setVisible(show); }

void CMainDlg::CloseTurnDialog() {
    if (turnDlg->IsOpen())
        turnDlg->Close();
}

bool CMainDlg::IsConnectDialogOpen() const { return connectDlg->IsOpen(); }

void CMainDlg::OnStartGame() {
    SetMenuEnabled(ID_EDIT, false);
    SetMenuEnabled(ID_EDIT_END, false);
    kifuWnd->ClearList();
    analysisDlg->RecordChanged(true);
    autosave.Begin(SjisToUtf8(protocol->GetOpponentName()));
    autosaveWarned = false;
}

void CMainDlg::OnResetGame() {
    kifuWnd->ClearList();
    analysisDlg->RecordChanged(true);
    // A reset that the protocol makes is the start of a watched game: its
    // record is the only one that changes before the next game starts.  The
    // players' names come later, if at all; the host's is known.
    autosave.Begin("観戦_" + SjisToUtf8(protocol->GetOpponentName()));
    autosaveWarned = false;
}

void CMainDlg::OnRecordChanged() {
    QString error;
    if (!autosave.Save(record, &error) && !autosaveWarned) {
        autosaveWarned = true;
        chatLog->AddLine(
            Utf8ToSjis("◆" + tr("棋譜を自動保存できませんでした。").toStdString() + error.toStdString()));
    }
    KeepGame();
    analysisDlg->RecordChanged(false);
}

void CMainDlg::KeepGame() {
    const std::string keptPath = QFile::encodeName(CAutosave::KeptGamePath()).toStdString();
    // The kept game names its record file, so it is kept only once there is one.
    if (protocol->Resumable() && !autosave.Path().isEmpty()) {
        Adjournment kept = protocol->Kept();
        kept.recordPath = autosave.Path().toStdString();
        gameKept = WriteFileAtomic(keptPath, AdjournmentText(kept)) || gameKept;
    } else if (gameKept && Mode() != MODE_GAME) {
        // The game ended (or was given up): nothing is left to resume.
        QFile::remove(CAutosave::KeptGamePath());
        gameKept = false;
    }
}

}  // namespace ravu
