// Fuzz target: the bytes of a KIF file.  The file is loaded, shown in the
// record window's views, replayed on a board, written again, and the written
// text is loaded once more.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "game/board.h"
#include "record/kifu.h"
#include "record/kifu_view.h"

namespace {

class Tree : public ravu::CKifuTreeView {
public:
    int32_t InsertItem(int32_t parent, const std::string& text) override {
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

class List : public ravu::CKifuListView {
public:
    void AddLine(const std::string&) override { ++lines; }
    void ClearLines() override { lines = 0; }
    void SelectLine(int index) override { selected = index; }
    int SelectedLine() const override { return selected; }
    int lines = 0;
    int selected = -1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravu;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CKifuControl rec;
    Tree tree;
    List list;
    rec.listBox = &list;
    if (!rec.LoadKifFromBuffer(bytes, "fuzz.kif"))
        return 0;
    rec.BuildTree(&tree);
    rec.kifu.FillList(&list);

    CShogiBoard board;
    rec.SetUpStart(board);
    rec.GoTo(board, 1 << 20, 0, nullptr);
    rec.StepTo(board, list.lines - 1);
    // Every item of the tree: replay to it and read its comment.
    int steps = 0;
    for (const auto& [item, parent] : std::map<int32_t, int32_t>(tree.items)) {
        if (++steps > 64)
            break;
        rec.SetUpStart(board);
        rec.GoTo(board, 0, item, &list);
        (void)rec.GetComment(item);
    }

    const std::string text = rec.KifText("fuzz.kif");
    if (text.size() <= KIF_MAX_BYTES) {
        CKifuControl again;
        if (!again.LoadKifFromBuffer(text, "fuzz.kif"))
            __builtin_trap();
    }
    return 0;
}
