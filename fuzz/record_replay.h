// What the record fuzz targets share: the record window's two views as plain
// data, and what every target does with a record it could read: show it,
// replay it on a board to its end and to its tree's items, and write it as
// KIF, which must load again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "game/board.h"
#include "record/kifu.h"
#include "record/kifu_view.h"

namespace ravu::fuzz {

class Tree : public CKifuTreeView {
public:
    int32_t InsertItem(int32_t parent, const std::string&) override {
        if (parent != 0 && !items.count(parent))
            __builtin_trap();  // the record inserted under an item it never got
        items[next] = parent;
        return next++;
    }
    void SelectItem(int32_t item) override { selected = item; }
    void ExpandItem(int32_t) override {}
    void DeleteAllItems() override { items.clear(); }
    std::map<int32_t, int32_t> items;
    int32_t next = 1;
    int32_t selected = 0;
};

class List : public CKifuListView {
public:
    void AddLine(const std::string&) override { ++lines; }
    void ClearLines() override { lines = 0; }
    void SelectLine(int index) override { selected = index; }
    int SelectedLine() const override { return selected; }
    int lines = 0;
    int selected = -1;
};

// Tree items replayed to, at most: enough to reach every kind of entry.
constexpr int ITEMS_REPLAYED = 64;

// Shows, replays and writes again the record `rec` holds.
inline void ShowReplayAndReload(CKifuControl& rec) {
    Tree tree;
    List list;
    rec.listBox = &list;
    rec.BuildTree(&tree);
    rec.kifu.FillList(&list);

    CShogiBoard board;
    rec.SetUpStart(board);
    rec.GoTo(board, 1 << 20, 0, nullptr);
    rec.StepTo(board, list.lines - 1);
    int steps = 0;
    for (const auto& [item, parent] : std::map<int32_t, int32_t>(tree.items)) {
        if (++steps > ITEMS_REPLAYED)
            break;
        rec.SetUpStart(board);
        rec.GoTo(board, 0, item, &list);
        (void)rec.GetComment(item);
    }
    rec.listBox = nullptr;

    const std::string text = rec.KifText("fuzz.kif");
    if (text.size() <= KIF_MAX_BYTES) {
        CKifuControl again;
        if (!again.LoadKifFromBuffer(text, "fuzz.kif"))
            __builtin_trap();
    }
}

// A reader of one format (ReadCsa, ReadKi2, ReadSfen), run on the bytes
// whatever they look like; what it read is shown, replayed and written again.
template <class Looks, class Reader>
int ReadShowReplay(const uint8_t* data, size_t size, const std::string& title, Looks looksLike, Reader read) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (size > KIF_MAX_BYTES)
        return 0;
    (void)looksLike(bytes);
    CKifu scratch;
    LoadReport report;
    if (read(scratch, bytes, title, report) == 0)
        return 0;
    if (report.stopLine < 0 || report.stopText.size() > size)
        __builtin_trap();
    CKifuControl rec;
    rec.kifu.TakeOver(scratch);
    ShowReplayAndReload(rec);
    return 0;
}

}  // namespace ravu::fuzz
