// Loopback helpers for the connect and turn dialog tests: a host copy's
// listening socket with a scripted owner, and a recorder standing in for the
// guest's main window.
#pragma once

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "app/textcodec.h"
#include "ui/connect_dlg.h"
#include "net/game_socket.h"
#include "net/packet.h"
#include "net/sock_owner.h"

namespace ravu::testing {

// Records every socket message; `on` may act on it.
struct Recorder : CSockOwner {
    struct Msg {
        SockMsg msg;
        SockHandle wParam;
        int type;          // last packet type for WM_SOCK_PACKET, else -1
        std::string text;  // its text
    };
    CGameSocket* sock = nullptr;  // where packet types are read
    std::vector<Msg> msgs;
    std::function<void(const Msg&)> on;
    void OnSockMessage(SockMsg msg, SockHandle wParam) override
    {
        Msg m{msg, wParam, -1, {}};
        if (msg == WM_SOCK_PACKET && sock) {
            m.type = sock->GetLastType(wParam);
            m.text = sock->GetText(wParam);
        }
        msgs.push_back(m);
        if (on) on(m);
    }
    int Count(SockMsg msg, int type = -1) const
    {
        int n = 0;
        for (const Msg& m : msgs)
            if (m.msg == msg && (type < 0 || m.type == type)) ++n;
        return n;
    }
};

// A host copy: listens on a free loopback port; its owner sees the guests.
struct HostCopy {
    CGameSocket sock;
    Recorder owner;
    explicit HostCopy(const std::string& utf8Name)
    {
        owner.sock = &sock;
        sock.m_pOwner = &owner;
        sock.SetHandleName(Utf8ToSjis(utf8Name));
        sock.Listen(0);
    }
    unsigned Port() const { return sock.ListenPort(); }
    std::string Dest() const { return "127.0.0.1:" + std::to_string(Port()); }
    void Send(uint8_t type, const std::string& text, SockHandle to)
    {
        sock.SendTo(type, static_cast<int>(text.size()), text.data(), to);
    }
};

// A guest copy: its socket, a recorder for its main window and the connect dialog.
struct GuestCopy {
    CGameSocket sock;
    Recorder mainWnd;
    CProfile profile;
    std::string listText;
    CConnectDlg dlg{&sock, &listText, &profile, &mainWnd};
    explicit GuestCopy(const std::string& utf8Name = "客人")
    {
        mainWnd.sock = &sock;
        sock.m_pOwner = &mainWnd;
        sock.Create(0);
        profile.SetHandleName(Utf8ToSjis(utf8Name));
    }
    // Runs the dialog and acts once it is open.
    int RunWhile(std::function<void()> act)
    {
        QTimer::singleShot(0, &dlg, [act] { act(); });
        return dlg.Run();
    }
    void TypeAndEnter(const std::string& text)
    {
        dlg.DestEdit()->setText(QString::fromStdString(text));
        QTest::keyClick(dlg.DestEdit(), Qt::Key_Return);
    }
};

}  // namespace ravu::testing
