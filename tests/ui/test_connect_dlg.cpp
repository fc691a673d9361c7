// The connect dialog: host list choosing, destination choice
// (edit, list entry, remembered, "host:port"), the handshake over loopback
// with acceptance, refusal and time-out, the button states, messages passed
// on to the main window, and hostile list text.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "net/host_list.h"
#include "windows_net_fixture.h"

using namespace ravu;
using namespace ravu::testing;

namespace {

std::vector<bool> Enabled(const CConnectDlg& d)
{
    return {d.GetListButton()->isEnabled(), d.ClearButton()->isEnabled(), d.ConnectButton()->isEnabled(),
            d.BackButton()->isEnabled()};
}

bool WaitFor(std::function<bool()> cond, int ms = 5000)
{
    return QTest::qWaitFor(cond, ms);
}

}  // namespace

TEST(ConnectDlg, ButtonStates)
{
    struct Case {
        std::vector<int> states;
        std::vector<bool> enabled;  // 1045, 1046, 1016, 1026
    } cases[] = {
        {{0}, {true, true, true, true}},
        {{0, 3}, {false, true, true, true}},
        {{0, 4}, {true, false, true, true}},
        {{0, 4, 5}, {true, true, true, true}},
        {{0, 3, 1}, {false, false, false, false}},
        {{0, 3, 1, 2}, {false, true, true, true}},
        {{0, 4, 1, 2}, {true, false, true, true}},
        {{0, 3, 4, 0}, {true, true, true, true}},
    };
    GuestCopy g;
    for (const Case& c : cases) {
        for (int s : c.states) g.dlg.SetButtonState(s);
        EXPECT_EQ(Enabled(g.dlg), c.enabled) << c.states.size();
    }
}

