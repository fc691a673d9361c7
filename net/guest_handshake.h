// The guest's half of the handshake, shared by the connect and turn dialogs
// and the headless copy: connect, send the own hello, wait for the host's
// acceptance (at most about 121 s); later propose the sides and wait for
// their acceptance (about 61 s per proposal).  While a phase runs it owns the
// guest connection and passes every message it does not handle on to the
// main owner.  It hands the connection back to the main owner before it
// reports an acceptance, so that packets behind the acceptance in the same
// read (a running game's catch-up, the host's first move) reach the main
// owner already knowing the outcome.  The main owner's CapsText follows the
// own hello, its ProposalText goes before each proposal.
#pragma once

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
    };
    // How StartConnect went.
    enum Start {
        START_CONNECTING = 0,    // the attempt runs; an outcome follows
        START_UNKNOWN_HOST = 1,  // the name has no address (the socket's m_strError says so)
        START_OWN_ADDRESS = 2,   // the destination is this copy itself: nothing is done
        START_FAILED = 3,        // the attempt could not start (the socket's m_strError says why)
    };

    CGuestHandshake(CGameSocket& connectSocket, CSockOwner* mainOwner, QObject* parent = nullptr);
    ~CGuestHandshake() override;

    // Resolves dest.host (its address is left in the socket's
    // m_strResolvedAddr) and connects to it; the hello carries handleName.
    // A copy never connects to itself: the own address is this copy unless
    // an explicit port other than ownPort names another copy on the machine.
    Start StartConnect(const Destination& dest, const std::string& handleName);
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
    void Finish(Outcome outcome);
    void GiveBack();

    CGameSocket& m_socket;
    CSockOwner* m_pMain;
    Phase m_phase = PHASE_IDLE;
    int m_nSide = 0;
    std::string m_strHandleName;
    QTimer m_timer;
};

}  // namespace ravu
