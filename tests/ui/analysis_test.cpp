// The analysis window over a record whose comments hold an engine's
// judgement: the graph and the marks of bad moves come from the comments,
// a click on the graph goes to the move, the engine's line is previewed on
// the board and kept as a variation, and the engine is off for the players
// of a running game.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "main_test_support.h"
#include "record/analysis.h"
#include "ui/analysis_dlg.h"
#include "ui/eval_graph.h"
#include "ui/kifu_dlg.h"

namespace ravu::test {
namespace {

// ▲7六歩 △3四歩 ▲2二角成?? (sente's evaluation falls from +50 to -900:
// the bishop is lost for a pawn) △同銀.  Move 3's comment holds the
// engine's line after it.
const char* ANALYSED_KIF =
    "   1 ７六歩(77)\r\n*#評価値=60\r\n"
    "   2 ３四歩(33)\r\n*#評価値=50\r\n"
    "   3 ２二角成(88)\r\n*#評価値=-900\r\n*#読み筋=△同　銀(31)▲４五角打\r\n"
    "   4 同　銀(31)\r\n*#評価値=-850\r\n";

class AnalysisWindowTest : public MainWindowTest {
protected:
    void Load() {
        ASSERT_TRUE(dlg->record.LoadKifFromBuffer(Utf8ToSjis(ANALYSED_KIF), "a.kif"));
        dlg->protocol->BrowseRecord();
        dlg->kifuWnd->RefreshLists();
        dlg->analysisDlg->RecordChanged(true);
        dlg->MenuAction(ID_ANALYSIS_WINDOW)->setChecked(true);
        dlg->OnCommand(ID_LIST_SELECT, 0);
    }
    // The player selects a line of the move list.
    void Select(int line) { List()->setCurrentRow(line); }
    CKifuListWidget* List() { return static_cast<CKifuListWidget*>(dlg->kifuWnd->MoveList()); }
};

TEST_F(AnalysisWindowTest, GraphAndMarksComeFromTheComments) {
    Load();
    CEvalGraph* graph = dlg->analysisDlg->Graph();
    EXPECT_EQ(graph->PointCount(), 5);  // the start and four moves
    for (int line = 0; line <= 4; ++line)
        EXPECT_EQ(List()->IsMarkedBad(line), line == 3) << line;
    // A click on move 2's point shows the position after it.
    emit graph->plyClicked(2);
    EXPECT_EQ(List()->SelectedLine(), 2);
    EXPECT_EQ(graph->Current(), 2);
    EXPECT_EQ(graph->PlyAt(int(graph->PointOf(4, 0).x())), 4);
}

TEST_F(AnalysisWindowTest, EnginesLineIsPreviewedAndKept) {
    Load();
    Select(3);
    const int bishopDrop = dlg->board.PieceAt(4, 5);
    EXPECT_EQ(bishopDrop, -1);
    emit dlg->analysisDlg->previewRequested();
    EXPECT_NE(dlg->board.PieceAt(4, 5), -1);  // ▲4五角打 stands on the board
    EXPECT_EQ(List()->SelectedLine(), 3);     // the record is where it was
    dlg->OnCommand(ID_STEP_FORWARD, 4);       // any command puts the record's position back first
    Select(3);
    EXPECT_EQ(dlg->board.PieceAt(4, 5), -1);

    emit dlg->analysisDlg->keepRequested();
    const std::string kif = SjisToUtf8(dlg->record.KifText("a.kif"));
    // △同銀 is the game's own move 4; ▲4五角打 goes on after it.
    EXPECT_NE(kif.find("   5 ４五角打"), std::string::npos) << kif;
    EXPECT_EQ(kif.find("変化："), std::string::npos) << kif;
}

TEST_F(AnalysisWindowTest, EngineIsOffForThePlayersOfAGame) {
    Load();
    EXPECT_TRUE(dlg->analysisDlg->AnalyseButton()->isEnabled());
    StartConnectedGame(SENTE);
    EXPECT_FALSE(dlg->analysisDlg->AnalyseButton()->isEnabled());
    EXPECT_FALSE(dlg->analysisDlg->LiveCheck()->isEnabled());
}

TEST_F(AnalysisWindowTest, AnEngineThatCrashesIsReportedAndTheWindowGoesOn) {
    Load();
    CAnalysisDlg& analysis = *dlg->analysisDlg;
    analysis.EngineEdit()->setText(
        QStringLiteral("bash \"" RAVU_SOURCE_DIR "/tests/app/fake_usi_engine.sh\" crash go"));
    analysis.AnalyseButton()->click();
    EXPECT_TRUE(analysis.Analysing());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !analysis.Analysing(); }, 5000));
    EXPECT_EQ(analysis.Status()->text(), QStringLiteral("エンジンが終了しました"));
    EXPECT_EQ(analysis.AnalyseButton()->text(), QStringLiteral("棋譜解析"));
    EXPECT_EQ(SjisToUtf8(dlg->record.kifu.Root()->move->comment), "#評価値=60\r\n");  // the file's own
}

}  // namespace
}  // namespace ravu::test