TEST(ConnectDlg, ChoosingAndClearingListEntries)
{
    GuestCopy g;
    g.listText = "host.example,Taro\r\n127.0.0.1,Hanako,5dan\r\nnocomma\r\nlast,name";
    g.RunWhile([&] {
        QListWidget* list = g.dlg.HostList();
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
        EXPECT_EQ(shown, (QStringList{"Taro", "Hanako,5dan", "", "name"}));
        EXPECT_FALSE(g.dlg.GetListButton()->isEnabled());  // a list text is present

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(g.dlg.Dest(), "127.0.0.1");
        EXPECT_EQ(g.dlg.Opponent(), "Hanako,5dan");
        EXPECT_EQ(g.dlg.OpponentLabel()->text(), QStringLiteral("Hanako,5dan"));
        EXPECT_FALSE(g.dlg.DestEdit()->isVisible());
        EXPECT_TRUE(g.dlg.ClearButton()->isEnabled());

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(3)).center());
        EXPECT_EQ(g.dlg.Dest(), "");  // the last line has no line start
        EXPECT_EQ(g.dlg.Opponent(), "name");

        QTest::mouseClick(g.dlg.ClearButton(), Qt::LeftButton);
        EXPECT_EQ(g.dlg.Dest(), "");
        EXPECT_TRUE(g.dlg.OpponentLabel()->text().isEmpty());
        EXPECT_TRUE(g.dlg.DestEdit()->isVisible());
        EXPECT_FALSE(g.dlg.ClearButton()->isEnabled());
        EXPECT_TRUE(list->selectedItems().isEmpty());

        // A chosen entry's destination is remembered for the next opening.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
    EXPECT_EQ(g.profile.GetHost(), "host.example");  // the destination is stored on closing
    g.RunWhile([&] {
        EXPECT_EQ(g.dlg.HostList()->count(), 4);  // filled again, not doubled
        // It is offered in the edit, selected; the entry's name is not shown.
        EXPECT_TRUE(g.dlg.OpponentLabel()->text().isEmpty());
        EXPECT_TRUE(g.dlg.DestEdit()->isVisible());
        EXPECT_EQ(g.dlg.DestEdit()->selectedText(), QStringLiteral("host.example"));
        EXPECT_EQ(g.dlg.HandleLabel()->text(), QStringLiteral("客人"));
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
}

TEST(ConnectDlg, RefusalOrNoAnswerClosesTheConnectionAndLetsTheUserTryAgain)
{
    enum Answer { REFUSE, NONE, HANG_UP };
    struct Case {
        Answer answer;
        int timeoutMs;
        QString status;
    } cases[] = {{REFUSE, 5000, QStringLiteral("接続を断られました。")},
                 {NONE, 50, QStringLiteral("時間内に接続できませんでした")},
                 {HANG_UP, 5000, QStringLiteral("接続が切れました。")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        HostCopy host("主人");
        GuestCopy g;
        g.dlg.Handshake().connectTimeoutMs = c.timeoutMs;
        if (c.answer != NONE)
            host.owner.on = [&](const Recorder::Msg& m) {
                if (m.msg != WM_SOCK_PACKET || m.type != PKT_HELLO) return;
                if (c.answer == REFUSE)
                    host.sock.SendRefuse(m.wParam);
                else
                    host.sock.CloseSlot(m.wParam);
            };
        bool escIgnored = false, closeIgnored = false, closedByBox = false, ended = false;
        std::vector<bool> buttons;
        const int result = g.RunWhile([&] {
            g.TypeAndEnter(host.Dest());
            EXPECT_EQ(g.dlg.StatusText(), QStringLiteral("接続の待機中です。しばらくお待ちください。"));
            EXPECT_EQ(Enabled(g.dlg), std::vector<bool>(4, false));
            EXPECT_TRUE(g.dlg.TimerRunning());
            QTest::keyClick(&g.dlg, Qt::Key_Escape);
            escIgnored = g.dlg.isVisible();
            g.dlg.windowHandle()->close();  // the close box, while the attempt runs
            closeIgnored = g.dlg.isVisible();
            ended = WaitFor([&] { return g.dlg.StatusText() == c.status; });
            EXPECT_FALSE(g.dlg.TimerRunning());
            buttons = Enabled(g.dlg);
            g.dlg.windowHandle()->close();  // the close box, now that nothing runs
            closedByBox = !g.dlg.isVisible();
            if (!closedByBox) QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
        });
        EXPECT_TRUE(g.dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_TRUE(escIgnored);
        EXPECT_TRUE(closeIgnored);
        EXPECT_TRUE(closedByBox);
        EXPECT_TRUE(ended);
        EXPECT_EQ(buttons, std::vector<bool>(4, true));  // as before the attempt
        EXPECT_EQ(result, 0);
        EXPECT_EQ(g.sock.OwnHandle(), 0);
        EXPECT_TRUE(WaitFor([&] { return host.sock.AllSlotsFree() == 1; }));
    }
}

// Enter and the connect button both take the destination in the edit, which
// opens holding the one remembered in the settings.  The host's name is
// shown before its answer; other packets meanwhile go on to the main window.
// The next opening shows no stale name and the destination reached.
TEST(ConnectDlg, HandshakeReachesTheChosenDestinationAndShowsTheHostsNameFirst)
{
    HostCopy first("一"), second("二");
    std::string guestHello;
    bool nameShownBeforeAnswer = false;
    CConnectDlg* dlg = nullptr;
    for (HostCopy* h : {&first, &second})
        h->owner.on = [&, h](const Recorder::Msg& m) {
            if (m.msg != WM_SOCK_PACKET || m.type != PKT_HELLO) return;
            guestHello = m.text;
            const SockHandle guest = m.wParam;
            h->Send(PKT_CHAT, Utf8ToSjis("主人>ちょっと待って"), guest);
            QTimer::singleShot(0, [&, h, guest] {
                const QString name = QString::fromStdString(SjisToUtf8(h->sock.HandleName()));
                nameShownBeforeAnswer = WaitFor([&] { return dlg->OpponentLabel()->text() == name; });
                h->Send(PKT_ACCEPT, "0", guest);
            });
        };
    for (bool enter : {true, false}) {
        SCOPED_TRACE(enter);
        GuestCopy g;
        g.profile.SetHost(first.Dest());  // remembered from an earlier run
        CConnectDlg connect(&g.sock, &g.listText, &g.profile, &g.mainWnd);
        dlg = &connect;
        nameShownBeforeAnswer = false;
        QString offered;
        QTimer::singleShot(0, &connect, [&] {
            offered = connect.DestEdit()->selectedText();
            QTest::keyClicks(connect.DestEdit(), QString::fromStdString(second.Dest()));
            if (enter)
                QTest::keyClick(connect.DestEdit(), Qt::Key_Return);
            else
                QTest::mouseClick(connect.ConnectButton(), Qt::LeftButton);
        });
        EXPECT_EQ(connect.Run(), 1);
        EXPECT_EQ(offered.toStdString(), first.Dest());
        const HostCopy& reached = second;
        EXPECT_EQ(guestHello, Utf8ToSjis("客人"));
        EXPECT_TRUE(nameShownBeforeAnswer);
        EXPECT_EQ(connect.Opponent(), reached.sock.HandleName());
        EXPECT_EQ(g.profile.GetOpponentName(), reached.sock.HandleName());
        EXPECT_EQ(g.profile.GetHost(), reached.Dest());
        EXPECT_EQ(g.sock.m_pOwner, &g.mainWnd);  // handed back
        EXPECT_FALSE(connect.TimerRunning());
        EXPECT_EQ(connect.AddressLabel()->text(), QStringLiteral("127.0.0.1"));
        // The chat line went on to the main window; the connection itself did not.
        ASSERT_EQ(g.mainWnd.Count(WM_SOCK_PACKET), 1);
        EXPECT_EQ(g.mainWnd.Count(WM_SOCK_PACKET, PKT_CHAT), 1);
        EXPECT_EQ(g.mainWnd.msgs.back().text, Utf8ToSjis("主人>ちょっと待って"));
        EXPECT_EQ(g.mainWnd.Count(WM_SOCK_CONNECTED), 0);
        g.sock.Close();
        QTimer::singleShot(0, &connect, [&] {
            EXPECT_TRUE(connect.OpponentLabel()->text().isEmpty());
            EXPECT_TRUE(connect.DestEdit()->isVisible());
            EXPECT_EQ(connect.DestEdit()->selectedText().toStdString(), reached.Dest());
            QTest::mouseClick(connect.BackButton(), Qt::LeftButton);
        });
        EXPECT_EQ(connect.Run(), 0);
    }
}

// The own address is left silently; a name that cannot be found is said so.
TEST(ConnectDlg, OwnAddressOrUnknownNameIsNotConnected)
{
    GuestCopy g;
    const std::string own = g.sock.m_strLocalAddr;
    const std::pair<std::string, QString> cases[] = {
        {"no-such-host.invalid", QStringLiteral("接続先が見つかりませんでした。")},
        {own, QString()},
    };
    for (const auto& [dest, status] : cases) {
        if (status.isEmpty() && own.empty()) continue;  // the local host name has no IPv4 address here
        g.RunWhile([&] {
            g.TypeAndEnter(dest);
            EXPECT_EQ(g.dlg.StatusText(), status) << dest;
            EXPECT_FALSE(g.dlg.TimerRunning());
            EXPECT_EQ(Enabled(g.dlg), std::vector<bool>(4, true)) << dest;
            EXPECT_EQ(g.sock.m_pOwner, &g.mainWnd);
            QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
        });
    }
}

namespace {
// A list server on loopback answering every request with `reply`.
struct ListServer {
    QTcpServer server;
    QByteArray reply;
    QByteArray request;
    bool silent = false;  // accept the connection, never answer
    explicit ListServer(QByteArray r, bool quiet = false) : reply(std::move(r)), silent(quiet)
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                request += s->readAll();
                if (silent || !request.endsWith('\n')) return;
                s->write(reply);
                s->flush();
                s->disconnectFromHost();
            });
        });
        qputenv("RAVUONE_LIST_URL",
                QByteArray("http://127.0.0.1:") + QByteArray::number(server.serverPort()) + "/list/RavuOneList.txt");
    }
    ~ListServer() { qunsetenv("RAVUONE_LIST_URL"); }
};
}  // namespace

