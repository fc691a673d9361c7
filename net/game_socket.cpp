#include "net/game_socket.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#include "net/extension.h"
#include "net/sock_errors.h"

namespace ravu {

namespace {
// The address as an interface lists it: IPv4-mapped IPv6 as IPv4, no zone.
QHostAddress Plain(QHostAddress a) {
    bool v4 = false;
    const quint32 ip4 = a.toIPv4Address(&v4);
    if (v4)
        return QHostAddress(ip4);
    a.setScopeId(QString());
    return a;
}
}  // namespace

bool IsOwnAddress(const QHostAddress& address) {
    const QHostAddress a = Plain(address);
    if (a.isLoopback() || a == QHostAddress(QHostAddress::AnyIPv4) ||
        a == QHostAddress(QHostAddress::AnyIPv6))
        return true;
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    return std::ranges::any_of(own, [&](const QHostAddress& o) { return Plain(o) == a; });
}

CGameSocket::CGameSocket(QObject* parent) : CPacketSocket(parent) {
    for (auto& slot : m_slots)
        slot = std::make_unique<CPacketSocket>();
}

CGameSocket::~CGameSocket() {
    for (auto& slot : m_slots)
        slot->Close();
}

int CGameSocket::Create(unsigned) {
    // The connection object itself comes with Connect; what Create leaves is
    // the knowledge of the local host.
    if (!m_hSocket)
        m_hSocket = NewSockHandle();
    // The own addresses are asked for when they matter (IsOwnAddress): they
    // change while the program runs, and looking the host name up here could
    // block.
    QString name = QHostInfo::localHostName();
    if (!name.isEmpty())
        m_strHostName = name.toStdString();
    return 1;
}

int CGameSocket::Listen(unsigned port) {
    m_bListening = 1;
    Create(port);
    if (!m_pServer) {
        m_pServer = new QTcpServer(this);
        m_pServer->setMaxPendingConnections(LISTEN_BACKLOG);
        m_pServer->setListenBacklogSize(LISTEN_BACKLOG);
        connect(m_pServer, &QTcpServer::newConnection, this, [this] { OnAccept(); });
    }
    if (m_pServer->isListening())
        return 1;
    // Both families on one socket; a machine without IPv6 gets IPv4 alone.
    // (A port held by some IPv6-only listener leaves IPv4 to us as well.)
    if (m_pServer->listen(QHostAddress::Any, static_cast<quint16>(port)) ||
        m_pServer->listen(QHostAddress::AnyIPv4, static_cast<quint16>(port)))
        return 1;
    SetErrorText(QtSocketErrorToWsa(m_pServer->serverError()));
    return 0;
}

unsigned CGameSocket::ListenPort() const {
    return m_pServer && m_pServer->isListening() ? m_pServer->serverPort() : 0;
}

void CGameSocket::OnAccept() {
    while (m_pServer->hasPendingConnections()) {
        CPacketSocket* slot = nullptr;
        for (auto& s : m_slots)
            if (!s->Handle()) {
                slot = s.get();
                break;
            }
        if (!slot) {
            // Five guests already: leave the rest waiting in the backlog; they
            // run into their own time-out.  Stop listening for more events of
            // this kind until a slot frees up, or the server would spin.
            m_pServer->pauseAccepting();
            return;
        }
        QTcpSocket* sock = m_pServer->nextPendingConnection();
        if (!sock)
            return;
        slot->Attach(sock);
        slot->m_pOwner = m_pOwner;
        // The slot reports its loss to us too, so that a waiting guest can be
        // taken in once a slot is free again.
        connect(sock, &QTcpSocket::disconnected, this, [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_pServer && !AllSlotsTaken()) {
                        m_pServer->resumeAccepting();
                        OnAccept();
                    }
                },
                Qt::QueuedConnection);
        });
        slot->SendPacket(PKT_HELLO, static_cast<int>(m_strHandleName.size()), m_strHandleName.data());
        // The extension is announced right behind the hello; a copy without
        // it sends exactly what it always has.
        const std::string caps = m_pOwner ? m_pOwner->CapsText() : std::string();
        if (!caps.empty())
            slot->SendPacket(PKT_EXT_CAPS, static_cast<int>(caps.size()), caps.data());
        const SockHandle handle = slot->Handle();
        QTimer::singleShot(m_nHelloWaitMs, slot, [this, slot, handle] {
            if (handle != 0 && slot->Handle() == handle && !slot->m_bHelloSeen)
                CloseSlot(handle);
        });
    }
}

