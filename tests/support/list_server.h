// A host list server on a free loopback port: keeps the request and, once a
// whole line has come, answers with the reply and closes (or, silent, never
// answers).  Its URL can be given to the program through RAVUONE_LIST_URL.
#pragma once

#include <QTcpServer>
#include <QTcpSocket>

namespace ravu::test {

class CListServer {
public:
    explicit CListServer(QByteArray reply, bool silent = false) : reply(std::move(reply)), silent(silent) {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, [this, s] {
                request += s->readAll();
                if (!this->silent && request.endsWith('\n')) {
                    s->write(this->reply);
                    s->disconnectFromHost();
                }
            });
        });
    }
    QString Url() const { return QString("http://127.0.0.1:%1/ravu/RavuOneList.txt").arg(server.serverPort()); }

    QTcpServer server;
    QByteArray reply;
    bool silent;
    QByteArray request;
};

}  // namespace ravu::test
