// One TCP connection that carries 256-byte packets.  The guest's connection
// to its host and each of the host's accepted connections is one of these.
// Reading is non-blocking: a packet that has only partly arrived waits in the
// socket's buffer for the next readable notification; every whole packet that
// is buffered is delivered, in order, before control returns to the loop.
// Sending is buffered and never blocks; only a real failure (or a peer that
// stops reading until SEND_BUFFER_MAX bytes are queued) closes the connection.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

#include "net/packet_state.h"
#include "net/sock_owner.h"

class QTcpSocket;

namespace ravu {

class CPacketSocket : public QObject, public CPacketState {
    Q_OBJECT
public:
    explicit CPacketSocket(QObject* parent = nullptr);
    ~CPacketSocket() override;

    // Frames and sends one packet (at most 253 payload bytes; a longer text is
    // cut on a Shift-JIS character boundary).  Nothing without a connection.
    virtual void SendPacket(uint8_t type, int length, const char* data);

    // m_strError := the text of the code (empty outside the table); returns code.
    int SetErrorText(int code);
    // SetErrorText of this socket's last error; returns the code.
    int GetLastErrorText();

    // Handle of the current connection, 0 when there is none.
    SockHandle Handle() const { return m_hSocket; }
    // Bytes handed to the connection that the peer has not taken yet.
    qint64 PendingSendBytes() const;
    // Closes the connection (if any); the object can be connected again.
    virtual void Close();

    // Takes over an accepted connection and gives it a new handle.
    // Keepalive on the connection, with probes after a minute of silence.
    static void KeepAlive(QTcpSocket* sock);
    static constexpr int KEEPALIVE_IDLE_S = 60;
    static constexpr int KEEPALIVE_INTERVAL_S = 10;
    static constexpr int KEEPALIVE_COUNT = 6;
    void Attach(QTcpSocket* sock);

    // Where the texts of "送信エラー" and read errors go (the windows show a
    // message box, the command-line peer prints them).  Called from the event
    // loop, never from inside a send.  Null: the text is dropped.
    static void SetErrorReporter(std::function<void(const std::string& sjisText)> reporter);
    static void ReportError(const std::string& sjisText);

    // Bytes that may wait unsent for a peer before the connection counts as failed.
    static constexpr qint64 SEND_BUFFER_MAX = 1 << 20;
    // Bytes read ahead from the network per connection (back-pressure on a flood).
    static constexpr qint64 READ_BUFFER_MAX = 64 * PACKET_SIZE;

    CSockOwner* m_pOwner = nullptr;  // receives the socket messages
    std::string m_strError;          // text of the last error looked up
    int m_nLastError = 0;            // Winsock code of the last error seen

protected:
    // Readable notification: delivers every whole packet that is buffered.
    virtual void OnReceive();
    // The peer closed the connection or the connection failed.
    virtual void OnClose(int nErrorCode);
    // Posts a message to the current owner (handled after this notification returns).
    void PostToOwner(SockMsg msg, SockHandle wParam);
    // Starts using sock as this object's connection, with a new handle.
    void Adopt(QTcpSocket* sock);
    // Closes the own connection without telling anyone.
    void CloseConnection();
    // Failure of a send: report, post WM_SOCK_CLOSED, close.
    void FailSend(int code);

    QTcpSocket* m_pSock = nullptr;
    SockHandle m_hSocket = 0;
    bool m_bDelivering = false;  // inside OnReceive's delivery loop
    bool m_bConnected = false;   // the connection is established (not just pending)
    bool m_bHelloSeen = false;   // the peer of this connection has sent PKT_HELLO

    friend class CGameSocket;
};

// Winsock code for a Qt socket error.
int QtSocketErrorToWsa(int qtSocketError);

}  // namespace ravu
