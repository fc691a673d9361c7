// The window around the board: placement of the record window, minimising,
// the check label, and moves arriving from the peer through the protocol.
#include "main_test_support.h"
#include "ui/promote_dlg.h"
#include "windows_net_fixture.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

namespace ravu::test {
namespace {

using MainWindow = MainWindowTest;

TEST_F(MainWindow, RecordWindowSitsAtTheRightEdgeAndFollowsItsSwitch) {
    QWidget* kifu = dlg->kifuWnd->Window();
    ASSERT_NE(kifu, nullptr);
    dlg->hide();
    profile.WindowX() = 120;
    profile.WindowY() = 60;
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    EXPECT_EQ(dlg->pos(), QPoint(120, 60));
    EXPECT_TRUE(kifu->isVisible());
    EXPECT_EQ(kifu->frameGeometry().right(), dlg->frameGeometry().right());
    EXPECT_EQ(kifu->frameGeometry().top(), 60);

    // Minimising and restoring keeps a hidden record window hidden and a shown one shown.
    for (bool shown : {false, true}) {
        dlg->OnCommand(ID_KIFU_WINDOW);
        EXPECT_EQ(kifu->isVisible(), shown);
        dlg->showMinimized();
        QApplication::processEvents();
        EXPECT_FALSE(kifu->isVisible());
        dlg->showNormal();
        QApplication::processEvents();
        EXPECT_EQ(kifu->isVisible(), shown);
    }

    // Its close box hides it exactly as the menu does.
    EXPECT_TRUE(kifu->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    kifu->windowHandle()->close();  // as the window manager asks
    EXPECT_FALSE(kifu->isVisible());
    EXPECT_EQ(dlg->KifuShowCmd(), HIDE_RECORD_WINDOW);
    EXPECT_EQ(dlg->MenuAction(ID_KIFU_WINDOW)->text(), QStringLiteral("棋譜窓を表示"));
}

TEST_F(MainWindow, ReceivedMovesAreAppliedAndACheckIsShownUntilTheNextRedraw) {
    StartConnectedGame(GOTE);  // the peer plays sente
    const QRect label(CHECK_LABEL_POS, QSize(38, 24));
    const QImage plain = dlg->ScreenImage().copy(label);

    // 7六歩 arrives: applied, recorded, no check.
    connectLink.lastType = PKT_MOVE;
    connectLink.lastText = MoveText(SENTE, 1, 77, 76, PT_FU);
    dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 1);
    EXPECT_EQ(dlg->board.PieceAt(7, 6), 6);
    EXPECT_EQ(dlg->SideToMove(), GOTE);
    EXPECT_EQ(dlg->ScreenImage().copy(label), plain);

    // Put sente's bishop where its next move checks gote's king on 5一.
    dlg->board.MoveTo(34, 7, 7);
    dlg->record.RecordMoveText(MoveText(GOTE, 2, 33, 34, PT_FU));
    dlg->board.ApplyMove(dlg->record.kifu.current->prev->move[0], true);
    connectLink.lastText = MoveText(SENTE, 3, 77, 33, PT_KAKU);
    dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 1);
    ASSERT_EQ(dlg->board.PieceAt(3, 3), 34);
    EXPECT_NE(dlg->ScreenImage().copy(label), plain);  // 王手 shown
    dlg->Redraw(false);
    EXPECT_EQ(dlg->ScreenImage().copy(label), plain);

    // A resignation line from the peer ends the game here too.
    connectLink.lastText = "   4 " + std::string("\x93\x8A\x97\xB9");  // 投了 in Shift-JIS
    dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 1);
    EXPECT_EQ(dlg->Mode(), MODE_FREE);
}

TEST_F(MainWindow, PeerTextsAreNeverRichText) {
    // A guest says hello and is accepted (the balloon answers yes) ...
    listenLink.lastType = PKT_HELLO;
    listenLink.lastText = "peer";
    dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 7);
    ASSERT_EQ(dlg->ConnState(), CONN_HOST);
    EXPECT_TRUE(dlg->ChatInput()->isVisible());
    // ... and sends a line with markup and control characters: it reaches the
    // log as the characters it is made of, on one line.
    listenLink.lastType = PKT_CHAT;
    listenLink.lastText = "peer><b>bold</b>&amp;<img src=x>\r\nfake>\x01\x1b[2J";
    dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 7);
    EXPECT_EQ(LastChatLine().rfind("peer><b>bold</b>&amp;<img src=x>", 0), 0u) << LastChatLine();
    auto* log = dynamic_cast<CChatLogDlg*>(dlg->chatLog.get());
    ASSERT_NE(log, nullptr);
    const QString text = log->LogEdit()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("<b>bold</b>&amp;<img src=x>")));
    EXPECT_FALSE(text.contains(QStringLiteral("\nfake>")));
    for (QChar c : text) EXPECT_TRUE(c == u'\n' || c.unicode() >= 0x20) << int(c.unicode());
    // The host echoes it to every guest.
    ASSERT_FALSE(listenLink.sent.empty());
    EXPECT_EQ(listenLink.sent.back().type, PKT_CHAT);
}

