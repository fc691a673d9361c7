// Board input with the mouse: two clicks pick up and put down; what each
// click sequence records and sends.
#include <QPushButton>
#include <QTimer>

#include <memory>

#include "main_test_support.h"
#include "ui/promote_dlg.h"

namespace ravu::test {
namespace {

using BoardInput = MainWindowTest;

TEST_F(BoardInput, TwoClicksMoveAPawnRecordAndSendIt) {
    FakeLink* link = StartConnectedGame(SENTE);
    Click(SquarePoint(7, 7));
    EXPECT_EQ(dlg->board.HeldPiece(), 6);  // sente's pawn on 7七
    Click(SquarePoint(7, 6));
    EXPECT_EQ(dlg->board.HeldPiece(), -1);
    EXPECT_EQ(dlg->board.PieceAt(7, 6), 6);
    EXPECT_EQ(dlg->board.PieceAt(7, 7), -1);
    ASSERT_NE(LastMove(), nullptr);
    EXPECT_EQ(Row(*LastMove()), (std::vector<int>{1, SENTE, PT_FU, 7, 7, 7, 6, 0, MS_MOVE}));
    EXPECT_EQ(dlg->SideToMove(), GOTE);
    EXPECT_EQ(dlg->Mode(), MODE_GAME);
    ASSERT_EQ(link->sent.size(), 1u);
    EXPECT_EQ(link->sent[0].type, PKT_MOVE);
    EXPECT_EQ(link->sent[0].text, MoveText(SENTE, 1, 77, 76, PT_FU));
    // Start line and the move, the move selected.
    EXPECT_EQ(ListLines(), (std::vector<std::string>{ListLines().at(0), link->sent[0].text}));
    EXPECT_EQ(SelectedLine(), 1);
}

TEST_F(BoardInput, ClicksThatMustNotPickAnythingUp) {
    struct Case {
        const char* what;
        int mode, connState, mySide;
        QPoint at;
    } cases[] = {
        {"opponent's piece", MODE_GAME, CONN_GUEST, SENTE, SquarePoint(3, 3)},
        {"own piece, not my turn", MODE_GAME, CONN_GUEST, GOTE, SquarePoint(7, 7)},
        {"no peer connected", MODE_GAME, CONN_NONE, SENTE, SquarePoint(7, 7)},
        {"no game", MODE_FREE, CONN_GUEST, SENTE, SquarePoint(7, 7)},
        {"watching", MODE_WATCHING, CONN_GUEST, SENTE, SquarePoint(7, 7)},
        {"edit mode", MODE_EDIT, CONN_GUEST, SENTE, SquarePoint(7, 7)},
        {"empty square", MODE_GAME, CONN_GUEST, SENTE, SquarePoint(5, 5)},
    };
    for (const Case& c : cases) {
        dlg->board.Reset();
        dlg->record.ClearRecord();
        dlg->protocol->mode = c.mode;
        dlg->protocol->connState = c.connState;
        dlg->protocol->mySide = c.mySide;
        Click(c.at);
        EXPECT_EQ(dlg->board.HeldPiece(), -1) << c.what;
    }
}

TEST_F(BoardInput, RefusedDropsPutThePieceBackAndRecordNothing) {
    struct Case {
        const char* what;
        QPoint from, to;
    } cases[] = {
        {"two squares for a pawn", SquarePoint(7, 7), SquarePoint(7, 5)},
        {"onto an own piece", SquarePoint(8, 8), SquarePoint(7, 7)},
        {"outside the board", SquarePoint(7, 7), QPoint(60, 60)},
        {"on the frame", SquarePoint(7, 7), QPoint(135, 150)},
    };
    for (const Case& c : cases) {
        FakeLink* link = StartConnectedGame(SENTE);
        const int piece = dlg->board.HitTest(c.from.x(), c.from.y());
        const KomaRec before = dlg->board.GetPiece(piece);
        Click(c.from);
        ASSERT_EQ(dlg->board.HeldPiece(), piece) << c.what;
        Click(c.to);
        EXPECT_EQ(dlg->board.HeldPiece(), -1) << c.what;
        const KomaRec& a = dlg->board.GetPiece(piece);
        EXPECT_EQ((std::vector<int>{a.state, a.file, a.rank, a.x, a.y}),
                  (std::vector<int>{KS_BOARD, before.file, before.rank, before.x, before.y}))
            << c.what;
        EXPECT_EQ(LastMove(), nullptr) << c.what;
        EXPECT_TRUE(link->sent.empty()) << c.what;
    }
}

TEST_F(BoardInput, HeldPieceFollowsThePointerAboveTheStripAndTheRightButtonPutsItBack) {
    StartConnectedGame(SENTE);
    Click(SquarePoint(7, 7));
    const KomaRec& p = dlg->board.GetPiece(6);
    ASSERT_EQ(dlg->board.HeldPiece(), 6);
    dlg->TakeRepaintLog();
    MoveMouse(QPoint(250, 200));
    const std::vector<QRect> rects = dlg->TakeRepaintLog();
    EXPECT_EQ(QPoint(p.x, p.y), QPoint(235, 185));
    // Exactly the old and the new 30 x 30 areas, never the whole window.
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1], QRect(235, 185, 30, 30));
    EXPECT_EQ(rects[0].size(), QSize(30, 30));
    MoveMouse(QPoint(250, 295));  // over the control strip's height
    EXPECT_TRUE(dlg->TakeRepaintLog().empty());
    EXPECT_EQ(QPoint(p.x, p.y), QPoint(235, 185));
    // The screen shows the piece under the pointer, the buffer does not.
    EXPECT_NE(dlg->ScreenImage().pixel(250, 200), dlg->BackBuffer().pixel(250, 200));
    // The right button cancels the held piece; with none held it opens the menu.
    RightClick(QPoint(300, 200));
    EXPECT_EQ(dlg->board.HeldPiece(), -1);
    EXPECT_EQ(dlg->board.PieceAt(7, 7), 6);
    EXPECT_TRUE(menuOpenedAt.empty());
    RightClick(QPoint(300, 200));
    EXPECT_EQ(menuOpenedAt, std::vector<QPoint>{dlg->mapToGlobal(QPoint(301, 201))});
}

