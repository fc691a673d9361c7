// Helpers of the record tests: views of the record window that remember what
// the record showed, and builders of moves and lines.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "record/kifu.h"
#include "record/kifu_view.h"
#include "record/notation.h"
#include "record/usi_line.h"
#include "record_gen.h"

namespace ravu::test {

class FakeTree : public CKifuTreeView {
public:
    int32_t InsertItem(int32_t parent, const std::string& text) override {
        items.emplace_back(next += 7, parent, text);  // handles are not consecutive in a real tree either
        return next;
    }
    void SelectItem(int32_t item) override { selected = item; }
    void ExpandItem(int32_t item) override { expanded.push_back(item); }
    void DeleteAllItems() override { items.clear(), selected = 0; }
    // The items below parent, one a line, each child indented under its parent.
    std::string Render(int32_t parent = 0, const std::string& indent = "") const {
        std::string out;
        for (const auto& [handle, p, text] : items)
            if (p == parent)
                out += indent + text + "\n" + Render(handle, indent + "  ");
        return out;
    }
    std::vector<std::tuple<int32_t, int32_t, std::string>> items;  // handle, parent, text
    std::vector<int32_t> expanded;
    int32_t selected = 0, next = 94;
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

inline MoveRec Rec(int number, int side, int toFile, int toRank, int type, int promoted, int fromFile,
                   int fromRank, int status = MS_MOVE, int seconds = 0, int totalSeconds = 0) {
    return MoveRec{side,     number, toFile,  toRank,       type, promoted, fromFile,
                   fromRank, status, seconds, totalSeconds, 0,    {}};
}

// Appends moves from..to as text lines (a plain pawn move each, "+" on the
// numbers in `plus`) at entry's line; returns the entries filled, [0] = from.
inline std::vector<KifuNode*> Moves(CKifu& k, KifuNode* at, int from, int to,
                                    std::initializer_list<int> plus = {}, const char* move = "５五歩(56)") {
    std::vector<KifuNode*> out;
    for (int n = from; n <= to; ++n) {
        char text[64];
        std::snprintf(text, sizeof text, "%4d %s%s", n, move,
                      std::count(plus.begin(), plus.end(), n) ? "+" : "");
        out.push_back(at = k.AddMoveLine(at, text));
    }
    return out;
}

// A loaded record in one line: the start ("-" for the even game), the names,
// the main line as USI moves (a time in brackets, a comment in braces, end
// entries by their word), then the header comment and kept header lines.
inline std::string Summary(const CKifu& k) {
    std::string out = (k.header.startSfen.empty() ? "-" : k.header.startSfen) + " " + k.header.senteName +
                      "|" + k.header.goteName + ":";
    for (const KifuNode* e = k.Root(); e && e->filled; e = e->next) {
        const MoveRec& m = *e->move;
        out += ' ' + (m.status >= MS_RESIGN ? std::string(EndWord(m.status)) : UsiMove(m));
        if (m.seconds)
            out += "(" + std::to_string(m.seconds) + ")";
        if (!m.comment.empty())
            out += "{" + m.comment + "}";
    }
    if (!k.header.headerComment.empty())
        out += " H{" + k.header.headerComment + "}";
    if (!k.header.otherLines.empty())
        out += " O{" + k.header.otherLines + "}";
    return out;
}

}  // namespace ravu::test
