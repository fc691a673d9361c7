// Two main windows in one process play over loopback with their real
// sockets, protocol and connect and turn dialogs: the guest connects, the
// host accepts, sides are agreed, moves made by clicks reach the other board,
// a resignation ends the game on both.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

#include "main_test_support.h"
#include "net/connect_dlg.h"
#include "net/game_socket.h"
#include "net/turn_dlg.h"

namespace ravu::test {
namespace {

// Runs the event loop until cond holds or ms have passed.
bool WaitFor(const std::function<bool()>& cond, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return cond();
}

// Calls fn once a visible top-level widget of type T exists.
template <typename T>
void WhenOpen(std::function<void(T*)> fn) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<T*>(w); d && d->isVisible()) {
                timer->stop();
                timer->deleteLater();
                fn(d);
                return;
            }
    });
    timer->start(10);
}

struct Copy {
    explicit Copy(const char* name) {
        profile.SetHandleName(name);
        profile.SetPort(0);  // any free port
        dlg = std::make_unique<CMainDlg>(profile, SkinDir());
        auto q = std::make_unique<FakeQuestion>();
        question = q.get();
        dlg->balloon = std::move(q);
        dlg->show();
    }
    void Click(QPoint p) { QTest::mouseClick(dlg.get(), Qt::LeftButton, Qt::NoModifier, p); }

    CProfile profile;
    std::unique_ptr<CMainDlg> dlg;
    FakeQuestion* question;
};

TEST(TwoWindows, GameOverLoopbackThroughTheWindows) {
    Copy host("host"), guest("guest");
    const unsigned port = host.dlg->listenSocket->ListenPort();
    ASSERT_NE(port, 0u);

    // The guest connects through its connect dialog; the host says yes.
    WhenOpen<CConnectDlg>([port](CConnectDlg* d) {
        d->DestEdit()->setText(QStringLiteral("127.0.0.1:%1").arg(port));
        d->ConnectToDest();
    });
    guest.Click(ButtonPoint(7));
    ASSERT_EQ(guest.dlg->connState, CONN_GUEST);
    ASSERT_TRUE(WaitFor([&] { return host.dlg->connState == CONN_HOST; }));
    EXPECT_EQ(host.question->asked.size(), 1u);
    EXPECT_TRUE(guest.dlg->ChatInput()->isVisible());
    EXPECT_TRUE(host.dlg->ChatInput()->isVisible());

    // The guest proposes to take sente; the host accepts and plays gote.
    WhenOpen<CTurnDlg>([](CTurnDlg* d) {
        d->SelectSente();
        d->SendProposal();
    });
    guest.Click(ButtonPoint(8));
    ASSERT_EQ(guest.dlg->mode, MODE_GAME);
    ASSERT_TRUE(WaitFor([&] { return host.dlg->mode == MODE_GAME; }));
    EXPECT_EQ(guest.dlg->mySide, SENTE);
    EXPECT_EQ(host.dlg->mySide, GOTE);
    EXPECT_EQ(host.dlg->flipped, 1);

    // 7六歩 by clicks on the guest reaches the host's board ...
    guest.Click(SquarePoint(7, 7));
    guest.Click(SquarePoint(7, 6));
    ASSERT_TRUE(WaitFor([&] { return host.dlg->board.PieceAt(7, 6) == 6; }));
    // ... and 3四歩 by clicks on the host's turned board reaches the guest's.
    host.Click(SquarePoint(3, 3, 1));
    host.Click(SquarePoint(3, 4, 1));
    ASSERT_TRUE(WaitFor([&] { return guest.dlg->board.PieceAt(3, 4) == 11; }));

    // Chat from the guest comes back through the host to both logs.
    guest.dlg->ChatInput()->setText(QStringLiteral("よろしく"));
    guest.dlg->OnCommand(ID_OK);
    ASSERT_TRUE(WaitFor([&] { return !guest.dlg->record.kifu.Root()->next->move->comment.empty(); }));

    // The guest resigns; the game ends on both sides, the record keeps the line.
    guest.Click(ButtonPoint(9));
    EXPECT_EQ(guest.dlg->mode, MODE_FREE);
    ASSERT_TRUE(WaitFor([&] { return host.dlg->mode == MODE_FREE; }));
    const KifuNode* last = host.dlg->record.kifu.current->prev;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->move->status, MS_RESIGN);
    EXPECT_EQ(last->move->number, 3);
}

}  // namespace
}  // namespace ravu::test