TEST_F(BoardInput, DoubleClickSecondPressIsSwallowed) {
    StartConnectedGame(SENTE);
    Click(SquarePoint(7, 7));
    // The second press of a double click does not put the piece down ...
    QTest::mouseDClick(dlg.get(), Qt::LeftButton, Qt::NoModifier, SquarePoint(7, 6));
    EXPECT_EQ(dlg->board.HeldPiece(), 6);
    Click(SquarePoint(7, 6));
    EXPECT_EQ(dlg->board.PieceAt(7, 6), 6);
    // ... nor pick one up.
    dlg->protocol->mySide = GOTE;
    QTest::mouseDClick(dlg.get(), Qt::LeftButton, Qt::NoModifier, SquarePoint(3, 3));
    EXPECT_EQ(dlg->board.HeldPiece(), -1);
    Click(SquarePoint(3, 3));
    EXPECT_EQ(dlg->board.HeldPiece(), 11);
}

// Runs fn on the first visible promotion dialog once it is open.  The
// caller keeps the returned timer for as long as fn's captures live, so a
// dialog that never opens leaves no timer behind.
[[nodiscard]] std::unique_ptr<QTimer> AnswerPromotion(const std::function<void(CPromoteDlg*)>& fn) {
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [t = timer.get(), fn] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<CPromoteDlg*>(w); d && d->isVisible()) {
                t->stop();
                fn(d);
                return;
            }
    });
    timer->start(5);
    return timer;
}

TEST_F(BoardInput, PromotionQuestionAtTheDestinationAndItsAnswers) {
    for (bool promote : {true, false}) {
        StartConnectedGame(SENTE);
        dlg->board.MoveTo(26, 4, 4);  // sente's silver on 4四 takes the pawn on 4三
        dlg->Redraw(false);
        QPoint dialogAt;
        auto answer = AnswerPromotion([&](CPromoteDlg* d) {
            dialogAt = d->pos();
            EXPECT_EQ(d->PromoteButton()->text(), QStringLiteral("成り"));
            EXPECT_EQ(d->KeepButton()->text(), QStringLiteral("成らず"));
            (promote ? d->PromoteButton() : d->KeepButton())->click();
        });
        Click(SquarePoint(4, 4));
        Click(SquarePoint(4, 3));
        const KomaRec& silver = dlg->board.GetPiece(26);
        EXPECT_EQ((std::vector<int>{silver.file, silver.rank, silver.promoted}), (std::vector<int>{4, 3, promote}));
        // Top-left corner at the centre of the destination square.
        EXPECT_EQ(dialogAt, dlg->mapToGlobal(QPoint(silver.x + 15, silver.y + 15)));
        EXPECT_EQ(dlg->board.GetPiece(12).state, KS_HAND);  // the pawn went to sente's hand
        EXPECT_EQ(dlg->board.GetPiece(12).owner, SENTE);
        ASSERT_NE(LastMove(), nullptr);
        EXPECT_EQ(Row(*LastMove()),
                  (std::vector<int>{1, SENTE, PT_GIN, 4, 4, 4, 3, promote, promote ? MS_PROMOTE : MS_MOVE}));
    }
}

