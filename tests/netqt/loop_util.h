// Helpers of the loopback tests: deadline-bound waits on the event loop, raw
// packets and clients, the events of a copy, host and guest copies.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include "net/headless_copy.h"

namespace ravu::test {

// Runs the event loop until pred holds or the deadline passes; answers pred.
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 5000) {
    QElapsedTimer clock;
    for (clock.start(); !pred() && clock.elapsed() <= timeoutMs;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // closed sockets go
    }
    return pred();
}

// Runs the event loop for a while (to see that something does NOT happen).
inline void RunFor(int ms) {
    WaitUntil([] { return false; }, ms);
}

inline QByteArray Raw(uint8_t type, const std::string& text) {
    Packet p = BuildPacket(type, static_cast<int>(text.size()), text.data());
    return QByteArray(reinterpret_cast<const char*>(p.data()), PACKET_SIZE);
}

// Connects a raw client and reads the accepting host's hello.
inline bool RawConnect(QTcpSocket& c, unsigned port) {
    c.connectToHost(QHostAddress::LocalHost, port);
    return WaitUntil([&] { return c.bytesAvailable() >= PACKET_SIZE; }) &&
           c.read(PACKET_SIZE).size() == PACKET_SIZE;
}

// The copy's events from now on, as "<kind> <text>".
inline std::shared_ptr<std::vector<std::string>> Events(CHeadlessCopy& copy) {
    auto events = std::make_shared<std::vector<std::string>>();
    QObject::connect(&copy, &CHeadlessCopy::event, [events](const QString& kind, const QByteArray& text) {
        events->push_back(kind.toStdString() + " " + text.toStdString());
    });
    return events;
}

inline std::unique_ptr<CHeadlessCopy> MakeHost(const std::string& name) {
    auto host = std::make_unique<CHeadlessCopy>(name);
    EXPECT_TRUE(host->Listen(0));
    return host;
}

// A guest copy connected to the host (at address, a literal or a name) and accepted.
inline std::unique_ptr<CHeadlessCopy> MakeGuest(const std::string& name, CHeadlessCopy& host,
                                                const std::string& address = "127.0.0.1") {
    auto guest = std::make_unique<CHeadlessCopy>(name);
    EXPECT_TRUE(guest->Connect(address, host.Port()));
    EXPECT_TRUE(WaitUntil([&] { return guest->protocol.connState == CONN_GUEST; }));
    return guest;
}

}  // namespace ravu::test