TEST_F(MainWindow, TurnLabelsFollowTheSideToMoveWithoutLeftovers) {
    // What each label place must show: the background with one cell over it.
    auto expected = [this](QPoint at, int cell) {
        QImage img = dlg->Skin().background.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter p(&img);
        p.drawImage(at, dlg->Skin().labels.at(static_cast<size_t>(cell)));
        p.end();
        return img.copy(QRect(at, QSize(38, 24)));
    };
    auto shown = [this](QPoint at) {
        return dlg->BackBuffer().copy(QRect(at, QSize(38, 24)))
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    ASSERT_EQ(dlg->Skin().labels.size(), 5u);
    StartConnectedGame(SENTE);
    EXPECT_EQ(shown(RIGHT_LABEL_POS), expected(RIGHT_LABEL_POS, LABEL_SENTE_LIT));
    EXPECT_EQ(shown(LEFT_LABEL_POS), expected(LEFT_LABEL_POS, LABEL_GOTE));
    Click(SquarePoint(7, 7));
    Click(SquarePoint(7, 6));  // gote to move: the lit label moves to the left
    EXPECT_EQ(shown(RIGHT_LABEL_POS), expected(RIGHT_LABEL_POS, LABEL_SENTE));
    EXPECT_EQ(shown(LEFT_LABEL_POS), expected(LEFT_LABEL_POS, LABEL_GOTE_LIT));
    dlg->OnCommand(ID_FLIP);  // gote now at the bottom, on the right
    EXPECT_EQ(shown(RIGHT_LABEL_POS), expected(RIGHT_LABEL_POS, LABEL_GOTE_LIT));
    EXPECT_EQ(shown(LEFT_LABEL_POS), expected(LEFT_LABEL_POS, LABEL_SENTE));
    dlg->ClearGameState();
    dlg->OnCommand(ID_EDIT);  // in edit mode both are plain whoever is to move
    ASSERT_EQ(dlg->Mode(), MODE_EDIT);
    dlg->Redraw(false);
    EXPECT_EQ(shown(RIGHT_LABEL_POS), expected(RIGHT_LABEL_POS, LABEL_GOTE));
    EXPECT_EQ(shown(LEFT_LABEL_POS), expected(LEFT_LABEL_POS, LABEL_SENTE));
}

TEST_F(MainWindow, CursorsSayWhereTheWindowMovesAndWhenTheUserMayMove) {
    struct Case {
        int mode, mySide;
        QPoint at;
        Qt::CursorShape shape;
    } cases[] = {
        {MODE_WATCHING, SENTE, {5, 350}, Qt::SizeAllCursor},  // drag margin
        {MODE_FREE, SENTE, {300, 340}, Qt::ArrowCursor},      // strip inside
        {MODE_GAME, SENTE, {5, 350}, Qt::BitmapCursor},       // own turn: own-piece cursor anywhere
        {MODE_GAME, GOTE, {300, 100}, Qt::ArrowCursor},       // the opponent's turn
        {MODE_EDIT, GOTE, {300, 100}, Qt::BitmapCursor},
    };
    for (const Case& c : cases) {
        dlg->protocol->mode = c.mode;
        dlg->protocol->mySide = c.mySide;
        MoveMouse(c.at + QPoint(1, 1));  // a move to where the pointer already is is no move
        MoveMouse(c.at);
        EXPECT_EQ(dlg->cursor().shape(), c.shape) << c.mode << " " << c.at.x() << "," << c.at.y();
    }
}

TEST(BrokenSkins, WindowWorksWithUnreadableOrTooSmallPictures) {
    // Files that exist (so the start-up check passes) but are no use.
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("BackBmp.bmp", QByteArray(5000, '\x5a'));
    write("Waku.bmp", QByteArray("BM\x36\x00\x00\x00", 6));  // a header cut short
    QImage tiny(10, 10, QImage::Format_RGB32);
    tiny.fill(Qt::red);
    ASSERT_TRUE(tiny.save(dir.filePath("Koma01.bmp")));  // narrower than one cell

    CProfile profile;
    FakeLink guest, host;
    CMainDlg dlg(profile, dir.path(), guest, host);
    EXPECT_TRUE(dlg.Skin().background.isNull());
    EXPECT_TRUE(dlg.Skin().frames.empty());
    EXPECT_TRUE(dlg.Skin().pieces.empty());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.Redraw(true);
    // The pieces are invisible but the board still plays.
    dlg.protocol->connState = CONN_GUEST;
    dlg.StartGame();
    QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, SquarePoint(7, 7));
    QTest::mouseMove(&dlg, QPoint(200, 200));
    QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, SquarePoint(7, 6));
    EXPECT_EQ(dlg.board.PieceAt(7, 6), 6);
    ASSERT_EQ(guest.sent.size(), 1u);
    EXPECT_FALSE(dlg.ScreenImage().isNull());
}

