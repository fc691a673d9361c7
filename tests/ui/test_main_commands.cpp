// The control strip, the popup menu's commands, the game-state operations,
// files, chat, and the ways the window may and may not be closed.
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <random>

#include "main_test_support.h"

namespace ravu::test {
namespace {

using Commands = MainWindowTest;

// A record of ▲7六歩 △3四歩 ▲2六歩 saved to a KIF file in dir.
QString SaveSmallRecord(CMainDlg& dlg, const QTemporaryDir& dir, const char* name) {
    dlg.record.ClearRecord();
    dlg.board.Reset();
    for (auto [from, to] : {std::pair{77, 76}, {33, 34}, {27, 26}}) {
        const int piece = dlg.board.PieceAt(from / 10, from % 10);
        dlg.board.MoveTo(piece, to / 10, to % 10);
        dlg.record.RecordBoardMove(dlg.board.GetPiece(piece));
    }
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(dlg.record.SaveKif(QFile::encodeName(path).toStdString()));
    dlg.record.ClearRecord();
    dlg.board.Reset();
    return path;
}

TEST_F(Commands, ReplayAndAutoplayButtonsWorkOnlyWithoutAGame) {
    QTemporaryDir dir;
    chosenFile = SaveSmallRecord(*dlg, dir, "game.KIF");
    Click(ButtonPoint(5));  // open
    ASSERT_EQ(fileRequests, std::vector<bool>{false});
    ASSERT_EQ(ListLines().size(), 4u);  // start line + 3 moves
    struct Step {
        int button, at76, at26, at34;  // pieces on 7六, 2六, 3四 afterwards
    } steps[] = {{2, 6, -1, -1}, {2, 6, -1, 11}, {2, 6, 1, 11}, {1, 6, -1, 11}, {0, -1, -1, -1}};
    for (const Step& s : steps) {
        Click(ButtonPoint(s.button));
        EXPECT_EQ((std::vector<int>{dlg->board.PieceAt(7, 6), dlg->board.PieceAt(2, 6), dlg->board.PieceAt(3, 4)}),
                  (std::vector<int>{s.at76, s.at26, s.at34}))
            << s.button;
    }
    // Autoplay: three moves, then it keeps running past the end without
    // changing the board; only the buttons stop it.
    Click(ButtonPoint(3));
    QTest::qWait(4 * AUTOPLAY_PERIOD_MS + 200);
    EXPECT_TRUE(dlg->AutoplayRunning());
    EXPECT_EQ(dlg->board.PieceAt(2, 6), 1);
    EXPECT_EQ(dlg->board.PieceAt(3, 4), 11);
    for (int stopper : {4, 1, 2, 0}) {
        Click(ButtonPoint(3));
        Click(ButtonPoint(stopper));
        EXPECT_FALSE(dlg->AutoplayRunning()) << stopper;
    }
    // The same buttons in a game are consumed and change nothing.
    dlg->protocol->mode = MODE_GAME;
    for (int b = 0; b <= 5; ++b)
        EXPECT_EQ(dlg->HitTestClick(ButtonPoint(b)), 1) << b;
    EXPECT_EQ(dlg->board.PieceAt(7, 7), 6);
    EXPECT_FALSE(dlg->AutoplayRunning());
    EXPECT_EQ(fileRequests.size(), 1u);
}

TEST_F(Commands, RecordWindowSelectionsReplayOnlyWithoutAGame) {
    QTemporaryDir dir;
    dlg->OnCommand(ID_FILE_DROP, 0, SaveSmallRecord(*dlg, dir, "sel.kif"));
    const KifuNode* second = dlg->record.kifu.Root()->next;
    ASSERT_NE(second, nullptr);
    const int32_t item = second->move->treeItem;
    ASSERT_NE(item, 0) << "the tree was not filled";
    struct Case {
        int id;
        intptr_t param;
        int pawn33Rank, pawn77Rank;  // where the two first movers stand afterwards
    } cases[] = {
        {ID_LIST_SELECT, 2, 4, 6},  {ID_LIST_SELECT, 1, 3, 6},  {ID_TREE_SELECT, item, 4, 6},
        {ID_STEP_BACK, 0, 3, 7},    {ID_LIST_SELECT, -1, 3, 7},  // no line: nothing happens
    };
    for (const Case& c : cases) {
        dlg->OnCommand(c.id, c.param);
        EXPECT_EQ(dlg->board.GetPiece(11).rank, c.pawn33Rank) << c.id << " " << c.param;
        EXPECT_EQ(dlg->board.GetPiece(6).rank, c.pawn77Rank) << c.id << " " << c.param;
    }
    dlg->protocol->mode = MODE_GAME;  // the same commands during a game leave the board alone
    for (int id : {ID_LIST_SELECT, ID_TREE_SELECT, ID_STEP_FORWARD, ID_STEP_BACK}) {
        dlg->OnCommand(id, id == ID_TREE_SELECT ? item : 2);
        EXPECT_EQ(dlg->board.GetPiece(11).rank, 3) << id;
        EXPECT_EQ(dlg->board.GetPiece(6).rank, 7) << id;
    }
}

TEST_F(Commands, DroppedFilesLoadByExtensionAndNotDuringAGame) {
    QTemporaryDir dir;
    const QString kif = SaveSmallRecord(*dlg, dir, "game.kif");
    struct Case {
        QString name;
        bool loads;
    } cases[] = {{"a.kif", true},     {"b.TXT", true}, {"c.Kif", true},
                 {"d.kifu", false},   {"e", false},    {"f.kif.bak", false}};
    for (const Case& c : cases) {
        ASSERT_TRUE(QFile::copy(kif, dir.filePath(c.name)));
        dlg->ResetGame();
        dlg->OnCommand(ID_FILE_DROP, 0, dir.filePath(c.name));
        EXPECT_EQ(!dlg->record.kifu.line.empty(), c.loads) << c.name.toStdString();
    }
    dlg->ResetGame();
    dlg->protocol->mode = MODE_GAME;
    dlg->OnCommand(ID_FILE_DROP, 0, dir.filePath("a.kif"));
    EXPECT_TRUE(dlg->record.kifu.line.empty());
}

// A file from which nothing can be read, whether chosen with the open button,
// asked for by the open command or dropped on the record window, leaves the
// record, the record window's lists and the board as they were, and says so.
TEST_F(Commands, AFileThatIsNoRecordLeavesEverythingAndSaysSo) {
    using namespace std::string_literals;
    QTemporaryDir dir;
    const QString own = SaveSmallRecord(*dlg, dir, "own.kif");
    QFile ownFile(own);
    ASSERT_TRUE(ownFile.open(QIODevice::ReadOnly));
    const QByteArray ownBytes = ownFile.readAll();
    std::string noise(4000, '\0');
    std::mt19937 gen(9);
    for (char& c : noise)
        c = static_cast<char>(gen() & 0xff);
    const std::string pngHeader =
        "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x20\0\0\0\x20\x08\x06\0\0\0\x73\x7a\x7a\xf4"s;
    enum Route { OPEN_BUTTON, OPEN_COMMAND, DROP };
    struct Case {
        const char* name;
        std::string bytes;
        Route route;
        bool loads;
    } cases[] = {
        {"noise.kif", noise, OPEN_BUTTON, false},
        {"empty.txt", "", OPEN_COMMAND, false},
        {"picture.kif", pngHeader, DROP, false},
        {"copy.kif", ownBytes.toStdString(), DROP, true},  // the program's own file still loads
    };
    auto* kifu = dynamic_cast<CKifuDlg*>(dlg->kifuWnd.get());
    ASSERT_NE(kifu, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dlg->OnCommand(ID_FILE_DROP, 0, own);
        dlg->OnCommand(ID_LIST_SELECT, 2);  // ▲7六歩 △3四歩 on the board
        messages.clear();
        const std::vector<std::string> lines = ListLines();
        const int selected = SelectedLine();
        const int treeItems = kifu->Tree()->topLevelItem(0)->childCount();

        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes.data(), static_cast<qint64>(c.bytes.size()));
        file.close();
        chosenFile = path;
        if (c.route == OPEN_BUTTON)
            Click(ButtonPoint(5));
        else if (c.route == OPEN_COMMAND)
            dlg->OnCommand(ID_OPEN);
        else
            emit kifu->fileDropped(path);

        if (c.loads) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(dlg->record.kifu.header.title, "copy.kif");
            EXPECT_EQ(dlg->board.GetPiece(6).rank, 7);  // back at the start
            continue;
        }
        EXPECT_EQ(messages, std::vector<QString>{QStringLiteral("棋譜ファイルを読み込めませんでした。\n") + path});
        EXPECT_EQ(dlg->record.kifu.header.title, "own.kif");
        EXPECT_EQ(ListLines(), lines);
        EXPECT_EQ(SelectedLine(), selected);
        EXPECT_EQ(kifu->Tree()->topLevelItem(0)->childCount(), treeItems);
        EXPECT_EQ(dlg->board.GetPiece(6).rank, 6);
        EXPECT_EQ(dlg->board.GetPiece(11).rank, 4);
    }
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
    struct Step {
        int dialogResult, balloonAnswer;
        int connState;
        bool closed;
    } steps[] = {
        {2, 1, CONN_NONE, false},   // dialog cancelled
        {1, 1, CONN_GUEST, false},  // connected
        {1, 2, CONN_GUEST, false},  // "disconnect?" answered no
        {1, 1, CONN_NONE, true},    // answered yes
    };
    for (const Step& s : steps) {
        connectDialog->result = s.dialogResult;
        question->answer = s.balloonAnswer;
        Click(ButtonPoint(7));
        EXPECT_EQ(dlg->ConnState(), s.connState);
        EXPECT_EQ(connectLink.closed, s.closed);
        EXPECT_EQ(dlg->ChatInput()->isVisible(), s.connState != CONN_NONE);
    }
    EXPECT_EQ(connectDialog->runs, 2);
    EXPECT_EQ(question->asked.size(), 2u);
}

