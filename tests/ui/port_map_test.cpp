// Port forwarding against a fake home router on the loopback address: the
// UPnP description and control endpoint over HTTP, NAT-PMP over UDP, served
// from a thread of their own (the program's end waits for the router on the
// window's thread).  The mapping is made, shown in the version dialog,
// renewed and removed at the end; an absent, refusing or slow router leaves
// a clear line and never holds up the window.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>
#include <iostream>
#include <mutex>

#include "app/textcodec.h"
#include "net/port_mapper.h"
#include "ui/about_dlg.h"

using namespace ravu;

namespace {

constexpr uint16_t PORT = 9149;
constexpr uint16_t NAT_PMP_PORT = 5351;

// A gateway with one WANIPConnection service at /ctl.
const QByteArray DESCRIPTION = QByteArrayLiteral(
    "<?xml version=\"1.0\"?><root><device><serviceList><service><serviceType>"
    "urn:schemas-upnp-org:service:WANIPConnection:1</serviceType><controlURL>/ctl</controlURL>"
    "</service></serviceList></device></root>");

struct RouterBehaviour {
    bool refuse = false;  // UPnP error 718, NAT-PMP result 2 (not authorised)
    int refuseOnly = 0;   // only the UPnP mapping request with this number (from 1) is refused
    int answerDelayMs = 0;
    bool natPmp = false;  // also answer NAT-PMP on 127.0.0.1:5351
};

class FakeRouter {
public:
    explicit FakeRouter(RouterBehaviour b) : behaviour(b) {
        thread.start();
        context.moveToThread(&thread);
        QMetaObject::invokeMethod(
            &context, [this] { Open(); }, Qt::BlockingQueuedConnection);
    }
    ~FakeRouter() {
        QMetaObject::invokeMethod(
            &context, [this] { qDeleteAll(context.children()); }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }
    std::string RootUrl() const { return "http://127.0.0.1:" + std::to_string(httpPort) + "/rootDesc.xml"; }
    std::vector<std::string> Log() {
        std::lock_guard<std::mutex> hold(lock);
        return log;
    }
    bool natPmpOpen = false;

private:
    void Open() {
        auto* server = new QTcpServer(&context);
        server->listen(QHostAddress::LocalHost);
        httpPort = server->serverPort();
        QObject::connect(server, &QTcpServer::newConnection, server, [this, server] {
            QTcpSocket* s = server->nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { OnHttp(s); });
        });
        if (behaviour.natPmp) {
            auto* udp = new QUdpSocket(&context);
            natPmpOpen = udp->bind(QHostAddress::LocalHost, NAT_PMP_PORT);
            QObject::connect(udp, &QUdpSocket::readyRead, udp, [this, udp] { OnNatPmp(udp); });
        }
    }
    void Note(const std::string& line) {
        std::lock_guard<std::mutex> hold(lock);
        log.push_back(line);
    }
    static QByteArray Field(const QByteArray& body, const char* name) {
        const auto m = QRegularExpression(QStringLiteral("<%1>([^<]*)<").arg(QLatin1String(name)))
                           .match(QString::fromLatin1(body));
        return m.captured(1).toLatin1();
    }
    void OnHttp(QTcpSocket* s) {
        QByteArray request = s->property("request").toByteArray() + s->readAll();
        s->setProperty("request", request);
        const qsizetype headEnd = request.indexOf("\r\n\r\n");
        const auto length = QRegularExpression(QStringLiteral("Content-Length: *(\\d+)"),
                                               QRegularExpression::CaseInsensitiveOption)
                                .match(QString::fromLatin1(request.left(headEnd)));
        if (headEnd < 0 || request.size() < headEnd + 4 + length.captured(1).toInt())
            return;
        const QByteArray body = request.mid(headEnd + 4);
        const auto action =
            QRegularExpression(QStringLiteral("#(\\w+)\"")).match(QString::fromLatin1(request.left(headEnd)));
        const QByteArray name = action.captured(1).toLatin1();
        int status = 200;
        QByteArray reply = DESCRIPTION;
        if (!name.isEmpty()) {
            Note((name + ' ' + Field(body, "NewExternalPort") + ' ' + Field(body, "NewInternalClient") + ' ' +
                  Field(body, "NewLeaseDuration"))
                     .toStdString());
            const int adds = name == "AddPortMapping" ? ++addCount : 0;
            const bool refused = adds && (behaviour.refuse || adds == behaviour.refuseOnly);
            status = refused ? 500 : 200;
            // Of a SOAP answer miniupnpc reads the error code, or the external address.
            reply = "<s:Envelope><s:Body>" +
                    QByteArray(refused ? "<s:Fault><detail><UPnPError><errorCode>718</errorCode></UPnPError>"
                                         "</detail></s:Fault>"
                               : name == "GetExternalIPAddress"
                                   ? "<NewExternalIPAddress>203.0.113.5</NewExternalIPAddress>"
                                   : "") +
                    "</s:Body></s:Envelope>";
        }
        const QByteArray answer = "HTTP/1.1 " + QByteArray::number(status) +
                                  " X\r\nContent-Type: text/xml\r\nConnection: close\r\nContent-Length: " +
                                  QByteArray::number(reply.size()) + "\r\n\r\n" + reply;
        QTimer::singleShot(behaviour.answerDelayMs, s, [s, answer] {
            s->write(answer);
            s->disconnectFromHost();
        });
    }
    // NAT-PMP: opcode 0 asks the public address, 2 maps TCP (lifetime 0 removes).
    void OnNatPmp(QUdpSocket* udp) {
        while (udp->hasPendingDatagrams()) {
            QHostAddress from;
            quint16 fromPort = 0;
            QByteArray q(static_cast<int>(udp->pendingDatagramSize()), '\0');
            udp->readDatagram(q.data(), q.size(), &from, &fromPort);
            QByteArray a(q.size() >= 12 && q[1] == 2 ? 16 : 12, '\0');
            a[1] = static_cast<char>(128 + q[1]);
            if (q[1] == 0) {
                qToBigEndian<quint32>(QHostAddress(QStringLiteral("198.51.100.2")).toIPv4Address(),
                                      a.data() + 8);
            } else if (a.size() == 16) {
                const quint16 port = qFromBigEndian<quint16>(q.constData() + 4);
                const quint32 lifetime = qFromBigEndian<quint32>(q.constData() + 8);
                Note((lifetime ? "NatPmpMap " : "NatPmpDelete ") + std::to_string(port));
                qToBigEndian<quint16>(behaviour.refuse ? 2 : 0, a.data() + 2);
                memcpy(a.data() + 8, q.constData() + 4, 8);  // private port, public port, lifetime
                qToBigEndian<quint16>(port, a.data() + 10);
            }
            udp->writeDatagram(a, from, fromPort);
        }
    }

