// Plain stand-ins for the secondary windows, used until the real windows
// (record window, balloon, chat log, settings, connect and turn dialogs) are
// constructed in their place.  Each does the least that keeps the main
// window's commands meaningful: the move list is kept in memory so that
// stepping through a record works, questions go to a yes/no message box,
// dialogs that need the network answer "cancel".
#pragma once

#include <string>
#include <vector>

#include "record/kifu_view.h"
#include "ui/main_parts.h"

class QWidget;

namespace ravu {

class CMainDlg;
class CKifuControl;

// The record window's move list, in memory.
class CMoveListMemory : public CKifuListView {
public:
    void AddLine(const std::string& text) override { lines.push_back(text); }
    void ClearLines() override {
        lines.clear();
        selected = -1;
    }
    // An index outside the list leaves the selection as it was; -1 clears it.
    void SelectLine(int index) override;
    int SelectedLine() const override { return selected; }

    std::vector<std::string> lines;
    int selected = -1;
};

// The record window without a window: its list in memory, its step commands
// sent back to the main window as the record window sends them.
class CRecordWindowStandIn : public IRecordWindow {
public:
    CRecordWindowStandIn(CMainDlg& mainWnd, CKifuControl& record);
    QWidget* Window() override { return nullptr; }
    CKifuListView* MoveList() override { return &list; }
    void RefreshLists() override;
    void ClearList() override { list.ClearLines(); }
    void StepCommand(int command) override;

    CMoveListMemory list;

private:
    CMainDlg& mainWnd;
    CKifuControl& record;
};

// The chat log without a window: keeps the lines.
class CChatLogStandIn : public IChatLog {
public:
    QWidget* Window() override { return nullptr; }
    void AddLine(const std::string& sjisLine) override { lines.push_back(sjisLine); }
    std::vector<std::string> lines;
};

// The balloon's question as a yes/no message box over the main window.  A
// second question while one is open is answered 2 at once.
class CQuestionStandIn : public IQuestion {
public:
    explicit CQuestionStandIn(QWidget* parent) : parent(parent) {}
    int Ask(const std::string& sjisQuestion) override;

private:
    QWidget* parent;
    bool busy = false;
};

// A dialog that cannot be used yet: answers cancel without showing anything.
class CDialogStandIn : public ITurnDialog {
public:
    int Run() override { return 2; }
    int ChosenSide() const override { return 0; }
};

// The version information as a plain message box.
class CAboutStandIn : public IModalDialog {
public:
    explicit CAboutStandIn(QWidget* parent) : parent(parent) {}
    int Run() override;

private:
    QWidget* parent;
};

}  // namespace ravu
