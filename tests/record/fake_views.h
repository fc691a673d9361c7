// Views of the record window that remember what the record showed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "record/kifu_view.h"

namespace ravu::test {

class FakeTree : public CKifuTreeView {
public:
    struct Item {
        int32_t parent;
        std::string text;
    };
    int32_t InsertItem(int32_t parent, const std::string& text) override {
        const int32_t h = nextHandle;
        nextHandle += 7;  // handles are not consecutive in a real tree either
        items[h] = {parent, text};
        order.push_back(h);
        return h;
    }
    void SelectItem(int32_t item) override { selected = item; }
    void ExpandItem(int32_t item) override { expanded.push_back(item); }
    void DeleteAllItems() override {
        items.clear();
        order.clear();
        selected = 0;
        ++deleteCount;
    }
    // Texts of the children of parent, in insertion order.
    std::vector<std::string> Children(int32_t parent) const {
        std::vector<std::string> out;
        for (int32_t h : order)
            if (items.at(h).parent == parent)
                out.push_back(items.at(h).text);
        return out;
    }
    std::vector<int32_t> ChildHandles(int32_t parent) const {
        std::vector<int32_t> out;
        for (int32_t h : order)
            if (items.at(h).parent == parent)
                out.push_back(h);
        return out;
    }
    int32_t HandleOf(const std::string& text) const {
        for (int32_t h : order)
            if (items.at(h).text == text)
                return h;
        return 0;
    }

    std::map<int32_t, Item> items;
    std::vector<int32_t> order;
    std::vector<int32_t> expanded;
    int32_t selected = 0;
    int deleteCount = 0;
    int32_t nextHandle = 101;
};

class FakeList : public CKifuListView {
public:
    void AddLine(const std::string& text) override { lines.push_back(text); }
    void ClearLines() override {
        lines.clear();
        selected = -1;
    }
    void SelectLine(int index) override { selected = index; }
    int SelectedLine() const override { return selected; }

    std::vector<std::string> lines;
    int selected = -1;
};

}  // namespace ravu::test
