// The main window's part in reviewing a finished game with everyone
// connected: the board follows the review, moves tried on it and comments
// typed in the chat input go to every record, and the record window shows
// where the review stands.  The protocol keeps the review; this file turns
// the player's input into its requests and shows what it reports.
#include <QAction>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/textcodec.h"
#include "net/peer_protocol.h"
#include "record/record_path.h"
#include "ui/main_dlg.h"

namespace ravu {

namespace {

// A chat line that starts with one of these is a comment on the move shown,
// as a KIF file marks its comment lines.
const QString COMMENT_MARKS = QStringLiteral("*＊");

const QString TEXT_FOLLOWING = QStringLiteral("感想戦から離れて見る");
const QString TEXT_ALONE = QStringLiteral("感想戦に合わせる");

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
    followToggle->setText(protocol->Following() ? TEXT_FOLLOWING : TEXT_ALONE);
    chatInput->setPlaceholderText(reviewing ? QStringLiteral("＊で始めると今の手へのコメント") : QString());
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
    MoveRec m;
    const KifuNode* shown = ShownEntry();
    m.number = shown ? shown->move->number + 1 : 1;
    m.side = piece.owner;
    m.toFile = piece.file;
    m.toRank = piece.rank;
    m.type = piece.type;
    m.promoted = piece.promoted;
    m.fromFile = piece.prevFile;
    m.fromRank = piece.prevRank;
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
    Redraw(false);
}

}  // namespace ravu
