// The main window's commands: the popup menu with its window toggles, the
// command table, the turn labels and the control strip, and the commands
// that change the game state.
#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QStyleOptionMenuItem>

#include "app/textcodec.h"
#include "net/peer_protocol.h"
#include "net/reconnector.h"
#include "ui/analysis_dlg.h"
#include "ui/connect_dlg.h"
#include "ui/main_dlg.h"
#include "ui/ui_fonts.h"

namespace ravu {

namespace {

// The popup menu.  Its toggles say their state in their text ("棋譜窓を消す"
// while the record window is shown), so they are drawn as plain items:
// without a check mark and without the column kept for one.
class CPopupMenu : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
        QMenu::initStyleOption(option, action);
        option->checkType = QStyleOptionMenuItem::NotCheckable;
        option->checked = false;
        option->menuHasCheckableItems = false;
    }
};

}  // namespace

StripButton StripButtonAt(QPoint p) {
    for (int i = 0; 33 + 42 * i < 495; ++i) {
        const int left = 33 + 42 * i;
        if (p.x() >= left && p.x() < left + 40 && p.y() >= 320 && p.y() < 360)
            return static_cast<StripButton>(i);
    }
    return StripButton::None;
}

// ---------------------------------------------------------------------------
// Popup menu and window toggles

