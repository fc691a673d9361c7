// The main window's connection objects: connectSocket (the guest's own
// connection to a host) and listenSocket (host mode: listens and holds up to
// five accepted guests, the opponent and the spectators).  Routes a packet to
// the own connection or to one, all, or all but one of the slots, and splits
// long texts into chunk packets.
#pragma once

#include <QObject>

#include <array>
#include <memory>
#include <string>

#include "net/game_link.h"
#include "net/packet_socket.h"

class QHostAddress;
class QTcpServer;

namespace ravu {

constexpr int SLOT_COUNT = 5;
constexpr unsigned GUEST_PORT = 9149;  // a guest always connects to this port
constexpr int LISTEN_BACKLOG = 5;
// A connection that has not said hello by then is closed, so that silent
// peers cannot hold the five slots.
constexpr int HELLO_WAIT_MS = 30 * 1000;

// Whether a connection to the address would reach this machine: any of its
// interfaces' addresses of either family (IPv4-mapped IPv6 counts as IPv4),
// every loopback address, and the unspecified addresses.
bool IsOwnAddress(const QHostAddress& address);

class CGameSocket : public CPacketSocket, public CGameLink {
    Q_OBJECT
public:
    explicit CGameSocket(QObject* parent = nullptr);
    ~CGameSocket() override;

    // Prepares the own connection object and learns the local host name.
    // Returns 1.
    int Create(unsigned port = 0);
    // Host mode: listens on port (0 = any free port; see ListenPort) with a
    // backlog of 5, on IPv6 and IPv4 alike (IPv4 only on a machine without
    // IPv6).  m_bListening becomes 1 even when listening fails.
    int Listen(unsigned port);
    // The port actually listened on, 0 when not listening.
    unsigned ListenPort() const;
    // Sets the owner and starts connecting to an IPv4 or IPv6 address (names
    // are looked up by the guest's handshake, without blocking).  1 when
    // started (the outcome comes as WM_SOCK_CONNECTED /
    // WM_SOCK_CONNECT_FAILED), 0 on failure with m_strError set.
    int Connect(const std::string& address, unsigned port, CSockOwner* owner);

    void Close() override;
    void CloseSlot(SockHandle handle) override;

    // CGameLink
    void SendTo(uint8_t type, int length, const char* data, SockHandle handle) override;
    void SendExcept(uint8_t type, int length, const char* data, SockHandle handle) override;
    void SendLongText(const std::string& text, SockHandle handle) override;
    std::string GetText(SockHandle handle) const override;
    uint8_t GetLastType(SockHandle handle) const override;
    std::string GetPeerName(SockHandle handle) const override;
    int AllSlotsFree() const override;
    int HasConnection(SockHandle handle) const override;
    SockHandle OwnHandle() const override { return m_hSocket; }

    // The slot whose connection has the handle, or null.
    CPacketSocket* FindSlot(SockHandle handle) const;
    // Slot i (0..4), for inspection.
    CPacketSocket* Slot(int i) const { return m_slots[i].get(); }

    // Handle name sent in PKT_HELLO to every accepted guest; the owner's
    // CapsText follows it.
    void SetHandleName(const std::string& sjisName) { m_strHandleName = sjisName; }
    const std::string& HandleName() const { return m_strHandleName; }

    std::array<std::unique_ptr<CPacketSocket>, SLOT_COUNT> m_slots;
    std::string m_strHostName;           // local host name
    std::string m_strResolvedAddr;       // the address a guest's attempt connects to
    int m_bListening = 0;                // host mode
    int m_nHelloWaitMs = HELLO_WAIT_MS;  // tests shorten it

protected:
    void OnClose(int nErrorCode) override;
    void OnAccept();
    void OnConnect(int nErrorCode);

private:
    bool AllSlotsTaken() const;
    // Takes waiting connections into slots that have become free.
    void ResumeAccepting();

    QTcpServer* m_pServer = nullptr;
    std::string m_strHandleName;
};

}  // namespace ravu
