#include "loop_util.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <gtest/gtest.h>

namespace ravu::test {

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void RunFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

void CRecorder::OnSockMessage(SockMsg msg, SockHandle w) {
    Msg m{msg, w, -1, {}};
    if (msg == WM_SOCK_PACKET && sock) {
        m.type = sock->GetLastType(w);
        m.text = sock->GetText(w);
    }
    msgs.push_back(m);
}

int CRecorder::Count(SockMsg msg) const {
    int n = 0;
    for (const Msg& m : msgs)
        n += m.msg == msg;
    return n;
}

std::vector<CRecorder::Msg> CRecorder::Packets() const {
    std::vector<Msg> out;
    for (const Msg& m : msgs)
        if (m.msg == WM_SOCK_PACKET)
            out.push_back(m);
    return out;
}

CStallMeter::CStallMeter() {
    clock.start();
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        qint64 now = clock.elapsed();
        if (now - last > maxGap)
            maxGap = now - last;
        last = now;
    });
    timer.start();
}

CopyEvents::CopyEvents(CHeadlessCopy& copy) {
    QObject::connect(&copy, &CHeadlessCopy::event, [this](const QString& kind, const QByteArray& text, qint64 v) {
        all.push_back({kind.toStdString(), text.toStdString(), v});
    });
}

int CopyEvents::Count(const std::string& kind) const {
    int n = 0;
    for (const Ev& e : all)
        n += e.kind == kind;
    return n;
}

const CopyEvents::Ev* CopyEvents::Last(const std::string& kind) const {
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (it->kind == kind)
            return &*it;
    return nullptr;
}

std::unique_ptr<CHeadlessCopy> MakeHost(const std::string& name) {
    auto host = std::make_unique<CHeadlessCopy>(name);
    EXPECT_TRUE(host->Listen(0));
    EXPECT_NE(host->Port(), 0u);
    return host;
}

std::unique_ptr<CHeadlessCopy> MakeGuest(const std::string& name, CHeadlessCopy& host) {
    auto guest = std::make_unique<CHeadlessCopy>(name);
    EXPECT_TRUE(guest->Connect("127.0.0.1", host.Port()));
    EXPECT_TRUE(WaitUntil([&] { return guest->protocol.connState == CONN_GUEST; }));
    return guest;
}

}  // namespace ravu::test
