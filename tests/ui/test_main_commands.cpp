// The control strip, the popup menu's commands, the game-state operations,
// files, chat, and the ways the window may and may not be closed.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>

#include "main_test_support.h"

namespace ravu::test {
namespace {

using Commands = MainWindowTest;

// A record of a few moves saved to a KIF file in dir.
QString SaveSmallRecord(CMainDlg& dlg, const QTemporaryDir& dir, const char* name) {
    const char* moves[][2] = {{"77", "76"}, {"33", "34"}, {"27", "26"}};
    dlg.record.ClearRecord();
    dlg.board.Reset();
    for (auto& m : moves) {
        const int from = dlg.board.PieceAt(m[0][0] - '0', m[0][1] - '0');
        KomaRec& p = dlg.board.GetPiece(from);
        dlg.board.MoveTo(from, m[1][0] - '0', m[1][1] - '0');
        dlg.record.RecordBoardMove(p);
    }
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(dlg.record.SaveKif(QFile::encodeName(path).toStdString()));
    dlg.record.ClearRecord();
    dlg.board.Reset();
    return path;
}

TEST_F(Commands, ReplayButtonsWorkOnlyWithoutAGame) {
    QTemporaryDir dir;
    chosenFile = SaveSmallRecord(*dlg, dir, "game.kif");
    Click(ButtonPoint(5));  // open
    ASSERT_EQ(fileRequests, std::vector<bool>{false});
    EXPECT_EQ(dlg->mode, MODE_FREE);
    ASSERT_EQ(ListLines().size(), 4u);  // start line + 3 moves

    Click(ButtonPoint(2));  // forward: 7六歩
    EXPECT_EQ(dlg->board.PieceAt(7, 6), 6);
    Click(ButtonPoint(2));
    Click(ButtonPoint(2));
    EXPECT_EQ(dlg->board.PieceAt(2, 6), 1);
    Click(ButtonPoint(1));  // back one: 2六歩 undone
    EXPECT_EQ(dlg->board.PieceAt(2, 6), -1);
    EXPECT_EQ(dlg->board.PieceAt(3, 4), 11);
    Click(ButtonPoint(0));  // to the start
    EXPECT_EQ(dlg->board.PieceAt(7, 6), -1);
    EXPECT_EQ(dlg->board.PieceAt(7, 7), 6);

    // The same buttons in a game are consumed and change nothing.
    dlg->mode = MODE_GAME;
    for (int b = 0; b <= 5; ++b)
        EXPECT_EQ(dlg->HitTestClick(ButtonPoint(b)), 1) << b;
    EXPECT_EQ(dlg->board.PieceAt(7, 7), 6);
    EXPECT_FALSE(dlg->AutoplayRunning());
    EXPECT_EQ(fileRequests.size(), 1u);
}

TEST_F(Commands, AutoplayStepsEveryHalfSecondAndStopsOnlyByButtons) {
    QTemporaryDir dir;
    chosenFile = SaveSmallRecord(*dlg, dir, "auto.KIF");
    Click(ButtonPoint(5));
    Click(ButtonPoint(3));
    ASSERT_TRUE(dlg->AutoplayRunning());
    // Three moves, then it keeps running past the end without changing the board.
    QTest::qWait(4 * AUTOPLAY_PERIOD_MS + 200);
    EXPECT_TRUE(dlg->AutoplayRunning());
    EXPECT_EQ(dlg->board.PieceAt(2, 6), 1);
    EXPECT_EQ(dlg->board.PieceAt(3, 4), 11);
    Click(ButtonPoint(4));
    EXPECT_FALSE(dlg->AutoplayRunning());
    for (int stopper : {0, 1, 2}) {
        Click(ButtonPoint(3));
        Click(ButtonPoint(stopper));
        EXPECT_FALSE(dlg->AutoplayRunning()) << stopper;
    }
}

TEST_F(Commands, RecordWindowSelectionsReplayOnlyWithoutAGame) {
    QTemporaryDir dir;
    dlg->OnCommand(ID_FILE_DROP, 0, SaveSmallRecord(*dlg, dir, "sel.kif"));
    const KifuNode* second = dlg->record.kifu.Root()->next;
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->move->treeItem, 0) << "the tree was not filled";
    const int32_t item = second->move->treeItem;