// Buttons 8 (sides) and 9 (resign) act only where they can, and otherwise
// say why in a notice.
TEST_F(Commands, TurnDecisionOnlyForAGuestWithoutAGame) {
    struct Case {
        int button, connState, mode;
        bool runs;
        const char* why;  // start of the notice; null: none
    } cases[] = {{8, CONN_NONE, MODE_FREE, false, "接続していません。"},
                 {8, CONN_HOST, MODE_FREE, false, "先手・後手は"},
                 {8, CONN_GUEST, MODE_GAME, false, "対局中です。"},
                 {8, CONN_GUEST, MODE_WATCHING, false, "観戦中は対局を"},
                 {8, CONN_GUEST, MODE_FREE, true, nullptr},
                 {9, CONN_GUEST, MODE_FREE, false, "対局中ではありません。"},
                 {9, CONN_GUEST, MODE_WATCHING, false, "観戦中は投了"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why ? c.why : "runs");
        turnDialog->runs = 0;
        question->told.clear();
        dlg->protocol->connState = c.connState;
        dlg->protocol->mode = c.mode;
        Click(ButtonPoint(c.button));
        EXPECT_EQ(turnDialog->runs, c.runs ? 1 : 0);
        ASSERT_EQ(question->told.size(), c.why ? 1u : 0u);
        if (c.why) {
            EXPECT_EQ(SjisToUtf8(question->told[0]).rfind(c.why, 0), 0u) << SjisToUtf8(question->told[0]);
        }
    }
    EXPECT_TRUE(question->asked.empty());
    // The accepted proposal starts the game with the chosen side, flipped for gote.
    dlg->protocol->mode = MODE_FREE;
    turnDialog->side = GOTE;
    Click(ButtonPoint(8));
    EXPECT_EQ(dlg->Mode(), MODE_GAME);
    EXPECT_EQ(dlg->MySide(), GOTE);
    EXPECT_EQ(dlg->Flipped(), 1);
    EXPECT_EQ(dlg->board.flip, 1);
    EXPECT_FALSE(dlg->MenuAction(ID_EDIT)->isEnabled());
}

