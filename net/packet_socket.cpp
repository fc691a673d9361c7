#include "net/packet_socket.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QTcpSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <QTimer>

#include "net/sock_errors.h"

#include <vector>

namespace ravu {

namespace {
std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> reporter;
    return reporter;
}

// How long a closed connection may still try to hand its last packets to
// the peer before it is dropped.
constexpr int LINGER_MS = 5000;

// Packet deliveries in progress (an owner may run a nested loop inside one).
int g_deliveryDepth = 0;
// Connections closed while a delivery was in progress.  One of them may be
// the very socket whose notification is still on the stack, so they are
// freed only once every delivery has returned.
std::vector<QPointer<QTcpSocket>>& Graveyard() {
    static std::vector<QPointer<QTcpSocket>> graveyard;
    return graveyard;
}

void DisposeSocket(QTcpSocket* sock) {
    if (g_deliveryDepth > 0)
        Graveyard().emplace_back(sock);
    else
        sock->deleteLater();
}

void EmptyGraveyard() {
    for (QPointer<QTcpSocket>& s : Graveyard())
        if (s)
            s->deleteLater();
    Graveyard().clear();
}
}  // namespace

int QtSocketErrorToWsa(int qtSocketError) {
    switch (static_cast<QAbstractSocket::SocketError>(qtSocketError)) {
        case QAbstractSocket::ConnectionRefusedError: return WSAECONNREFUSED;
        case QAbstractSocket::RemoteHostClosedError: return WSAECONNRESET;
        case QAbstractSocket::HostNotFoundError: return WSAHOST_NOT_FOUND;
        case QAbstractSocket::SocketAccessError: return WSAEACCES;
        case QAbstractSocket::SocketResourceError: return WSAENOBUFS;
        case QAbstractSocket::SocketTimeoutError: return WSAETIMEDOUT;
        case QAbstractSocket::DatagramTooLargeError: return WSAEMSGSIZE;
        case QAbstractSocket::NetworkError: return WSAENETUNREACH;
        case QAbstractSocket::AddressInUseError: return WSAEADDRINUSE;
        case QAbstractSocket::SocketAddressNotAvailableError: return WSAEADDRNOTAVAIL;
        case QAbstractSocket::UnsupportedSocketOperationError: return WSAEAFNOSUPPORT;
        case QAbstractSocket::UnfinishedSocketOperationError: return WSAEINPROGRESS;
        case QAbstractSocket::OperationError: return WSAEINVAL;
        default: return -1;  // no counterpart, no text
    }
}

CPacketSocket::CPacketSocket(QObject* parent) : QObject(parent) {}

CPacketSocket::~CPacketSocket() { CloseConnection(); }

void CPacketSocket::SetErrorReporter(std::function<void(const std::string&)> reporter) {
    Reporter() = std::move(reporter);
}

void CPacketSocket::ReportError(const std::string& sjisText) {
    // Queued, so that a message box never opens in the middle of a send or a
    // delivery loop.
    if (!Reporter() || !QCoreApplication::instance())
        return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [sjisText] {
            if (Reporter())
                Reporter()(sjisText);
        },
        Qt::QueuedConnection);
}

int CPacketSocket::SetErrorText(int code) {
    m_strError.clear();
    m_strError = SockErrorText(code);
    return code;
}

int CPacketSocket::GetLastErrorText() { return SetErrorText(m_nLastError); }

void CPacketSocket::PostToOwner(SockMsg msg, SockHandle wParam) {
    if (!m_pOwner)
        return;
    // The owner may have gone by the time the message is handled; its token
    // has expired then and the message is dropped.
    QMetaObject::invokeMethod(
        this, [owner = m_pOwner->Token(), msg, wParam] { DeliverSockMessage(owner, msg, wParam); },
        Qt::QueuedConnection);
}

