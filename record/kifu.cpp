// The record tree: entries, alternatives, the displayed line, comments.
#include "record/kifu.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "record/notation.h"

namespace ravu {

namespace {

// Move numbers come from files and peers; the next number never overflows.
int32_t NextNumber(int32_t n) { return n == std::numeric_limits<int32_t>::max() ? n : n + 1; }

// Frees the entries of the line that starts at `first` and, depth first,
// every alternative line hanging on them.  Walks `next` links in a loop, so
// only the nesting of variations adds stack depth.
void FreeLine(KifuNode* first) {
    for (KifuNode* e = first; e;) {
        for (KifuNode* a = e->alt; a;) {
            KifuNode* nextAlt = a->alt;
            a->alt = nullptr;
            FreeLine(a);
            a = nextAlt;
        }
        KifuNode* next = e->next;
        delete e->move;
        delete e;
        e = next;
    }
}

// Searches the alternatives that start at `first` (the chain first,
// first->alt, ...) and the lines that follow them.  The chain is walked in a
// loop and each line along `next`, so only nesting adds stack depth.
KifuNode* SearchItemChain(KifuNode* first, int32_t item) {
    for (KifuNode* a = first; a; a = a->alt)
        for (KifuNode* y = a; y; y = y->next) {
            if (y->move->treeItem == item)
                return y;
            if (y != a && y->alt)
                if (KifuNode* hit = SearchItemChain(y->alt, item))
                    return hit;
        }
    return nullptr;
}

// Searches the chain that starts at `first` in the order of the recursive
// search: the last alternative first, each alternative before the lines of
// the ones ahead of it, nested chains before the rest of their line.
// Only entries reached through an `alt` link may take a variation section:
// the empty end of an alternative line read earlier is never a hit, so every
// file the writer produces reads back to the same tree.
KifuNode* SearchPendingChain(KifuNode* first, int32_t number,
                             const std::unordered_set<const KifuNode*>* taken) {
    std::vector<KifuNode*> chain;
    for (KifuNode* a = first; a; a = a->alt)
        chain.push_back(a);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        KifuNode* a = *it;
        if (!a->alt && !a->filled && a->move->number == number && !(taken && taken->count(a)))
            return a;
        for (KifuNode* y = a->next; y; y = y->next)
            if (y->alt)
                if (KifuNode* hit = SearchPendingChain(y->alt, number, taken))
                    return hit;
    }
    return nullptr;
}

constexpr const char* UNTITLED = "無題";

}  // namespace

CKifu::CKifu() {
    rootNode = NewEntry();
    rootNode->root = rootNode;
    current = rootNode;
}

CKifu::~CKifu() { FreeAll(); }

KifuNode* CKifu::NewEntry() {
    KifuNode* e = new KifuNode;
    e->move = new MoveRec;
    e->root = rootNode;
    return e;
}

void CKifu::FreeAll() {
    line.clear();
    FreeLine(rootNode);
    rootNode = nullptr;
    current = nullptr;
}

void CKifu::Clear() {
    FreeAll();
    rootNode = NewEntry();
    rootNode->root = rootNode;
    current = rootNode;
    lineIsVariation = 0;
    header.title = UNTITLED;
    header.handicap.clear();
    header.senteName.clear();
    header.goteName.clear();
    header.headerComment.clear();
    header.otherLines.clear();
    header.startSfen.clear();
    header.hasStartTime = 0;
    header.hasEndTime = 0;
    header.rootItem = 0;
    if (tree) {
        tree->DeleteAllItems();
        header.rootItem = tree->InsertItem(0, header.title);
    }
}

void CKifu::TakeOver(CKifu& other) {
    if (&other == this)
        return;
    // The entries are linked by pointers and each knows its root, so handing
    // over the root, the current entry and the line copies moves the whole tree.
    std::swap(rootNode, other.rootNode);
    std::swap(current, other.current);
    line.swap(other.line);
    std::swap(lineIsVariation, other.lineIsVariation);
    std::swap(header, other.header);
    header.rootItem = 0;
    if (tree) {
        tree->DeleteAllItems();
        header.rootItem = tree->InsertItem(0, header.title);
    }
    other.Clear();  // frees what this record held before
}