    RouterBehaviour behaviour;
    QThread thread;
    QObject context;
    uint16_t httpPort = 0;
    std::mutex lock;
    int addCount = 0;  // mapping requests so far (the router's thread only)
    std::vector<std::string> log;
};

// A loopback URL where nothing listens.
std::string DeadUrl() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost);
    return "http://127.0.0.1:" + std::to_string(s.serverPort()) + "/rootDesc.xml";
}

// Runs the event loop until pred holds or timeoutMs passes; *longestGapMs
// gets the longest time the loop was away, i.e. how long the window would
// have been frozen.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs, qint64* longestGapMs = nullptr) {
    QElapsedTimer total, gap;
    total.start();
    gap.start();
    while (!pred() && total.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (longestGapMs)
            *longestGapMs = std::max(*longestGapMs, gap.restart());
        QThread::msleep(1);
    }
    return pred();
}

struct Mapping {
    CPortMapper mapper;
    CAboutDlg about;
    qint64 startMs = 0;
    Mapping(const RouterConfig& config, bool enabled) {
        about.Follow(&mapper);
        QElapsedTimer t;
        t.start();
        mapper.Start(config, enabled);
        startMs = t.elapsed();
    }
    std::string Shown() { return about.findChild<QLabel*>(QStringLiteral("portMap"))->text().toStdString(); }
};

