// The analysis window "解析": a USI engine's view of the record and of the
// position on the board.  It analyses the whole record (a time per move,
// the variations on request, with progress and cancel) and keeps the
// results in the moves' comments; draws the evaluation graph of the main
// line, where a click jumps to a move; and, in live analysis, searches the
// position shown until it changes.  The engine's line of the position shown
// can be previewed on the board and kept as a variation (the main window
// does both).  The engine never runs for a player of a running game.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "game/types.h"
#include "record/usi_line.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace ravu {

class CEvalGraph;
class CKifuControl;
class CProfile;
class CRecordAnalyzer;
class CUsiEngine;
struct EngineResult;
struct KifuNode;

class CAnalysisDlg : public QDialog {
    Q_OBJECT
public:
    CAnalysisDlg(CKifuControl* record, CProfile* profile, QWidget* mainWnd);
    ~CAnalysisDlg() override;

    // The record changed: graph again.  replaced: its entries are gone (a
    // load, a new game, a review's start), so an analysis of it stops first.
    void RecordChanged(bool replaced);
    // The position on the board: after `entry` (null: the start; a copy in
    // the displayed line is fine).  Live analysis moves on to it.
    void PositionShown(const KifuNode* entry);
    // Whether the engine may run: not while this copy plays a game.
    void SetEngineAllowed(bool allowed);

    bool Analysing() const { return analyzer != nullptr; }
    // The engine's line from the position shown as record moves: live
    // analysis's latest, else the one the entry's comment holds.
    std::vector<MoveRec> ShownLine() const;

    CEvalGraph* Graph() const { return graph; }
    QLabel* Status() const { return status; }
    QPushButton* AnalyseButton() const { return analyseButton; }
    QCheckBox* LiveCheck() const { return liveCheck; }
    QPlainTextEdit* LineBox() const { return lineBox; }
    QLineEdit* EngineEdit() const { return engineEdit; }
    QSpinBox* TimeSpin() const { return timeSpin; }

signals:
    // The graph was clicked: main-line move `ply` (0: the start).
    void plyChosen(int ply);
    void previewRequested();
    void keepRequested();
    // Comments were written into the record.
    void recordAnalysed();

protected:
    // A hidden window is not told the position: live analysis stops.
    void hideEvent(QHideEvent* e) override;
    // The graph catches up with the record.
    void showEvent(QShowEvent* e) override;

public slots:
    void reject() override {}  // Esc does not close the window
    void accept() override {}

private:
    void StartOrCancel();
    void Ended(bool cancelled);
    void Failed(const QString& message);
    void LiveToggled(bool on);
    void StartLive();
    void StopLive();
    void SearchShown();
    void LiveInfo(const UsiInfo& info);
    void ShowLine(const std::string& sjisComment);
    // The analysis the comment of the entry shown holds.
    void ShowShownComment();
    void SaveEngineSettings();

    CKifuControl* record;
    CProfile* profile;
    CEvalGraph* graph = nullptr;
    QLineEdit* engineEdit = nullptr;
    QSpinBox* timeSpin = nullptr;
    QCheckBox* variationsCheck = nullptr;
    QPushButton* analyseButton = nullptr;
    QProgressBar* progress = nullptr;
    QCheckBox* liveCheck = nullptr;
    QPushButton* previewButton = nullptr;
    QPushButton* keepButton = nullptr;
    QPlainTextEdit* lineBox = nullptr;
    QLabel* status = nullptr;

    std::unique_ptr<CRecordAnalyzer> analyzer;
    std::unique_ptr<CUsiEngine> live;
    bool allowed = true;
    std::vector<int> shownPath;  // the entry shown, by its path from the start
    std::string shownCommand;    // the position command of the position shown
    std::string searchCommand;   // the one live analysis searches now
    std::vector<MoveRec> liveLine;
};

}  // namespace ravu