void CPacketSocket::KeepAlive(QTcpSocket* sock) {
    // TCP keepalive, probing after a minute of silence rather than the
    // system's two hours, so that a peer whose machine or network went away
    // is noticed also by copies without the extension's heartbeat.
    sock->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    const qintptr fd = sock->socketDescriptor();
    if (fd < 0)
        return;
    const int idle = KEEPALIVE_IDLE_S, interval = KEEPALIVE_INTERVAL_S, count = KEEPALIVE_COUNT;
    setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

void CPacketSocket::Attach(QTcpSocket* sock) {
    Adopt(sock);
    m_bConnected = true;
}

void CPacketSocket::Adopt(QTcpSocket* sock) {
    CloseConnection();
    m_pSock = sock;
    m_hSocket = NewSockHandle();
    m_bConnected = false;
    m_bHelloSeen = false;
    sock->setParent(this);
    sock->setReadBufferSize(READ_BUFFER_MAX);
    // Moves are small and answered one by one: no waiting to fill segments.
    sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    KeepAlive(sock);
    connect(sock, &QTcpSocket::connected, this, [sock] { KeepAlive(sock); });
    const SockHandle handle = m_hSocket;
    connect(sock, &QTcpSocket::readyRead, this, [this, sock] {
        if (sock == m_pSock)
            OnReceive();
    });
    connect(sock, &QTcpSocket::disconnected, this, [this, sock, handle] {
        if (sock == m_pSock && handle == m_hSocket) {
            OnReceive();  // whole packets that came before the close still count
            if (sock == m_pSock && handle == m_hSocket)
                OnClose(0);
        }
    });
    connect(sock, &QTcpSocket::errorOccurred, this, [this, sock, handle](QAbstractSocket::SocketError e) {
        if (sock != m_pSock || handle != m_hSocket)
            return;
        m_nLastError = QtSocketErrorToWsa(e);
        // A connected socket reports its end through disconnected() as well;
        // an error that leaves it unconnected without that is a close here.
        if (m_bConnected && sock->state() == QAbstractSocket::UnconnectedState) {
            OnReceive();
            if (sock == m_pSock && handle == m_hSocket)
                OnClose(m_nLastError);
        }
    });
}

void CPacketSocket::CloseConnection() {
    QTcpSocket* sock = m_pSock;
    m_pSock = nullptr;
    m_hSocket = 0;
    m_bConnected = false;
    DropChunks();
    if (!sock)
        return;
    sock->disconnect(this);
    // Let the last packets (a refusal, say) reach the peer, but never wait
    // for a peer that does not read.  The application holds the socket while
    // it lingers, so that one still lingering when the program ends is freed
    // with it.
    sock->setParent(QCoreApplication::instance());
    if (sock->state() == QAbstractSocket::ConnectedState && sock->bytesToWrite() > 0) {
        QObject::connect(sock, &QTcpSocket::disconnected, sock, [sock] { DisposeSocket(sock); });
        QTimer::singleShot(LINGER_MS, sock, [sock] { DisposeSocket(sock); });
        sock->disconnectFromHost();
    } else {
        sock->abort();
        DisposeSocket(sock);
    }
}

void CPacketSocket::Close() { CloseConnection(); }

qint64 CPacketSocket::PendingSendBytes() const { return m_pSock ? m_pSock->bytesToWrite() : 0; }

void CPacketSocket::FailSend(int code) {
    m_nLastError = code;
    GetLastErrorText();
    PostToOwner(WM_SOCK_CLOSED, m_hSocket);
    CloseConnection();
    ReportError(SendErrorText());
}

void CPacketSocket::SendPacket(uint8_t type, int length, const char* data) {
    if (!m_pSock || !m_bConnected)
        return;
    Packet pkt = BuildPacket(type, length, data);
    qint64 n = m_pSock->write(reinterpret_cast<const char*>(pkt.data()), PACKET_SIZE);
    if (n != PACKET_SIZE) {
        FailSend(QtSocketErrorToWsa(m_pSock->error()));
        return;
    }
    // A peer that has stopped reading: the queue may not grow without end.
    if (m_pSock->bytesToWrite() > SEND_BUFFER_MAX)
        FailSend(WSAENOBUFS);
}

void CPacketSocket::OnReceive() {
    if (m_bDelivering || !m_pSock)
        return;
    m_bDelivering = true;
    QTcpSocket* sock = m_pSock;
    const SockHandle handle = m_hSocket;
    // Every whole packet that is buffered, in order; a partial packet waits
    // for the next notification.  The owner may close this connection (or
    // this object may get another) while it handles a packet: stop then.
    while (sock == m_pSock && handle == m_hSocket && sock->bytesAvailable() >= PACKET_SIZE) {
        uint8_t buf[PACKET_SIZE + 1] = {};
        if (sock->read(reinterpret_cast<char*>(buf), PACKET_SIZE) != PACKET_SIZE)
            break;
        TakeResult r = TakePacket(buf);
        if (r == TAKE_SILENT)
            continue;
        if (r == TAKE_OVERFLOW) {
            // A long text beyond any game's size: the peer is not one of us.
            m_nLastError = WSAENOBUFS;
            PostToOwner(WM_SOCK_CLOSED, handle);
            CloseConnection();
            break;
        }
        if (m_nLastType == PKT_HELLO)
            m_bHelloSeen = true;
        ++g_deliveryDepth;
        if (m_pOwner)
            m_pOwner->OnSockMessage(WM_SOCK_PACKET, handle);
        if (--g_deliveryDepth == 0)
            EmptyGraveyard();
    }
    m_bDelivering = false;
    // A new connection taken in while the owner handled a packet may have
    // packets of its own waiting; its notification came while this loop ran.
    if (m_pSock && m_pSock != sock && m_pSock->bytesAvailable() >= PACKET_SIZE)
        QMetaObject::invokeMethod(
            this, [this] { OnReceive(); }, Qt::QueuedConnection);
}

void CPacketSocket::OnClose(int nErrorCode) {
    PostToOwner(WM_SOCK_CLOSED, m_hSocket);
    CloseConnection();
}

}  // namespace ravu
