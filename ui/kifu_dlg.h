// The record window "棋譜": the move list of the displayed line, the tree of
// every move and variation, and the comment of the selected tree item.  The
// list keeps its width; widening the window reveals the tree (upper 70 %)
// and the comment box below it, to the right of the list.
//
// Commands to the main window go out as signals, synchronously:
//   ID_STEP_FORWARD / ID_STEP_BACK  one move on or back, with the new list index
//   ID_LIST_SELECT   the user selected a list line, with its index
//   ID_TREE_SELECT   the user selected a tree item, with its handle
//   ID_FILE_DROP     a file was dropped on the window, with its path (fileDropped)
// Its close box asks the main window to hide it (closeRequested), so that
// the menu's "棋譜窓を消す" / "棋譜窓を表示" stays in step.
// Selections made by the program (the record re-selecting the item of the
// move just replayed) send nothing.
#pragma once

#include <QDialog>
#include <QHash>
#include <QListWidget>
#include <QString>
#include <QTreeWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "record/kifu_view.h"
#include "record/list_notation.h"
#include "ui/main_parts.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace ravu {

class CKifuControl;

// The move list: the record's list view of the displayed line.
class CKifuListWidget : public QListWidget, public CKifuListView {
    Q_OBJECT
public:
    explicit CKifuListWidget(QWidget* parent = nullptr);
    void AddLine(const std::string& text) override;
    void ClearLines() override;
    void SelectLine(int index) override;
    int SelectedLine() const override;
    // True while the program itself changes the selection.
    bool ProgramSelecting() const { return programSelecting > 0; }
    // Which lines hold a move an analysis found bad (by list line); they are
    // drawn in red, each as it is added, and all again on Remark().
    void SetBadTest(std::function<bool(int index)> test) { isBad = std::move(test); }
    void Remark();
    bool IsMarkedBad(int index) const;
    // How the lines write the moves (NOTATION_JAPANESE, _WESTERN, _USI); for
    // display only, the record keeps its Japanese text.  `startSfen` gives
    // the position the record starts from.
    void SetNotation(int notation);
    int Notation() const { return notation; }
    void SetStartPosition(std::function<std::string()> startSfen) { startPosition = std::move(startSfen); }

private:
    void Mark(int index);
    // Writes every line again in the notation.
    void Relabel();

    int programSelecting = 0;
    std::function<bool(int index)> isBad;
    int notation = 0;
    std::vector<std::string> source;  // the lines as the record wrote them
    std::function<std::string()> startPosition;
    std::optional<CListNotation> writer;  // follows the lines in the notation; made at the first line
};

// The move tree: the record's tree view of every move and variation.  Handles count up from 1 and are
// never reused within a run.
class CKifuTreeWidget : public QTreeWidget, public CKifuTreeView {
    Q_OBJECT
public:
    explicit CKifuTreeWidget(QWidget* parent = nullptr);
    int32_t InsertItem(int32_t parent, const std::string& text) override;
    void SelectItem(int32_t item) override;
    void ExpandItem(int32_t item) override;
    void DeleteAllItems() override;

    bool ProgramSelecting() const { return programSelecting > 0; }
    QTreeWidgetItem* ItemOf(int32_t handle) const { return items.value(handle, nullptr); }
    static int32_t HandleOf(const QTreeWidgetItem* item);
    int32_t SelectedHandle() const { return HandleOf(currentItem()); }

private:
    QHash<int32_t, QTreeWidgetItem*> items;
    int32_t nextHandle = 1;
    int programSelecting = 0;
};

class CKifuDlg : public QDialog, public IRecordWindow {
    Q_OBJECT
public:
    static constexpr int CMD_FORWARD = 32776;
    static constexpr int CMD_BACK = 32777;
    static constexpr int CMD_SELECT_LINE = 32779;
    static constexpr int CMD_SELECT_ITEM = 32784;
    static constexpr int CMD_LOAD_FILE = 32785;

    // record: the main window's record; mainWnd: owner of the window.
    CKifuDlg(CKifuControl* record, QWidget* mainWnd);

    void FillTree();
    // Makes the move list the record's list, fills it and the tree (after a load).
    void RefreshLists() override;
    void ClearList() override;
    void CommentsChanged() override;
    // Step commands from the main window (ID_STEP_FORWARD, ID_STEP_BACK).
    void OnCommand(int id);
    void StepCommand(int command) override { OnCommand(command); }
    QWidget* Window() override { return this; }

    CKifuListWidget* MoveList() override { return moveList; }
    CKifuTreeWidget* Tree() const { return tree; }
    QPlainTextEdit* CommentBox() const { return commentBox; }
    // The move field under the list: Enter hands its text over (moveTyped);
    // the main window answers with ShowMoveResult.
    QLineEdit* MoveField() const { return moveField; }
    QLabel* MoveStatus() const { return moveStatus; }
    // Empty: the move was made and the field is emptied; else the reason is
    // shown under the field (and told to screen readers) and the text stays.
    void ShowMoveResult(const QString& why);
    // The move list's notation, as the settings keep it (its menu checked to match).
    void SetNotation(int notation);

signals:
    void command(int id, int param);
    void fileDropped(const QString& path);
    // The close box was used; the window itself stays until it is hidden.
    void closeRequested();
    // A notation was chosen in the move list's menu.
    void notationChosen(int notation);
    // Enter in the move field, with its text.
    void moveTyped(const QString& text);

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

public slots:
    void reject() override {}  // Esc does not close the window
    void accept() override {}  // nor does Enter

private:
    void LayOut(int cw, int ch);
    void Step(int delta, int id);
    // The comment of the tree item in the comment box.
    void ShowComment(int32_t handle);
    void OnListSelChange(int row);
    void OnTreeSelChange(QTreeWidgetItem* current, QTreeWidgetItem* previous);

    CKifuControl* record;
    QPlainTextEdit* commentBox = nullptr;
    CKifuTreeWidget* tree = nullptr;
    CKifuListWidget* moveList = nullptr;
    QLineEdit* moveField = nullptr;
    QLabel* moveStatus = nullptr;
};

}  // namespace ravu
