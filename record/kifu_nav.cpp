// Record navigation and display: the tree and the move list of the record
// window, and replay of the board to any entry (reset, then apply again).
#include "record/kifu.h"

#include "game/board.h"
#include "game/sfen.h"
#include "record/notation.h"

namespace ravu {

namespace {

constexpr const char* START_LINE = "＊＊ 開 始 ＊＊";

// Handles from an earlier tree would otherwise match new items of the same
// handle; every entry starts the rebuild without an item.
void ForgetItems(KifuNode* first, bool isAlternative) {
    for (KifuNode* e = first; e; e = e->next) {
        e->move->treeItem = 0;
        // An alternative's own `alt` is its sibling, which the caller's
        // loop over the chain visits.
        if (isAlternative && e == first)
            continue;
        for (KifuNode* a = e->alt; a; a = a->alt)
            ForgetItems(a, true);
    }
}

// The alternatives of one entry under its item, each with the rest of its line.
void AddAlternatives(CKifuTreeView& tree, KifuNode* first, int32_t parent) {
    for (KifuNode* x = first; x; x = x->alt) {
        const std::string text = FormatMove(*x, FMT_TREE);
        if (text.empty())
            continue;  // a pending alternative: nothing of its line is shown
        const int32_t xItem = tree.InsertItem(parent, text);
        x->move->treeItem = xItem;
        for (KifuNode* y = x->next; y; y = y->next) {
            const std::string yText = FormatMove(*y, FMT_TREE);
            if (yText.empty())
                continue;
            y->move->treeItem = tree.InsertItem(xItem, yText);
            if (y->alt)
                AddAlternatives(tree, y->alt, y->move->treeItem);
        }
    }
}

}  // namespace

void CKifu::BuildTree(CKifuTreeView* treeView) {
    tree = treeView;
    ForgetItems(rootNode, false);
    header.rootItem = 0;
    if (header.title.empty())
        header.title = "無題";
    if (!tree)
        return;
    tree->DeleteAllItems();
    header.rootItem = tree->InsertItem(0, header.title);
    for (KifuNode* e = rootNode; e; e = e->next) {
        const std::string text = FormatMove(*e, FMT_TREE);
        if (text.empty())
            continue;
        e->move->treeItem = tree->InsertItem(header.rootItem, text);
        if (e->alt)
            AddAlternatives(*tree, e->alt, e->move->treeItem);
    }
    tree->ExpandItem(header.rootItem);
}

void CKifu::FillList(CKifuListView* list) const {
    if (!list)
        return;
    list->ClearLines();
    list->AddLine(START_LINE);
    for (const KifuNode& e : line) {
        const std::string text = FormatMove(e, FMT_LIST);
        if (!text.empty())
            list->AddLine(text);
    }
    list->SelectLine(0);
}

void CKifuControl::SetUpStart(CShogiBoard& board) const {
    board.Reset();
    if (!kifu.header.startSfen.empty())
        SetUpSfen(board, kifu.header.startSfen);
}

void CKifuControl::Rewind() {
    kifu.current = kifu.Root();
    if (listBox)
        listBox->SelectLine(0);
}

namespace {

// Moves `current` one step along `next`, as every replay does.
void Advance(CKifu& k) {
    if (k.current && k.current->next)
        k.current = k.current->next;
}

void SelectItem(CKifu& k, int32_t item) {
    if (k.tree && item != 0)
        k.tree->SelectItem(item);
}

}  // namespace

void CKifuControl::StepTo(CShogiBoard& board, int listLine) {
    if (listLine < 1 || std::size_t(listLine) > kifu.line.size())
        return;
    // The copy's own fields may be older than its entry (a game may have
    // filled it since); the shared move is current, and the board refuses
    // the empty entry's move (no destination).
    const KifuNode& e = kifu.line[std::size_t(listLine) - 1];
    if (board.ApplyMove(*e.move, false) == 1) {
        SelectItem(kifu, e.move->treeItem);
        Advance(kifu);
    }
}

void CKifuControl::GoTo(CShogiBoard& board, int n, int32_t item, CKifuListView* list) {
    CKifu& k = kifu;
    if (item == 0) {
        k.current = k.Root();
        if (k.line.empty()) {
            k.SetLine(CKifu::EndOfLine(k.Root()));
            k.lineIsVariation = 0;
        }
        const KifuNode* last = nullptr;
        for (int i = 1; i <= n && std::size_t(i) <= k.line.size(); ++i) {
            const KifuNode& e = k.line[std::size_t(i) - 1];
            last = &e;
            if (board.ApplyMove(*e.move, true) != 1)
                break;
            Advance(k);
        }
        if (last)
            SelectItem(k, last->move->treeItem);
        return;
    }

    // List line k shows the k-th move from the start, whatever its number
    // (a record from a diagram may start at any move).
    const int32_t first = k.Root()->filled ? k.Root()->move->number : 1;
    int32_t inVariation = 0;
    KifuNode* target = k.FindByItem(item, &inVariation);
    if (!target) {
        if (list)
            list->SelectLine(-1);
        return;
    }
    if (inVariation) {
        k.current = k.Root();
        k.SetLine(CKifu::EndOfLine(target));
        k.lineIsVariation = 1;
        k.FillList(list);
        for (const KifuNode& e : k.line) {
            if (!e.filled || board.ApplyMove(*e.move, true) != 1)
                break;
            Advance(k);
            if (e.move->treeItem == item)
                break;
        }
        if (list)
            list->SelectLine(int(int64_t(target->move->number) - first + 1));
        return;
    }
    const int32_t number = int32_t(int64_t(target->move->number) - first + 1);
    if (k.lineIsVariation) {
        k.SetLine(CKifu::EndOfLine(k.Root()));
        k.lineIsVariation = 0;
        k.FillList(list);
    }
    k.current = k.Root();
    for (int32_t i = 1; i <= number; ++i) {
        if (!k.current->filled || board.ApplyMove(*k.current->move, true) != 1)
            break;
        if (!k.current->next)
            break;
        k.current = k.current->next;
    }
    if (list)
        list->SelectLine(number);
}

std::string CKifuControl::GetComment(int32_t item) const {
    if (item == 0)
        return {};
    if (const KifuNode* e = kifu.FindByItem(item, nullptr))
        return e->move->comment;
    if (item == kifu.header.rootItem)
        return kifu.header.headerComment;
    return {};
}

}  // namespace ravu
