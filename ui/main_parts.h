// What the main window needs of the secondary windows it owns: the question
// balloon, the record window, the chat log and the modal dialogs (settings,
// connect, turn, version).  The main window holds each through one of these
// small interfaces, so the real windows and the plain stand-ins of
// stand_ins.h are interchangeable, and tests can answer the questions.
// Text crossing these interfaces is Shift-JIS bytes, as in the model.
#pragma once

#include <string>

class QWidget;

namespace ravu {

class CGameSocket;
class CKifuListView;

// The balloon's yes/no question: 1 yes, 2 no (also when a question is
// already open or the question timed out).  Tell puts a notice with a single
// button and returns at once; notices wait in turn, and behind a question.
class IQuestion {
public:
    virtual ~IQuestion() = default;
    virtual int Ask(const std::string& sjisQuestion) = 0;
    virtual void Tell(const std::string& sjisText) = 0;
};

// The record window as the main window uses it.
class IRecordWindow {
public:
    virtual ~IRecordWindow() = default;
    // The window to place, show and hide; null when there is none.
    virtual QWidget* Window() = 0;
    // The move list the record writes into (the record's listBox).
    virtual CKifuListView* MoveList() = 0;
    // After a file load: list from the displayed line, tree from the record.
    virtual void RefreshLists() = 0;
    // At game start and reset: empty the move list.
    virtual void ClearList() = 0;
    // Comments of the record changed (an analysis wrote into them): the
    // comment shown and the marks of the move list again.
    virtual void CommentsChanged() {}
    // ID_STEP_FORWARD (one move forward) or ID_STEP_BACK (one move back): the window
    // moves its list selection and sends the command back to the main window
    // with the new list index.
    virtual void StepCommand(int command) = 0;
};

// The chat log window.
class IChatLog {
public:
    virtual ~IChatLog() = default;
    virtual QWidget* Window() = 0;  // null when there is none
    virtual void AddLine(const std::string& sjisLine) = 0;
};

// A dialog run modally; Run answers 1 for OK, anything else for cancel.
class IModalDialog {
public:
    virtual ~IModalDialog() = default;
    virtual int Run() = 0;
    // Whether the dialog is showing now; one that answers without showing
    // anything never is.
    virtual bool IsOpen() const { return false; }
    // Ends a showing dialog as cancelled (Run answers cancel).
    virtual void Close() {}
};

// The guest's turn decision: which side the user chose (0 sente, 1 gote),
// read after Run answered OK.
class ITurnDialog : public IModalDialog {
public:
    virtual int ChosenSide() const = 0;
    // The guest's connection the proposal goes over, handed over before
    // each opening.
    virtual void SetSocket(CGameSocket* socket) { (void)socket; }
};

}  // namespace ravu
