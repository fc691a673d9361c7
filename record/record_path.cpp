#include "record/record_path.h"

#include <algorithm>
#include <charconv>

#include "game/board.h"
#include "record/notation.h"

namespace ravu {

namespace {

// The entry of the chain starting at `head` that is `entry` or shares its
// move (a copy in the displayed line shares the move of its entry).
int IndexInChain(const KifuNode* head, const KifuNode* entry) {
    int i = 0;
    for (const KifuNode* a = head; a; a = a->alt, ++i)
        if (a == entry || a->move == entry->move)
            return i;
    return -1;
}

// A decimal number of at most four digits, else -1.
int SmallNumber(std::string_view text) {
    int v = -1;
    if (text.empty() || text.size() > 4)
        return -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() ? v : -1;
}

}  // namespace

std::optional<RecordPath> PathOf(const CKifu& kifu, const KifuNode* entry) {
    RecordPath path;
    for (const KifuNode* e = entry; e; e = e->prev) {
        if (!e->filled || path.size() >= size_t(PATH_PLIES_MAX))
            return std::nullopt;
        const int i = IndexInChain(e->prev ? e->prev->next : kifu.Root(), e);
        if (i < 0)
            return std::nullopt;
        path.push_back(i);
    }
    std::reverse(path.begin(), path.end());
    return path;
}

KifuNode* EntryAt(const CKifu& kifu, const RecordPath& path) {
    KifuNode* e = nullptr;
    for (const int index : path) {
        KifuNode* a = e ? e->next : kifu.Root();
        for (int i = 0; a && i < index; ++i)
            a = a->alt;
        if (!a || !a->filled)
            return nullptr;
        e = a;
    }
    return e;
}

std::string PathText(const RecordPath& path) {
    if (path.empty())
        return "-";
    std::string out;
    for (size_t i = 0; i < path.size();) {
        size_t run = 1;
        while (i + run < path.size() && path[i + run] == path[i])
            ++run;
        if (!out.empty())
            out += '.';
        out += std::to_string(path[i]);
        if (run > 1)
            out += '*' + std::to_string(run);
        i += run;
    }
    return out;
}

bool ParsePath(std::string_view text, RecordPath& out) {
    RecordPath path;
    if (text != "-") {
        if (text.empty() || text.size() > size_t(PATH_PLIES_MAX) * 2)
            return false;
        for (size_t start = 0; start <= text.size();) {
            const size_t end = std::min(text.find('.', start), text.size());
            const std::string_view item = text.substr(start, end - start);
            const size_t star = item.find('*');
            const int index = SmallNumber(item.substr(0, star));
            const int run = star == std::string_view::npos ? 1 : SmallNumber(item.substr(star + 1));
            if (index < 0 || index > PATH_INDEX_MAX || run < 1 ||
                path.size() + size_t(run) > size_t(PATH_PLIES_MAX))
                return false;
            path.insert(path.end(), size_t(run), index);
            start = end + 1;
        }
    }
    out = std::move(path);
    return true;
}

bool SameMove(const MoveRec& a, const MoveRec& b) {
    return !IsEndStatus(a.status) && a.fromFile == b.fromFile && a.fromRank == b.fromRank &&
           a.toFile == b.toFile && a.toRank == b.toRank && a.promoted == b.promoted &&
           (a.status == MS_PROMOTE) == (b.status == MS_PROMOTE) &&
           (a.type == b.type || (IsKing(a.type) && IsKing(b.type)));
}

int PlaceMove(CKifu& k, KifuNode* at, const MoveRec& m, bool& changed) {
    KifuNode* head = at ? at->next : k.Root();
    int i = 0;
    for (const KifuNode* a = head; a; a = a->alt, ++i)
        if (a->filled && SameMove(*a->move, m))
            return i;
    changed = true;
    if (!head->filled) {
        k.Append(head, m);
        return 0;
    }
    k.AddLastAlternative(head, m);
    return i;
}

}  // namespace ravu
