#include "app/quit_signal.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace ravu {

namespace {

// The socket pair between the handler and the event loop: [0] written, [1] read.
int wakeFds[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    // Only async-signal-safe calls here; a full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t n = ::write(wakeFds[0], &byte, 1);
}

// The signals handled: a signal ignored when the program started (SIGINT in a
// shell's background job) stays ignored.
bool handled[2] = {false, false};
constexpr int SIGNALS[2] = {SIGTERM, SIGINT};

void SetHandler(void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i) {
        if (handler != SIG_DFL) {
            struct sigaction old = {};
            handled[i] = ::sigaction(SIGNALS[i], nullptr, &old) == 0 && old.sa_handler != SIG_IGN;
        }
        if (handled[i])
            ::sigaction(SIGNALS[i], &action, nullptr);
    }
}

}  // namespace

CQuitSignal::CQuitSignal(std::function<void()> onQuit) : quit(std::move(onQuit)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0) {
        qWarning("ravuone: SIGTERM will end the program without saving its settings");
        return;
    }
    notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakeFds[1], bytes, sizeof bytes) > 0) {
        }
        if (quit)
            quit();
    });
    SetHandler(OnSignal);
}

CQuitSignal::~CQuitSignal() {
    if (!notifier)
        return;
    SetHandler(SIG_DFL);
    delete notifier;
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

}  // namespace ravu