    struct Case {
        int id;
        intptr_t param;
        int pawn33Rank;  // where gote's 3-file pawn stands afterwards (3 = not moved)
        int pawn77Rank;
    } cases[] = {
        {ID_LIST_SELECT, 2, 4, 6},  // list line 2: both first moves played
        {ID_LIST_SELECT, 1, 3, 6},
        {ID_TREE_SELECT, item, 4, 6},
        {ID_STEP_BACK, 0, 3, 7},    // line 0: back to the start
        {ID_LIST_SELECT, -1, 3, 7}, // no line: nothing happens
    };
    for (const Case& c : cases) {
        dlg->OnCommand(c.id, c.param);
        EXPECT_EQ(dlg->board.GetPiece(11).rank, c.pawn33Rank) << c.id << " " << c.param;
        EXPECT_EQ(dlg->board.GetPiece(6).rank, c.pawn77Rank) << c.id << " " << c.param;
    }
    // The same commands during a game leave the board alone.
    dlg->mode = MODE_GAME;
    for (int id : {ID_LIST_SELECT, ID_TREE_SELECT, ID_STEP_FORWARD, ID_STEP_BACK}) {
        dlg->OnCommand(id, id == ID_TREE_SELECT ? item : 2);
        EXPECT_EQ(dlg->board.GetPiece(11).rank, 3) << id;
        EXPECT_EQ(dlg->board.GetPiece(6).rank, 7) << id;
    }
}

TEST_F(Commands, FilesOfOtherExtensionsAreIgnored) {
    QTemporaryDir dir;
    const QString kif = SaveSmallRecord(*dlg, dir, "game.kif");
    struct Case {
        QString name;
        bool loads;
    } cases[] = {{"a.kif", true}, {"b.TXT", true}, {"c.Kif", true},
                 {"d.kifu", false}, {"e", false}, {"f.kif.bak", false}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.name);
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(kif, path));
        dlg->ResetGame();
        dlg->OnCommand(ID_FILE_DROP, 0, path);
        EXPECT_EQ(!dlg->record.kifu.line.empty(), c.loads) << c.name.toStdString();
    }
    // A drop during a game is refused.
    dlg->ResetGame();
    dlg->mode = MODE_GAME;
    dlg->OnCommand(ID_FILE_DROP, 0, dir.filePath("a.kif"));
    EXPECT_TRUE(dlg->record.kifu.line.empty());
}

TEST_F(Commands, SaveWritesTheFileAndAFailedSaveSaysSo) {
    QTemporaryDir dir;
    StartConnectedGame(SENTE);
    Click(SquarePoint(7, 7));
    Click(SquarePoint(7, 6));
    chosenFile = dir.filePath("saved");  // no extension is added
    Click(ButtonPoint(6));
    EXPECT_TRUE(QFile::exists(chosenFile));
    EXPECT_TRUE(messages.empty());

    chosenFile = dir.filePath("missing/folder/x.kif");
    Click(ButtonPoint(6));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(chosenFile));

    chosenFile.clear();  // cancelled
    Click(ButtonPoint(6));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(Commands, ConnectAndDisconnectThroughButtonSeven) {
    connectDialog->result = 2;  // cancelled
    Click(ButtonPoint(7));
    EXPECT_EQ(connectDialog->runs, 1);
    EXPECT_EQ(dlg->connState, CONN_NONE);
    EXPECT_FALSE(dlg->ChatInput()->isVisible());

    connectDialog->result = 1;
    Click(ButtonPoint(7));
    EXPECT_EQ(dlg->connState, CONN_GUEST);
    EXPECT_TRUE(dlg->ChatInput()->isVisible());

    FakeLink* raw = &connectLink;
    question->answer = 2;  // "no": stays connected
    Click(ButtonPoint(7));
    EXPECT_EQ(question->asked.size(), 1u);
    EXPECT_EQ(dlg->connState, CONN_GUEST);
    EXPECT_FALSE(raw->closed);

    question->answer = 1;
    Click(ButtonPoint(7));
    EXPECT_EQ(dlg->connState, CONN_NONE);
    EXPECT_TRUE(raw->closed);
    EXPECT_FALSE(dlg->ChatInput()->isVisible());
    EXPECT_EQ(connectDialog->runs, 2);
}

