// Two copies over loopback in one event loop:
//  - move round trip: a move is sent, recorded and applied by the other copy,
//    which answers with its own move; the time until that answer is recorded
//    and applied here.  Median and 99th percentile over 2,000 round trips.
//  - catch-up: a spectator joins a 300-move game; the time from its connect
//    to the last move of the game applied on its board.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/textcodec.h"
#include "net/headless_copy.h"

using namespace ravu;
using Clock = std::chrono::steady_clock;

namespace {

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 1);
    }
    return true;
}

// Rooks walking to and fro: legal for ever.  Ply k (0-based) of the cycle.
std::string ShuffleMove(int ply) {
    static const char* cycle[] = {"３八飛(28)", "７二飛(82)", "２八飛(38)", "８二飛(72)"};
    char num[16];
    std::snprintf(num, sizeof num, "%4d ", ply + 1);
    return std::string(num) + Utf8ToSjis(cycle[ply % 4]) + " ";
}

int MovesRecorded(const CHeadlessCopy& c) {
    const KifuNode* cur = c.record.kifu.current;
    return cur && cur->move ? cur->move->number - 1 : 0;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * (v.size() - 1) + 0.5);
    return v[i];
}

struct Pair {
    Pair() : host(Utf8ToSjis("ホスト")), guest(Utf8ToSjis("ゲスト")) {
        host.Listen(0);
        guest.Connect("127.0.0.1", host.Port());
        WaitUntil([&] { return guest.protocol.connState == CONN_GUEST; });
        guest.ProposeTurn(0);
        WaitUntil([&] { return guest.protocol.mode == MODE_GAME && host.protocol.mode == MODE_GAME; });
    }
    CHeadlessCopy host, guest;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int kRoundTrips = 2000;
    {
        Pair p;
        // The host answers every move it receives with the next one.
        QObject::connect(&p.host, &CHeadlessCopy::event, [&](const QString& kind, const QByteArray&, qint64) {
            if (kind == "move")
                p.host.Move(ShuffleMove(MovesRecorded(p.host)));
        });
        std::vector<double> us;
        us.reserve(kRoundTrips);
        for (int i = 0; i < kRoundTrips; ++i) {
            int ply = 2 * i;
            auto t0 = Clock::now();
            if (!p.guest.Move(ShuffleMove(ply))) {
                std::fprintf(stderr, "move %d refused\n", ply + 1);
                return 1;
            }
            if (!WaitUntil([&] { return MovesRecorded(p.guest) == ply + 2; })) {
                std::fprintf(stderr, "no answer to move %d\n", ply + 1);
                return 1;
            }
            us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
        std::printf(
            "move round trip over loopback (%d round trips): median %.1f us, p99 %.1f us, max %.1f us\n",
            kRoundTrips, Percentile(us, 0.5), Percentile(us, 0.99), Percentile(us, 1.0));
    }
    {
        Pair p;
        const int kPlies = 300;
        for (int ply = 0; ply < kPlies; ++ply) {
            CHeadlessCopy& mover = ply % 2 == 0 ? p.guest : p.host;
            CHeadlessCopy& other = ply % 2 == 0 ? p.host : p.guest;
            mover.Move(ShuffleMove(ply));
            WaitUntil([&] { return MovesRecorded(other) == ply + 1; });
        }
        std::vector<double> ms;
        for (int i = 0; i < 20; ++i) {
            auto t0 = Clock::now();
            auto watcher = std::make_unique<CHeadlessCopy>("watcher");
            watcher->Connect("127.0.0.1", p.host.Port());
            if (!WaitUntil([&] {
                    return watcher->protocol.mode == MODE_WATCHING && MovesRecorded(*watcher) == kPlies;
                })) {
                std::fprintf(stderr, "spectator did not catch up\n");
                return 1;
            }
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            watcher->Disconnect();
            WaitUntil([&] { return p.host.listenSocket.Slot(1)->Handle() == 0; });
        }
        std::printf(
            "catch-up of a %d-move game, hello to last move applied (20 spectators): median %.2f ms, "
            "max %.2f ms\n",
            kPlies, Percentile(ms, 0.5), Percentile(ms, 1.0));
    }
    return 0;
}
