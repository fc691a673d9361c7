#include "net/port_mapper.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace ravu {

struct CPortMapper::Worker {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    RouterMapping mapping;
    CPortMapper* owner = nullptr;  // cleared under lock once the owner stops listening
};

namespace {
// The longest wait before a router that failed a renewal is asked again.
constexpr int ASK_AGAIN_MAX_MS = 60 * 1000;
}  // namespace

int RenewAfterMs(uint32_t leaseSeconds) {
    constexpr uint32_t MIN_S = 1;
    constexpr uint32_t MAX_S = 24 * 60 * 60;
    return static_cast<int>(std::clamp(leaseSeconds / 2, MIN_S, MAX_S) * 1000);
}

CPortMapper::CPortMapper(QObject* parent) : QObject(parent) {
    renewTimer.setSingleShot(true);
    connect(&renewTimer, &QTimer::timeout, this, [this] {
        // The previous exchange has long finished: leases are renewed at half time.
        if (!worker || worker->done)
            Launch([config = config] { return MapPort(config); }, true);
    });
}

CPortMapper::~CPortMapper() { Stop(EXIT_WAIT_MS); }

void CPortMapper::Report(PortMapState state) {
    current = RouterMapping{};
    current.result.state = state;
    emit changed();
}

void CPortMapper::Start(const RouterConfig& wanted, bool enabled) {
    if (stopped || worker)
        return;
    config = wanted;
    if (!enabled)
        return Report(PortMapState::Off);
    if (config.port == 0)
        return Report(PortMapState::NotListening);
    Report(PortMapState::Searching);
    Launch([config = config] { return MapPort(config); }, true);
}

void CPortMapper::Launch(std::function<RouterMapping()> job, bool report) {
    if (thread.joinable())
        thread.join();  // the previous worker is done
    auto w = std::make_shared<Worker>();
    w->owner = report ? this : nullptr;
    worker = w;
    thread = std::thread([w, job = std::move(job)] {
        RouterMapping mapping = job();
        std::lock_guard<std::mutex> hold(w->lock);
        w->done = true;
        w->mapping = mapping;
        w->finished.notify_all();
        if (CPortMapper* owner = w->owner)
            QMetaObject::invokeMethod(
                owner, [owner, mapping] { owner->OnDone(mapping); }, Qt::QueuedConnection);
    });
}

void CPortMapper::OnDone(const RouterMapping& mapping) {
    if (stopped)
        return;
    const bool wasMapped = current.result.state == PortMapState::Mapped;
    current = mapping;
    if (current.result.state == PortMapState::Mapped && current.result.leaseSeconds > 0) {
        renewTimer.start(RenewAfterMs(current.result.leaseSeconds));
        askingAgain = false;
    } else if (wasMapped || askingAgain) {
        // A router that mapped the port before (restarting, say) is asked
        // again as often as the lease would be renewed, at least once a
        // minute, until it maps the port again.
        renewTimer.start(config.leaseSeconds ? std::min(RenewAfterMs(config.leaseSeconds), ASK_AGAIN_MAX_MS)
                                             : ASK_AGAIN_MAX_MS);
        askingAgain = true;
    }
    emit changed();
}

bool CPortMapper::Finish(std::chrono::steady_clock::time_point deadline, RouterMapping* mapping) {
    std::unique_lock<std::mutex> hold(worker->lock);
    worker->owner = nullptr;
    const bool done = worker->finished.wait_until(hold, deadline, [this] { return worker->done; });
    if (done && mapping)
        *mapping = worker->mapping;
    hold.unlock();
    if (done)
        thread.join();
    else
        thread.detach();  // it holds its own share of the worker; the process end takes it
    worker.reset();
    return done;
}

void CPortMapper::Stop(int waitMs) {
    if (stopped)
        return;
    stopped = true;
    renewTimer.stop();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    RouterMapping made = current;
    if (worker) {
        // A first search still running is not waited for (it may take
        // seconds and most likely finds nothing); a renewal is, so that the
        // mapping it refreshes is removed after it.
        RouterMapping latest;
        const bool waitForIt = current.result.state == PortMapState::Mapped;
        if (Finish(waitForIt ? deadline : std::chrono::steady_clock::now(), &latest) &&
            latest.result.state == PortMapState::Mapped)
            made = latest;
    }
    if (made.result.state != PortMapState::Mapped || std::chrono::steady_clock::now() >= deadline)
        return;
    Launch(
        [config = config, made] {
            UnmapPort(config, made);
            return RouterMapping{};
        },
        false);
    Finish(deadline, nullptr);
}

}  // namespace ravu
