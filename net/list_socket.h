// Fetches the host list file with one request line, "GET <url>\n", to port 80
// (or the port of the URL) of the list server, and keeps the reply.  Each wait
// runs a nested event loop, so every other socket and window keeps working,
// and ends at the first notification or after the wait limit.
#pragma once

#include <QObject>

#include <string>

class QTcpSocket;

namespace ravu {

constexpr int LIST_BUF_SIZE = 1024;

// The list file's absolute URL; RAVUONE_LIST_URL overrides it.
std::string HostListUrl();

class CListSocket : public QObject {
    Q_OBJECT
public:
    explicit CListSocket(QObject* parent = nullptr);
    ~CListSocket() override;

    // One fetch; afterwards ListText() is the reply or empty.
    void FetchList();
    // The reply up to its first zero byte, at most 1,024 bytes (Shift-JIS).
    std::string ListText() const;

    int m_bSendReady = 0;
    int m_bReceived = 0;
    int m_bConnected = 0;
    int m_bWaiting = 0;
    char m_pListBuf[LIST_BUF_SIZE] = {};
    int m_nWaitLimitMs = 120 * 1000;  // per wait

private:
    void WaitForEvent();
    void OnConnect(int code);
    void OnSend(int code);
    void OnReceive();

    QTcpSocket* m_pSock = nullptr;
};

}  // namespace ravu