TEST_F(BoardInput, PawnOntoTheLastRankPromotesWithoutAsking) {
    StartConnectedGame(SENTE);
    dlg->board.Capture(20, SENTE);  // gote's lance off 1一
    dlg->board.MoveTo(0, 1, 2);     // sente's pawn on 1二
    dlg->Redraw(false);
    bool asked = false;
    auto answer = AnswerPromotion([&](CPromoteDlg* d) {
        asked = true;
        d->reject();
    });
    Click(SquarePoint(1, 2));
    Click(SquarePoint(1, 1));
    QApplication::processEvents();
    EXPECT_FALSE(asked);
    EXPECT_EQ(dlg->board.GetPiece(0).rank, 1);
    EXPECT_EQ(dlg->board.GetPiece(0).promoted, 1);
}

TEST_F(BoardInput, PieceFromHandDropsOnEmptySquaresOnly) {
    StartConnectedGame(SENTE);
    dlg->board.Capture(32, SENTE);  // a gold in sente's hand
    dlg->Redraw(false);
    const KomaRec& gold = dlg->board.GetPiece(32);
    ASSERT_EQ(QPoint(gold.x, gold.y), QPoint(443, 199));  // bottom hand, gold row
    const QPoint inHand(gold.x + 15, gold.y + 15);
    Click(inHand);
    ASSERT_EQ(dlg->board.HeldPiece(), 32);
    Click(SquarePoint(3, 3));  // occupied: refused, back to the hand
    EXPECT_EQ(dlg->board.HeldPiece(), -1);
    EXPECT_EQ(gold.state, KS_HAND);
    EXPECT_EQ(LastMove(), nullptr);
    Click(inHand);
    Click(SquarePoint(5, 5));
    EXPECT_EQ(dlg->board.PieceAt(5, 5), 32);
    ASSERT_NE(LastMove(), nullptr);
    EXPECT_EQ(Row(*LastMove()), (std::vector<int>{1, SENTE, PT_KIN, 0, 0, 5, 5, 0, MS_MOVE}));
}

TEST_F(BoardInput, TakingTheKingSendsStatusThreeAndEndsTheGame) {
    FakeLink* link = StartConnectedGame(SENTE);
    dlg->board.MoveTo(30, 5, 2);  // sente's gold next to gote's king
    dlg->Redraw(false);
    Click(SquarePoint(5, 2));
    Click(SquarePoint(5, 1));
    ASSERT_NE(LastMove(), nullptr);
    EXPECT_EQ(LastMove()->status, MS_KINGTAKEN);
    ASSERT_EQ(link->sent.size(), 1u);
    EXPECT_EQ(link->sent[0].text, FormatMove(*dlg->record.kifu.current->prev, FMT_LIST));
    EXPECT_EQ(dlg->Mode(), MODE_FREE);
    EXPECT_EQ(dlg->MySide(), 0);
    // The board stays as it was for browsing.
    EXPECT_EQ(dlg->board.PieceAt(5, 1), 39);
    EXPECT_EQ(dlg->board.PieceAt(5, 2), 30);
}

TEST_F(BoardInput, GameEndedFromElsewhereReturnsAHeldPiece) {
    StartConnectedGame(SENTE);
    Click(SquarePoint(7, 7));
    ASSERT_EQ(dlg->board.HeldPiece(), 6);
    dlg->ClearGameState();  // as when the peer's resignation arrives
    // The next click gives the piece back instead of being lost to it ...
    Click(ButtonPoint(3));
    EXPECT_EQ(dlg->board.HeldPiece(), -1);
    EXPECT_EQ(dlg->board.PieceAt(7, 7), 6);
    EXPECT_FALSE(dlg->AutoplayRunning());
    // ... and the control strip works again: button 3 starts the replay.
    Click(ButtonPoint(3));
    EXPECT_TRUE(dlg->AutoplayRunning());
}

TEST_F(BoardInput, GoteAtTheBottomWhenFlipped) {
    StartConnectedGame(GOTE);
    EXPECT_EQ(dlg->Flipped(), 1);
    Click(SquarePoint(3, 3, 1));  // sente moves first
    EXPECT_EQ(dlg->board.HeldPiece(), -1);
    const MoveRec& m = dlg->record.RecordMoveText(MoveText(SENTE, 1, 77, 76, PT_FU));
    ASSERT_EQ(dlg->board.ApplyMove(m, true), 1);
    dlg->Redraw(false);
    Click(SquarePoint(3, 3, 1));
    EXPECT_EQ(dlg->board.HeldPiece(), 11);  // gote's pawn on 3三
    Click(SquarePoint(3, 4, 1));
    EXPECT_EQ(dlg->board.PieceAt(3, 4), 11);
}

}  // namespace
}  // namespace ravu::test
