#include "ui/main_dlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QHostInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "app/piece_sound.h"
#include "app/resources.h"
#include "app/textcodec.h"
#include "net/game_link.h"
#include "net/game_socket.h"
#include "net/peer_protocol.h"
#include "ui/promote_dlg.h"
#include "ui/connect_dlg.h"
#include "ui/turn_dlg.h"
#include "ui/about_dlg.h"
#include "ui/balloon_dlg.h"
#include "ui/chat_log_dlg.h"
#include "ui/kifu_dlg.h"
#include "ui/settings_dlg.h"
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

const QString TEXT_PANEL_HIDE = QStringLiteral("パネルを消す");
const QString TEXT_PANEL_SHOW = QStringLiteral("パネルを表示");
const QString TEXT_KIFU_HIDE = QStringLiteral("棋譜窓を消す");
const QString TEXT_KIFU_SHOW = QStringLiteral("棋譜窓を表示");
const QString TEXT_LOG_SHOW = QStringLiteral("ログ窓を表示");
const QString TEXT_LOG_HIDE = QStringLiteral("ログ窓を消す");
const QString FILE_FILTER = QStringLiteral("KIFU Files (*.kif *.txt)");

bool Contains(const QRect& r, QPoint p) { return r.contains(p); }

}  // namespace

int StripButtonAt(QPoint p) {
    for (int i = 0; 33 + 42 * i < 495; ++i) {
        const int left = 33 + 42 * i;
        if (p.x() >= left && p.x() < left + 40 && p.y() >= 320 && p.y() < 360)
            return i;
    }
    return -1;
}

LabelChoice ChooseLabels(int mode, int flipped, int s) {
    if (mode == MODE_EDIT)
        return flipped ? LabelChoice{LABEL_GOTE, LABEL_SENTE} : LabelChoice{LABEL_SENTE, LABEL_GOTE};
    if (!flipped)
        return {s == SENTE ? LABEL_SENTE_LIT : LABEL_SENTE, s == GOTE ? LABEL_GOTE_LIT : LABEL_GOTE};
    return {s == GOTE ? LABEL_GOTE_LIT : LABEL_GOTE, s == SENTE ? LABEL_SENTE_LIT : LABEL_SENTE};
}

CMainDlg::CMainDlg(CProfile& profile, const QString& skinDir)
    : CMainDlg(profile, skinDir, nullptr, nullptr) {}

CMainDlg::CMainDlg(CProfile& profile, const QString& skinDir, CGameLink& connectLink,
                   CGameLink& listenLink)
    : CMainDlg(profile, skinDir, &connectLink, &listenLink) {}

