// Fuzz target: the bytes of a KI2 record (Shift-JIS, as the file edge hands
// it on).  The record is read with ReadKi2 whatever the bytes look like, then
// shown in the record window's views, replayed on a board, and written as
// KIF, which must load again.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "game/board.h"
#include "record/ki2_reader.h"
#include "record/kifu.h"
#include "record/kifu_view.h"

namespace {

class Tree : public ravu::CKifuTreeView {
public:
    int32_t InsertItem(int32_t parent, const std::string&) override {
        if (parent != 0 && !items.count(parent))
            __builtin_trap();  // the record inserted under an item it never got
        items.insert(next);
        return next++;
    }
    void SelectItem(int32_t) override {}
    void ExpandItem(int32_t) override {}
    void DeleteAllItems() override { items.clear(); }
    std::set<int32_t> items;
    int32_t next = 1;
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
    if (size > KIF_MAX_BYTES)
        return 0;
    (void)LooksLikeKi2(bytes);
    CKifu scratch;
    LoadReport report;
    if (ReadKi2(scratch, bytes, "fuzz.ki2", report) == 0)
        return 0;
    CKifuControl rec;
    rec.kifu.TakeOver(scratch);
    Tree tree;
    List list;
    rec.listBox = &list;
    rec.BuildTree(&tree);
    rec.kifu.FillList(&list);

    CShogiBoard board;
    rec.GoTo(board, 1 << 20, 0, nullptr);
    rec.StepTo(board, list.lines - 1);
    int steps = 0;
    for (int32_t item : std::set<int32_t>(tree.items)) {
        if (++steps > 64)
            break;
        board.Reset();
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