TEST_F(Commands, TurnDecisionOnlyForAGuestWithoutAGame) {
    struct Case {
        int connState, mode;
        bool runs;
    } cases[] = {{CONN_NONE, MODE_FREE, false},
                 {CONN_HOST, MODE_FREE, false},
                 {CONN_GUEST, MODE_GAME, false},
                 {CONN_GUEST, MODE_WATCHING, false},
                 {CONN_GUEST, MODE_FREE, true}};
    for (const Case& c : cases) {
        turnDialog->runs = 0;
        dlg->connState = c.connState;
        dlg->mode = c.mode;
        Click(ButtonPoint(8));
        EXPECT_EQ(turnDialog->runs, c.runs ? 1 : 0) << c.connState << c.mode;
    }
    // The accepted proposal starts the game with the chosen side, flipped for gote.
    EXPECT_EQ(dlg->mode, MODE_GAME);
    dlg->mode = MODE_FREE;
    turnDialog->side = GOTE;
    Click(ButtonPoint(8));
    EXPECT_EQ(dlg->mode, MODE_GAME);
    EXPECT_EQ(dlg->mySide, GOTE);
    EXPECT_EQ(dlg->flipped, 1);
    EXPECT_EQ(dlg->board.flip, 1);
    EXPECT_FALSE(dlg->MenuAction(ID_EDIT)->isEnabled());
}

TEST_F(Commands, ResignOnlyOnTheOwnTurnAndOnlyOnYes) {
    FakeLink* link = StartConnectedGame(SENTE);
    question->answer = 2;
    Click(ButtonPoint(9));
    EXPECT_EQ(dlg->mode, MODE_GAME);
    EXPECT_TRUE(link->sent.empty());

    dlg->mySide = GOTE;  // not the own turn: not even asked
    Click(ButtonPoint(9));
    EXPECT_EQ(question->asked.size(), 1u);
    dlg->mySide = SENTE;

    question->answer = 1;
    Click(ButtonPoint(9));
    ASSERT_EQ(question->asked.size(), 2u);
    EXPECT_EQ(dlg->mode, MODE_FREE);
    ASSERT_EQ(link->sent.size(), 1u);
    EXPECT_EQ(link->sent[0].type, PKT_MOVE);
    const KifuNode* last = dlg->record.kifu.current->prev;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->move->status, MS_RESIGN);
    EXPECT_EQ(last->move->number, 1);
}

TEST_F(Commands, SettingsButtonRunsTheDialogInAnyMode) {
    for (int mode : {MODE_FREE, MODE_GAME, MODE_WATCHING}) {
        dlg->mode = mode;
        Click(ButtonPoint(10));
    }
    EXPECT_EQ(settingsDialog->runs, 3);
}

