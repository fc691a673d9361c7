// The connect and turn dialogs against a separate headless copy of the
// program (ravuone-peer as host): the guest's handshake, the sides proposal
// and chat, across two processes.
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "net/connect_dlg.h"
#include "net/turn_dlg.h"
#include "windows_net_fixture.h"

using namespace ravu;
using namespace ravu::testing;

namespace {

// ravuone-peer listening on a free loopback port, answering every question
// with `answer`.
struct PeerHost {
    QProcess proc;
    QList<QJsonObject> events;
    QByteArray pending;
    int port = 0;
    explicit PeerHost(const char* answer)
    {
        QObject::connect(&proc, &QProcess::readyReadStandardOutput, [this] {
            pending += proc.readAllStandardOutput();
            qsizetype nl;
            while ((nl = pending.indexOf('\n')) >= 0) {
                const QJsonObject ev = QJsonDocument::fromJson(pending.left(nl)).object();
                pending.remove(0, nl + 1);
                events << ev;
                if (ev.value(QStringLiteral("event")).toString() == QStringLiteral("listening"))
                    port = ev.value(QStringLiteral("port")).toInt();
            }
        });
        proc.start(QStringLiteral(RAVU_PEER),
                   {QStringLiteral("--listen"), QStringLiteral("0"), QStringLiteral("--answer"),
                    QString::fromLatin1(answer), QStringLiteral("--name"), QStringLiteral("花子")});
        // The tests assert on the port.
        (void)QTest::qWaitFor([this] { return port != 0 || proc.state() == QProcess::NotRunning; }, 10000);
    }
    ~PeerHost()
    {
        proc.write("quit\n");
        if (!proc.waitForFinished(3000)) proc.kill();
        proc.waitForFinished(3000);
    }
    bool Saw(const QString& kind, const QString& text = QString()) const
    {
        for (const QJsonObject& ev : events)
            if (ev.value(QStringLiteral("event")).toString() == kind &&
                (text.isNull() || ev.value(QStringLiteral("text")).toString() == text))
                return true;
        return false;
    }
};

struct Guest {
    CGameSocket sock;
    Recorder mainWnd;
    CProfile profile;
    std::string listText;
    CConnectDlg connectDlg{&sock, &listText, &profile, &mainWnd};
    CTurnDlg turnDlg{&profile, &mainWnd};
    Guest()
    {
        mainWnd.sock = &sock;
        sock.m_pOwner = &mainWnd;
        sock.Create(0);
        profile.SetHandleName(Utf8ToSjis("太郎"));
        connectDlg.SetTimerInterval(50);
        connectDlg.SetTickLimit(100);
        turnDlg.SetSocket(&sock);
        turnDlg.SetTimerInterval(50);
        turnDlg.SetTickLimit(100);
    }
};

}  // namespace

TEST(DialogsWithPeer, ConnectProposeSidesAndChat)
{
    PeerHost host("yes");
    ASSERT_NE(host.port, 0) << "ravuone-peer did not start listening";
    Guest g;
    QTimer::singleShot(0, &g.connectDlg, [&] {
        g.connectDlg.DestEdit()->setText(QStringLiteral("127.0.0.1:%1").arg(host.port));
        QTest::mouseClick(g.connectDlg.ConnectButton(), Qt::LeftButton);
    });
    ASSERT_EQ(g.connectDlg.Run(), 1);
    EXPECT_EQ(g.connectDlg.Opponent(), Utf8ToSjis("花子"));
    EXPECT_EQ(g.connectDlg.OpponentLabel()->text(), QStringLiteral("花子"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return host.Saw(QStringLiteral("hello"), QStringLiteral("太郎")); }, 5000));

    QTimer::singleShot(0, &g.turnDlg, [&] {
        EXPECT_EQ(g.turnDlg.GoteName()->text(), QStringLiteral("花子"));
        QTest::mouseClick(g.turnDlg.GoteRadio(), Qt::LeftButton);
        QTest::mouseClick(g.turnDlg.SendButton(), Qt::LeftButton);
        // A chat line from the host while waiting reaches the main window.
        host.proc.write("chat お待たせしました\n");
    });
    ASSERT_EQ(g.turnDlg.Run(), 1);
    EXPECT_EQ(g.turnDlg.ChosenSide(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return g.mainWnd.Count(WM_SOCK_PACKET, PKT_CHAT) >= 1; }, 5000));
    EXPECT_EQ(g.sock.m_pOwner, &g.mainWnd);
}

TEST(DialogsWithPeer, RefusedConnectionIsShown)
{
    PeerHost host("no");
    ASSERT_NE(host.port, 0);
    Guest g;
    bool refused = false;
    QTimer::singleShot(0, &g.connectDlg, [&] {
        g.connectDlg.DestEdit()->setText(QStringLiteral("127.0.0.1:%1").arg(host.port));
        QTest::keyClick(g.connectDlg.DestEdit(), Qt::Key_Return);
        refused = QTest::qWaitFor(
            [&] { return g.connectDlg.StatusText() == QStringLiteral("接続を断られました。"); }, 5000);
        QTest::mouseClick(g.connectDlg.BackButton(), Qt::LeftButton);
    });
    EXPECT_EQ(g.connectDlg.Run(), 0);
    EXPECT_TRUE(refused);
}
