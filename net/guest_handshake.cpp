#include "net/guest_handshake.h"

#include <QHostInfo>

#include <algorithm>

#include "net/extension.h"
#include "net/game_socket.h"
#include "net/packet.h"
#include "net/sock_errors.h"

namespace ravu {

CGuestHandshake::CGuestHandshake(CGameSocket& connectSocket, CSockOwner* mainOwner, QObject* parent)
    : QObject(parent), m_socket(connectSocket), m_pMain(mainOwner) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_phase == PHASE_CONNECTING) {
            // Nobody answered: give up the attempt and the connection.
            m_socket.Close();
            Finish(OUT_TIMED_OUT);
        } else if (m_phase == PHASE_TURN && onOutcome) {
            onOutcome(PHASE_TURN, OUT_TIMED_OUT);
        }
    });
    m_tryTimer.setSingleShot(true);
    connect(&m_tryTimer, &QTimer::timeout, this, [this] {
        // This address keeps silent: drop it for the next one.
        m_socket.Close();
        if (!TryNext())
            Finish(OUT_FAILED);
    });
}

CGuestHandshake::~CGuestHandshake() {
    if (m_nLookupId >= 0)
        QHostInfo::abortHostLookup(m_nLookupId);
    if (m_phase != PHASE_IDLE && m_socket.m_pOwner == this)
        m_socket.m_pOwner = m_pMain;
}

void CGuestHandshake::Prepare(const Destination& dest, const std::string& handleName) {
    StopWaiting();
    GiveBack();
    if (!m_socket.Handle())
        m_socket.Create(0);
    m_socket.m_strResolvedAddr.clear();
    m_dest = dest;
    m_strHandleName = handleName;
    hostName.clear();
    hostCaps.clear();
}

CGuestHandshake::Start CGuestHandshake::StartConnect(const Destination& dest, const std::string& handleName) {
    Prepare(dest, handleName);
    if (dest.host.empty()) {
        m_socket.m_nLastError = WSAHOST_NOT_FOUND;
        m_socket.SetErrorText(WSAHOST_NOT_FOUND);
        return START_UNKNOWN_HOST;
    }
    const QString host = QString::fromStdString(dest.host);
    if (QHostAddress literal; literal.setAddress(host))
        return Began(TryAddresses({literal}));
    // A name: the window goes on while it is looked up.
    m_phase = PHASE_CONNECTING;
    m_timer.start(connectTimeoutMs);
    m_nLookupId = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
        m_nLookupId = -1;
        if (m_phase != PHASE_CONNECTING)
            return;
        switch (TryAddresses(info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>())) {
            case START_CONNECTING: return;
            case START_UNKNOWN_HOST: Finish(OUT_UNKNOWN_HOST); return;
            case START_OWN_ADDRESS: Finish(OUT_OWN_ADDRESS); return;
            case START_FAILED: Finish(OUT_FAILED); return;
        }
    });
    return START_CONNECTING;
}

CGuestHandshake::Start CGuestHandshake::StartConnectTo(const QList<QHostAddress>& addresses,
                                                       const Destination& dest,
                                                       const std::string& handleName) {
    Prepare(dest, handleName);
    return Began(TryAddresses(addresses));
}

CGuestHandshake::Start CGuestHandshake::Began(Start start) {
    if (start != START_CONNECTING)
        GiveBack();
    return start;
}

CGuestHandshake::Start CGuestHandshake::TryAddresses(const QList<QHostAddress>& addresses) {
    if (addresses.isEmpty()) {
        StopWaiting();
        m_socket.m_nLastError = WSAHOST_NOT_FOUND;
        m_socket.SetErrorText(WSAHOST_NOT_FOUND);
        return START_UNKNOWN_HOST;
    }
    // Another copy on this machine is a different destination only when it
    // is named with a port other than the own one.
    const bool samePort = !m_dest.explicitPort || m_dest.port == ownPort;
    m_addresses.clear();
    for (int v6 = 1; v6 >= 0; --v6)
        for (const QHostAddress& a : addresses)
            if ((a.protocol() == QAbstractSocket::IPv6Protocol) == (v6 == 1) &&
                !(samePort && IsOwnAddress(a)))
                m_addresses.push_back(a);
    if (m_addresses.isEmpty()) {
        StopWaiting();
        m_socket.m_strResolvedAddr = addresses.first().toString().toStdString();
        m_socket.m_strError.clear();
        return START_OWN_ADDRESS;
    }
    m_nNext = 0;
    m_phase = PHASE_CONNECTING;
    if (!m_timer.isActive())
        m_timer.start(connectTimeoutMs);
    if (!TryNext()) {
        StopWaiting();
        return START_FAILED;
    }
    return START_CONNECTING;
}

