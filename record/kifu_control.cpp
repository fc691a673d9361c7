// The record's owner: the recording operations that the board input, the
// network protocol and the main window call during a game.
#include "record/kifu.h"

#include <limits>

#include "record/notation.h"

namespace ravu {

namespace {
constexpr const char* START_LINE = "＊＊ 開 始 ＊＊";
}

void CKifuControl::ClearRecord() { kifu.Clear(); }

void CKifuControl::AddStartLine(int32_t number) {
    if (number == 0 && listBox)
        listBox->AddLine(START_LINE);
}

void CKifuControl::ShowEntry(KifuNode* entry, int listIndex) {
    if (!entry)
        return;
    textBuf = FormatMove(*entry, FMT_TREE);
    if (kifu.tree) {
        entry->move->treeItem = kifu.tree->InsertItem(kifu.header.rootItem, textBuf);
        kifu.tree->ExpandItem(kifu.header.rootItem);
    }
    textBuf = FormatMove(*entry, FMT_LIST);
    if (listBox) {
        listBox->AddLine(textBuf);
        listBox->SelectLine(listIndex);
    }
}

MoveRec MoveOfPiece(const KomaRec& piece, int32_t number) {
    MoveRec m;
    m.number = number;
    m.side = piece.owner;
    m.toFile = piece.file;
    m.toRank = piece.rank;
    m.type = piece.type;
    m.promoted = piece.promoted;
    m.fromFile = piece.prevFile;
    m.fromRank = piece.prevRank;
    m.status = piece.moveStatus;
    return m;
}

const std::string& CKifuControl::RecordBoardMove(KomaRec& piece) {
    int32_t n = kifu.current->move->number;
    if (n == 0) {
        AddStartLine(0);
        n = 1;
    }
    const MoveRec m = MoveOfPiece(piece, n);
    piece.moveStatus = 0;
    KifuNode* f = kifu.Append(kifu.current, m);
    ShowEntry(f, n);
    if (kifu.current->next)
        kifu.current = kifu.current->next;
    return textBuf;
}

const MoveRec& CKifuControl::RecordMoveText(std::string_view text) {
    KifuNode* base = kifu.current;
    int64_t n = 1;
    if (KifuNode* b = kifu.current->prev) {
        base = b;
        n = int64_t(b->move->number) + 1;
    } else {
        AddStartLine(0);
    }
    // The side to move makes the entry, whatever the number's parity says:
    // in a handicap game gote moves first.
    const KifuNode* empty = CKifu::EndOfLine(base);
    const int32_t side = empty ? empty->move->side : SENTE;
    KifuNode* f = kifu.AddMoveLine(base, text);
    if (f && f->move->side != side) {
        f->move->side = side;
        if (f->next)
            f->next->move->side = side ^ 1;
    }
    ShowEntry(f, int(std::min<int64_t>(n, std::numeric_limits<int>::max())));
    if (kifu.current->next)
        kifu.current = kifu.current->next;
    return *f->move;
}

const std::string& CKifuControl::RecordEnd(int32_t status) {
    int32_t n = kifu.current->move->number;
    if (n == 0) {
        AddStartLine(0);
        n = 1;
    }
    MoveRec m;
    m.side = kifu.current->move->side;
    m.number = n;
    m.status = status;
    KifuNode* f = kifu.Append(kifu.current, m);
    ShowEntry(f, n);
    if (kifu.current->next)
        kifu.current = kifu.current->next;
    return textBuf;
}

void CKifuControl::AddComment(std::string_view text) {
    KifuNode* target = kifu.current->prev ? kifu.current->prev : kifu.Root();
    kifu.AddNodeComment(target, text);
}

void CKifuControl::GetMainLineText(std::string& out) const {
    for (KifuNode* e = kifu.Root(); e; e = e->next) {
        out += FormatMove(*e, FMT_LIST);
        out += ';';
    }
}

}  // namespace ravu
