// The main window: clicks on the board and the control strip, the held
// piece, the promotion question, the window's shape, drawing through the
// back buffer, the record window's files and selections.
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include "main_test_support.h"
#include "ui/clock_face.h"
#include "ui/kifu_dlg.h"
#include "ui/promote_dlg.h"

namespace ravu::test {
namespace {

// Clicks that must act on nothing: a piece is picked up only when it is
// the own one, on the own turn, in a connected game, and a refused put-down
// gives it back; strip buttons that cannot act in a state do nothing (the
// replay and file buttons in a game), say why in a notice (8 sides, 9
// resign), or stop at the question or dialog refused.  Nothing is recorded,
// sent or drawn differently, and no file is asked for.
TEST_F(MainWindowTest, ClicksThatActOnNothing) {
    struct Case {
        const char* what;
        int mode, connState, mySide;
        QPoint first, second;
        bool picks;
        const char* told;  // the notice, "" for none
        const char* ran;   // the dialog run or question asked, "" for none
        // clang-format off
    } cases[] = {
        {"opponent's piece", MODE_GAME, CONN_GUEST, SENTE, SquarePoint(3, 3), SquarePoint(3, 4), false, "", ""},
        {"not my turn", MODE_GAME, CONN_GUEST, GOTE, SquarePoint(7, 7), SquarePoint(7, 6), false, "", ""},
        {"no peer", MODE_GAME, CONN_NONE, SENTE, SquarePoint(7, 7), SquarePoint(7, 6), false, "", ""},
        {"no game", MODE_FREE, CONN_GUEST, SENTE, SquarePoint(7, 7), SquarePoint(7, 6), false, "", ""},
        {"watching", MODE_WATCHING, CONN_GUEST, SENTE, SquarePoint(7, 7), SquarePoint(7, 6), false, "", ""},
        {"edit mode", MODE_EDIT, CONN_GUEST, SENTE, SquarePoint(7, 7), SquarePoint(7, 6), false, "", ""},
        {"empty square", MODE_GAME, CONN_GUEST, SENTE, SquarePoint(5, 5), SquarePoint(5, 4), false, "", ""},
        {"onto own piece", MODE_GAME, CONN_GUEST, SENTE, SquarePoint(8, 8), SquarePoint(7, 7), true, "", ""},
        {"off the board", MODE_GAME, CONN_GUEST, SENTE, SquarePoint(7, 7), QPoint(60, 60), true, "", ""},
        {"autoplay", MODE_GAME, CONN_GUEST, SENTE, StripPoint(3), QPoint(), false, "", ""},
        {"open", MODE_GAME, CONN_GUEST, SENTE, StripPoint(5), QPoint(), false, "", ""},
        {"sides", MODE_FREE, CONN_NONE, SENTE, StripPoint(8), QPoint(), false,
         "接続していません。\r\n先に相手に接続してください。", ""},
        {"sides", MODE_FREE, CONN_HOST, SENTE, StripPoint(8), QPoint(), false,
         "先手・後手は\r\n接続してきた相手が申し込みます。", ""},
        {"sides", MODE_GAME, CONN_GUEST, SENTE, StripPoint(8), QPoint(), false, "対局中です。", ""},
        {"sides", MODE_WATCHING, CONN_GUEST, SENTE, StripPoint(8), QPoint(), false, "観戦中は対局を申し込めません。", ""},
        {"sides", MODE_EDIT, CONN_GUEST, SENTE, StripPoint(8), QPoint(), false, "今は対局を申し込めません。", ""},
        {"sides", MODE_FREE, CONN_GUEST, SENTE, StripPoint(8), QPoint(), false, "", "turn"},
        {"resign", MODE_FREE, CONN_GUEST, SENTE, StripPoint(9), QPoint(), false, "対局中ではありません。", ""},
        {"resign", MODE_WATCHING, CONN_GUEST, SENTE, StripPoint(9), QPoint(), false, "観戦中は投了できません。", ""},
        {"resign", MODE_GAME, CONN_GUEST, GOTE, StripPoint(9), QPoint(), false,
         "相手の手番です。\r\n投了は自分の手番にできます。", ""},
        {"resign", MODE_GAME, CONN_GUEST, SENTE, StripPoint(9), QPoint(), false, "", "asked"},
        {"disconnect", MODE_GAME, CONN_GUEST, SENTE, StripPoint(7), QPoint(), false, "", "asked"},
        {"settings", MODE_WATCHING, CONN_GUEST, SENTE, StripPoint(10), QPoint(), false, "", "settings"},
    };
    // clang-format on
    question->answer = 2;
    turnDialog->result = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartConnectedGame(SENTE);
        dlg->protocol->mode = c.mode;
        dlg->protocol->connState = c.connState;
        dlg->protocol->mySide = c.mySide;
        question->told.clear();
        question->asked = 0;
        turnDialog->runs = settingsDialog->runs = 0;
        const QImage before = dlg->ScreenImage();
        Click(c.first);
        EXPECT_EQ(dlg->board.HeldPiece() != -1, c.picks);
        Click(c.second);
        EXPECT_EQ(question->told, *c.told ? std::vector<std::string>{c.told} : std::vector<std::string>{});
        const std::string ran = std::string(turnDialog->runs ? "turn" : "") +
                                (settingsDialog->runs ? "settings" : "") + (question->asked ? "asked" : "");
        EXPECT_EQ(ran, c.ran);
        EXPECT_EQ((std::vector<int>{dlg->Mode(), dlg->ConnState()}), (std::vector<int>{c.mode, c.connState}));
        EXPECT_TRUE(dlg->ScreenImage() == before);
        EXPECT_TRUE(connectLink.sent.empty());
        EXPECT_FALSE(dlg->AutoplayRunning());
        EXPECT_EQ(fileRequests, 0);
    }
}

// The held piece follows the pointer above the strip, repainting exactly its
// old and new 30 x 30 areas; the right button puts it back, and with none
// held opens the menu.  A game ended from elsewhere (the peer resigned) gives
// a held piece back at the next click instead of losing the click to it.
TEST_F(MainWindowTest, HeldPieceFollowsThePointerAndGoesBack) {
    StartConnectedGame(SENTE);
    const QImage start = dlg->ScreenImage();
    Click(SquarePoint(7, 7));
    dlg->TakeRepaintLog();
    QTest::mouseMove(dlg.get(), QPoint(250, 200));
    EXPECT_EQ(dlg->TakeRepaintLog(), (std::vector<QRect>{QRect(203, 197, 30, 30), QRect(235, 185, 30, 30)}));
    QTest::mouseMove(dlg.get(), QPoint(250, 295));  // over the control strip's height
    EXPECT_TRUE(dlg->TakeRepaintLog().empty());
    // The screen shows the piece under the pointer, the buffer does not.
    EXPECT_NE(dlg->ScreenImage().pixel(250, 200), dlg->BackBuffer().pixel(250, 200));
    Click(QPoint(300, 200), Qt::RightButton);
    EXPECT_EQ(dlg->board.PieceAt(7, 7), 6);
    EXPECT_TRUE(dlg->ScreenImage() == start);
    Click(QPoint(300, 200), Qt::RightButton);
    EXPECT_EQ(menuOpenedAt, std::vector<QPoint>{dlg->mapToGlobal(QPoint(301, 201))});

    Click(SquarePoint(7, 7));
    dlg->ClearGameState();
    Click(StripPoint(3));  // gives the piece back; then the strip works again: 3 starts the replay
    EXPECT_FALSE(dlg->AutoplayRunning());
    Click(StripPoint(3));
    EXPECT_TRUE(dlg->AutoplayRunning() && dlg->board.PieceAt(7, 7) == 6);
}

// A move into the zone asks at the destination square; 成り, 成らず and Esc
// (= 成らず) decide the move sent.
TEST_F(MainWindowTest, PromotionQuestionAtTheDestination) {
    for (int answer : {CPromoteDlg::RESULT_PROMOTE, CPromoteDlg::RESULT_KEEP, 0}) {  // 0: Esc
        StartConnectedGame(SENTE);
        dlg->board.MoveTo(26, 4, 4);  // sente's silver on 4四 takes the pawn on 4三
        QPoint dialogAt;
        QTimer::singleShot(0, dlg.get(), [&] {
            auto* d = qobject_cast<CPromoteDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            dialogAt = d->pos();
            if (answer == 0)
                QTest::keyClick(d, Qt::Key_Escape);
            else
                (answer == CPromoteDlg::RESULT_PROMOTE ? d->PromoteButton() : d->KeepButton())->click();
        });
        Click(SquarePoint(4, 4));
        Click(SquarePoint(4, 3));
        EXPECT_EQ(dialogAt, dlg->mapToGlobal(SquarePoint(4, 3)));
        const char* sent = answer == CPromoteDlg::RESULT_PROMOTE ? "   1 ４三銀成(44) " : "   1 ４三銀(44) ";
        const std::vector<CFakeLink::Sent> moves = connectLink.Take();
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(std::pair(moves[0].type, moves[0].text), std::pair(uint8_t(PKT_MOVE), Utf8ToSjis(sent)));
    }
}

// Strip buttons are 40 x 40 at x = 33 + 42 i, y = 320; the strip outside its
// inside is the drag margin.
TEST_F(MainWindowTest, StripButtonsAndDragMargin) {
    struct Case {
        QPoint p;
        int button, inMargin;
        // clang-format off
    } cases[] = {
        {{33, 320}, 0, 0},   {{72, 359}, 0, 0},   {{73, 340}, -1, 0},  {{75, 340}, 1, 0},   {{32, 340}, -1, 0},
        {{33, 319}, -1, 0},  {{33, 360}, -1, 0},  {{492, 359}, 10, 0}, {{495, 340}, -1, 0}, {{20, 350}, -1, 1},
        {{21, 350}, -1, 0},  {{549, 350}, -1, 0}, {{550, 350}, -1, 1}, {{567, 350}, -1, 1}, {{568, 350}, -1, 0},
        {{300, 309}, -1, 0}, {{300, 310}, -1, 1}, {{300, 314}, -1, 1}, {{300, 315}, -1, 0}, {{300, 406}, -1, 0},
        {{300, 407}, -1, 1}, {{300, 409}, -1, 1}, {{300, 410}, -1, 0}, {{300, 100}, -1, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<int>(StripButtonAt(c.p)), c.button) << c.p.x() << "," << c.p.y();
        EXPECT_EQ(dlg->InDragMargin(c.p), c.inMargin) << c.p.x() << "," << c.p.y();
    }
}

// The back buffer holds the background with the turn labels (lit for the
// side to move, plain in edit mode, gote's at the right when flipped), the
// frame and the pieces.
TEST_F(MainWindowTest, TurnLabelsInTheBackBuffer) {
    // The label place shows the background with the label cell drawn over it.
    auto shows = [this](QPoint at, int cell) {
        QImage img = dlg->Skin().background.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter(&img).drawImage(at, dlg->Skin().labels.at(static_cast<size_t>(cell)));
        return img.copy(QRect(at, QSize(38, 24))) == dlg->BackBuffer().copy(QRect(at, QSize(38, 24)));
    };
    struct Step {
        int command;  // 0: a move ▲7六歩
        int right, left;
    } steps[] = {{ID_START, LABEL_SENTE_LIT, LABEL_GOTE},
                 {0, LABEL_SENTE, LABEL_GOTE_LIT},
                 {ID_FLIP, LABEL_GOTE_LIT, LABEL_SENTE},
                 {ID_EDIT, LABEL_GOTE, LABEL_SENTE}};
    dlg->protocol->connState = CONN_GUEST;
    for (const Step& s : steps) {
        if (s.command) {
            dlg->OnCommand(s.command);
        } else {
            Click(SquarePoint(7, 7));
            Click(SquarePoint(7, 6));
        }
        dlg->Redraw(false);
        EXPECT_TRUE(shows(RIGHT_LABEL_POS, s.right)) << s.command;
        EXPECT_TRUE(shows(LEFT_LABEL_POS, s.left)) << s.command;
    }
    // A click on a turn label marks what that side reaches, until the next redraw.
    Click(RIGHT_LABEL_CLICK.center());
    EXPECT_NE(dlg->ScreenImage(), dlg->BackBuffer());
    dlg->Redraw(false);
    EXPECT_EQ(dlg->ScreenImage(), dlg->BackBuffer());
}

// A clock shows its main time as m:ss and then the byoyomi's seconds, a
// started second counted in full; the warning counts the last ten seconds
// that end the game, so not the main time of a byoyomi game.
TEST(ClockFaceTest, TextAndWarningSecond) {
    struct Case {
        ClockShow show;
        TimeKind kind;
        const char* text;
        int warning;
        // clang-format off
    } cases[] = {
        {{600000, 0, false, false}, TimeKind::SuddenDeath, "10:00", 0},
        {{5400000, 0, false, false}, TimeKind::Increment, "90:00", 0},
        {{10001, 0, false, false}, TimeKind::SuddenDeath, "0:11", 0},
        {{10000, 0, false, false}, TimeKind::SuddenDeath, "0:10", 10},
        {{1, 0, false, false}, TimeKind::Increment, "0:01", 1},
        {{5000, 30000, false, false}, TimeKind::Byoyomi, "0:05", 0},
        {{0, 29001, true, false}, TimeKind::Byoyomi, "30秒", 0},
        {{0, 3200, true, false}, TimeKind::Byoyomi, "4秒", 4},
        {{0, 0, true, true}, TimeKind::Byoyomi, "0秒", 0},
        {{0, 0, false, true}, TimeKind::SuddenDeath, "0:00", 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(ClockText(c.show), QString::fromUtf8(c.text)) << c.text;
        EXPECT_EQ(WarningSecond(c.show, c.kind), c.warning) << c.text;
    }
}

// The clock plates come with a game or a watched game that has a time
// control, the side to move's lit and their timer running, and widen the
// window's shape; a game without a time control and every other mode have
// none.
TEST_F(MainWindowTest, ClocksShownWhileATimedGameRuns) {
    struct Step {
        const char* what;
        TimeKind kind;
        int mode;
        bool shown;
    } steps[] = {{"timed game", TimeKind::Byoyomi, MODE_GAME, true},
                 {"watched", TimeKind::Byoyomi, MODE_WATCHING, true},
                 {"after the game", TimeKind::Byoyomi, MODE_FREE, false},
                 {"edit", TimeKind::Byoyomi, MODE_EDIT, false},
                 {"untimed game", TimeKind::None, MODE_GAME, false}};
    dlg->protocol->OnGuestConnected(dlg->protocol->CapsText());
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        dlg->protocol->proposal.time = TimeControl{s.kind, s.kind == TimeKind::None ? 0 : 600000, 30000, 0};
        dlg->protocol->OnTurnAccepted(SENTE);
        dlg->protocol->mode = s.mode;
        dlg->Redraw(false);
        EXPECT_EQ(dlg->ClocksShown(), s.shown);
        EXPECT_EQ(dlg->ClockRunning(), s.shown);
        EXPECT_EQ(dlg->mask().contains(RIGHT_CLOCK_PLATE.center()), s.shown);
        if (s.shown) {
            // Sente to move, shown at the bottom (right).
            EXPECT_EQ(dlg->Clock(true), (ClockFace{QStringLiteral("10:00"), true}));
            EXPECT_EQ(dlg->Clock(false), (ClockFace{QStringLiteral("10:00"), false}));
        }
    }
}

// 入玉宣言 is offered in a strict game on the own turn only; declaring
// without the points says why and the game goes on.
TEST_F(MainWindowTest, DeclarationOnTheOwnTurnOfAStrictGame) {
    struct Case {
        Rules rules;
        int side;
        bool offered;
    } cases[] = {{Rules::Strict, SENTE, true}, {Rules::Strict, GOTE, false}, {Rules::Free, SENTE, false}};
    dlg->protocol->OnGuestConnected(dlg->protocol->CapsText());
    for (const Case& c : cases) {
        dlg->protocol->proposal.rules = c.rules;
        dlg->protocol->OnTurnAccepted(c.side);
        EXPECT_EQ(dlg->MenuAction(ID_DECLARE)->isEnabled(), c.offered);
        question->told.clear();
        dlg->OnCommand(ID_DECLARE);
        EXPECT_EQ(question->told.size(), c.offered ? 1u : 0u);
        EXPECT_TRUE(!c.offered || question->told[0].starts_with("入玉宣言の条件を\r\n満たしていません。"));
        EXPECT_EQ(dlg->Mode(), MODE_GAME);
    }
}

// A file that is not a record, or a save that cannot be written, is named in
// a message; the record and the board stay as they were.
TEST_F(MainWindowTest, FilesThatFailAreNamed) {
    QTemporaryDir dir;
    const QString junk = dir.filePath("random.kif");
    ASSERT_TRUE(WriteFile(junk, QByteArray("\x89PNG\r\n\x1a\n").repeated(512)));
    QString chosen = junk;
    dlg->chooseFile = [&](bool) { return chosen; };
    const QImage before = dlg->ScreenImage();
    Click(StripPoint(5));
    chosen = dir.path();  // a folder cannot be written as a file
    Click(StripPoint(6));
    EXPECT_EQ(messages, (std::vector<QString>{"棋譜ファイルを読み込めませんでした。\n" + junk,
                                              "棋譜ファイルを保存できませんでした。\n" + dir.path()}));
    EXPECT_EQ(dlg->record.kifu.header.title, Utf8ToSjis("無題"));
    EXPECT_TRUE(dlg->ScreenImage() == before);
}

// A record file dropped on the record window loads when its name ends in
// .kif, .kifu or .txt (any case), never during a game; the user's selections in the
// record window's list and tree and the strip's replay buttons move the
// board, only outside a game.
TEST_F(MainWindowTest, RecordWindowFilesAndSelections) {
    QTemporaryDir dir;
    RecordMoves({{77, 76}, {33, 34}, {27, 26}});  // ▲7六歩 △3四歩 ▲2六歩
    ASSERT_TRUE(dlg->record.SaveKif(QFile::encodeName(dir.filePath("game.kif")).toStdString()));
    auto* kifu = dynamic_cast<CKifuDlg*>(dlg->kifuWnd.get());
    auto drop = [&](const char* name, int mode) {
        QFile::copy(dir.filePath("game.kif"), dir.filePath(name));
        dlg->ResetGame();
        dlg->protocol->mode = mode;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(dir.filePath(name))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(kifu, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(kifu, &drop);
        return kifu->MoveList()->count();
    };
    EXPECT_EQ((std::vector<int>{drop("a.TXT", MODE_FREE), drop("b.kifu", MODE_FREE), drop("c", MODE_FREE),
                                drop("game.kif", MODE_GAME), drop("d.Kif", MODE_FREE)}),
              (std::vector<int>{4, 4, 0, 0, 4}));
    QTreeWidgetItem* top = kifu->Tree()->topLevelItem(0);  // the main line's moves are its children
    struct Step {
        int mode, listRow, treeChild, button;  // the one of the last three that is not -1
        int pawn33Rank, pawn77Rank;            // where the two first movers stand afterwards
    } steps[] = {{MODE_FREE, 2, -1, -1, 4, 6}, {MODE_FREE, 0, -1, -1, 3, 7}, {MODE_FREE, 1, -1, -1, 3, 6},
                 {MODE_FREE, -1, 1, -1, 4, 6}, {MODE_FREE, -1, -1, 0, 3, 7}, {MODE_FREE, -1, -1, 2, 3, 6},
                 {MODE_FREE, -1, -1, 2, 4, 6}, {MODE_FREE, -1, -1, 1, 3, 6}, {MODE_GAME, 3, -1, -1, 3, 6},
                 {MODE_GAME, -1, 2, -1, 3, 6}};
    for (const Step& s : steps) {
        dlg->protocol->mode = s.mode;
        if (s.listRow >= 0)
            kifu->MoveList()->setCurrentRow(s.listRow);
        if (s.treeChild >= 0)
            kifu->Tree()->setCurrentItem(top->child(s.treeChild));
        if (s.button >= 0)
            Click(StripPoint(s.button));
        EXPECT_EQ(dlg->board.GetPiece(11).rank, s.pawn33Rank) << &s - steps;
        EXPECT_EQ(dlg->board.GetPiece(6).rank, s.pawn77Rank) << &s - steps;
    }
    // A line the program itself selects (the record following the board) is
    // not taken for the user's choice: the board stays.
    dlg->protocol->mode = MODE_FREE;
    kifu->MoveList()->SelectLine(0);
    EXPECT_EQ(dlg->board.GetPiece(6).rank, 6);
}

// A file named on the command line or handed over by a second copy loads
// as the open command loads it; in a game the character says it cannot be
// opened, and a file that cannot be read is named in a message.
TEST_F(MainWindowTest, GivenFilesOpenOutsideAGame) {
    QTemporaryDir dir;
    RecordMoves({{77, 76}, {33, 34}});
    const QString game = dir.filePath("given.kif");
    ASSERT_TRUE(dlg->record.SaveKif(QFile::encodeName(game).toStdString()));
    auto* kifu = dynamic_cast<CKifuDlg*>(dlg->kifuWnd.get());
    struct Case {
        const char* what;
        int mode;
        QString path;
        int rows;          // the move list afterwards
        const char* told;  // the character's notice, "" for none
        QString message;   // the message box, empty for none
    } cases[] = {
        {"free", MODE_FREE, game, 3, "", ""},
        {"in a game", MODE_GAME, game, 0, "対局中は棋譜を開けません。\r\ngiven.kif", ""},
        {"gone", MODE_FREE, dir.filePath("gone.kif"), 0, "",
         QStringLiteral("棋譜ファイルを読み込めませんでした。\n") + dir.filePath("gone.kif")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dlg->ResetGame();
        dlg->protocol->mode = c.mode;
        question->told.clear();
        messages.clear();
        dlg->OpenGivenFile(c.path);
        EXPECT_EQ(kifu->MoveList()->count(), c.rows);
        EXPECT_EQ(question->told, *c.told ? std::vector<std::string>{c.told} : std::vector<std::string>{});
        EXPECT_EQ(messages, c.message.isEmpty() ? std::vector<QString>{} : std::vector<QString>{c.message});
    }
}

// A handicap record is shown and replayed on its own start: the pieces
// 上手 plays without are nowhere, and its first move is gote's.
TEST_F(MainWindowTest, HandicapRecordReplaysOnItsStart) {
    QTemporaryDir dir;
    const QString kif = dir.filePath("h.kif");
    ASSERT_TRUE(WriteFile(kif, "手合割：二枚落ち\r\n   1 ６二銀(71)\r\n   2 ７六歩(77)\r\n"));
    dlg->LoadKifuFile(kif);
    auto* kifu = dynamic_cast<CKifuDlg*>(dlg->kifuWnd.get());
    EXPECT_TRUE(kifu->Tree()->topLevelItem(0)->child(0)->text(0).contains(QStringLiteral("▽")));
    auto rookAndSilver = [&] { return std::pair{dlg->board.PieceAt(8, 2), dlg->board.PieceAt(6, 2) >= 0}; };
    EXPECT_EQ(rookAndSilver(), std::pair(-1, false));  // loaded: the start
    kifu->MoveList()->setCurrentRow(1);
    EXPECT_EQ(rookAndSilver(), std::pair(-1, true));
    Click(StripPoint(0));
    EXPECT_EQ(rookAndSilver(), std::pair(-1, false));
}

// A file read in part says where it stopped and what it kept as references;
// saving such a record as .kif offers .kifu, in which the characters return.
TEST_F(MainWindowTest, RecordFileMessagesAndKifuQuestion) {
    QTemporaryDir dir;
    const QString kif = dir.filePath("a.kif"), kifu = dir.filePath("a.kifu");
    ASSERT_TRUE(WriteFile(kif, "先手：𠮷\r\n   1 ７六歩(77)\r\n   1 ３四歩(33)\r\n"));
    dlg->LoadKifuFile(kif);
    EXPECT_EQ(messages, std::vector<QString>{
                            "棋譜ファイルを途中までしか読み込めませんでした。\n" + kif +
                            "\n3 行目：   1 ３四歩(33)\nShift-JIS にない文字 1 個を &#x…; の形で残しました。"
                            ".kifu で保存すると元の文字に戻ります。"});
    dlg->chooseFile = [&](bool) { return kif; };
    for (int answer : {2, 1}) {
        question->answer = answer;
        Click(StripPoint(6));
    }
    EXPECT_EQ(question->asked, 2);
    EXPECT_TRUE(ReadFile(kif).contains(Utf8ToSjis("先手：&#x20BB7;\r\n").c_str()));
    EXPECT_TRUE(ReadFile(kifu).contains("先手：𠮷\r\n"));
    EXPECT_EQ(messages.size(), 1u);
}

// The record goes to the clipboard as KIF text and comes back from it; the
// board goes as SFEN; text that is no record, or a paste during a game,
// leaves the record as it was.
TEST_F(MainWindowTest, RecordAndPositionThroughTheClipboard) {
    RecordMoves({{77, 76}, {33, 34}});  // ▲7六歩 △3四歩
    dlg->OnCommand(ID_COPY_POSITION);
    EXPECT_EQ(QApplication::clipboard()->text(),
              "lnsgkgsnl/1r5b1/pppppp1pp/6p2/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL b - 3");
    dlg->OnCommand(ID_COPY_RECORD);
    const QString kif = QApplication::clipboard()->text();
    EXPECT_TRUE(kif.contains("   2 ３四歩(33)")) << kif.toStdString();
    dlg->ResetGame();
    for (const QString& text : {QStringLiteral("no record"), kif}) {
        QApplication::clipboard()->setText(text);
        dlg->OnCommand(ID_PASTE_RECORD);
    }
    EXPECT_EQ(MainLine(dlg->record), "   1 ７六歩(77) ;   2 ３四歩(33) ;;");
    EXPECT_EQ(messages, std::vector<QString>{"貼り付けた文字列は棋譜として読めませんでした。"});
    StartConnectedGame(SENTE);
    dlg->OnCommand(ID_PASTE_RECORD);
    EXPECT_EQ(dlg->Mode(), MODE_GAME);
}

}  // namespace
}  // namespace ravu::test
