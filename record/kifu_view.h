// The two views of the record window that the record fills: the tree of every
// move and variation, and the move list of the displayed line.  The record
// window implements them with its controls; tests use fakes.  All text passed
// is Shift-JIS bytes; the window converts it for display.
#pragma once

#include <cstdint>
#include <string>

namespace ravu {

// Tree of moves.  Item handles are never 0; 0 as a parent means top level.
class CKifuTreeView {
public:
    virtual ~CKifuTreeView() = default;
    // Inserts an item with the text as the last child of parent (0: as the
    // last top-level item) and returns its handle (never 0).
    virtual int32_t InsertItem(int32_t parent, const std::string& text) = 0;
    // Makes the item the selected one (a selection made by the program).
    virtual void SelectItem(int32_t item) = 0;
    virtual void ExpandItem(int32_t item) = 0;
    virtual void DeleteAllItems() = 0;
};

// Move list: line 0 is the start line, line k shows move k.
class CKifuListView {
public:
    virtual ~CKifuListView() = default;
    virtual void AddLine(const std::string& text) = 0;
    virtual void ClearLines() = 0;
    // Selects a line by index; -1 clears the selection.
    virtual void SelectLine(int index) = 0;
    // The selected line, -1 when none.
    virtual int SelectedLine() const = 0;
};

}  // namespace ravu