TEST_F(Commands, ResignOnlyOnTheOwnTurnAndOnlyOnYes) {
    FakeLink* link = StartConnectedGame(SENTE);
    question->answer = 2;
    Click(ButtonPoint(9));
    EXPECT_EQ(dlg->Mode(), MODE_GAME);
    EXPECT_TRUE(link->sent.empty());
    dlg->protocol->mySide = GOTE;  // not the own turn: not even asked, but told why
    Click(ButtonPoint(9));
    EXPECT_EQ(question->asked.size(), 1u);
    ASSERT_EQ(question->told.size(), 1u);
    EXPECT_EQ(SjisToUtf8(question->told[0]).rfind("相手の手番です。", 0), 0u);
    dlg->protocol->mySide = SENTE;
    question->answer = 1;
    Click(ButtonPoint(9));
    EXPECT_EQ(question->asked.size(), 2u);
    EXPECT_EQ(dlg->Mode(), MODE_FREE);
    ASSERT_EQ(link->sent.size(), 1u);
    EXPECT_EQ(link->sent[0].type, PKT_MOVE);
    ASSERT_NE(LastMove(), nullptr);
    EXPECT_EQ(LastMove()->status, MS_RESIGN);
    EXPECT_EQ(LastMove()->number, 1);
    // The settings button works in any mode.
    for (int mode : {MODE_FREE, MODE_GAME, MODE_WATCHING}) {
        dlg->protocol->mode = mode;
        Click(ButtonPoint(10));
    }
    EXPECT_EQ(settingsDialog->runs, 3);
}

