#include "net/guest_handshake.h"

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
}

CGuestHandshake::~CGuestHandshake() {
    if (m_phase != PHASE_IDLE && m_socket.m_pOwner == this)
        m_socket.m_pOwner = m_pMain;
}

CGuestHandshake::Start CGuestHandshake::StartConnect(const Destination& dest, const std::string& handleName) {
    if (!m_socket.Handle())
        m_socket.Create(0);
    const std::string addr = m_socket.ResolveHost(dest.host);
    if (addr.empty()) {
        m_socket.m_nLastError = WSAHOST_NOT_FOUND;
        m_socket.SetErrorText(WSAHOST_NOT_FOUND);
        return START_UNKNOWN_HOST;
    }
    // Another copy on this machine is a different destination only when it
    // is named with a port other than the own one.
    const bool ownAddress = addr == m_socket.m_strLocalAddr;
    const bool samePort = !dest.explicitPort || dest.port == ownPort;
    if (ownAddress && samePort) {
        m_socket.m_strError.clear();
        return START_OWN_ADDRESS;
    }

    m_strHandleName = handleName;
    hostName.clear();
    hostCaps.clear();
    m_phase = PHASE_CONNECTING;
    if (!m_socket.Connect(addr, dest.port, this)) {
        GiveBack();
        return START_FAILED;
    }
    m_timer.start(connectTimeoutMs);
    return START_CONNECTING;
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
    m_timer.stop();
    GiveBack();
}

void CGuestHandshake::GiveBack() {
    m_phase = PHASE_IDLE;
    if (m_socket.m_pOwner == this)
        m_socket.m_pOwner = m_pMain;
}

void CGuestHandshake::Finish(Outcome outcome) {
    Phase phase = m_phase;
    m_timer.stop();
    GiveBack();
    if (onOutcome)
        onOutcome(phase, outcome);
}

void CGuestHandshake::OnSockMessage(SockMsg msg, SockHandle wParam) {
    if (m_phase == PHASE_CONNECTING) {
        switch (msg) {
            case WM_SOCK_CONNECTED: {
                m_socket.SendTo(PKT_HELLO, static_cast<int>(m_strHandleName.size()), m_strHandleName.data(),
                                wParam);
                const std::string caps = m_pMain ? m_pMain->CapsText() : std::string();
                if (!caps.empty())
                    m_socket.SendTo(PKT_EXT_CAPS, static_cast<int>(caps.size()), caps.data(), wParam);
                return;
            }
            case WM_SOCK_CONNECT_FAILED: Finish(OUT_FAILED); return;
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
                if (m_pMain)
                    m_pMain->OnSockMessage(msg, wParam);
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