void CMainDlg::BuildPopupMenu() {
    popupMenu = new CPopupMenu(this);
    popupMenu->setFont(PGothicFont(9));
    auto add = [this](int id, const QString& text) {
        QAction* a = popupMenu->addAction(text);
        a->setData(id);
    };
    add(ID_EDIT, tr("編集"));
    add(ID_EDIT_END, tr("編集終了"));
    add(ID_FLIP, tr("画面反転"));
    add(ID_DECLARE, tr("入玉宣言"));
    add(ID_ABANDON, tr("中断した対局を終える"));
    popupMenu->addSeparator();
    add(ID_REVIEW_START, tr("感想戦を始める"));
    add(ID_REVIEW_END, tr("感想戦を終える"));
    followToggle = AddToggle(ID_REVIEW_FOLLOW, true, tr("感想戦から離れて見る"), tr("感想戦に合わせる"),
                             &CMainDlg::FollowReview);
    popupMenu->addSeparator();
    add(ID_COPY_RECORD, tr("棋譜をコピー"));
    add(ID_COPY_POSITION, tr("局面をコピー"));
    add(ID_PASTE_RECORD, tr("棋譜を貼り付け"));
    recentMenu = popupMenu->addMenu(tr("最近の対局"));
    recentMenu->setFont(popupMenu->font());
    recentMenu->setToolTipsVisible(true);  // each item's full path
    connect(recentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    popupMenu->addSeparator();
    panelToggle = AddToggle(ID_PANEL, true, tr("パネルを消す"), tr("パネルを表示"), &CMainDlg::ShowPanel);
    kifuToggle =
        AddToggle(ID_KIFU_WINDOW, true, tr("棋譜窓を消す"), tr("棋譜窓を表示"), &CMainDlg::ShowKifuWindow);
    logToggle =
        AddToggle(ID_LOG_WINDOW, false, tr("ログ窓を消す"), tr("ログ窓を表示"), &CMainDlg::ShowLogWindow);
    analysisToggle = AddToggle(ID_ANALYSIS_WINDOW, false, tr("解析窓を消す"), tr("解析窓を表示"),
                               &CMainDlg::ShowAnalysisWindow);
    popupMenu->addSeparator();
    add(ID_VERSION, tr("バージョン情報"));
    add(ID_EXIT, tr("終了"));
    // A toggle chosen in the menu has already changed (and carried out) its
    // state when the menu reports it; the other items go to the command table,
    // those of the submenu too, with the file they stand for.
    // Whether a review can start changes with every guest that comes and goes.
    connect(popupMenu, &QMenu::aboutToShow, this, [this] { UpdateReviewMenu(); });
    connect(popupMenu, &QMenu::triggered, this, [this](QAction* a) {
        if (!a->isCheckable())
            OnCommand(a->data().toInt(), 0, a->data().toInt() == ID_OPEN_RECENT ? a->toolTip() : QString());
    });
}

void CMainDlg::FillRecentMenu() {
    recentMenu->clear();
    const QStringList games = CAutosave::RecentGames();
    for (const QString& path : games) {
        QAction* a = recentMenu->addAction(QFileInfo(path).completeBaseName());
        a->setData(ID_OPEN_RECENT);
        a->setToolTip(path);
        a->setEnabled(Mode() == MODE_FREE);
    }
    if (games.isEmpty())
        recentMenu->addAction(tr("（なし）"))->setEnabled(false);
}

QAction* CMainDlg::AddToggle(int id, bool on, const QString& onText, const QString& offText,
                             void (CMainDlg::*apply)(bool on)) {
    QAction* a = popupMenu->addAction(on ? onText : offText);
    a->setData(id);
    a->setCheckable(true);
    a->setChecked(on);
    connect(a, &QAction::toggled, this, [this, a, onText, offText, apply](bool nowOn) {
        (this->*apply)(nowOn);
        a->setText(nowOn ? onText : offText);
    });
    return a;
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

int CMainDlg::KifuShowCmd() const {
    return !kifuToggle || kifuToggle->isChecked() ? SHOW_RECORD_WINDOW : HIDE_RECORD_WINDOW;
}

void CMainDlg::TogglePanel() { panelToggle->toggle(); }
void CMainDlg::ToggleKifuWindow() { kifuToggle->toggle(); }
void CMainDlg::ToggleLogWindow() { logToggle->toggle(); }

void CMainDlg::ShowPanel(bool shown) {
    // The window stays at its saved place and grows or shrinks at the bottom.
    move(profile.WindowX(), profile.WindowY());
    resize(width(), height() + (shown ? PANEL_HEIGHT : -PANEL_HEIGHT));
}

void CMainDlg::ShowKifuWindow(bool shown) {
    if (QWidget* w = kifuWnd ? kifuWnd->Window() : nullptr)
        w->setVisible(shown);
}

void CMainDlg::ShowAnalysisWindow(bool shown) {
    analysisDlg->setVisible(shown);
    if (shown)
        TellAnalysis();
}

void CMainDlg::ShowLogWindow(bool shown) {
    if (QWidget* w = chatLog ? chatLog->Window() : nullptr)
        w->setVisible(shown);
    if (shown)
        chatNoticeGiven = false;  // the player reads the log from here on
}

// ---------------------------------------------------------------------------
// Command table

void CMainDlg::OnCommand(int id, intptr_t param, const QString& text) {
    // A previewed engine line leaves the board before anything else happens on it.
    if (previewing && id != ID_OK && id != ID_CANCEL)
        ShowPosition();
    switch (id) {
        case ID_OK: {
            const QString line = chatInput->text();
            if (line.isEmpty())
                return;
            chatInput->clear();
            if (ReviewCommentLine(line))
                return;
            if (ConnState() != CONN_NONE)
                HandleChat(Utf8ToSjis(line.toStdString()));
            return;
        }
        case ID_CANCEL: return;
        case ID_FLIP:
            protocol->FlipView();
            Redraw(false);
            break;
        case ID_EDIT:
            SetMenuEnabled(ID_EDIT, false);
            SetMenuEnabled(ID_EDIT_END, true);
            protocol->BeginEdit();
            break;
        case ID_START: StartGame(); break;
        case ID_RESIGN: Resign(); break;
        case ID_DECLARE:
            if (protocol->Declare() == -1)
                TellWhy(
                    tr("入玉宣言の条件を\r\n満たしていません。\r\n（27点法：玉と10枚が敵陣に、\r\n"
                       "先手28点・後手27点以上、\r\n王手されていないこと）"));
            break;
        case ID_EDIT_END: break;
        case ID_STEP_FORWARD:
            if (Mode() == MODE_FREE) {
                record.StepTo(board, static_cast<int>(param));
                Redraw(false);
                TellShown();
            }
            break;
        case ID_STEP_BACK:
        case ID_LIST_SELECT:
            if (Mode() == MODE_FREE && param != -1) {
                StopAutoplay();
                if (param == 0) {
                    GoToStart();
                } else {
                    record.SetUpStart(board);
                    record.GoTo(board, static_cast<int>(param), 0, nullptr);
                    Redraw(false);
                    TellShown();
                }
            }
            break;
        case ID_OPEN: OpenFile(); break;
        case ID_ABANDON: AbandonAdjourned(); break;
        case ID_EXIT:
            if (reconnector)
                reconnector->Stop();
            exiting = true;
            QDialog::done(ID_OK);
            break;
        case ID_KIFU_WINDOW: ToggleKifuWindow(); break;
        case ID_LOG_WINDOW: ToggleLogWindow(); break;
        case ID_TREE_SELECT:
            if (Mode() == MODE_FREE && param != 0) {
                StopAutoplay();
                record.SetUpStart(board);
                record.GoTo(board, 0, static_cast<int32_t>(param), kifuWnd->MoveList());
                Redraw(false);
                TellShown();
            }
            break;
        case ID_REVIEW_START:
            if (!protocol->StartReview())
                TellWhy(tr("感想戦は、対局のあとに\r\nつながっている相手とできます。"));
            break;
        case ID_REVIEW_END: protocol->EndReview(); break;
        case ID_FILE_DROP:
        case ID_OPEN_RECENT:
            if (Mode() == MODE_FREE)
                LoadKifuFile(text);
            break;
        case ID_PANEL: TogglePanel(); break;
        case ID_VERSION: aboutDlg->Run(); break;
        case ID_COPY_RECORD: CopyRecord(); break;
        case ID_COPY_POSITION: CopyPosition(); break;
        case ID_PASTE_RECORD: PasteRecord(); break;
        default: break;
    }
}

// ---------------------------------------------------------------------------
// Labels and control strip

int CMainDlg::HitTestClick(QPoint p) {
    if (board.HeldPiece() != -1)
        return 0;
    if (RIGHT_LABEL_CLICK.contains(p) || LEFT_LABEL_CLICK.contains(p)) {
        // Everything that side's pieces on the board reach, until the next redraw.
        const bool rightLabel = RIGHT_LABEL_CLICK.contains(p);
        const int flipped = Flipped();
        const int side = rightLabel ? (flipped ? GOTE : SENTE) : (flipped ? SENTE : GOTE);
        view.ShowReach(board.ReachList(side));
        return 1;
    }
    if (!CONTROL_STRIP.contains(p))
        return 0;
    if (InDragMargin(p)) {
        BeginWindowDrag(p);
        return 1;
    }
    const StripButton button = StripButtonAt(p);
    if (button == StripButton::None)
        return 0;
    PressStripButton(button);
    return 1;
}

void CMainDlg::PressStripButton(StripButton button) {
    if (previewing)
        ShowPosition();
    const bool free = Mode() == MODE_FREE;
    switch (button) {
        case StripButton::ToStart:
            if (free) {
                StopAutoplay();
                GoToStart();
            }
            break;
        case StripButton::StepBack:
            if (free) {
                StopAutoplay();
                kifuWnd->StepCommand(ID_STEP_BACK);
            }
            break;
        case StripButton::StepForward:
            if (free) {
                StopAutoplay();
                kifuWnd->StepCommand(ID_STEP_FORWARD);
            }
            break;
        case StripButton::Autoplay:
            if (free)
                autoplay.start();
            break;
        case StripButton::StopAutoplay:
            if (free)
                StopAutoplay();
            break;
        case StripButton::Open:
            if (free)
                OpenFile();
            break;
        case StripButton::Save: SaveFile(); break;
        case StripButton::Connect:
            if (ConnState() == CONN_NONE) {
                SyncHandleName();
                // The player connects by hand; that resumes an adjourned game too.
                if (reconnector)
                    reconnector->Stop();
                // The real dialog makes this copy a guest itself, at the moment of
                // acceptance; one without that hook is answered here.
                acceptedInDialog = false;
                if (connectDlg->Run() == 1 && !acceptedInDialog) {
                    protocol->SetOpponentName(profile.GetOpponentName());
                    auto* dial = dynamic_cast<CConnectDlg*>(connectDlg.get());
                    if (dial)
                        protocol->hostAddress = dial->Dest();
                    // guest; the chat input is shown
                    protocol->OnGuestConnected(dial ? dial->Handshake().hostCaps : std::string());
                }
            } else {
                Disconnect();
            }
            break;
        case StripButton::Turn:
            // Only a guest proposes the sides, and only between games.
            if (ConnState() == CONN_NONE)
                TellWhy(tr("接続していません。\r\n先に相手に接続してください。"));
            else if (ConnState() == CONN_HOST)
                TellWhy(tr("先手・後手は\r\n接続してきた相手が申し込みます。"));
            else if (Mode() == MODE_GAME)
                TellWhy(tr("対局中です。"));
            else if (Mode() == MODE_WATCHING)
                TellWhy(tr("観戦中は対局を申し込めません。"));
            else if (!free)
                TellWhy(tr("今は対局を申し込めません。"));
            if (ConnState() == CONN_GUEST && free) {
                turnDlg->SetSocket(connectSocket.get());
                acceptedInDialog = false;
                if (turnDlg->Run() == 1 && !acceptedInDialog)
                    protocol->OnTurnAccepted(turnDlg->ChosenSide() == GOTE ? GOTE : SENTE);
            }
            break;
        case StripButton::Resign:
            if (Mode() == MODE_WATCHING)
                TellWhy(tr("観戦中は投了できません。"));
            else if (Mode() != MODE_GAME)
                TellWhy(tr("対局中ではありません。"));
            else if (protocol->Adjourned())
                TellWhy(tr("対局は中断しています。"));
            else if (SideToMove() != MySide())
                TellWhy(tr("相手の手番です。\r\n投了は自分の手番にできます。"));
            else
                Resign();
            break;
        case StripButton::Settings:
            settingsDlg->Run();
            SyncHandleName();
            break;
        case StripButton::None: break;
    }
}

void CMainDlg::StopAutoplay() { autoplay.stop(); }

void CMainDlg::TellWhy(const QString& text) { balloon->Tell(Utf8ToSjis(text.toStdString())); }

// ---------------------------------------------------------------------------
// Game state

void CMainDlg::StartGame() { protocol->StartGame(); }

void CMainDlg::ResetGame() { protocol->ResetGame(); }

void CMainDlg::ClearGameState() { protocol->ClearGameState(); }

void CMainDlg::Resign() {
    if (protocol->Resign()) {
        SetMenuEnabled(ID_EDIT_END, false);
        Redraw(false);
    }
}

void CMainDlg::AbandonAdjourned() {
    if (!protocol->Adjourned() ||
        balloon->Ask(Utf8ToSjis(tr("\r\n\r\n中断した対局を終えますか ？").toStdString())) != ASK_YES)
        return;
    // The game may have been resumed while the question was open; then nothing is given up.
    if (!protocol->Adjourned())
        return;
    if (reconnector)
        reconnector->Stop();
    protocol->AbandonAdjourned();
}

void CMainDlg::Disconnect() {
    if (ConnState() != CONN_NONE)
        protocol->Disconnect();
}

void CMainDlg::GoToStart() {
    if (Mode() != MODE_FREE)
        return;
    record.Rewind();
    record.SetUpStart(board);
    Redraw(false);
    TellShown();
}

void CMainDlg::FollowReview(bool on) {
    protocol->SetFollowing(on);
    UpdateReviewMenu();
}

void CMainDlg::SendToPeers(uint8_t type, const std::string& text) { protocol->SendToPeers(type, text); }

void CMainDlg::HandleChat(const std::string& text) {
    SyncHandleName();
    protocol->HandleChat(0, &text);
}

}  // namespace ravu
