#include "net/reconnector.h"

#include <algorithm>

#include "net/game_socket.h"

namespace ravu {

CReconnector::CReconnector(CGameSocket& connectSocket, CSockOwner* mainOwner, QObject* parent)
    : QObject(parent), socket(connectSocket), handshake(connectSocket, mainOwner, this) {
    wait.setSingleShot(true);
    connect(&wait, &QTimer::timeout, this, [this] { Attempt(); });
    handshake.onOutcome = [this](CGuestHandshake::Phase, CGuestHandshake::Outcome outcome) {
        Outcome(outcome);
    };
}

CReconnector::~CReconnector() = default;

void CReconnector::Start(const std::string& address, unsigned defaultPort, const std::string& name,
                         unsigned ownPort) {
    Stop();
    dest = SplitDestination(address, defaultPort);
    handleName = name;
    handshake.ownPort = ownPort;
    running = true;
    nextWaitMs = firstWaitMs;
    since.start();
    wait.start(nextWaitMs);
}

void CReconnector::Stop() {
    running = false;
    wait.stop();
    if (handshake.phase() != CGuestHandshake::PHASE_IDLE) {
        handshake.Cancel();
        socket.Close();
    }
}

void CReconnector::Attempt() {
    if (!running)
        return;
    handshake.connectTimeoutMs = attemptTimeoutMs;
    switch (handshake.StartConnect(dest, handleName)) {
        case CGuestHandshake::START_CONNECTING: return;
        case CGuestHandshake::START_UNKNOWN_HOST:
        case CGuestHandshake::START_OWN_ADDRESS: Outcome(CGuestHandshake::OUT_UNKNOWN_HOST); return;
        case CGuestHandshake::START_FAILED: Outcome(CGuestHandshake::OUT_FAILED); return;
    }
}

void CReconnector::Outcome(CGuestHandshake::Outcome outcome) {
    if (!running)
        return;
    if (outcome == CGuestHandshake::OUT_ACCEPTED) {
        running = false;
        if (onAccepted)
            onAccepted(handshake.hostName, handshake.hostCaps);
        return;
    }
    if (outcome == CGuestHandshake::OUT_REFUSED) {
        running = false;
        if (onGaveUp)
            onGaveUp(true);
        return;
    }
    // Not there (yet): wait twice as long, as long as there is time.
    nextWaitMs = std::min(nextWaitMs * 2, maxWaitMs);
    if (since.elapsed() + nextWaitMs > giveUpMs) {
        running = false;
        if (onGaveUp)
            onGaveUp(false);
        return;
    }
    wait.start(nextWaitMs);
}

}  // namespace ravu
