// A record file handed from a second copy to the running one.
//
// The running copy listens on a local socket named after the instance key,
// in the per-user instance folder.  A second copy started with a file
// connects, writes the file's absolute path in UTF-8 and closes: one path per
// connection.  Whatever arrives is untrusted: more than MAX_PATH_BYTES bytes,
// a connection silent for longer than the time limit, text that is not
// UTF-8, holds a NUL or is not an absolute path, or a path that is not an
// existing regular file, is dropped without a word.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace ravu {

// The local socket of the instance key: InstanceDirectory() + "/ravuone-" +
// the first 16 hex digits of the key's SHA-1 + ".sock" (short enough for any
// socket path, and no key can leave the folder).
QString HandOffSocketPath(const QString& key);

// The longest path a second copy may hand over, in bytes.
inline constexpr qsizetype MAX_PATH_BYTES = 4096;

// Checks what arrived on one connection: the path of an existing regular
// file, or empty.
QString AcceptedHandOffPath(const QByteArray& bytes);

// Listens for handed files while it lives; open is called with each
// accepted path.
class CHandOffServer : public QObject {
    Q_OBJECT
public:
    // timeoutMs: how long one connection may take to deliver its path.
    CHandOffServer(const QString& key, std::function<void(const QString&)> open, int timeoutMs = 5000);
    ~CHandOffServer() override;

    // False when the socket could not be made (the copy then runs without it).
    bool IsListening() const;
    // Connections open at the moment, and connections ended so far (taken or dropped).
    int OpenConnections() const { return connections; }
    int EndedConnections() const { return ended; }

private:
    void Accept();
    void Finish(QLocalSocket* socket, bool take);

    QLocalServer* server;
    std::function<void(const QString&)> open;
    int timeoutMs;
    int connections = 0;
    int ended = 0;
};

// Hands path (absolute) to the copy that runs under key.  Tries for about
// waitMs while that copy may still be starting; false when nobody took it.
bool SendToRunningCopy(const QString& key, const QString& path, int waitMs = 5000);

}  // namespace ravu