TEST_F(Commands, TurnLabelsShowWhatEachSideReaches) {
    dlg->TakeRepaintLog();
    EXPECT_EQ(dlg->HitTestClick(QPoint(500, 150)), 1);  // right label: sente
    // Sente's pawns reach rank 6: a yellow outline on 5六, until the next redraw.
    const QPoint s = SquarePoint(5, 6) - QPoint(14, 0);
    EXPECT_EQ(QColor(dlg->ScreenImage().pixel(s)), QColor(255, 255, 0));
    EXPECT_FALSE(dlg->TakeRepaintLog().empty());
    dlg->Redraw(false);
    EXPECT_NE(QColor(dlg->ScreenImage().pixel(s)), QColor(255, 255, 0));
    // Left label: gote's reach in cyan, on 5四.
    EXPECT_EQ(dlg->HitTestClick(QPoint(60, 150)), 1);
    EXPECT_EQ(QColor(dlg->ScreenImage().pixel(SquarePoint(5, 4) - QPoint(13, 0))), QColor(0, 255, 255));
}

TEST_F(Commands, FlipTurnsTheViewAndTheFrame) {
    const QImage before = dlg->BackBuffer().copy();
    const KomaRec& lance = dlg->board.GetPiece(21);  // gote's lance on 9一
    dlg->OnCommand(ID_FLIP);
    EXPECT_EQ(dlg->Flipped(), 1);
    EXPECT_EQ(dlg->board.flip, 1);
    EXPECT_EQ(QPoint(lance.x, lance.y), QPoint(389, 259));
    EXPECT_NE(dlg->BackBuffer(), before);
    dlg->OnCommand(ID_FLIP);
    EXPECT_EQ(QPoint(lance.x, lance.y), QPoint(141, 11));
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
    // At set-up only the edit commands are off; eight commands and two separators.
    QList<QAction*> actions = dlg->PopupMenu()->actions();
    EXPECT_EQ(actions.size(), 10);
    for (QAction* a : actions)
        EXPECT_EQ(a->isEnabled(), a->isSeparator() || (a->data().toInt() != ID_EDIT && a->data().toInt() != ID_EDIT_END))
            << a->text().toStdString();
    struct Toggle {
        int id;
        const char* textAfter;
        int kifuShowCmd;
    } toggles[] = {{ID_KIFU_WINDOW, "棋譜窓を表示", HIDE_RECORD_WINDOW},
                   {ID_KIFU_WINDOW, "棋譜窓を消す", SHOW_RECORD_WINDOW},
                   {ID_LOG_WINDOW, "ログ窓を消す", SHOW_RECORD_WINDOW},
                   {ID_LOG_WINDOW, "ログ窓を表示", SHOW_RECORD_WINDOW}};
    for (const Toggle& t : toggles) {
        dlg->OnCommand(t.id);
        EXPECT_EQ(dlg->MenuAction(t.id)->text(), QString::fromUtf8(t.textAfter));
        EXPECT_EQ(dlg->KifuShowCmd(), t.kifuShowCmd) << t.textAfter;
    }
    dlg->OnCommand(ID_EDIT);
    EXPECT_EQ(dlg->Mode(), MODE_EDIT);
    EXPECT_FALSE(dlg->MenuAction(ID_EDIT)->isEnabled());
    EXPECT_TRUE(dlg->MenuAction(ID_EDIT_END)->isEnabled());
}

