// Moves typed by the player, and the moves that arrive told to screen
// readers.  A typed move is found on the board by the model's reader, then
// made by the same two clicks as with the pointer, so it is judged, recorded,
// sent and drawn exactly as a clicked one.
#include <QAbstractButton>
#include <QLineEdit>
#include <QPainter>
#include <QStringList>

#include "app/textcodec.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"
#include "record/notation.h"
#include "record/typed_move.h"
#include "ui/board_view.h"
#include "ui/main_dlg.h"
#include "ui/promote_dlg.h"
#include "ui/window_util.h"

namespace ravu {

namespace {

// "６九" for 69.
QString SquareName(int32_t square) {
    const int f = square / 10, r = square % 10;
    if (f < 1 || f > 9 || r < 1 || r > 9)
        return {};
    return QString::fromStdString(SjisToUtf8(SquareText(f, r)));
}

// The destination of the move last made (for 同), when there is one.
void LastSquare(const KifuNode* last, int32_t* file, int32_t* rank) {
    if (last && last->filled && last->move && !IsEndStatus(last->move->status)) {
        *file = last->move->toFile;
        *rank = last->move->toRank;
    }
}

// The move's text to be read out: side mark, destination (or 同), piece,
// 成 / 打, without the origin: "△３四歩", "▲同　角成".
std::string SpokenMove(const MoveRec& m, bool sameSquare) {
    std::string text = KifMoveText(m, sameSquare);
    const std::size_t open = text.find('(');
    if (open != std::string::npos)
        text.erase(open);
    return Utf8ToSjis(m.side == SENTE ? "▲" : "△") + text;
}

// A key over a part of the picture that the pointer clicks (a strip button,
// a turn label): invisible but for a focus frame, reached by Tab, pressed by
// the space bar or a screen reader.  The pointer goes through it to the
// window, which handles clicks there as ever.
class CPictureKey : public QAbstractButton {
public:
    CPictureKey(QWidget* parent, const QRect& area, const QString& name) : QAbstractButton(parent) {
        setGeometry(area);
        setAccessibleName(name);
        setToolTip(name);
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!hasFocus())
            return;
        QPainter p(this);
        p.setPen(QPen(Qt::yellow, 1, Qt::DashLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

}  // namespace

void CMainDlg::AddStripKeys() {
    const QString names[STRIP_BUTTON_COUNT] = {
        tr("先頭へ"),         tr("1手戻る"),    tr("1手進む"),    tr("自動再生"),
        tr("再生を止める"),   tr("棋譜を開く"), tr("棋譜を保存"), tr("接続または切断"),
        tr("手番を申し込む"), tr("投了"),       tr("設定"),
    };
    for (int i = 0; i < STRIP_BUTTON_COUNT; ++i) {
        const QRect area(33 + 42 * i, 320, 40, 40);
        auto* key = new CPictureKey(this, area, names[i]);
        key->setObjectName(QStringLiteral("strip%1").arg(i));
        connect(key, &QAbstractButton::clicked, this, [this, area] { HitTestClick(area.center()); });
    }
    // The turn labels show a side's reach; which label is whose depends on the turn of the board.
    for (const int side : {SENTE, GOTE}) {
        auto* key = new CPictureKey(this, side == SENTE ? RIGHT_LABEL_CLICK : LEFT_LABEL_CLICK,
                                    side == SENTE ? tr("先手の駒の利きを表示") : tr("後手の駒の利きを表示"));
        key->setObjectName(side == SENTE ? QStringLiteral("senteReach") : QStringLiteral("goteReach"));
        connect(key, &QAbstractButton::clicked, this, [this, side] {
            const bool right = (side == SENTE) != (Flipped() != 0);
            HitTestClick((right ? RIGHT_LABEL_CLICK : LEFT_LABEL_CLICK).center());
        });
    }
    setAccessibleName(tr("Ravu One 将棋盤"));
}

QString CMainDlg::EnterTypedMove(const QString& typed) {
    const QString text = typed.trimmed();
    // In a review anyone may try a move for the side to move in the position shown.
    const bool review = Mode() == MODE_FREE && protocol->Reviewing();
    if (!review) {
        if (Mode() != MODE_GAME || ConnState() == CONN_NONE)
            return tr("対局中でないので指せません。");
        if (protocol->Adjourned())
            return tr("対局が中断しているので指せません。");
    }
    const int side = review ? ShownSideToMove() : SideToMove();
    if (!review && MySide() != side)
        return tr("相手の手番です。");
    if (board.HeldPiece() != -1) {
        board.CancelCapture();
        Redraw(false);
    }
    // The shogi piece signs have no Shift-JIS code.
    QString marked = text;
    marked.replace(QChar(0x2617), QStringLiteral("▲")).replace(QChar(0x2616), QStringLiteral("△"));
    int32_t lastFile = 0, lastRank = 0;
    const KifuNode* current = record.kifu.current;
    LastSquare(review ? ShownEntry() : current ? current->prev : nullptr, &lastFile, &lastRank);
    const TypedMove t = ReadTypedMove(board, side, lastFile, lastRank, !review && protocol->Strict(),
                                      Utf8ToSjis(marked.toStdString()));
    const QString quoted = tr("「%1」: ").arg(text);
    switch (t.error) {
        case TypedError::None: break;
        case TypedError::Unreadable:
            return quoted + tr("指し手として読めません（例: ７六歩、同歩、58金右、7g7f、P-7f）。");
        case TypedError::NotYourTurn: return quoted + tr("相手の手番の指し手です。");
        case TypedError::NoPiece: return quoted + tr("そこへ行ける駒がありません。");
        case TypedError::NotYourPiece: return quoted + tr("移動元の駒は相手の駒です。");
        case TypedError::Ambiguous: {
            QStringList each;
            for (std::size_t i = 0; i < t.origins.size(); ++i) {
                const QString words = QString::fromStdString(SjisToUtf8(t.words[i]));
                each << (words.isEmpty() ? SquareName(t.origins[i])
                                         : tr("%1の駒なら「%2」").arg(SquareName(t.origins[i]), words));
            }
            return quoted +
                   tr("行ける駒が複数あります（%1）。右・左・上・引・寄・直か移動元を付けてください。")
                       .arg(each.join(tr("、")));
        }
        case TypedError::ChoosePromotion:
            return quoted +
                   tr("成るなら「成」、成らないなら「不成」を付けてください（USI・西洋式は + か =）。");
        case TypedError::Illegal:
            switch (t.illegal) {
                case TypedIllegal::OwnPieceThere: return quoted + tr("自分の駒がある升です。");
                case TypedIllegal::NotInHand: return quoted + tr("その駒は持ち駒にありません。");
                case TypedIllegal::DropOccupied: return quoted + tr("駒のある升には打てません。");
                case TypedIllegal::TwoPawns: return quoted + tr("二歩になります。");
                case TypedIllegal::DeadPiece: return quoted + tr("行き所のない駒になります。");
                case TypedIllegal::CannotPromote: return quoted + tr("この手では成れません。");
                case TypedIllegal::MustPromote: return quoted + tr("この駒は成らなければなりません。");
                case TypedIllegal::StrictRules:
                case TypedIllegal::None:
                    return quoted + tr("反則になる手です（王手の放置、打ち歩詰めなど）。");
            }
            break;
    }

    // The two clicks: the piece is picked up, then put on its destination;
    // the promotion question is answered as typed.
    const KomaRec& piece = board.GetPiece(t.piece);
    PickUp(t.piece, QPoint(piece.x + PIECE_HALF, piece.y + PIECE_HALF), side);
    KomaRec to{};
    to.file = t.move.toFile;
    to.rank = t.move.toRank;
    board.SquareToPixel(to);
    const KifuNode* before = record.kifu.current;
    typedPromotion = t.move.status == MS_PROMOTE ? CPromoteDlg::RESULT_PROMOTE : CPromoteDlg::RESULT_KEEP;
    OnLeftButtonDown(QPoint(to.x + PIECE_HALF, to.y + PIECE_HALF));
    typedPromotion = 0;
    // A review's move reaches the record later, in the host's order.
    if (review)
        return {};
    if (record.kifu.current == before)
        return quoted + tr("指せませんでした。");
    return {};
}

bool CMainDlg::TypedMoveLine(const QString& line) {
    static const QString MARKS = QStringLiteral("/／");
    if (line.isEmpty() || !MARKS.contains(line.front()) || (line.size() > 1 && MARKS.contains(line[1])))
        return false;
    const QString why = EnterTypedMove(line.mid(1));
    if (!why.isEmpty()) {
        AddLine(Utf8ToSjis(QStringLiteral("◆ %1").arg(why).toStdString()));
        chatInput->setText(line);
    }
    Announce(chatInput, why);
    return true;
}

void CMainDlg::OnMoveArrived(const MoveRec& move) {
    const KifuNode* cur = record.kifu.current;
    const KifuNode* entry = cur ? cur->prev : nullptr;
    const KifuNode* before = entry ? entry->prev : nullptr;
    const bool same = before && before->filled && before->move && !IsEndStatus(before->move->status) &&
                      before->move->toFile == move.toFile && before->move->toRank == move.toRank;
    Announce(this, QString::fromStdString(SjisToUtf8(SpokenMove(move, same))));
}

}  // namespace ravu