bool CGuestHandshake::TryNext() {
    m_tryTimer.stop();
    while (m_nNext < m_addresses.size()) {
        const QHostAddress& address = m_addresses[m_nNext++];
        m_socket.m_strResolvedAddr = address.toString().toStdString();
        if (!m_socket.Connect(m_socket.m_strResolvedAddr, m_dest.port, this))
            continue;
        if (const qsizetype left = m_addresses.size() - m_nNext + 1; left > 1)
            m_tryTimer.start(
                static_cast<int>(std::min<qint64>(ADDRESS_TRY_MS, m_timer.remainingTime() / left)));
        return true;
    }
    return false;
}

void CGuestHandshake::StopWaiting() {
    m_timer.stop();
    m_tryTimer.stop();
    if (m_nLookupId >= 0) {
        QHostInfo::abortHostLookup(m_nLookupId);
        m_nLookupId = -1;
    }
}

void CGuestHandshake::OpenTurn() {
    m_timer.stop();
    m_phase = PHASE_TURN;
    m_socket.m_pOwner = this;
}

void CGuestHandshake::ProposeTurn(int side) {
    m_nSide = side == 1 ? 1 : 0;
    m_phase = PHASE_TURN;
    m_socket.m_pOwner = this;
    // With the extension on both sides the settings go first.
    const std::string settings = m_pMain ? m_pMain->ProposalText() : std::string();
    if (!settings.empty())
        m_socket.SendTo(PKT_EXT_GAME, static_cast<int>(settings.size()), settings.data(), 0);
    char text[2] = {static_cast<char>('0' + m_nSide), 0};
    m_socket.SendTo(PKT_TURN, 1, text, 0);
    m_timer.start(turnTimeoutMs);
}

void CGuestHandshake::Cancel() {
    StopWaiting();
    GiveBack();
}

void CGuestHandshake::GiveBack() {
    m_phase = PHASE_IDLE;
    if (m_socket.m_pOwner == this)
        m_socket.m_pOwner = m_pMain;
}

void CGuestHandshake::Finish(Outcome outcome) {
    Phase phase = m_phase;
    StopWaiting();
    GiveBack();
    if (onOutcome)
        onOutcome(phase, outcome);
}

void CGuestHandshake::OnSockMessage(SockMsg msg, SockHandle wParam) {
    if (m_phase == PHASE_CONNECTING) {
        switch (msg) {
            case WM_SOCK_CONNECTED: {
                m_tryTimer.stop();
                const std::string caps = m_pMain ? m_pMain->CapsText() : std::string();
                const std::string resume = m_pMain ? m_pMain->ResumeText() : std::string();
                auto send = [&](uint8_t type, const std::string& text) {
                    if (!text.empty())
                        m_socket.SendTo(type, static_cast<int>(text.size()), text.data(), wParam);
                };
                // Coming back to an adjourned game, the host must know that
                // before the hello, which it would otherwise take for a new guest.
                if (!resume.empty()) {
                    send(PKT_EXT_CAPS, caps);
                    send(PKT_EXT_RESUME, resume);
                }
                m_socket.SendTo(PKT_HELLO, static_cast<int>(m_strHandleName.size()), m_strHandleName.data(),
                                wParam);
                if (resume.empty())
                    send(PKT_EXT_CAPS, caps);
                return;
            }
            case WM_SOCK_CONNECT_FAILED:
                // A failure of an address already given up on is old news
                // while the next one is being tried.
                if (m_socket.Handle() == 0 && !TryNext())
                    Finish(OUT_FAILED);
                return;
            case WM_SOCK_PACKET:
                switch (m_socket.GetLastType(wParam)) {
                    case PKT_HELLO:
                        hostName = m_socket.GetText(wParam);
                        if (onHostHello)
                            onHostHello();
                        return;
                    case PKT_EXT_CAPS:
                        // Kept for the main owner, which takes the connection
                        // over only once accepted; it sees the packet too.
                        hostCaps = m_socket.GetText(wParam);
                        break;
                    case PKT_ACCEPT: Finish(OUT_ACCEPTED); return;
                    case PKT_REFUSE:
                        m_socket.Close();
                        Finish(OUT_REFUSED);
                        return;
                    default: break;
                }
                break;
            case WM_SOCK_CLOSED:
                // The host went away before answering: no use waiting longer.
                // The main owner never had this connection, so its loss is
                // not told there: to an adjourned game it would look like the
                // loss of the game's own link.
                Finish(OUT_FAILED);
                return;
            default: break;
        }
    } else if (m_phase == PHASE_TURN && msg == WM_SOCK_PACKET) {
        switch (m_socket.GetLastType(wParam)) {
            case PKT_ACCEPT: Finish(OUT_ACCEPTED); return;
            case PKT_REFUSE:
                m_timer.stop();
                if (onOutcome)
                    onOutcome(PHASE_TURN, OUT_REFUSED);
                return;
            default: break;
        }
    }
    if (m_pMain)
        m_pMain->OnSockMessage(msg, wParam);
}

}  // namespace ravu
