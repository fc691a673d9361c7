// Keeps this copy's listening port forwarded by the home router while the
// program runs: asks once at start, renews before the lease runs out (and
// asks again now and then when a renewal fails), and removes the mapping at
// the end.
//
// miniupnpc only blocks (HTTP with its own multi-second timeouts), so every
// exchange with the router runs on a short-lived worker thread, one at a
// time, and its result comes back to this object's thread as a queued call.
// NAT-PMP goes on the same worker so that the two are tried in order.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <thread>

#include "net/router_calls.h"

namespace ravu {

class CPortMapper : public QObject {
    Q_OBJECT
public:
    // How long the end of the program waits for the router to remove the mapping.
    static constexpr int EXIT_WAIT_MS = 2000;

    explicit CPortMapper(QObject* parent = nullptr);
    ~CPortMapper() override;  // Stop(EXIT_WAIT_MS)

    // Returns at once.  Asks for config.port on a worker when enabled and the
    // port is not 0; otherwise the result says why nothing is asked.
    void Start(const RouterConfig& config, bool enabled);

    // Removes the mapping made so far, waiting for a renewal in progress and
    // the router at most waitMs in all; nothing is renewed or reported
    // afterwards.  A worker still busy then (or a first search, which is not
    // waited for) is left to finish on its own; a mapping it still makes
    // runs out with its lease.
    void Stop(int waitMs);

    const PortMapResult& Result() const { return current.result; }

signals:
    void changed();  // Result() is new

private:
    struct Worker;  // what the worker thread shares with this object

    void Launch(std::function<RouterMapping()> job, bool report);
    void OnDone(const RouterMapping& mapping);
    // True when the worker finished before deadline (it is then joined);
    // otherwise it is detached.  *mapping gets its result when it finished.
    bool Finish(std::chrono::steady_clock::time_point deadline, RouterMapping* mapping);
    void Report(PortMapState state);

    RouterConfig config;
    RouterMapping current;
    std::shared_ptr<Worker> worker;
    std::thread thread;
    QTimer renewTimer;
    bool askingAgain = false;  // a renewal failed: the mapping is asked for until it is back
    bool stopped = false;
};

// Milliseconds until a lease of leaseSeconds is renewed: half of it, at
// least a second, at most a day.
int RenewAfterMs(uint32_t leaseSeconds);

}  // namespace ravu