TEST_F(Commands, TurnLabelsShowWhatEachSideReaches) {
    dlg->TakeRepaintLog();
    EXPECT_EQ(dlg->HitTestClick(QPoint(500, 150)), 1);  // right label: sente
    const QImage withMarks = dlg->ScreenImage();
    // Sente's pawns reach rank 6: a yellow outline on 5六.
    const QPoint sq = SquarePoint(5, 6) - QPoint(15, 15);
    EXPECT_EQ(QColor(withMarks.pixel(sq.x() + 1, sq.y() + 15)), QColor(255, 255, 0));
    EXPECT_FALSE(dlg->TakeRepaintLog().empty());
    // The marks last until the next redraw.
    dlg->Redraw(false);
    EXPECT_NE(QColor(dlg->ScreenImage().pixel(sq.x() + 1, sq.y() + 15)), QColor(255, 255, 0));
    // Left label: gote's reach in the cyan of mark side 1, on 5四.
    EXPECT_EQ(dlg->HitTestClick(QPoint(60, 150)), 1);
    const QPoint g = SquarePoint(5, 4) - QPoint(15, 15);
    EXPECT_EQ(QColor(dlg->ScreenImage().pixel(g.x() + 2, g.y() + 15)), QColor(0, 255, 255));
}

TEST_F(Commands, FlipTurnsTheViewAndTheFrame) {
    const QImage before = dlg->BackBuffer().copy();
    dlg->OnCommand(ID_FLIP);
    EXPECT_EQ(dlg->flipped, 1);
    EXPECT_EQ(dlg->board.flip, 1);
    const KomaRec& lance = dlg->board.GetPiece(21);  // gote's lance on 9一
    EXPECT_EQ(lance.x, 389);
    EXPECT_EQ(lance.y, 259);
    EXPECT_NE(dlg->BackBuffer(), before);
    dlg->OnCommand(ID_FLIP);
    EXPECT_EQ(lance.x, 141);
    EXPECT_EQ(lance.y, 11);
    EXPECT_EQ(dlg->BackBuffer(), before);
}

TEST_F(Commands, PanelToggleTakesAndGives150Pixels) {
    profile.WindowX() = 40;
    profile.WindowY() = 30;
    const int h = dlg->height();
    QAction* panel = dlg->MenuAction(ID_PANEL);
    ASSERT_EQ(panel->text(), QStringLiteral("パネルを消す"));
    dlg->OnCommand(ID_PANEL);
    EXPECT_EQ(dlg->height(), h - 150);
    EXPECT_GE(dlg->height(), 300);  // the board stays whole
    EXPECT_EQ(dlg->pos(), QPoint(40, 30));
    EXPECT_EQ(panel->text(), QStringLiteral("パネルを表示"));
    dlg->OnCommand(ID_PANEL);
    EXPECT_EQ(dlg->height(), h);
    EXPECT_EQ(panel->text(), QStringLiteral("パネルを消す"));
}

TEST_F(Commands, MenuAtSetUpAndTheWindowToggles) {
    struct Item {
        int id;
        const char* text;
        bool enabled;
    } items[] = {
        {ID_EDIT, "編集", false},         {ID_EDIT_END, "編集終了", false},
        {ID_FLIP, "画面反転", true},      {ID_PANEL, "パネルを消す", true},
        {ID_KIFU_WINDOW, "棋譜窓を消す", true}, {ID_LOG_WINDOW, "ログ窓を表示", true},
        {ID_VERSION, "バージョン情報", true}, {ID_EXIT, "終了", true},
    };
    int i = 0;
    for (QAction* a : dlg->PopupMenu()->actions()) {
        if (a->isSeparator())
            continue;
        ASSERT_LT(i, 8);
        EXPECT_EQ(a->data().toInt(), items[i].id);
        EXPECT_EQ(a->text(), QString::fromUtf8(items[i].text));
        EXPECT_EQ(a->isEnabled(), items[i].enabled) << items[i].text;
        ++i;
    }
    EXPECT_EQ(i, 8);
    EXPECT_EQ(dlg->PopupMenu()->actions().size(), 10);  // two separators

    dlg->OnCommand(ID_KIFU_WINDOW);
    EXPECT_EQ(dlg->kifuShowCmd, HIDE_RECORD_WINDOW);
    EXPECT_EQ(dlg->MenuAction(ID_KIFU_WINDOW)->text(), QStringLiteral("棋譜窓を表示"));
    dlg->OnCommand(ID_KIFU_WINDOW);
    EXPECT_EQ(dlg->kifuShowCmd, SHOW_RECORD_WINDOW);
    dlg->OnCommand(ID_LOG_WINDOW);
    EXPECT_EQ(dlg->MenuAction(ID_LOG_WINDOW)->text(), QStringLiteral("ログ窓を消す"));
    dlg->OnCommand(ID_LOG_WINDOW);
    EXPECT_EQ(dlg->MenuAction(ID_LOG_WINDOW)->text(), QStringLiteral("ログ窓を表示"));

    dlg->OnCommand(ID_EDIT);
    EXPECT_EQ(dlg->mode, MODE_EDIT);
    EXPECT_FALSE(dlg->MenuAction(ID_EDIT)->isEnabled());
    EXPECT_TRUE(dlg->MenuAction(ID_EDIT_END)->isEnabled());
}