TEST(ConnectDlg, FetchedListIsKeptAndASilentServerGivesAnEmptyOne)
{
    const QByteArray reply("127.0.0.1,Taro\r\nexample.org,Jiro,3dan\r\n");
    for (bool silent : {false, true}) {
        SCOPED_TRACE(silent);
        ListServer server(reply, silent);
        GuestCopy g;
        g.dlg.SetListWaitLimit(300);
        g.RunWhile([&] {
            EXPECT_TRUE(g.dlg.GetListButton()->isEnabled());
            QElapsedTimer clock;
            clock.start();
            QTest::mouseClick(g.dlg.GetListButton(), Qt::LeftButton);
            if (silent) {
                EXPECT_GE(clock.elapsed(), 250);
            }
            EXPECT_EQ(g.dlg.StatusText(), QStringLiteral("接続先を選んでください"));
            EXPECT_EQ(g.dlg.HostList()->count(), silent ? 0 : 2);
            EXPECT_FALSE(g.dlg.GetListButton()->isEnabled());  // until the next opening
            EXPECT_TRUE(g.dlg.ConnectButton()->isEnabled());
            QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
        });
        EXPECT_TRUE(server.request.startsWith("GET http://127.0.0.1:"));
        EXPECT_EQ(g.listText, silent ? std::string() : reply.toStdString());
        g.RunWhile([&] {
            EXPECT_EQ(g.dlg.HostList()->count(), silent ? 0 : 2);
            if (!silent) {
                EXPECT_EQ(g.dlg.HostList()->item(1)->text(), QStringLiteral("Jiro,3dan"));
            }
            EXPECT_EQ(g.dlg.GetListButton()->isEnabled(), silent);  // a kept list is not fetched again
            QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
        });
    }
}

