// The console around a headless copy: commands from stdin, events as JSON
// lines on stdout.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>
#include <string>

#include "net/headless_copy.h"
#include "net/list_socket.h"

namespace ravu {

struct PeerOptions {
    std::string name;  // UTF-8
    bool host = false;
    unsigned listenPort = 9149;  // 0 = any free port
    std::string connectHost;     // guest when not empty
    unsigned connectPort = GUEST_PORT;
    int answer = 0;  // ASK_YES, ASK_NO, 0 = ask on stdin
    int turn = -1;   // side to propose once accepted, -1 = none
    int askTimeoutMs = 21 * 1000;
    int connectTimeoutMs = 121 * 1000;
    int turnTimeoutMs = 61 * 1000;
    bool stayOnEof = false;    // keep running when stdin ends
    bool exitOnClose = false;  // end when the last connection is gone
    bool fetchList = false;    // fetch the host list first
    bool extension = true;     // announce and use the protocol extension
    GameSettings proposal;     // what a guest proposes with the sides
};

class CPeerConsole : public QObject {
    Q_OBJECT
public:
    explicit CPeerConsole(const PeerOptions& options, QObject* parent = nullptr);
    ~CPeerConsole() override;

    // Starts listening / connecting.  False on a fatal start-up error.
    bool Start();
    // One command line (UTF-8, without the line end).
    void Command(const std::string& line);

private:
    void Print(const std::string& json);
    void PrintEvent(const std::string& kind, const std::string& sjisText, long long value);
    void PrintState();
    void ReadStdin();
    int AskOnStdin(const std::string& question);
    void FetchList();
    void Quit(int code);

    PeerOptions opt;
    std::unique_ptr<CHeadlessCopy> copy;
    std::unique_ptr<QSocketNotifier> stdinNotifier;
    std::string stdinBuf;
    int pendingAnswer = -1;  // answer typed while a question is open
    bool asking = false;
    bool everConnected = false;
};

}  // namespace ravu
