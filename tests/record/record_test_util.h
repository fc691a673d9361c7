// Helpers of the record tests: views of the record window that remember what
// the record showed, move builders, and the entry-by-entry record comparison.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "record/kifu.h"
#include "record/kifu_view.h"
#include "record_gen.h"

namespace ravu::test {

class FakeTree : public CKifuTreeView {
public:
    int32_t InsertItem(int32_t parent, const std::string& text) override {
        const int32_t h = nextHandle += 7;  // handles are not consecutive in a real tree either
        items[h] = {parent, text};
        order.push_back(h);
        return h;
    }
    void SelectItem(int32_t item) override { selected = item; }
    void ExpandItem(int32_t item) override { expanded.push_back(item); }
    void DeleteAllItems() override { items.clear(), order.clear(), selected = 0; }
    // Texts of the children of parent, in insertion order.
    std::vector<std::string> Children(int32_t parent) const {
        std::vector<std::string> out;
        for (int32_t h : order)
            if (items.at(h).first == parent)
                out.push_back(items.at(h).second);
        return out;
    }
    int32_t HandleOf(const std::string& text) const {
        for (int32_t h : order)
            if (items.at(h).second == text)
                return h;
        return 0;
    }
    std::map<int32_t, std::pair<int32_t, std::string>> items;  // handle: parent, text
    std::vector<int32_t> order, expanded;
    int32_t selected = 0, nextHandle = 94;
};

class FakeList : public CKifuListView {
public:
    void AddLine(const std::string& text) override { lines.push_back(text); }
    void ClearLines() override { lines.clear(), selected = -1; }
    void SelectLine(int index) override { selected = index; }
    int SelectedLine() const override { return selected; }
    std::vector<std::string> lines;
    int selected = -1;
};

inline MoveRec Move(int number, int side, int toFile, int toRank, int type, int promoted,
                    int fromFile, int fromRank, int status = MS_MOVE, int seconds = 0) {
    MoveRec m;
    m.number = number, m.side = side, m.toFile = toFile, m.toRank = toRank, m.type = type;
    m.promoted = promoted, m.fromFile = fromFile, m.fromRank = fromRank, m.status = status;
    m.seconds = seconds;
    return m;
}

// Appends moves from..to as text lines (a plain pawn move each, "+" on the
// numbers in `plus`) at entry's line; returns the entries filled, [0] = from.
inline std::vector<KifuNode*> Moves(CKifu& k, KifuNode* at, int from, int to,
                                    std::initializer_list<int> plus = {}, const char* move = "５五歩(56)") {
    std::vector<KifuNode*> out;
    for (int n = from; n <= to; ++n) {
        char text[64];
        std::snprintf(text, sizeof text, "%4d %s%s", n, move, std::count(plus.begin(), plus.end(), n) ? "+" : "");
        out.push_back(at = k.AddMoveLine(at, text));
    }
    return out;
}

// Compares the lines that start at a and b, their alternatives included.
inline void ExpectSameLine(const KifuNode* a, const KifuNode* b, const std::string& where) {
    int i = 0;
    for (; a && b; a = a->next, b = b->next, ++i) {
        SCOPED_TRACE(where + " entry " + std::to_string(i));
        ASSERT_EQ(a->filled, b->filled);
        ASSERT_EQ(Fields(*a->move), Fields(*b->move));
        ASSERT_EQ(a->move->comment, b->move->comment);
        ASSERT_EQ(a->alt != nullptr, b->alt != nullptr);
        if (a->alt)
            ExpectSameLine(a->alt, b->alt, where + "/" + std::to_string(i) + "alt");
        if (::testing::Test::HasFatalFailure())
            return;
    }
    ASSERT_EQ(a == nullptr, b == nullptr) << where << ": lines differ in length at " << i;
}

inline void ExpectSameRecord(const CKifu& a, const CKifu& b) {
    const KifuHeader &x = a.header, &y = b.header;
    EXPECT_EQ(std::tie(x.handicap, x.senteName, x.goteName, x.headerComment, x.hasStartTime, x.hasEndTime),
              std::tie(y.handicap, y.senteName, y.goteName, y.headerComment, y.hasStartTime, y.hasEndTime));
    EXPECT_EQ(x.hasStartTime ? x.startTime : 0, y.hasStartTime ? y.startTime : 0);
    EXPECT_EQ(x.hasEndTime ? x.endTime : 0, y.hasEndTime ? y.endTime : 0);
    ExpectSameLine(a.Root(), b.Root(), "main");
}

}  // namespace ravu::test
