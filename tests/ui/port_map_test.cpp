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
#include <mutex>

#include "app/textcodec.h"
#include "net/port_mapper.h"
#include "ui/about_dlg.h"

using namespace ravu;

namespace {

constexpr uint16_t PORT = 9149;
constexpr uint16_t NAT_PMP_PORT = 5351;
const char* const SERVICE = "urn:schemas-upnp-org:service:WANIPConnection:1";

// A gateway with one WANIPConnection service at /ctl.
const QByteArray DESCRIPTION = QByteArrayLiteral(
    "<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\"><device>"
    "<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType><deviceList><device>"
    "<deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType><deviceList><device>"
    "<deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType><serviceList><service>"
    "<serviceType>urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>"
    "<serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId><controlURL>/ctl</controlURL>"
    "<eventSubURL>/evt</eventSubURL><SCPDURL>/scpd.xml</SCPDURL>"
    "</service></serviceList></device></deviceList></device></deviceList></device></root>");

struct RouterBehaviour {
    bool refuse = false;  // UPnP error 718, NAT-PMP result 2 (not authorised)
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
            const bool refused = behaviour.refuse && name == "AddPortMapping";
            status = refused ? 500 : 200;
            const QByteArray inner =
                refused
                    ? QByteArrayLiteral(
                          "<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</"
                          "faultstring><detail>"
                          "<UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>718</errorCode>"
                          "<errorDescription>ConflictInMappingEntry</errorDescription></UPnPError></detail>"
                          "</s:Fault>")
                    : "<u:" + name + "Response xmlns:u=\"" + SERVICE + "\">" +
                          (name == "GetExternalIPAddress"
                               ? "<NewExternalIPAddress>203.0.113.5</NewExternalIPAddress>"
                               : "") +
                          "</u:" + name + "Response>";
            reply =
                "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                "<s:Body>" +
                inner + "</s:Body></s:Envelope>";
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
    explicit Mapping(const RouterConfig& config, bool enabled = true) {
        about.Follow(&mapper);
        QElapsedTimer t;
        t.start();
        mapper.Start(config, enabled);
        startMs = t.elapsed();
    }
    std::string Shown() { return about.findChild<QLabel*>(QStringLiteral("portMap"))->text().toStdString(); }
};

RouterConfig Config(const std::string& rootUrl, bool natPmp = false) {
    RouterConfig c;
    c.port = PORT;
    c.upnpRootUrl = rootUrl;
    c.useNatPmp = natPmp;
    c.natPmpGateway = "127.0.0.1";
    return c;
}

// The window's thread gives the worker the job and goes on at once.
constexpr qint64 FRAME_MS = 50;

}  // namespace

// Made, shown, renewed at half the lease, removed at the end.
TEST(PortMap, UpnpMappingIsShownRenewedAndRemoved) {
    FakeRouter router({});
    RouterConfig config = Config(router.RootUrl());
    config.leaseSeconds = 2;
    Mapping run(config);
    EXPECT_LT(run.startMs, FRAME_MS);
    ASSERT_TRUE(WaitUntil([&] { return run.mapper.Result().state == PortMapState::Mapped; }, 5000));
    EXPECT_EQ(run.Shown(), "外部から接続できるアドレス: 203.0.113.5:9149（UPnP）");
    ASSERT_TRUE(WaitUntil([&] { return router.Log().size() >= 4; }, 3000));
    run.mapper.Stop(CPortMapper::EXIT_WAIT_MS);
    const std::vector<std::string> add = {"AddPortMapping 9149 127.0.0.1 2", "GetExternalIPAddress   "};
    std::vector<std::string> expected = add;
    expected.insert(expected.end(), add.begin(), add.end());
    expected.push_back("DeletePortMapping 9149  ");
    EXPECT_EQ(router.Log(), expected);
}

// NAT-PMP behind a router without UPnP: made and removed, or refused.
TEST(PortMap, NatPmpMappingIsShownAndRemovedOrRefused) {
    for (bool refuse : {false, true}) {
        FakeRouter router({.refuse = refuse, .natPmp = true});
        if (!router.natPmpOpen)
            GTEST_SKIP() << "127.0.0.1:5351 is taken";
        Mapping run(Config(DeadUrl(), true));
        ASSERT_TRUE(WaitUntil([&] { return run.mapper.Result().state != PortMapState::Searching; }, 5000));
        EXPECT_EQ(run.Shown(), refuse ? "ポート開放: ルーターに断られました（NAT-PMP コード 2）"
                                      : "外部から接続できるアドレス: 198.51.100.2:9149（NAT-PMP）");
        run.mapper.Stop(CPortMapper::EXIT_WAIT_MS);
        std::vector<std::string> expected{"NatPmpMap 9149"};
        if (!refuse)
            expected.push_back("NatPmpDelete 9149");
        EXPECT_EQ(router.Log(), expected);
    }
}

// Without a mapping each case ends in a line that says why, and the window's
// thread is never away from its event loop for more than a frame, even while
// a slow router keeps the worker waiting.
TEST(PortMap, FailuresAreToldWithoutHoldingUpTheWindow) {
    struct Case {
        const char* name;
        RouterBehaviour router;
        bool live;  // the router's URL, else one where nothing listens
        bool natPmp;
        bool enabled;
        PortMapState state;
        const char* shown;
    };
    const Case cases[] = {
        {"off", {}, true, false, false, PortMapState::Off, "ポート開放: 設定で切ってあります"},
        {"absent", {}, false, true, true, PortMapState::NoRouter, "ポート開放: 応答するルーターがありません"},
        {"refused",
         {.refuse = true},
         true,
         false,
         true,
         PortMapState::Refused,
         "ポート開放: ルーターに断られました（UPnP コード 718）"},
        {"slow",
         {.answerDelayMs = 300},
         true,
         false,
         true,
         PortMapState::Mapped,
         "外部から接続できるアドレス: 203.0.113.5:9149（UPnP）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRouter router(c.router);
        Mapping run(Config(c.live ? router.RootUrl() : DeadUrl(), c.natPmp), c.enabled);
        EXPECT_LT(run.startMs, FRAME_MS);
        qint64 longestGap = 0;
        EXPECT_TRUE(WaitUntil([&] { return run.mapper.Result().state == c.state; }, 5000, &longestGap));
        EXPECT_LT(longestGap, FRAME_MS);
        RecordProperty(std::string(c.name) + "Ms",
                       std::to_string(run.startMs) + " " + std::to_string(longestGap));
        EXPECT_EQ(run.Shown(), c.shown);
        if (!c.enabled) {
            EXPECT_TRUE(router.Log().empty());
        }
    }
}
