#include "app/hand_off.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>

#include "app/shogi_app.h"

namespace ravu {

namespace {

// Connections read at the same time; more are closed at once.
constexpr int MAX_CONNECTIONS = 8;

// The bytes read so far on a connection, kept on the socket itself.
constexpr const char* RECEIVED = "ravuHandOffBytes";
constexpr const char* FINISHED = "ravuHandOffDone";

}  // namespace

QString HandOffSocketPath(const QString& key) {
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return InstanceDirectory() + QStringLiteral("/ravuone-") + QString::fromLatin1(digest) +
           QStringLiteral(".sock");
}

QString AcceptedHandOffPath(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > MAX_PATH_BYTES || bytes.contains('\0'))
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString path = utf8.decode(bytes);
    if (utf8.hasError() || !QDir::isAbsolutePath(path))
        return {};
    const QFileInfo info(path);
    return info.isFile() ? info.absoluteFilePath() : QString();
}

CHandOffServer::CHandOffServer(const QString& key, std::function<void(const QString&)> onOpen, int timeout)
    : server(new QLocalServer(this)), open(std::move(onOpen)), timeoutMs(timeout) {
    const QString path = HandOffSocketPath(key);
    // The caller holds the instance lock: a socket file left there belongs to
    // a copy that has ended.
    QLocalServer::removeServer(path);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path))
        qWarning("ravuone: files cannot be handed to this copy: %s", qPrintable(server->errorString()));
    connect(server, &QLocalServer::newConnection, this, &CHandOffServer::Accept);
}

CHandOffServer::~CHandOffServer() = default;

bool CHandOffServer::IsListening() const { return server->isListening(); }

void CHandOffServer::Accept() {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        if (connections >= MAX_CONNECTIONS) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connections;
        socket->setReadBufferSize(MAX_PATH_BYTES + 1);
        auto read = [this, socket] {
            QByteArray bytes = socket->property(RECEIVED).toByteArray();
            bytes += socket->read(MAX_PATH_BYTES + 1 - bytes.size());
            socket->setProperty(RECEIVED, bytes);
            if (bytes.size() > MAX_PATH_BYTES)
                Finish(socket, false);
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        // The sender closes once it has written its path: that ends the message.
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, read] {
            read();
            Finish(socket, true);
        });
        QTimer::singleShot(timeoutMs, socket, [this, socket] { Finish(socket, false); });
        read();
        if (socket->state() == QLocalSocket::UnconnectedState)
            Finish(socket, true);
    }
}

void CHandOffServer::Finish(QLocalSocket* socket, bool take) {
    if (socket->property(FINISHED).toBool())
        return;
    socket->setProperty(FINISHED, true);
    --connections;
    ++ended;
    const QByteArray bytes = socket->property(RECEIVED).toByteArray();
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    if (!take)
        return;
    const QString path = AcceptedHandOffPath(bytes);
    if (!path.isEmpty() && open)
        open(path);
}

bool SendToRunningCopy(const QString& key, const QString& path, int waitMs) {
    const QByteArray bytes = path.toUtf8();
    if (bytes.size() > MAX_PATH_BYTES)
        return false;
    const QString name = HandOffSocketPath(key);
    const QDeadlineTimer deadline(waitMs);
    auto left = [&deadline] { return static_cast<int>(qMax<qint64>(deadline.remainingTime(), 1)); };
    // The running copy makes its socket only once its window is set up.
    constexpr int RETRY_MS = 100;
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(left())) {
            socket.write(bytes);
            const bool written = socket.waitForBytesWritten(left());
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(left());
            return written;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(RETRY_MS);
    }
}

}  // namespace ravu