KifuNode* CKifu::EndOfLine(KifuNode* entry) {
    if (!entry)
        return nullptr;
    while (entry->next)
        entry = entry->next;
    return entry;
}

KifuNode* CKifu::Append(KifuNode* entry, const MoveRec& move) {
    KifuNode* t = EndOfLine(entry);
    if (!t)
        return nullptr;
    *t->move = move;
    KifuNode* n = NewEntry();
    n->prev = t;
    n->move->number = NextNumber(t->move->number);
    n->move->side = t->move->side ^ 1;
    t->next = n;
    t->filled = 1;
    return t;
}

KifuNode* CKifu::AddAlternative(KifuNode* filledEntry, const MoveRec& move) {
    if (!filledEntry)
        return nullptr;
    KifuNode* p = NewEntry();
    p->move->number = move.number;
    p->move->side = move.side;
    p->prev = filledEntry->prev;
    // The reader calls this right after filling the entry, which then has no
    // alternative; anything already hanging there is kept behind the new one.
    p->alt = filledEntry->alt;
    filledEntry->alt = p;
    return filledEntry;
}

KifuNode* CKifu::AddLastAlternative(KifuNode* entry, const MoveRec& move) {
    if (!entry)
        return nullptr;
    KifuNode* last = entry;
    while (last->alt)
        last = last->alt;
    KifuNode* a = NewEntry();
    *a->move = move;
    a->prev = entry->prev;
    a->filled = 1;
    KifuNode* n = NewEntry();
    n->prev = a;
    n->move->number = NextNumber(move.number);
    n->move->side = move.side ^ 1;
    a->next = n;
    last->alt = a;
    return a;
}

KifuNode* CKifu::AddMoveLine(KifuNode* entry, std::string_view text) {
    if (!entry)
        return nullptr;
    int32_t refFile = entry->move->toFile, refRank = entry->move->toRank;
    if (refFile == 0 && refRank == 0 && entry->prev) {
        refFile = entry->prev->move->toFile;
        refRank = entry->prev->move->toRank;
    }
    MoveRec m;
    const int plus = ParseMoveText(m, text, refFile, refRank);
    KifuNode* f = Append(entry, m);
    if (plus)
        AddAlternative(f, m);
    return f;
}

KifuNode* CKifu::FindByItem(int32_t item, int32_t* inVariation) const {
    if (inVariation)
        *inVariation = 0;
    if (item == 0)
        return nullptr;  // 0 is "no item": empty entries carry it
    for (KifuNode* e = rootNode; e; e = e->next) {
        if (e->move->treeItem == item)
            return e;
        if (e->alt)
            if (KifuNode* hit = SearchItemChain(e->alt, item)) {
                if (inVariation)
                    *inVariation = 1;
                return hit;
            }
    }
    return nullptr;
}

KifuNode* CKifu::FindPending(int32_t number) { return FindPending(number, nullptr); }

KifuNode* CKifu::FindPending(int32_t number, const std::unordered_set<const KifuNode*>* taken) {
    for (KifuNode* x = EndOfLine(rootNode); x; x = x->prev) {
        if (!x->alt)
            continue;
        if (KifuNode* hit = SearchPendingChain(x->alt, number, taken)) {
            current = hit;
            return hit;
        }
    }
    return nullptr;
}

void CKifu::SetLine(KifuNode* entry) {
    line.clear();
    for (KifuNode* e = entry; e; e = e->prev)
        line.push_back(*e);
    std::reverse(line.begin(), line.end());
}

std::string CKifu::SetTitle(std::string_view title) {
    header.title.assign(title);
    return header.title;
}

void CKifu::AddNodeComment(KifuNode* entry, std::string_view text) {
    if (!entry)
        return;
    // A comment is stored as lines ending in CR LF; a CR or LF inside the text
    // (a chat line from a peer may hold any bytes) would break the file's
    // line structure, so it becomes a blank.
    std::string clean(text);
    std::replace(clean.begin(), clean.end(), '\r', ' ');
    std::replace(clean.begin(), clean.end(), '\n', ' ');
    if (rootNode->move->number == 0) {
        header.headerComment += "*" + clean + "\r\n";
        return;
    }
    entry->move->comment += clean + "\r\n";
}

}  // namespace ravu