int CGameSocket::Connect(const std::string& address, unsigned port, CSockOwner* owner) {
    m_pOwner = owner;
    auto* sock = new QTcpSocket();
    Adopt(sock);
    connect(sock, &QTcpSocket::connected, this, [this, sock] {
        if (sock == m_pSock) {
            m_bConnected = true;
            OnConnect(0);
        }
    });
    connect(sock, &QTcpSocket::errorOccurred, this, [this, sock](QAbstractSocket::SocketError e) {
        if (sock == m_pSock && !m_bConnected)
            OnConnect(QtSocketErrorToWsa(e));
    });
    QHostAddress addr;
    if (!addr.setAddress(QString::fromStdString(address))) {
        m_nLastError = WSAHOST_NOT_FOUND;
        GetLastErrorText();
        CloseConnection();
        return 0;
    }
    sock->connectToHost(addr, static_cast<quint16>(port));
    m_nLastError = WSAEWOULDBLOCK;
    m_strError = ConnectPendingText();
    return 1;
}

void CGameSocket::OnConnect(int nErrorCode) {
    SetErrorText(nErrorCode);
    PostToOwner(nErrorCode ? WM_SOCK_CONNECT_FAILED : WM_SOCK_CONNECTED, 0);
    if (nErrorCode)
        CloseConnection();
}

void CGameSocket::OnClose(int) {
    // The guest's connection reports 0: the host went away.
    PostToOwner(WM_SOCK_CLOSED, 0);
    CloseConnection();
}

void CGameSocket::Close() {
    if (!m_bListening) {
        CloseConnection();
        return;
    }
    for (auto& slot : m_slots)
        slot->Close();
    ResumeAccepting();
}

void CGameSocket::CloseSlot(SockHandle handle) {
    if (CPacketSocket* slot = FindSlot(handle)) {
        slot->Close();
        ResumeAccepting();
    }
}

void CGameSocket::ResumeAccepting() {
    if (!m_pServer)
        return;
    m_pServer->resumeAccepting();
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_pServer)
                OnAccept();
        },
        Qt::QueuedConnection);
}

bool CGameSocket::AllSlotsTaken() const {
    for (const auto& s : m_slots)
        if (!s->Handle())
            return false;
    return true;
}

void CGameSocket::SendTo(uint8_t type, int length, const char* data, SockHandle handle) {
    if (!m_bListening) {
        SendPacket(type, length, data);
        return;
    }
    if (handle != 0) {
        if (CPacketSocket* slot = FindSlot(handle))
            slot->SendPacket(type, length, data);
        return;
    }
    for (auto& slot : m_slots)
        if (slot->Handle())
            slot->SendPacket(type, length, data);
}

void CGameSocket::SendExcept(uint8_t type, int length, const char* data, SockHandle handle) {
    if (!m_bListening)
        return;
    for (auto& slot : m_slots)
        if (slot->Handle() && slot->Handle() != handle)
            slot->SendPacket(type, length, data);
}

void CGameSocket::SendLongText(const std::string& text, SockHandle handle) {
    CPacketSocket* slot = FindSlot(handle);
    if (!slot)
        return;
    for (const auto& [type, piece] : SplitLongText(text)) {
        // A failed send closes the slot; the rest has nowhere to go.
        if (slot->Handle() != handle)
            return;
        slot->SendPacket(type, static_cast<int>(piece.size()), piece.data());
    }
}

CPacketSocket* CGameSocket::FindSlot(SockHandle handle) const {
    if (handle == 0)
        return nullptr;
    for (const auto& slot : m_slots)
        if (slot->Handle() == handle)
            return slot.get();
    return nullptr;
}

std::string CGameSocket::GetText(SockHandle handle) const {
    if (m_bListening)
        if (CPacketSocket* slot = FindSlot(handle))
            return slot->m_strLastText;
    return m_strLastText;
}

uint8_t CGameSocket::GetLastType(SockHandle handle) const {
    if (!m_bListening)
        return m_nLastType;
    CPacketSocket* slot = FindSlot(handle);
    return slot ? slot->m_nLastType : 0;
}

std::string CGameSocket::GetPeerName(SockHandle handle) const {
    if (CPacketSocket* slot = FindSlot(handle))
        return slot->m_strPeerName;
    return m_strPeerName;
}

int CGameSocket::AllSlotsFree() const {
    for (const auto& slot : m_slots)
        if (slot->Handle())
            return 0;
    return 1;
}

int CGameSocket::HasConnection(SockHandle handle) const {
    if (handle == 0)
        return 0;
    if (m_bListening)
        return FindSlot(handle) ? 1 : 0;
    return handle == m_hSocket && m_pSock ? 1 : 0;
}

}  // namespace ravu