// The window's thread gives the worker the job and goes on at once.
constexpr qint64 FRAME_MS = 50;

}  // namespace

// Each case ends in a line that says what came of it, and the window's
// thread is never away from its event loop for more than a frame, even while
// a slow router keeps the worker waiting.  A mapping is renewed at half its
// lease and removed at the end: the router's log shows every call.
TEST(PortMap, MappingsAndFailuresWithoutHoldingUpTheWindow) {
    const std::string add = "AddPortMapping 9149 127.0.0.1 2", ip = "GetExternalIPAddress   ",
                      del = "DeletePortMapping 9149  ",
                      upnp = "外部から接続できるアドレス: 203.0.113.5:9149（UPnP）";
    struct Case {
        const char* name;
        RouterBehaviour router;
        bool live, natPmp, enabled;  // live: the router's URL, else one where nothing listens
        PortMapState state;
        std::string shown;
        std::vector<std::string> log;  // a mapping's removal, the last call, comes at the program's end
        // clang-format off
    } const cases[] = {
        {"renewed", {}, true, false, true, PortMapState::Mapped, upnp, {add, ip, add, ip, del}},
        {"renewal refused, then asked again", {.refuseOnly = 2}, true, false, true, PortMapState::Mapped, upnp,
         {add, ip, add, add, ip, del}},
        {"slow", {.answerDelayMs = 300}, true, false, true, PortMapState::Mapped, upnp, {add, ip, del}},
        {"NAT-PMP", {.natPmp = true}, false, true, true, PortMapState::Mapped,
         "外部から接続できるアドレス: 198.51.100.2:9149（NAT-PMP）", {"NatPmpMap 9149", "NatPmpDelete 9149"}},
        {"NAT-PMP refused", {.refuse = true, .natPmp = true}, false, true, true, PortMapState::Refused,
         "ポート開放: ルーターに断られました（NAT-PMP コード 2）", {"NatPmpMap 9149"}},
        {"off", {}, true, false, false, PortMapState::Off, "ポート開放: 設定で切ってあります", {}},
        {"absent", {}, false, true, true, PortMapState::NoRouter, "ポート開放: 応答するルーターがありません", {}},
        {"refused", {.refuse = true}, true, false, true, PortMapState::Refused,
         "ポート開放: ルーターに断られました（UPnP コード 718）", {add}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRouter router(c.router);
        if (c.router.natPmp && !router.natPmpOpen) {
            std::cout << "127.0.0.1:5351 is taken: " << c.name << " is left out\n";
            continue;
        }
        RouterConfig config{.port = PORT,
                            .leaseSeconds = 2,
                            .upnpRootUrl = c.live ? router.RootUrl() : DeadUrl(),
                            .useNatPmp = c.natPmp,
                            .natPmpGateway = "127.0.0.1"};
        Mapping run(config, c.enabled);
        EXPECT_LT(run.startMs, FRAME_MS);
        qint64 longestGap = 0;
        EXPECT_TRUE(WaitUntil(
            [&] {
                const bool mapped = c.state == PortMapState::Mapped;
                return run.mapper.Result().state == c.state && router.Log().size() + mapped >= c.log.size();
            },
            5000, &longestGap));
        EXPECT_LT(longestGap, FRAME_MS);
        EXPECT_EQ(run.Shown(), c.shown);
        run.mapper.Stop(CPortMapper::EXIT_WAIT_MS);
        EXPECT_EQ(router.Log(), c.log);
    }
}
