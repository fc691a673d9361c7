// A host list server on a free loopback port: keeps the request and, once a
// whole line has come, answers with the reply and closes (silent: never
// answers).  Url() is for RAVUONE_LIST_URL.
#pragma once

#include <QTcpServer>
#include <QTcpSocket>

namespace ravu::test {

struct CListServer {
    explicit CListServer(QByteArray reply, bool silent = false) {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this, reply, silent] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, [this, s, reply, silent] {
                request += s->readAll();
                if (!silent && request.endsWith('\n')) {
                    s->write(reply);
                    s->disconnectFromHost();
                }
            });
        });
    }
    QString Url() const {
        return QString("http://127.0.0.1:%1/ravu/RavuOneList.txt").arg(server.serverPort());
    }

    QTcpServer server;
    QByteArray request;
};

}  // namespace ravu::test