TEST(ConnectDlg, GarbageListAndLongNamesAreShownPlain)
{
    // 1,024 bytes of garbage from the list server, no zero byte.
    std::mt19937 rng(1024);
    QByteArray garbage;
    const char extra[] = {'\r', '\n', ',', '<', '>', '&'};
    while (garbage.size() < 1024) {
        const int r = static_cast<int>(rng() % 300);
        garbage += r < 256 ? char(r == 0 ? 1 : r) : extra[r % 6];
    }
    ListServer server(garbage);
    GuestCopy g;
    g.profile.SetHandleName(std::string(2000, 'N'));
    g.RunWhile([&] {
        QTest::mouseClick(g.dlg.GetListButton(), Qt::LeftButton);
        EXPECT_EQ(g.listText.size(), 1024u);
        QListWidget* list = g.dlg.HostList();
        EXPECT_EQ(list->count(), static_cast<int>(ParseHostList(g.listText).size()));
        for (int i = 0; i < list->count(); ++i) {
            for (QChar c : list->item(i)->text()) EXPECT_GE(c.unicode(), 0x20);
            list->setCurrentRow(i);
            EXPECT_EQ(g.dlg.Dest().find_first_of("\r\n,"), std::string::npos);
            EXPECT_EQ(g.dlg.OpponentLabel()->textFormat(), Qt::PlainText);
        }
        EXPECT_EQ(g.dlg.HandleLabel()->text(), QString(22, u'N') + QStringLiteral("…"));
        EXPECT_EQ(g.dlg.HandleLabel()->textFormat(), Qt::PlainText);
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
}