TEST_F(Commands, OnlyExitEndsTheWindow) {
    dlg->close();
    EXPECT_TRUE(dlg->isVisible());
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    QTest::keyClick(dlg.get(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(dlg->isVisible());
    dlg->reject();
    EXPECT_TRUE(dlg->isVisible());
    dlg->MenuAction(ID_EXIT)->trigger();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), 1);
}

TEST_F(Commands, ChatLinesNeedTextAndAConnection) {
    QLineEdit* input = dlg->ChatInput();
    input->setText(QString());
    dlg->OnCommand(ID_OK);
    input->setText(QStringLiteral("<b>こんにちは</b>"));
    dlg->OnCommand(ID_OK);  // not connected: the text is dropped
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_EQ(LastChatLine(), "");

    FakeLink* raw = &listenLink;
    dlg->connState = CONN_HOST;
    profile.SetHandleName("me");
    input->setText(QStringLiteral("hi"));
    QTest::keyClick(input, Qt::Key_Return);
    ASSERT_EQ(raw->sent.size(), 1u);
    EXPECT_EQ(raw->sent[0].type, PKT_CHAT);
    EXPECT_EQ(raw->sent[0].text, "me>hi");
    EXPECT_EQ(LastChatLine(), "me>hi");
    EXPECT_TRUE(dlg->isVisible());  // Enter did not close the window
}

TEST_F(Commands, WindowDragByTheMarginMovesAndRemembers) {
    profile.WindowX() = 0;
    profile.WindowY() = 0;
    QTest::mousePress(dlg.get(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 350));
    EXPECT_EQ(dlg->dragging, 1);
    const QPoint pointer = dlg->mapToGlobal(QPoint(45, 370));
    QTest::mouseMove(dlg.get(), QPoint(45, 370));
    // The window has moved under the pointer; the pointer stays where it is.
    QTest::mouseRelease(dlg.get(), Qt::LeftButton, Qt::NoModifier, dlg->mapFromGlobal(pointer));
    EXPECT_EQ(dlg->dragging, 0);
    EXPECT_EQ(profile.WindowX(), dlg->x());
    EXPECT_EQ(profile.WindowY(), dlg->y());
    EXPECT_EQ(dlg->pos(), QPoint(40, 20));
    // The strip's inside never starts a drag.
    QTest::mousePress(dlg.get(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 390));
    EXPECT_EQ(dlg->dragging, 0);
    QTest::mouseRelease(dlg.get(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 390));
}

TEST_F(Commands, EmptyHandleNameBecomesTheHostName) {
    CProfile fresh;
    fresh.SetPort(0);  // any free port: the real sockets listen
    CMainDlg other(fresh, SkinDir());
    EXPECT_FALSE(fresh.GetHandleName().empty());
    CProfile named;
    named.SetHandleName("abc");
    named.SetPort(0);
    CMainDlg third(named, SkinDir());
    EXPECT_EQ(named.GetHandleName(), "abc");
}

}  // namespace
}  // namespace ravu::test