CMainDlg::CMainDlg(CProfile& profile, const QString& skinDir, CGameLink* connectLink,
                   CGameLink* listenLink)
    : QDialog(nullptr, Qt::Window | Qt::FramelessWindowHint),
      connectSocket(connectLink ? nullptr : std::make_unique<CGameSocket>()),
      listenSocket(listenLink ? nullptr : std::make_unique<CGameSocket>()),
      protocol(std::make_unique<CPeerProtocol>(board, record,
                                               connectLink ? *connectLink : *connectSocket,
                                               listenLink ? *listenLink : *listenSocket, *this)),
      flipped(protocol->flipped),
      gamePeer(protocol->gamePeer),
      mode(protocol->mode),
      mySide(protocol->mySide),
      connState(protocol->connState),
      profile(profile) {
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
    connect(kifu.get(), &CKifuDlg::closeRequested, this, [this] {
        if (kifuShowCmd == SHOW_RECORD_WINDOW)
            ToggleKifuWindow();
    });
    kifuWnd = std::move(kifu);
    settingsDlg = std::make_unique<CSettingsDlg>(&profile, this);
    if (connectSocket) {
        auto connect = std::make_unique<CConnectDlg>(connectSocket.get(), &hostListText, &profile,
                                                     protocol.get(), this);
        connect->onAccepted = [this] {
            acceptedInDialog = true;
            protocol->SetOpponentName(profile.GetOpponentName());  // the host's hello
            protocol->OnGuestConnected();
        };
        connectDlg = std::move(connect);
        auto turn = std::make_unique<CTurnDlg>(&profile, protocol.get(), this);
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
    aboutDlg = std::make_unique<CAboutDlg>(this);
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
    flipped = mode = mySide = connState = 0;

    skin.Load(skinDir);
    background = skin.background.isNull()
                     ? QImage(CLIENT_SIZE, QImage::Format_RGB32)
                     : skin.background.convertToFormat(QImage::Format_RGB32);
    if (skin.background.isNull())
        background.fill(Qt::white);
    clientRect = QRect(QPoint(0, 0), CLIENT_SIZE);
    resize(CLIENT_SIZE);
    buffer = QImage(CLIENT_SIZE, QImage::Format_ARGB32_Premultiplied);
    buffer.fill(Qt::white);

    const QPixmap cursorPicture(QString::fromLatin1(RES_CURSOR_OWN_PIECE));
    ownPieceCursor = cursorPicture.isNull() ? QCursor(Qt::PointingHandCursor)
                                            : QCursor(cursorPicture, RES_CURSOR_HOT_X, RES_CURSOR_HOT_Y);
    setMask(WindowRegion());
    setMouseTracking(true);

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

    kifuShowCmd = SHOW_RECORD_WINDOW;
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
    }
    CPacketSocket::SetErrorReporter([this](const std::string& sjisText) {
        showMessage(QString::fromUtf8(SjisToUtf8(sjisText)));
    });

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
    CPacketSocket::SetErrorReporter(nullptr);
    board.SetPromotionAsker(nullptr);
    board.SetSoundSetting(nullptr);
    board.SetMessages(nullptr);
    board.SetPieceSound(nullptr);
    record.listBox = nullptr;
    kifuWnd.reset();
    settingsDlg.reset();
    connectDlg.reset();
    turnDlg.reset();
    chatLog.reset();
    balloon.reset();
    aboutDlg.reset();
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

QRegion CMainDlg::WindowRegion() {
    // A label with its shadow: the rectangle joined with a rectangle whose
    // corners are rounded by one pixel, offset by two.
    auto label = [](int x, int y) {
        QRegion r(x, y, 30, 16);
        r += QRegion(x + 3, y + 2, 28, 16);
        r += QRegion(x + 2, y + 3, 30, 14);
        return r;
    };
    QRegion region(TOP_HAND_AREA);
    region += QRegion(BOARD_AREA);
    region += QRegion(BOTTOM_HAND_AREA);
    region += label(LEFT_LABEL_CLICK.left(), LEFT_LABEL_CLICK.top());
    region += label(RIGHT_LABEL_CLICK.left(), RIGHT_LABEL_CLICK.top());
    region += QRegion(CONTROL_STRIP);
    return region;
}

int CMainDlg::SideToMove() const {
    const KifuNode* cur = record.kifu.current;
    if (!cur || !cur->move)
        return SENTE;
    return cur->move->side == GOTE ? GOTE : SENTE;
}

void CMainDlg::DrawCells(QPainter& painter, const std::vector<QImage>& cells,
                         const std::vector<CellPlacement>& list) const {
    for (const CellPlacement& c : list)
        if (const QImage* img = CSkin::Cell(cells, c.cell))
            painter.drawImage(c.x, c.y, *img);
}

void CMainDlg::Redraw(bool full) {
    reachMarks.clear();
    checkShown = false;
    heldShown = false;

    const LabelChoice labels = ChooseLabels(mode, flipped, SideToMove());
    const int right = labels.right, left = labels.left;
    {
        // The labels go into the in-memory copy of the background.  Their
        // cells are transparent where white, so the places are first given
        // back their original pixels: a plain label drawn over a lit one
        // must not keep the lit one's colour there.
        QPainter bg(&background);
        if (!skin.background.isNull()) {
            bg.setCompositionMode(QPainter::CompositionMode_Source);
            for (QPoint at : {RIGHT_LABEL_POS, LEFT_LABEL_POS})
                bg.drawImage(at, skin.background, QRect(at, QSize(CSkin::LABEL_W, CSkin::LABEL_H)));
            bg.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        if (const QImage* img = CSkin::Cell(skin.labels, right))
            bg.drawImage(RIGHT_LABEL_POS, *img);
        if (const QImage* img = CSkin::Cell(skin.labels, left))
            bg.drawImage(LEFT_LABEL_POS, *img);
    }
    {
        QPainter buf(&buffer);
        buf.setCompositionMode(QPainter::CompositionMode_Source);
        buf.drawImage(0, 0, background);
        buf.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (const QImage* img = CSkin::Cell(skin.frames, flipped ? 1 : 0))
            buf.drawImage(FRAME_POS, *img);
        DrawCells(buf, skin.pieces, board.DrawList());
    }
    RequestRepaint(full ? rect() : BOARD_BAND);
}

void CMainDlg::ShowCheckLabel() {
    checkShown = true;
    RequestRepaint(QRect(CHECK_LABEL_POS, QSize(CSkin::LABEL_W, CSkin::LABEL_H)));
}

void CMainDlg::RequestRepaint(const QRect& r) {
    repaintLog.push_back(r);
    update(r);
}

std::vector<QRect> CMainDlg::TakeRepaintLog() {
    std::vector<QRect> out;
    out.swap(repaintLog);
    return out;
}

void CMainDlg::PaintOverlays(QPainter& painter) const {
    DrawCells(painter, skin.marks, reachMarks);
    if (checkShown)
        if (const QImage* img = CSkin::Cell(skin.labels, LABEL_CHECK))
            painter.drawImage(CHECK_LABEL_POS, *img);
    if (heldShown)
        if (const QImage* img = CSkin::Cell(skin.pieces, heldCell.cell))
            painter.drawImage(heldCell.x, heldCell.y, *img);
}

QImage CMainDlg::ScreenImage() const {
    QImage out = buffer.copy();
    QPainter p(&out);
    PaintOverlays(p);
    p.end();
    return out;
}

void CMainDlg::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    const QRect r = e->rect();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(r, buffer, r);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    PaintOverlays(p);
}

void CMainDlg::DragTo(int index, int px, int py) {
    DragStep step{};
    if (!board.DragTo(index, px, py, step))
        return;
    // The old place shows the back buffer again; the piece is drawn at the new one.
    RequestRepaint(QRect(step.eraseX, step.eraseY, PIECE_CELL, PIECE_CELL));
    heldShown = true;
    heldCell = CellPlacement{step.cell, step.x, step.y};
    RequestRepaint(QRect(step.x, step.y, PIECE_CELL, PIECE_CELL));
}

int CMainDlg::InDragMargin(QPoint p) const {
    return Contains(CONTROL_STRIP, p) && !Contains(STRIP_INSIDE, p) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Board input

void CMainDlg::OnLeftButtonDown(QPoint p) {
    const int held = board.HeldPiece();
    if (held == -1) {
        if (HitTestClick(p))
            return;
        if (mode == MODE_FREE || mode == MODE_WATCHING)
            return;
        const int i = board.HitTest(p.x(), p.y());
        if (i == -1 || mode != MODE_GAME)
            return;
        const int s = SideToMove();
        if (!board.IsOwner(i, s) || connState == CONN_NONE || mySide != s)
            return;
        board.PickUp(i, p.x(), p.y());
        Redraw(false);  // the held piece is no longer drawn at its place
        board.ComputeAttacks(mySide);
        {
            // The marks go into the back buffer, so dragging does not wipe them.
            QPainter buf(&buffer);
            DrawCells(buf, skin.marks, board.MarkList(0, i));
        }
        DragTo(i, p.x(), p.y());
        RequestRepaint(BOARD_BAND);
        return;
    }
    if (mode == MODE_FREE || mode == MODE_WATCHING) {
        // A piece still held after the game ended from elsewhere (the peer
        // resigned, the connection dropped) goes back to its place; otherwise
        // it would stay held and every click on the labels and the control
        // strip would go to it.
        board.CancelCapture();
        Redraw(false);
        return;
    }
    // Records, sends, and ends the game when the move took the king.
    if (mode == MODE_GAME && board.DropHeld(held, p.x(), p.y()) == 1)
        protocol->SendBoardMove(board.GetPiece(held));
    Redraw(false);
}

void CMainDlg::OnRightButtonUp(QPoint p, QPoint globalPos) {
    (void)p;
    if ((mode == MODE_GAME || mode == MODE_EDIT) && board.HeldPiece() != -1) {
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
    const int held = board.HeldPiece();
    if ((mode == MODE_GAME || mode == MODE_EDIT) && held != -1 &&
        DRAG_AREA.Contains(p.x(), p.y()))
        DragTo(held, p.x(), p.y());
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
    switch (mode) {
    case MODE_FREE:
    case MODE_WATCHING:
        if (InDragMargin(p))
            setCursor(Qt::SizeAllCursor);
        else
            unsetCursor();
        break;
    case MODE_GAME:
        if (mySide == SideToMove())
            setCursor(ownPieceCursor);
        else
            unsetCursor();
        break;
    case MODE_EDIT:
        setCursor(ownPieceCursor);
        break;
    default:
        unsetCursor();
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
    switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        e->accept();
        return;
    default:
        QDialog::keyPressEvent(e);
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
        w->setVisible(kifuShowCmd == SHOW_RECORD_WINDOW);
    }
}

void CMainDlg::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange)
        return;
    // Minimising hides the record window with its owner; restoring brings it
    // back only when it was shown before.
    if (QWidget* w = kifuWnd ? kifuWnd->Window() : nullptr)
        w->setVisible(!isMinimized() && kifuShowCmd == SHOW_RECORD_WINDOW);
}

// ---------------------------------------------------------------------------
// Popup menu

void CMainDlg::BuildPopupMenu() {
    popupMenu = new QMenu(this);
    popupMenu->setFont(PGothicFont(9));
    auto add = [this](int id, const QString& text) {
        QAction* a = popupMenu->addAction(text);
        a->setData(id);
    };
    add(ID_EDIT, QStringLiteral("編集"));
    add(ID_EDIT_END, QStringLiteral("編集終了"));
    add(ID_FLIP, QStringLiteral("画面反転"));
    popupMenu->addSeparator();
    add(ID_PANEL, TEXT_PANEL_HIDE);
    add(ID_KIFU_WINDOW, TEXT_KIFU_HIDE);
    add(ID_LOG_WINDOW, TEXT_LOG_SHOW);
    popupMenu->addSeparator();
    add(ID_VERSION, QStringLiteral("バージョン情報"));
    add(ID_EXIT, QStringLiteral("終了"));
    connect(popupMenu, &QMenu::triggered, this,
            [this](QAction* a) { OnCommand(a->data().toInt()); });
}

QAction* CMainDlg::MenuAction(int id) const {
    for (QAction* a : popupMenu->actions())
        if (!a->isSeparator() && a->data().toInt() == id)
            return a;
    return nullptr;
}

void CMainDlg::SetMenuEnabled(int id, bool enabled) {
    if (QAction* a = MenuAction(id))
        a->setEnabled(enabled);
}

void CMainDlg::TogglePanel() {
    QAction* a = MenuAction(ID_PANEL);
    const bool hide = a->text() != TEXT_PANEL_SHOW;
    move(profile.WindowX(), profile.WindowY());
    resize(width(), height() + (hide ? -PANEL_HEIGHT : PANEL_HEIGHT));
    a->setText(hide ? TEXT_PANEL_SHOW : TEXT_PANEL_HIDE);
}

void CMainDlg::ToggleKifuWindow() {
    QAction* a = MenuAction(ID_KIFU_WINDOW);
    QWidget* w = kifuWnd ? kifuWnd->Window() : nullptr;
    if (a->text() == TEXT_KIFU_SHOW) {
        if (w)
            w->show();
        a->setText(TEXT_KIFU_HIDE);
        kifuShowCmd = SHOW_RECORD_WINDOW;
    } else {
        if (w)
            w->hide();
        a->setText(TEXT_KIFU_SHOW);
        kifuShowCmd = HIDE_RECORD_WINDOW;
    }
}

void CMainDlg::ToggleLogWindow() {
    QAction* a = MenuAction(ID_LOG_WINDOW);
    QWidget* w = chatLog ? chatLog->Window() : nullptr;
    if (a->text() != TEXT_LOG_SHOW) {
        if (w)
            w->hide();
        a->setText(TEXT_LOG_SHOW);
    } else {
        if (w)
            w->show();
        a->setText(TEXT_LOG_HIDE);
        chatNoticeGiven = false;  // the player reads the log from here on
    }
}

// ---------------------------------------------------------------------------
// Command table

void CMainDlg::OnCommand(int id, intptr_t param, const QString& text) {
    switch (id) {
    case ID_OK: {
        const QString line = chatInput->text();
        if (line.isEmpty())
            return;
        chatInput->clear();
        if (connState != CONN_NONE)
            HandleChat(Utf8ToSjis(line.toStdString()));
        return;
    }
    case ID_CANCEL:
        return;
    case ID_FLIP:
        flipped = 1 - flipped;
        board.SetFlip(flipped);
        Redraw(false);
        break;
    case ID_EDIT:
        SetMenuEnabled(ID_EDIT, false);
        SetMenuEnabled(ID_EDIT_END, true);
        mode = MODE_EDIT;
        break;
    case ID_START:
        StartGame();
        break;
    case ID_RESIGN:
        Resign();
        break;
    case ID_EDIT_END:
        break;
    case ID_STEP_FORWARD:
        if (mode == MODE_FREE) {
            record.StepTo(board, static_cast<int>(param));
            Redraw(false);
        }
        break;
    case ID_STEP_BACK:
    case ID_LIST_SELECT:
        if (mode == MODE_FREE && param != -1) {
            StopAutoplay();
            if (param == 0) {
                GoToStart();
            } else {
                board.Reset();
                record.GoTo(board, static_cast<int>(param), 0, nullptr);
                Redraw(false);
            }
        }
        break;
    case ID_OPEN:
        OpenFile();
        break;
    case ID_EXIT:
        exiting = true;
        QDialog::done(ID_OK);
        break;
    case ID_KIFU_WINDOW:
        ToggleKifuWindow();
        break;
    case ID_LOG_WINDOW:
        ToggleLogWindow();
        break;
    case ID_TREE_SELECT:
        if (mode == MODE_FREE && param != 0) {
            StopAutoplay();
            board.Reset();
            record.GoTo(board, 0, static_cast<int32_t>(param), kifuWnd->MoveList());
            Redraw(false);
        }
        break;
    case ID_FILE_DROP:
        if (mode == MODE_FREE)
            LoadKifuFile(text);
        break;
    case ID_PANEL:
        TogglePanel();
        break;
    case ID_VERSION:
        aboutDlg->Run();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Labels, control strip and drag margin

int CMainDlg::HitTestClick(QPoint p) {
    if (board.HeldPiece() != -1)
        return 0;
    if (Contains(RIGHT_LABEL_CLICK, p) || Contains(LEFT_LABEL_CLICK, p)) {
        // Everything that side's pieces on the board reach, until the next redraw.
        const bool rightLabel = Contains(RIGHT_LABEL_CLICK, p);
        const int side = rightLabel ? (flipped ? GOTE : SENTE) : (flipped ? SENTE : GOTE);
        reachMarks = board.ReachList(side);
        RequestRepaint(BOARD_BAND);
        return 1;
    }
    if (!Contains(CONTROL_STRIP, p))
        return 0;
    if (InDragMargin(p)) {
        BeginWindowDrag(p);
        return 1;
    }
    const int button = StripButtonAt(p);
    if (button < 0)
        return 0;
    StripButton(button);
    return 1;
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

void CMainDlg::StripButton(int i) {
    const bool free = mode == MODE_FREE;
    switch (i) {
    case 0:
        if (free) {
            StopAutoplay();
            GoToStart();
        }
        break;
    case 1:
        if (free) {
            StopAutoplay();
            kifuWnd->StepCommand(ID_STEP_BACK);
        }
        break;
    case 2:
        if (free) {
            StopAutoplay();
            kifuWnd->StepCommand(ID_STEP_FORWARD);
        }
        break;
    case 3:
        if (free)
            autoplay.start();
        break;
    case 4:
        if (free)
            StopAutoplay();
        break;
    case 5:
        if (free)
            OpenFile();
        break;
    case 6:
        SaveFile();
        break;
    case 7:
        if (connState == CONN_NONE) {
            SyncHandleName();
            // The real dialog makes this copy a guest itself, at the moment of
            // acceptance; one without that hook is answered here.
            acceptedInDialog = false;
            if (connectDlg->Run() == 1 && !acceptedInDialog) {
                protocol->SetOpponentName(profile.GetOpponentName());
                protocol->OnGuestConnected();  // guest; the chat input is shown
            }
        } else {
            Disconnect();
        }
        break;
    case 8:
        // Only a guest proposes the sides, and only between games.
        if (connState == CONN_NONE)
            TellWhy("接続していません。\r\n先に相手に接続してください。");
        else if (connState == CONN_HOST)
            TellWhy("先手・後手は\r\n接続してきた相手が申し込みます。");
        else if (mode == MODE_GAME)
            TellWhy("対局中です。");
        else if (mode == MODE_WATCHING)
            TellWhy("観戦中は対局を申し込めません。");
        else if (!free)
            TellWhy("今は対局を申し込めません。");
        if (connState == CONN_GUEST && free) {
            if (auto* d = dynamic_cast<CTurnDlg*>(turnDlg.get()))
                d->SetSocket(connectSocket.get());
            acceptedInDialog = false;
            if (turnDlg->Run() == 1 && !acceptedInDialog)
                protocol->OnTurnAccepted(turnDlg->ChosenSide() == GOTE ? GOTE : SENTE);
        }
        break;
    case 9:
        if (mode == MODE_WATCHING)
            TellWhy("観戦中は投了できません。");
        else if (mode != MODE_GAME)
            TellWhy("対局中ではありません。");
        else if (SideToMove() != mySide)
            TellWhy("相手の手番です。\r\n投了は自分の手番にできます。");
        else
            Resign();
        break;
    case 10:
        settingsDlg->Run();
        SyncHandleName();
        break;
    default:
        break;
    }
}

void CMainDlg::StopAutoplay() { autoplay.stop(); }

// ---------------------------------------------------------------------------
// Game state

void CMainDlg::StartGame() { protocol->StartGame(); }

void CMainDlg::ResetGame() { protocol->ResetGame(); }

void CMainDlg::OnStartGame() {
    SetMenuEnabled(ID_EDIT, false);
    SetMenuEnabled(ID_EDIT_END, false);
    kifuWnd->ClearList();
}

void CMainDlg::OnResetGame() { kifuWnd->ClearList(); }

void CMainDlg::ClearGameState() { protocol->ClearGameState(); }

void CMainDlg::Resign() {
    if (protocol->Resign()) {
        SetMenuEnabled(ID_EDIT_END, false);
        Redraw(false);
    }
}

void CMainDlg::Disconnect() {
    if (connState != CONN_NONE)
        protocol->Disconnect();
}

void CMainDlg::GoToStart() {
    if (mode != MODE_FREE)
        return;
    record.Rewind();
    board.Reset();
    Redraw(false);
}

void CMainDlg::SendToPeers(uint8_t type, const std::string& text) { protocol->SendToPeers(type, text); }

void CMainDlg::HandleChat(const std::string& text) {
    SyncHandleName();
    protocol->HandleChat(0, &text);
}

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
}

void CMainDlg::TellWhy(const char* utf8Text) { balloon->Tell(Utf8ToSjis(utf8Text)); }

void CMainDlg::ShowChatInput(bool show) { chatInput->setVisible(show); }

void CMainDlg::CloseTurnDialog() {
    if (auto* d = dynamic_cast<QDialog*>(turnDlg.get()); d && d->isVisible())
        d->done(QDialog::Rejected);
}

bool CMainDlg::IsConnectDialogOpen() const {
    auto* d = dynamic_cast<QDialog*>(connectDlg.get());
    return d && d->isVisible();
}

// ---------------------------------------------------------------------------
// Files

QString CMainDlg::RunFileDialog(bool save) {
    // Qt's own dialog, not the desktop's: it speaks the language of Qt's
    // translation, and it goes where it is put instead of where the desktop
    // places new windows.
    QFileDialog dlg(this, QString(), QString(), FILE_FILTER);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Centred over the board picture (the window's shape, less a hidden panel).
    // (setGeometry places the inside of the dialog, whatever frame it gets.)
    QRect inside(QPoint(0, 0), dlg.sizeHint());
    inside.moveCenter(mapToGlobal((WindowRegion().boundingRect() & rect()).center()));
    dlg.setGeometry(inside);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

void CMainDlg::OpenFile() {
    const QString path = chooseFile(false);
    if (!path.isEmpty())
        LoadKifuFile(path);
}

void CMainDlg::SaveFile() {
    const QString path = chooseFile(true);
    if (path.isEmpty())
        return;
    // The path is saved as typed; no extension is added.
    if (!record.SaveKif(QFile::encodeName(path).toStdString(), Utf8ToSjis(path.toStdString())))
        showMessage(QStringLiteral("棋譜ファイルを保存できませんでした。\n") + path);
}

void CMainDlg::LoadKifuFile(const QString& path) {
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return;
    const QString ext = path.mid(dot);
    if (ext.compare(QLatin1String(".kif"), Qt::CaseInsensitive) != 0 &&
        ext.compare(QLatin1String(".txt"), Qt::CaseInsensitive) != 0)
        return;
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (!record.LoadKif(QFile::encodeName(path).toStdString(), Utf8ToSjis(name.toStdString()))) {
        // Nothing could be read: the record, its lists and the board stay as they were.
        showMessage(QStringLiteral("棋譜ファイルを読み込めませんでした。\n") + path);
        return;
    }
    kifuWnd->RefreshLists();
    SetMenuEnabled(ID_EDIT_END, false);
    mode = MODE_FREE;
    board.Reset();
    Redraw(false);
}

}  // namespace ravu
