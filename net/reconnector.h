// A guest whose game was adjourned by a lost connection comes back to its
// host on its own: attempts through the guest's handshake (which sends the
// request to resume before the hello), the first soon, each later one after
// twice the wait before (at most half a minute), until the host answers or two minutes have passed.
// Between attempts the connection belongs to the main owner, so that the
// player can also connect by hand (Stop first).
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "net/guest_handshake.h"

namespace ravu {

class CReconnector : public QObject {
    Q_OBJECT
public:
    CReconnector(CGameSocket& connectSocket, CSockOwner* mainOwner, QObject* parent = nullptr);
    ~CReconnector() override;

    // Starts coming back to `address` as it was kept ("host:port", "[v6]:port",
    // a name; defaultPort when it names none).  ownPort: the port this copy
    // listens on (a copy never connects to itself).
    void Start(const std::string& address, unsigned defaultPort, const std::string& handleName,
               unsigned ownPort);
    // Stops waiting and any attempt under way; the attempt's connection is
    // closed, so that a host answering late cannot take this copy back.
    void Stop();
    bool Running() const { return running; }

    int firstWaitMs = 1000;
    int maxWaitMs = 30 * 1000;  // the waits grow up to this
    int giveUpMs = 120 * 1000;  // no attempt starts after this long
    int attemptTimeoutMs = 10 * 1000;

    // The host took this copy back; hostCaps for CPeerProtocol::OnGuestConnected.
    std::function<void(const std::string& hostName, const std::string& hostCaps)> onAccepted;
    // No more attempts: the host refused (it does not hold the game), or the
    // time ran out.
    std::function<void(bool refused)> onGaveUp;

private:
    void Attempt();
    void Outcome(CGuestHandshake::Outcome outcome);

    CGameSocket& socket;
    CGuestHandshake handshake;
    QTimer wait;
    QElapsedTimer since;
    int nextWaitMs = 0;
    bool running = false;
    Destination dest;
    std::string handleName;
};

}  // namespace ravu
