// The turn decision dialog over loopback: the names by side, the proposal
// sent, the waiting state, refusal, time-out, a late acceptance, messages
// passed on to the main window, and Enter/Esc.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "ui/turn_dlg.h"
#include "windows_net_fixture.h"

using namespace ravu;
using namespace ravu::testing;

namespace {

// A guest connected to a host, both hellos exchanged.
struct Connected {
    HostCopy host{"主人"};
    GuestCopy g;  // its socket, recorder and profile; the connect dialog is not used
    CGameSocket& guest = g.sock;
    Recorder& mainWnd = g.mainWnd;
    CTurnDlg dlg{&g.profile, &g.mainWnd};
    SockHandle guestAtHost = 0;
    bool ready = false;              // connected and both hellos exchanged
    std::vector<std::string> turns;  // PKT_TURN payloads the host received
    std::function<void(SockHandle)> onTurn;
    Connected()
    {
        host.owner.on = [this](const Recorder::Msg& m) {
            if (m.msg != WM_SOCK_PACKET) return;
            if (m.type == PKT_HELLO) guestAtHost = m.wParam;
            if (m.type == PKT_TURN) {
                turns.push_back(m.text);
                if (onTurn) onTurn(m.wParam);
            }
        };
        guest.Connect("127.0.0.1", host.Port(), &mainWnd);
        ready = QTest::qWaitFor([this] { return mainWnd.Count(WM_SOCK_CONNECTED) == 1; }, 5000);
        const std::string name = g.profile.GetHandleName();
        guest.SendTo(PKT_HELLO, static_cast<int>(name.size()), name.data(), 0);
        ready = ready && QTest::qWaitFor([this] { return guestAtHost != 0 && !guest.GetPeerName(0).empty(); }, 5000);
        mainWnd.msgs.clear();
        dlg.SetSocket(&guest);
    }
    int RunWhile(std::function<void()> act)
    {
        QTimer::singleShot(0, &dlg, [act] { act(); });
        return dlg.Run();
    }
};

}  // namespace

TEST(TurnDlg, NamesFollowTheSideAndTheProposalIsAcceptedWhileWaiting)
{
    struct Case {
        bool gote;
        std::string payload;
        QString senteName, goteName;
    } cases[] = {{true, "1", QStringLiteral("主人"), QStringLiteral("客人")},
                 {false, "0", QStringLiteral("客人"), QStringLiteral("主人")}};
    for (const Case& k : cases) {
        Connected c;
        ASSERT_TRUE(c.ready);
        c.onTurn = [&](SockHandle to) {
            QTimer::singleShot(30, [&c, to] { c.host.Send(PKT_ACCEPT, "0", to); });
        };
        bool waitingShown = false;
        const int result = c.RunWhile([&] {
            EXPECT_TRUE(c.dlg.SenteRadio()->isChecked());
            QTest::mouseClick(c.dlg.GoteRadio(), Qt::LeftButton);
            if (!k.gote) QTest::mouseClick(c.dlg.SenteRadio(), Qt::LeftButton);
            EXPECT_EQ(c.dlg.SenteName()->text(), k.senteName);
            EXPECT_EQ(c.dlg.GoteName()->text(), k.goteName);
            QTest::mouseClick(c.dlg.SendButton(), Qt::LeftButton);
            waitingShown = c.dlg.StatusText() == QStringLiteral("しばらくお待ちください") &&
                           !c.dlg.SenteRadio()->isEnabled() && !c.dlg.GoteRadio()->isEnabled() &&
                           !c.dlg.SendButton()->isVisible() && !c.dlg.BackButton()->isVisible();
            QTest::keyClick(&c.dlg, Qt::Key_Escape);
            QTest::keyClick(&c.dlg, Qt::Key_Return);
            EXPECT_TRUE(c.dlg.isVisible());
        });
        EXPECT_TRUE(waitingShown);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(c.dlg.ChosenSide(), k.gote ? 1 : 0);
        EXPECT_EQ(c.turns, std::vector<std::string>{k.payload});
        EXPECT_FALSE(c.dlg.Waiting());
        EXPECT_EQ(c.guest.m_pOwner, &c.mainWnd);
    }
}

TEST(TurnDlg, RefusalAndTimeOutReturnToChoosingAndALateAcceptStillStarts)
{
    Connected c;
    ASSERT_TRUE(c.ready);
    c.dlg.SetTurnTimeoutMs(40);
    int proposals = 0;
    c.onTurn = [&](SockHandle to) {
        if (++proposals == 1) c.host.sock.SendRefuse(to);
    };
    const int result = c.RunWhile([&] {
        QTest::mouseClick(c.dlg.SendButton(), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return c.dlg.StatusText() == QStringLiteral("承諾されませんでした"); }, 5000));
        EXPECT_TRUE(c.dlg.SendButton()->isVisible());
        EXPECT_TRUE(c.dlg.SenteRadio()->isEnabled());
        EXPECT_FALSE(c.dlg.Waiting());

        // Second proposal: the host stays silent until the wait gives up.
        QTest::mouseClick(c.dlg.GoteRadio(), Qt::LeftButton);
        QTest::mouseClick(c.dlg.SendButton(), Qt::LeftButton);
        EXPECT_TRUE(c.dlg.Waiting());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !c.dlg.Waiting(); }, 5000));
        EXPECT_EQ(c.dlg.StatusText(), QStringLiteral("承諾されませんでした"));
        EXPECT_TRUE(c.dlg.BackButton()->isVisible());
        // The acceptance arrives after the time-out, while the dialog is open
        // and the user has meanwhile clicked the other side: what was
        // proposed (gote) is what the host accepted.
        QTest::mouseClick(c.dlg.SenteRadio(), Qt::LeftButton);
        c.host.Send(PKT_ACCEPT, "0", c.guestAtHost);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(c.dlg.ChosenSide(), 1);
    EXPECT_EQ(proposals, 2);
}

TEST(TurnDlg, ChatAndClosedReachTheMainWindowAndCancelEndsIt)
{
    Connected c;
    ASSERT_TRUE(c.ready);
    const int result = c.RunWhile([&] {
        c.host.Send(PKT_CHAT, Utf8ToSjis("主人>どうぞ"), c.guestAtHost);
        EXPECT_TRUE(QTest::qWaitFor([&] { return c.mainWnd.Count(WM_SOCK_PACKET, PKT_CHAT) == 1; }, 5000));
        c.host.sock.Close();  // the host goes away
        EXPECT_TRUE(QTest::qWaitFor([&] { return c.mainWnd.Count(WM_SOCK_CLOSED) == 1; }, 5000));
        c.dlg.Cancel();  // what the main window does when the connection is lost
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(c.mainWnd.msgs.front().text, Utf8ToSjis("主人>どうぞ"));
    EXPECT_EQ(c.guest.m_pOwner, &c.mainWnd);
    EXPECT_TRUE(c.turns.empty());
}
