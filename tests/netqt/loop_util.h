// Helpers of the loopback tests: deadline-bound waits on the event loop, a
// socket-message recorder, and a meter of event-loop stalls.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "net/game_socket.h"
#include "net/headless_copy.h"
#include "net/sock_owner.h"

namespace ravu::test {

// Runs the event loop until pred holds or the deadline passes; answers pred.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 5000);
// Runs the event loop for a while (for checking that something does NOT happen).
void RunFor(int ms);

// Records every socket message, with the type and text the socket holds at
// delivery of a packet.
class CRecorder : public CSockOwner {
public:
    struct Msg {
        SockMsg msg;
        SockHandle w;
        int type;
        std::string text;
    };
    explicit CRecorder(CGameSocket* sock = nullptr) : sock(sock) {}
    void OnSockMessage(SockMsg msg, SockHandle w) override;
    int Count(SockMsg msg) const;
    std::vector<Msg> Packets() const;

    CGameSocket* sock;
    std::vector<Msg> msgs;
};

// Largest gap between the ticks of a 1 ms timer while it runs.
class CStallMeter {
public:
    CStallMeter();
    qint64 MaxGapMs() const { return maxGap; }

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 maxGap = 0;
};

// Collects a copy's events as (kind, Shift-JIS text, value).
struct CopyEvents {
    struct Ev {
        std::string kind;
        std::string text;
        qint64 value;
    };
    explicit CopyEvents(CHeadlessCopy& copy);
    int Count(const std::string& kind) const;
    const Ev* Last(const std::string& kind) const;
    std::vector<Ev> all;
};

// A host copy listening on a free port.
std::unique_ptr<CHeadlessCopy> MakeHost(const std::string& name);
// A guest copy connected and accepted by the host (waits for it).
std::unique_ptr<CHeadlessCopy> MakeGuest(const std::string& name, CHeadlessCopy& host);

}  // namespace ravu::test
