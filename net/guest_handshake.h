// The guest's half of the handshake, shared by the connect and turn dialogs
// and the headless copy: look the destination up in the background, connect
// to its addresses one after another (IPv6 first) until one answers, send
// the own hello, wait for the host's acceptance (all of it within about
// 121 s); later propose the sides and wait for their acceptance (about 61 s
// per proposal).  While a phase runs it owns the guest connection and passes
// every message it does not handle on to the main owner.  It hands the
// connection back to the main owner before it reports an acceptance, so that
// packets behind the acceptance in the same read (a running game's catch-up,
// the host's first move) reach the main owner already knowing the outcome.
// The main owner's CapsText follows the own hello, its ProposalText goes
// before each proposal.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <string>

#include "net/host_list.h"
#include "net/sock_owner.h"

namespace ravu {

class CGameSocket;

class CGuestHandshake : public QObject, public CSockOwner {
    Q_OBJECT
public:
    enum Phase { PHASE_IDLE = 0, PHASE_CONNECTING = 1, PHASE_TURN = 2 };
    enum Outcome {
        OUT_ACCEPTED = 0,   // connection or sides accepted
        OUT_REFUSED = 1,    // PKT_REFUSE
        OUT_FAILED = 2,     // the connection could not be made or went (text in the socket's m_strError)
        OUT_TIMED_OUT = 3,  // no answer in time
        // Only after a name was looked up in the background:
        OUT_UNKNOWN_HOST = 4,  // the name has no address
        OUT_OWN_ADDRESS = 5,   // every address of the name is this copy: nothing was done
    };
    // How StartConnect went.
    enum Start {
        START_CONNECTING = 0,    // the attempt (or the name's lookup) runs; an outcome follows
        START_UNKNOWN_HOST = 1,  // no destination was given
        START_OWN_ADDRESS = 2,   // the address is this copy itself: nothing is done
        START_FAILED = 3,        // the attempt could not start (the socket's m_strError says why)
    };

    CGuestHandshake(CGameSocket& connectSocket, CSockOwner* mainOwner, QObject* parent = nullptr);
    ~CGuestHandshake() override;

    // Connects to dest: an address literal at once, a name once it has been
    // looked up in the background (never blocking; the time limit covers
    // the lookup).  The address being tried is left in the socket's
    // m_strResolvedAddr; the hello carries handleName.
    Start StartConnect(const Destination& dest, const std::string& handleName);
    // Connects to the first of the addresses that answers, IPv6 ones first,
    // each in order; what StartConnect does once it has the addresses.  An
    // address that does not answer gets its share of the time left (at most
    // ADDRESS_TRY_MS) while others remain.  A copy never connects to itself:
    // its own addresses (every local address of both families) are left out
    // unless an explicit port other than ownPort names another copy on the
    // machine; when nothing is left, that is START_OWN_ADDRESS.
    Start StartConnectTo(const QList<QHostAddress>& addresses, const Destination& dest,
                         const std::string& handleName);
    // Takes the connection for the sides phase before a proposal is sent.
    void OpenTurn();
    // Sends PKT_TURN with the side the guest takes and waits for the answer.
    void ProposeTurn(int side);
    // Gives the connection back to the main owner (the dialog closes).
    void Cancel();

    void OnSockMessage(SockMsg msg, SockHandle wParam) override;

    Phase phase() const { return m_phase; }
    int proposedSide() const { return m_nSide; }
    // True while an answer is awaited (the time limit runs).
    bool Waiting() const { return m_timer.isActive(); }

    // Longest wait for one address while others remain to be tried.
    static constexpr int ADDRESS_TRY_MS = 10 * 1000;
    int connectTimeoutMs = 121 * 1000;
    int turnTimeoutMs = 61 * 1000;
    // The port this copy listens on; 0 when it listens nowhere (then only a
    // destination without a port, which means the usual one, is this copy).
    unsigned ownPort = 0;
    // The host's hello text (its handle name), Shift-JIS.
    std::string hostName;
    // The host's announcement of the extension, empty when none came; for
    // CPeerProtocol::OnGuestConnected.
    std::string hostCaps;

    // Phase outcomes.  A refused or timed-out proposal keeps the phase (the
    // dialog stays open): a later acceptance still counts.
    std::function<void(Phase, Outcome)> onOutcome;
    // The host's hello arrived (its name is in hostName).
    std::function<void()> onHostHello;

private:
    void Prepare(const Destination& dest, const std::string& handleName);
    // Orders the addresses and starts with the first; the phase stays as it
    // is when that fails (Began or Finish ends it).
    Start TryAddresses(const QList<QHostAddress>& addresses);
    // Ends the phase of an attempt that did not start.
    Start Began(Start start);
    // Starts connecting to the next address; false when none could be started.
    bool TryNext();
    void StopWaiting();
    void Finish(Outcome outcome);
    void GiveBack();

    CGameSocket& m_socket;
    CSockOwner* m_pMain;
    Phase m_phase = PHASE_IDLE;
    int m_nSide = 0;
    std::string m_strHandleName;
    Destination m_dest;
    QList<QHostAddress> m_addresses;  // of the running attempt, in the order tried
    qsizetype m_nNext = 0;            // the next of m_addresses to try
    int m_nLookupId = -1;             // the running background lookup, -1 none
    QTimer m_timer;
    QTimer m_tryTimer;  // gives up on one address while others remain
};

}  // namespace ravu