// A late spectator: the host's acceptance, the switch to watching and the
// game so far come in one burst while the connect dialog is still open.
// All of it must reach the board and the record, and so must later moves.
TEST(LateSpectator, FollowsTheGameFromTheBurstThatAcceptsIt) {
    using testing::HostCopy;
    using testing::Recorder;
    HostCopy host("主人");
    const std::string soFar = MoveText(SENTE, 1, 77, 76, PT_FU) + ";" + MoveText(GOTE, 2, 33, 34, PT_FU) + ";;";
    host.owner.on = [&](const Recorder::Msg& m) {
        if (m.msg != WM_SOCK_PACKET || m.type != PKT_HELLO)
            return;
        host.Send(PKT_ACCEPT, "0", m.wParam);
        host.Send(PKT_OBSERVE, "1", m.wParam);
        host.sock.SendLongText(soFar, m.wParam);
    };
    CProfile profile;
    profile.SetPort(0);  // any free port: this test needs no guests of its own
    profile.SetHost(host.Dest());
    CMainDlg dlg(profile, SkinDir());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto* connect = dynamic_cast<CConnectDlg*>(dlg.connectDlg.get());
    ASSERT_NE(connect, nullptr);
    QTimer::singleShot(0, connect, [connect] { QTest::mouseClick(connect->ConnectButton(), Qt::LeftButton); });
    dlg.HitTestClick(ButtonPoint(7));
    ASSERT_EQ(dlg.ConnState(), CONN_GUEST);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.record.kifu.current && dlg.record.kifu.current->prev &&
                                             dlg.record.kifu.current->prev->move &&
                                             dlg.record.kifu.current->prev->move->number == 2; }));
    EXPECT_EQ(dlg.Mode(), MODE_WATCHING);
    EXPECT_GE(dlg.board.PieceAt(3, 4), 0);
    host.Send(PKT_MOVE, MoveText(SENTE, 3, 27, 26, PT_FU), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.board.PieceAt(2, 6) >= 0; }));
    EXPECT_GE(dlg.board.PieceAt(7, 6), 0);
    EXPECT_EQ(dlg.Mode(), MODE_WATCHING);
}

TEST_F(MainWindow, ChatInputSitsInsideTheStripsDarkGroove) {
    // The groove's edges are bevel lines far darker or lighter than the wood
    // on either side of them; none may run under the input or its surround.
    const QImage& bg = dlg->Skin().background;
    const QRect around = dlg->ChatInput()->geometry().adjusted(-1, -1, 1, 1);
    ASSERT_TRUE(bg.rect().contains(around));
    int edgePixels = 0;
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x) {
            const int grey = qGray(bg.pixel(x, y));
            edgePixels += grey < 30 || grey > 75;
        }
    EXPECT_EQ(edgePixels, 0);
}

TEST_F(MainWindow, FileDialogsOpenCentredOverTheBoardPicture) {
    dlg->move(150, 90);
    for (bool save : {false, true}) {
        QRect shown;
        QTimer::singleShot(0, dlg.get(), [&shown] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            shown = box->geometry();
            box->close();
        });
        EXPECT_TRUE(dlg->RunFileDialog(save).isEmpty());
        EXPECT_EQ(shown.center(), dlg->mapToGlobal(QRect(0, 0, 568, 410).center())) << save;
    }
}

TEST_F(MainWindow, PromotionDialogEscapeMeansDoNotPromote) {
    CPromoteDlg d(dlg.get());
    d.point = QPoint(250, 120);
    QTimer::singleShot(0, &d, [&d] { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_EQ(d.exec(), CPromoteDlg::RESULT_KEEP);
    EXPECT_EQ(d.pos(), dlg->mapToGlobal(QPoint(250, 120)));
}

}  // namespace
}  // namespace ravu::test
