// ravuone-peer: a copy of RavuOne without windows.
//   ravuone-peer --listen [PORT] [--answer yes|no|ask] [--name NAME]
//   ravuone-peer --connect HOST[:PORT] [--turn 0|1] [--name NAME]
//                (HOST a name, an IPv4 or an IPv6 address, [IPv6]:PORT with a port)
//                [--rules free|strict] [--handicap NAME] [--time SPEC] [--no-extension]
// Commands on stdin, one per line; events on stdout, one JSON object a line.
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/textcodec.h"
#include "net/extension.h"
#include "net/host_list.h"
#include "peer_console.h"
#include "record/start_position.h"

namespace {

void Usage() {
    std::fputs(
        "usage: ravuone-peer [--name NAME] (--listen [PORT] | --connect HOST[:PORT])\n"
        "       [--answer yes|no|ask] [--turn 0|1] [--ask-timeout-ms N]\n"
        "       [--connect-timeout-ms N] [--turn-timeout-ms N] [--stay] [--exit-on-close]\n"
        "       [--fetch-list] [--no-extension] [--rules free|strict] [--handicap NAME]\n"
        "       [--time none|sudden:MAIN|byoyomi:MAIN:BYO|increment:MAIN:INC] (seconds)\n"
        "HOST: a name, an IPv4 or an IPv6 address; [IPV6]:PORT with a port\n"
        "commands on stdin: turn 0|1, move TEXT, resign, declare, chat TEXT, yes, no,\n"
        "                   connect HOST[:PORT], disconnect, list, state, quit,\n"
        "                   review, review-end, review-move USI, review-go PATH,\n"
        "                   review-comment TEXT, follow on|off\n",
        stderr);
}

bool ParseInt(const char* s, int& out) {
    char* end = nullptr;
    long v = std::strtol(s, &end, 10);
    if (!s[0] || *end || v < 0 || v > 100000000)
        return false;
    out = static_cast<int>(v);
    return true;
}

// The settings a guest proposes, from --rules, --handicap (UTF-8) and
// --time; read the way the host reads them, so what is accepted here is
// what a host can play.
bool ParseProposal(const std::string& rules, const std::string& handicap, const std::string& time,
                   ravu::GameSettings& out) {
    if (rules != "free" && rules != "strict")
        return false;
    std::string payload = "rules=" + rules;
    if (!handicap.empty()) {
        const std::string sfen = ravu::HandicapSfen(ravu::Utf8ToSjis(handicap));
        if (sfen.empty())
            return false;
        payload += ";start=" + sfen;
    }
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        const size_t colon = time.find(':', start);
        parts.push_back(time.substr(start, colon - start));
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    const std::string& kind = parts[0];
    const size_t expected = kind == "none" ? 1 : kind == "sudden" ? 2 : 3;
    if (parts.size() != expected)
        return false;
    payload += ";time=" + kind;
    if (parts.size() > 1)
        payload += ";main=" + parts[1];
    if (kind == "byoyomi")
        payload += ";byoyomi=" + parts[2];
    else if (kind == "increment")
        payload += ";increment=" + parts[2];
    return ravu::ParseGame(payload, out) &&
           out.rules == (rules == "strict" ? ravu::Rules::Strict : ravu::Rules::Free);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ravu::PeerOptions opt;
    std::string rules = "free", handicap, time = "none";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "ravuone-peer: %s needs a value\n", what);
                std::exit(2);
            }
            return argv[++i];
        };
        int n = 0;
        if (a == "--name") {
            opt.name = next("--name");
        } else if (a == "--listen") {
            opt.host = true;
            if (i + 1 < argc && ParseInt(argv[i + 1], n) && n <= 65535) {
                opt.listenPort = static_cast<unsigned>(n);
                ++i;
            }
        } else if (a == "--connect") {
            const std::string dest = next("--connect");
            const ravu::Destination d = ravu::SplitDestination(dest, ravu::GUEST_PORT);
            // A port that is written but not one is a mistake; the colons of
            // a bare IPv6 address are none.
            if (!d.explicitPort && (dest.starts_with('[') || std::ranges::count(dest, ':') == 1)) {
                Usage();
                return 2;
            }
            opt.connectHost = d.host;
            opt.connectPort = d.port;
        } else if (a == "--answer") {
            std::string v = next("--answer");
            opt.answer = v == "yes" ? ravu::ASK_YES : v == "no" ? ravu::ASK_NO : 0;
        } else if (a == "--turn") {
            std::string v = next("--turn");
            opt.turn = v == "1" ? 1 : 0;
        } else if (a == "--ask-timeout-ms" && ParseInt(next(a.c_str()), n)) {
            opt.askTimeoutMs = n;
        } else if (a == "--connect-timeout-ms" && ParseInt(next(a.c_str()), n)) {
            opt.connectTimeoutMs = n;
        } else if (a == "--turn-timeout-ms" && ParseInt(next(a.c_str()), n)) {
            opt.turnTimeoutMs = n;
        } else if (a == "--stay") {
            opt.stayOnEof = true;
        } else if (a == "--exit-on-close") {
            opt.exitOnClose = true;
        } else if (a == "--fetch-list") {
            opt.fetchList = true;
        } else if (a == "--no-extension") {
            opt.extension = false;
        } else if (a == "--rules") {
            rules = next("--rules");
        } else if (a == "--handicap") {
            handicap = next("--handicap");
        } else if (a == "--time") {
            time = next("--time");
        } else {
            Usage();
            return 2;
        }
    }
    if (!ParseProposal(rules, handicap, time, opt.proposal)) {
        std::fputs("ravuone-peer: unknown rules, handicap or time\n", stderr);
        Usage();
        return 2;
    }
    if (!opt.host && opt.connectHost.empty() && !opt.fetchList) {
        Usage();
        return 2;
    }
    ravu::CPeerConsole console(opt);
    if (!console.Start())
        return 1;
    if (!opt.host && opt.connectHost.empty() && opt.fetchList)
        return 0;
    return app.exec();
}
