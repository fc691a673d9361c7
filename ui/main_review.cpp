// The main window's part in reviewing a finished game with everyone
// connected: the board follows the review, moves tried on it and comments
// typed in the chat input go to every record, and the record window shows
// where the review stands.  The protocol keeps the review; this file turns
// the player's input into its requests and shows what it reports.
#include <QAction>
#include <QLineEdit>
#include <QSignalBlocker>
#include <optional>

#include "app/textcodec.h"
#include "net/peer_protocol.h"
#include "record/notation.h"
#include "record/record_path.h"
#include "ui/analysis_dlg.h"
#include "ui/main_dlg.h"

namespace ravu {

namespace {

// A chat line that starts with one of these is a comment on the move shown,
// as a KIF file marks its comment lines.
const QString COMMENT_MARKS = QStringLiteral("*＊");

}  // namespace

const KifuNode* CMainDlg::ShownEntry() const {
    const int n = kifuWnd->MoveList()->SelectedLine();
    if (n <= 0 || std::size_t(n) > record.kifu.line.size())
        return nullptr;
    return &record.kifu.line[std::size_t(n) - 1];
}

int CMainDlg::ShownSideToMove() const {
    if (const KifuNode* e = ShownEntry())
        return e->move->side ^ 1;
    // A record from a handicap start has gote's move first.
    return record.kifu.Root()->move->side == GOTE ? GOTE : SENTE;
}

void CMainDlg::ShowPosition() {
    previewing = false;
    const int n = kifuWnd->MoveList()->SelectedLine();
    record.SetUpStart(board);
    if (n > 0)
        record.GoTo(board, n, 0, nullptr);
    else
        record.kifu.current = record.kifu.Root();
    Redraw(false);
}

void CMainDlg::UpdateReviewMenu() {
    const bool reviewing = protocol->Reviewing();
    SetMenuEnabled(ID_REVIEW_START, !reviewing && protocol->CanReview());
    SetMenuEnabled(ID_REVIEW_END, reviewing);
    const QSignalBlocker quiet(followToggle);
    followToggle->setEnabled(reviewing);
    followToggle->setChecked(protocol->Following());
    followToggle->setText(protocol->Following() ? tr("感想戦から離れて見る") : tr("感想戦に合わせる"));
    chatInput->setPlaceholderText(reviewing ? tr("＊で始めると今の手へのコメント") : QString());
}

void CMainDlg::TellShown() {
    if (protocol->Reviewing())
        protocol->ReviewShown(ShownEntry());
}

void CMainDlg::ReviewDrop(int held, QPoint p) {
    if (board.DropHeld(held, p.x(), p.y()) != 1) {
        Redraw(false);
        return;
    }
    KomaRec& piece = board.GetPiece(held);
    const KifuNode* shown = ShownEntry();
    const MoveRec m = MoveOfPiece(piece, shown ? shown->move->number + 1 : 1);
    piece.moveStatus = 0;
    // The move reaches the record in the host's order, as everyone's does;
    // until then the board shows the position it was tried in.
    ShowPosition();
    protocol->ReviewMove(m);
}

bool CMainDlg::ReviewCommentLine(const QString& line) {
    if (!protocol->Reviewing() || line.isEmpty() || !COMMENT_MARKS.contains(line.front()))
        return false;
    const QString text = line.mid(1).trimmed();
    if (!text.isEmpty())
        protocol->ReviewComment(Utf8ToSjis(text.toStdString()));
    return true;
}

void CMainDlg::OnReviewChanged(bool recordChanged) {
    previewing = false;
    // A review's start replaces the record: an analysis of the old one stops.
    analysisDlg->RecordChanged(recordChanged);
    // Following, the protocol has put board and displayed line where the
    // review stands; alone, the board stays on the entry the player chose.
    int line = kifuWnd->MoveList()->SelectedLine();
    if (protocol->Following()) {
        // The entry shown is the one before the current entry; its list line is its ply.
        line = 0;
        for (const KifuNode* e = record.kifu.current ? record.kifu.current->prev : nullptr; e; e = e->prev)
            ++line;
    }
    if (recordChanged)
        kifuWnd->RefreshLists();
    else
        record.kifu.FillList(kifuWnd->MoveList());
    kifuWnd->MoveList()->SelectLine(line);
    if (const KifuNode* e = ShownEntry(); e && record.kifu.tree)
        record.kifu.tree->SelectItem(e->move->treeItem);
    UpdateReviewMenu();
    // A board the review moved is redrawn by the protocol right after this.
}

// ---------------------------------------------------------------------------
// The engine's view

void CMainDlg::TellAnalysis() {
    if (!analysisDlg)
        return;  // the first pictures are drawn before the window exists
    // The players of a running game never have the engine; the board being
    // edited shows no position of the record.
    const bool allowed = Mode() == MODE_FREE || Mode() == MODE_WATCHING;
    analysisDlg->SetEngineAllowed(allowed);
    // Every redraw passes here: the position is looked up only where the
    // window shows it and the engine may read it.
    if (previewing || !allowed || !analysisDlg->isVisible())
        return;
    const KifuNode* shown = nullptr;
    if (Mode() == MODE_FREE) {
        shown = ShownEntry();
    } else if (const KifuNode* end = CKifu::EndOfLine(record.kifu.Root())) {
        shown = end->prev;
    }
    analysisDlg->PositionShown(shown);
}

void CMainDlg::GoToMainLinePly(int ply) {
    if (Mode() != MODE_FREE)
        return;
    if (ply <= 0) {
        GoToStart();
        return;
    }
    const KifuNode* e = record.kifu.Root();
    for (int i = 1; i < ply && e->next; ++i)
        e = e->next;
    // On a variation the list shows another line: the tree item leads back to the main line.
    if (record.kifu.lineIsVariation && e->move->treeItem != 0)
        OnCommand(ID_TREE_SELECT, e->move->treeItem);
    else {
        kifuWnd->MoveList()->SelectLine(ply);
        OnCommand(ID_LIST_SELECT, ply);
    }
}

void CMainDlg::PreviewLine() {
    if (Mode() != MODE_FREE)
        return;
    const std::vector<MoveRec> line = analysisDlg->ShownLine();
    if (line.empty()) {
        TellWhy(tr("この局面の読み筋はありません。"));
        return;
    }
    ShowPosition();
    for (const MoveRec& m : line)
        if (board.ApplyMove(m, true) != 1)
            break;
    previewing = true;
    Redraw(false);
}

void CMainDlg::KeepLine() {
    if (Mode() != MODE_FREE)
        return;
    if (protocol->Reviewing()) {
        TellWhy(tr("感想戦では、盤で指した手が\r\nみんなの棋譜の変化になります。"));
        return;
    }
    const std::vector<MoveRec> line = analysisDlg->ShownLine();
    const std::optional<RecordPath> path = PathOf(record.kifu, ShownEntry());
    if (line.empty() || !path) {
        TellWhy(tr("この局面の読み筋はありません。"));
        return;
    }
    KifuNode* at = EntryAt(record.kifu, *path);
    if (at && IsEndStatus(at->move->status))
        at = at->prev;  // an end entry is followed by nothing: the line goes beside it
    bool changed = false;
    KifuNode* first = nullptr;
    for (const MoveRec& m : line) {
        KifuNode* head = at ? at->next : record.kifu.Root();
        const int index = PlaceMove(record.kifu, at, m, changed);
        for (int i = 0; i < index; ++i)
            head = head->alt;
        at = head;
        if (!first)
            first = head;
    }
    // The record window shows the kept line from its first move.
    kifuWnd->RefreshLists();
    record.SetUpStart(board);
    record.GoTo(board, 0, first->move->treeItem, kifuWnd->MoveList());
    Redraw(false);
}

}  // namespace ravu
