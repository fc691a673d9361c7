// The guest's half of the handshake without windows, as the connect dialog
// and the turn decision dialog run it: connect, send the own hello, wait for
// the host's acceptance (at most about 121 s); later propose the sides and
// wait for their acceptance (about 61 s per proposal).  While a phase runs it
// owns the guest connection and passes every message it does not handle on
// to the main owner, as a dialog does.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <string>

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
        OUT_FAILED = 2,     // the connection could not be made (text in the socket's m_strError)
        OUT_TIMED_OUT = 3,  // no answer in time
    };

    CGuestHandshake(CGameSocket& connectSocket, CSockOwner* mainOwner, QObject* parent = nullptr);
    ~CGuestHandshake() override;

    // Starts a connection to host:port; the hello carries handleName.
    // False when it could not even start (the socket's m_strError says why).
    bool StartConnect(const std::string& host, unsigned port, const std::string& handleName);
    // Sends PKT_TURN with the side the guest takes and waits for the answer.
    void ProposeTurn(int side);
    // Gives the connection back to the main owner (the dialog closes).
    void Cancel();

    void OnSockMessage(int msg, SockHandle wParam) override;

    Phase phase() const { return m_phase; }
    int proposedSide() const { return m_nSide; }

    int connectTimeoutMs = 121 * 1000;
    int turnTimeoutMs = 61 * 1000;
    // The host's hello text (its handle name), Shift-JIS.
    std::string hostName;

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