TEST_F(Commands, OnlyExitEndsTheWindow) {
    dlg->close();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QTest::keyClick(dlg.get(), Qt::Key_F4, Qt::AltModifier);
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
    dlg->protocol->connState = CONN_HOST;
    profile.SetHandleName("me");
    input->setText(QStringLiteral("hi"));
    QTest::keyClick(input, Qt::Key_Return);
    ASSERT_EQ(listenLink.sent.size(), 1u);
    EXPECT_EQ(listenLink.sent[0].type, PKT_CHAT);
    EXPECT_EQ(listenLink.sent[0].text, "me>hi");
    EXPECT_EQ(LastChatLine(), "me>hi");
    EXPECT_TRUE(dlg->isVisible());  // Enter did not close the window

    // Typing and pasting stop where name + ">" + text would outgrow a packet.
    const std::string longName(248, 'n');  // leaves 4 bytes
    profile.SetHandleName(longName);
    input->insert(QStringLiteral("あいう"));  // a paste of 6 bytes: refused
    EXPECT_TRUE(input->text().isEmpty());
    input->insert(QStringLiteral("あ"));
    QTest::keyClicks(input, QStringLiteral("xyz"));
    EXPECT_EQ(input->text(), QStringLiteral("あxy"));
    QTest::keyClick(input, Qt::Key_Return);
    ASSERT_EQ(listenLink.sent.size(), 2u);
    EXPECT_EQ(listenLink.sent[1].text, longName + ">" + Utf8ToSjis("あxy"));
}

// Events from the other side are told in the balloon and kept in the chat
// log; chat lines are told once while the log window stays hidden.
TEST_F(Commands, NoticesOfTheOtherSide) {
    profile.SetHandleName("me");
    StartConnectedGame(GOTE);
    auto receive = [this](uint8_t type, const std::string& text) {
        connectLink.lastType = type;
        connectLink.lastText = Utf8ToSjis(text);
        dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 1);
    };
    receive(PKT_MOVE, "   1 投了");
    EXPECT_EQ(dlg->Mode(), MODE_FREE);
    ASSERT_EQ(question->told.size(), 1u);
    EXPECT_EQ(SjisToUtf8(question->told[0]), "相手が投了しました。\r\nあなたの勝ちです。");
    EXPECT_EQ(SjisToUtf8(LastChatLine()), "◆相手が投了しました。あなたの勝ちです。");

    struct Step {
        const char* action;  // "chat" a line from the other side, "show"/"hide" the log
        size_t told;         // notices so far
    } steps[] = {{"chat", 2}, {"chat", 2}, {"show", 2}, {"chat", 2}, {"hide", 2}, {"chat", 3}};
    for (const Step& s : steps) {
        const std::string a = s.action;
        if (a == "chat")
            receive(PKT_CHAT, "host>hi");
        else
            dlg->OnCommand(ID_LOG_WINDOW);
        EXPECT_EQ(question->told.size(), s.told) << a;
    }
    EXPECT_EQ(LastChatLine(), "host>hi");
}

TEST_F(Commands, WindowDragByTheMarginMovesAndRemembers) {
    profile.WindowX() = 0;
    profile.WindowY() = 0;
    QWidget* kifu = dlg->kifuWnd->Window();
    const QPoint kifuAt = kifu->pos();
    QTest::mousePress(dlg.get(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 350));
    EXPECT_EQ(dlg->dragging, 1);
    const QPoint pointer = dlg->mapToGlobal(QPoint(45, 370));
    QTest::mouseMove(dlg.get(), QPoint(45, 370));
    // The window has moved under the pointer; the pointer stays where it is.
    QTest::mouseRelease(dlg.get(), Qt::LeftButton, Qt::NoModifier, dlg->mapFromGlobal(pointer));
    EXPECT_EQ(dlg->dragging, 0);
    EXPECT_EQ(dlg->pos(), QPoint(40, 20));
    EXPECT_EQ(QPoint(profile.WindowX(), profile.WindowY()), dlg->pos());
    EXPECT_EQ(kifu->pos(), kifuAt + QPoint(40, 20));  // the record window came along
    // The strip's inside never starts a drag.
    QTest::mousePress(dlg.get(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 390));
    EXPECT_EQ(dlg->dragging, 0);
    QTest::mouseRelease(dlg.get(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 390));
}

}  // namespace
}  // namespace ravu::test
