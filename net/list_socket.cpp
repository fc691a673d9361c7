#include "net/list_socket.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <cstdlib>
#include <cstring>

namespace ravu {

namespace {
// Where the list of destinations lives.
constexpr const char* kListUrl = "http://ravuone.sourceforge.net/list/RavuOneList.txt";
constexpr int kListPort = 80;
}  // namespace

std::string HostListUrl() {
    const char* env = std::getenv("RAVUONE_LIST_URL");
    if (env && *env)
        return env;
    return kListUrl;
}

CListSocket::CListSocket(QObject* parent) : QObject(parent) {}

CListSocket::~CListSocket() {
    if (m_pSock) {
        m_pSock->disconnect(this);
        m_pSock->abort();
        delete m_pSock;
    }
}

std::string CListSocket::ListText() const {
    size_t n = 0;
    while (n < sizeof m_pListBuf && m_pListBuf[n] != '\0')
        ++n;
    return std::string(m_pListBuf, n);
}

void CListSocket::WaitForEvent() {
    // A nested loop: every other socket and window keeps being served while
    // this waits for the first notification or the limit.
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (!m_bWaiting || clock.elapsed() > m_nWaitLimitMs)
            loop.exit(1);
    });
    tick.start();
    while (m_bWaiting && clock.elapsed() <= m_nWaitLimitMs) {
        // Any other result is the application quitting: every loop unwinds,
        // the outer one included, so the application still ends.
        if (loop.exec() != 1)
            break;
    }
}

void CListSocket::OnConnect(int code) {
    m_bConnected = code == 0 ? 1 : 0;
    // A socket that is connected can send at once.
    if (code == 0)
        m_bSendReady = 1;
    m_bWaiting = 0;
}

void CListSocket::OnSend(int code) {
    m_bSendReady = code == 0 ? 1 : 0;
    m_bWaiting = 0;
}

void CListSocket::OnReceive() {
    std::memset(m_pListBuf, 0, sizeof m_pListBuf);
    qint64 n = m_pSock ? m_pSock->read(m_pListBuf, sizeof m_pListBuf) : -1;
    m_bReceived = n >= 0 ? 1 : 0;
    m_bWaiting = 0;
}

void CListSocket::FetchList() {
    std::string url = HostListUrl();
    QUrl parsed(QString::fromStdString(url));
    QString host = parsed.host();
    int port = parsed.port(kListPort);
    std::string request = "GET " + url + "\n";

    std::memset(m_pListBuf, 0, sizeof m_pListBuf);
    m_bSendReady = m_bReceived = m_bConnected = m_bWaiting = 0;
    if (host.isEmpty())
        return;

    if (m_pSock) {
        m_pSock->disconnect(this);
        m_pSock->abort();
        m_pSock->deleteLater();
    }
    QTcpSocket* sock = new QTcpSocket(this);
    m_pSock = sock;
    connect(sock, &QTcpSocket::connected, this, [this] { OnConnect(0); });
    connect(sock, &QTcpSocket::errorOccurred, this, [this, sock](QAbstractSocket::SocketError) {
        if (!m_bConnected) {
            OnConnect(1);
        } else if (m_bWaiting) {
            // The server closed without a reply: the wait is over.
            if (sock->bytesAvailable() > 0)
                OnReceive();
            else
                m_bWaiting = 0;
        }
    });
    connect(sock, &QTcpSocket::bytesWritten, this, [this](qint64) { OnSend(0); });
    connect(sock, &QTcpSocket::readyRead, this, [this] { OnReceive(); });

    sock->connectToHost(host, static_cast<quint16>(port));
    if (sock->state() != QAbstractSocket::ConnectedState) {
        m_bWaiting = 1;
        WaitForEvent();
        if (!m_bConnected) {
            sock->abort();
            return;
        }
    }
    if (!m_bSendReady) {
        m_bWaiting = 1;
        WaitForEvent();
    }
    if (m_bSendReady) {
        qint64 n = sock->write(request.data(), static_cast<qint64>(request.size()));
        if (n == static_cast<qint64>(request.size()) && !m_bReceived) {
            m_bWaiting = 1;
            // bytesWritten would end this wait before any reply; only a read
            // (or the end of the connection) counts from here on.
            disconnect(sock, &QTcpSocket::bytesWritten, this, nullptr);
            WaitForEvent();
        }
    }
    sock->abort();
}

}  // namespace ravu
