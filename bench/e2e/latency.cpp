// How long a move takes from the mover's second click to the opponent's
// redrawn board, over loopback, between two copies of the program.  Not part
// of the test suite (it plays hundreds of moves): run
//   build/bench/e2e/e2e_latency [--gtest_filter=...]
// with RAVU_E2E_MOVES=n for another number of moves than 200.
//
// The mover's driver reads CLOCK_MONOTONIC just before it sends the second
// press; the opponent's driver reads it when the paint of the board band
// that follows the new record row has completed.  CLOCK_MONOTONIC is one
// clock for all processes of the machine, so the two readings subtract.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

// The stamps the driver has taken since the last call, by record rows.
void TakeStamps(ProgramCopy& c, std::map<int, long long>& into) {
    for (const QByteArray& w : c.driver.Call("stamps").split(' ')) {
        const qsizetype colon = w.indexOf(':');
        if (colon > 0)
            into.emplace(w.left(colon).toInt(), w.mid(colon + 1).toLongLong());
    }
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

TEST(Latency, MoveToOpponentsRedrawnBoard) {
    const int moves =
        qEnvironmentVariableIsSet("RAVU_E2E_MOVES") ? qEnvironmentVariableIntValue("RAVU_E2E_MOVES") : 200;
    ASSERT_GT(moves, 0);
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString guestName = QStringLiteral("先手");
    ProgramCopy host(root.path(), QStringLiteral("host"), QStringLiteral("後手"), FreePort());
    ProgramCopy guest(root.path(), QStringLiteral("guest"), guestName, FreePort());
    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(guest.Start());
    ConnectAndStartGame(host, guest, guestName);
    if (HasFatalFailure())
        return;

    // The kings walk to and fro: ▲5九→5八, △5一→5二, ▲5八→5九, △5二→5一, ...
    // The guest plays sente on an unflipped board, the host gote on a flipped one.
    struct Walk {
        ProgramCopy* mover;
        ProgramCopy* other;
        int flipped;
        int file, fromRank, toRank;
    };
    const Walk cycle[4] = {
        {&guest, &host, 0, 5, 9, 8},
        {&host, &guest, 1, 5, 1, 2},
        {&guest, &host, 0, 5, 8, 9},
        {&host, &guest, 1, 5, 2, 1},
    };
    std::map<int, long long> hostStamps, guestStamps;
    std::vector<double> ms;
    for (int k = 1; k <= moves; ++k) {
        const Walk& w = cycle[(k - 1) % 4];
        std::map<int, long long>& stamps = w.other == &host ? hostStamps : guestStamps;
        w.mover->driver.ClickMain(SquarePoint(w.file, w.fromRank, w.flipped));
        const long long clicked = w.mover->driver.ClickMain(SquarePoint(w.file, w.toRank, w.flipped));
        // The record window lists a start row and then one row a move.
        const int rows = k + 1;
        ASSERT_TRUE(WaitUntil([&] {
            TakeStamps(*w.other, stamps);
            return stamps.count(rows) == 1;
        })) << "move "
            << k << " did not reach the other side";
        ms.push_back((stamps[rows] - clicked) / 1e6);
    }
    ASSERT_EQ(static_cast<int>(ms.size()), moves);
    for (double v : ms)
        EXPECT_GT(v, 0.0) << "a redraw stamped before its click";
    const double median = Percentile(ms, 0.5), p99 = Percentile(ms, 0.99);
    std::printf("moves %d  median %.2f ms  p90 %.2f ms  p99 %.2f ms  min %.2f ms  max %.2f ms\n", moves,
                median, Percentile(ms, 0.9), p99, *std::min_element(ms.begin(), ms.end()),
                *std::max_element(ms.begin(), ms.end()));
    EXPECT_TRUE(host.Exit());
    EXPECT_TRUE(guest.Exit());
}

}  // namespace

// The copies are driven from this process's own event loop only while it
// waits; a QCoreApplication gives the sockets and processes their machinery.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
