// The host list fetch: one request line, the reply as it comes, bounded waits.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "app/textcodec.h"
#include "loop_util.h"
#include "net/list_socket.h"

using namespace ravu;
using namespace ravu::test;

namespace {

// A list server on a free port: records the request, answers as told.
class FakeListServer {
public:
    // reply empty and silent: accept and never answer.
    explicit FakeListServer(QByteArray reply, bool silent = false) : reply(std::move(reply)), silent(silent) {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, [this, s] {
                request += s->readAll();
                if (!this->silent && request.contains('\n')) {
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

class ListUrl {
public:
    explicit ListUrl(const QString& url) { setenv("RAVUONE_LIST_URL", url.toUtf8().constData(), 1); }
    ~ListUrl() { unsetenv("RAVUONE_LIST_URL"); }
};

}  // namespace

TEST(ListFetch, DefaultUrlNamesTheListFile) {
    unsetenv("RAVUONE_LIST_URL");
    std::string url = HostListUrl();
    EXPECT_EQ(url.rfind("http://", 0), 0u);
    EXPECT_EQ(url.substr(url.size() - 15), "RavuOneList.txt");
}

TEST(ListFetch, OneRequestLineAndTheReplyAsItComes) {
    QByteArray list = QByteArray::fromStdString(Utf8ToSjis("host1.example,たろう\r\n10.0.0.2,はなこ,初段\r\n"));
    FakeListServer server(list);
    ListUrl env(server.Url());
    CListSocket fetch;
    fetch.FetchList();
    EXPECT_EQ(server.request, (QStringLiteral("GET ") + server.Url() + "\n").toUtf8());
    EXPECT_EQ(fetch.ListText(), list.toStdString());
    EXPECT_EQ(fetch.m_bConnected, 1);
    EXPECT_EQ(fetch.m_bReceived, 1);
}

TEST(ListFetch, ReplyOverOneKilobyteKeepsTheFirst1024Bytes) {
    QByteArray big;
    for (int i = 0; big.size() < 3000; ++i)
        big += QByteArray::number(i) + ",name\r\n";
    FakeListServer server(big);
    ListUrl env(server.Url());
    CListSocket fetch;
    fetch.FetchList();
    EXPECT_EQ(fetch.ListText().size(), 1024u);
    EXPECT_EQ(fetch.ListText(), big.left(1024).toStdString());
}

TEST(ListFetch, NoAnswerEndsEmptyAfterTheWaitAndTheLoopKeepsRunning) {
    FakeListServer server("", true);
    ListUrl env(server.Url());
    CListSocket fetch;
    fetch.m_nWaitLimitMs = 300;
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    QElapsedTimer clock;
    clock.start();
    fetch.FetchList();
    qint64 took = clock.elapsed();
    EXPECT_EQ(fetch.ListText(), "");
    EXPECT_GE(took, 300);
    EXPECT_LT(took, 3000);
    EXPECT_GT(ticks, 10);  // other timers kept firing during the nested wait
    EXPECT_EQ(server.request.left(4), QByteArray("GET "));
}

TEST(ListFetch, NoServerGivesAnEmptyList) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    QString url = QString("http://127.0.0.1:%1/RavuOneList.txt").arg(probe.serverPort());
    probe.close();
    ListUrl env(url);
    CListSocket fetch;
    fetch.m_nWaitLimitMs = 2000;
    QElapsedTimer clock;
    clock.start();
    fetch.FetchList();
    EXPECT_EQ(fetch.ListText(), "");
    EXPECT_EQ(fetch.m_bConnected, 0);
    EXPECT_LT(clock.elapsed(), 1500);
}

// A stock web server answers the one-line request with the bare file.
// Opt-in (RAVU_TEST_NGINX=1): it starts Debian's nginx on port 80, which
// needs root and a free port 80.
TEST(ListFetch, DebianNginxOnPort80) {
    if (qgetenv("RAVU_TEST_NGINX") != "1")
        GTEST_SKIP() << "opt-in: set RAVU_TEST_NGINX=1 (needs root and nginx: bash scripts/setup.sh nginx)";
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to listen on port 80";
    QString nginx = QStandardPaths::findExecutable("nginx", {"/usr/sbin", "/usr/local/sbin", "/sbin"});
    if (nginx.isEmpty())
        GTEST_SKIP() << "nginx is not installed (bash scripts/setup.sh nginx installs nginx-light)";
    {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, 80);
        if (probe.waitForConnected(300))
            GTEST_SKIP() << "something already listens on 127.0.0.1:80";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString root = dir.path();
    QDir().mkpath(root + "/www");
    QByteArray list = QByteArray::fromStdString(Utf8ToSjis("127.0.0.1,ローカル,テスト\r\nexample.org,遠く\r\n"));
    {
        QFile f(root + "/www/RavuOneList.txt");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(list);
    }
    QFile conf(root + "/nginx.conf");
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(QString("daemon off;\nmaster_process off;\nworker_processes 1;\n"
                       "pid %1/nginx.pid;\nerror_log %1/error.log;\n"
                       "events { worker_connections 32; }\n"
                       "http {\n  access_log off;\n"
                       "  client_body_temp_path %1/body;\n  proxy_temp_path %1/proxy;\n"
                       "  fastcgi_temp_path %1/fastcgi;\n  uwsgi_temp_path %1/uwsgi;\n  scgi_temp_path %1/scgi;\n"
                       "  server { listen 127.0.0.1:80; root %1/www; }\n}\n")
                   .arg(root)
                   .toUtf8());
    conf.close();
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedChannels);
    server.start(nginx, {"-c", root + "/nginx.conf", "-p", root});
    ASSERT_TRUE(server.waitForStarted(5000));
    bool up = WaitUntil([&] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, 80);
        return probe.waitForConnected(100);
    }, 10000);
    if (up) {
        ListUrl env("http://127.0.0.1/RavuOneList.txt");
        CListSocket fetch;
        fetch.m_nWaitLimitMs = 10000;
        fetch.FetchList();
        EXPECT_EQ(fetch.ListText(), list.toStdString());
    }
    server.terminate();
    if (!server.waitForFinished(5000)) {
        server.kill();
        server.waitForFinished(2000);
    }
    ASSERT_TRUE(up) << "nginx did not come up";
}
