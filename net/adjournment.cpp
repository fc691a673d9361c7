#include "net/adjournment.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "net/payload_fields.h"

namespace ravu {

namespace {

constexpr size_t TOKEN_MAX = 32;
// The longest thinking time taken back from a kept game: a day.
constexpr int64_t THINK_KEPT_MAX_MS = int64_t{24} * 60 * 60 * 1000;
// The longest line of a kept game taken in (a path, a name, settings).
constexpr size_t KEPT_LINE_MAX = 4096;

std::string Hex64(uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

bool IsHex(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// A digest of 16 hexadecimal digits, or empty.
std::string DigestField(std::string_view value) {
    return value.size() == 16 && IsHex(value) ? std::string(value) : std::string();
}

int CountField(std::string_view value) {
    const int64_t n = Number(value);
    return n >= 0 && n <= 1 << 20 ? int(n) : -1;
}

// FNV-1a, 64 bits.
struct Fnv {
    uint64_t h = 0xcbf29ce484222325ULL;
    void Add(int32_t v) {
        for (int i = 0; i < 4; ++i) {
            h ^= static_cast<uint8_t>(v >> (8 * i));
            h *= 0x100000001b3ULL;
        }
    }
};

}  // namespace

std::string NewResumeToken() {
    std::random_device rd;
    const uint64_t v = (uint64_t(rd()) << 32) ^ rd();
    return Hex64(v);
}

bool IsResumeToken(std::string_view text) { return !text.empty() && text.size() <= TOKEN_MAX && IsHex(text); }

std::string MovesDigest(const std::vector<const MoveRec*>& moves, size_t count) {
    Fnv f;
    for (size_t i = 0; i < count && i < moves.size(); ++i) {
        const MoveRec& m = *moves[i];
        for (int32_t v : {m.side, m.fromFile, m.fromRank, m.toFile, m.toRank, m.type, m.promoted, m.status})
            f.Add(v);
    }
    return Hex64(f.h);
}

std::string TokenPayload(const std::string& token) { return "token=" + token; }

std::string RequestPayload(const ResumeRequest& r) {
    return "token=" + r.token + ";moves=" + std::to_string(r.moves) + ";digest=" + r.digest +
           ";prev=" + r.prevDigest;
}

std::string OkPayload(int moves) { return "ok;moves=" + std::to_string(moves); }

ResumeRequest ParseResume(std::string_view payload) {
    ResumeRequest r;
    ForEachField(payload, [&](std::string_view key, std::string_view value) {
        if (key == "token" && IsResumeToken(value))
            r.token = value;
        else if (key == "moves")
            r.moves = CountField(value);
        else if (key == "digest")
            r.digest = DigestField(value);
        else if (key == "prev")
            r.prevDigest = DigestField(value);
    });
    return r;
}

ResumeRequest RequestFor(const std::string& token, const std::vector<const MoveRec*>& moves) {
    const size_t n = moves.size();
    return {token, static_cast<int>(n), MovesDigest(moves, n), MovesDigest(moves, n ? n - 1 : 0)};
}

Reconcile Compare(const ResumeRequest& guest, const std::vector<const MoveRec*>& moves) {
    const ResumeRequest own = RequestFor(guest.token, moves);
    if (guest.moves < 0 || guest.digest.empty())
        return Reconcile::Differ;
    if (guest.moves == own.moves && guest.digest == own.digest)
        return Reconcile::Same;
    if (guest.moves + 1 == own.moves && guest.digest == own.prevDigest)
        return Reconcile::HostAhead;
    if (guest.moves == own.moves + 1 && guest.prevDigest == own.digest)
        return Reconcile::GuestAhead;
    return Reconcile::Differ;
}

std::string AdjournmentText(const Adjournment& a) {
    std::string out;
    // A value never breaks its line, whatever a peer's name holds.
    auto line = [&](const char* key, std::string value) {
        std::ranges::replace_if(
            value, [](char c) { return c == '\r' || c == '\n'; }, ' ');
        out += std::string(key) + "=" + value + "\n";
    };
    line("role", a.host ? "host" : "guest");
    line("token", a.token);
    line("side", std::to_string(a.mySide));
    line("settings", GamePayload(a.settings));
    line("caps", CapsPayload(a.caps));
    if (a.senteMs >= 0 && a.goteMs >= 0) {
        line("sente_ms", std::to_string(a.senteMs));
        line("gote_ms", std::to_string(a.goteMs));
    }
    line("think_ms", std::to_string(a.thinkMs));
    line("address", a.address);
    line("opponent", a.opponent);
    line("record", a.recordPath);
    return out;
}

bool ParseAdjournment(std::string_view text, Adjournment& out) {
    Adjournment a;
    bool settingsOk = true;
    for (std::string_view l : Words(text, "\r\n")) {
        const size_t eq = l.find('=');
        if (eq == std::string_view::npos || l.size() > KEPT_LINE_MAX)
            continue;
        const std::string_view key = l.substr(0, eq), value = l.substr(eq + 1);
        if (key == "role")
            a.host = value == "host";
        else if (key == "token" && IsResumeToken(value))
            a.token = value;
        else if (key == "side")
            a.mySide = value == "1" ? 1 : 0;
        else if (key == "settings")
            settingsOk = ParseGame(value, a.settings);
        else if (key == "caps")
            a.caps = ParseCaps(value);
        else if (key == "sente_ms")
            a.senteMs = Number(value);
        else if (key == "gote_ms")
            a.goteMs = Number(value);
        else if (key == "think_ms")
            a.thinkMs = std::clamp<int64_t>(Number(value), 0, THINK_KEPT_MAX_MS);
        else if (key == "address")
            a.address = value;
        else if (key == "opponent")
            a.opponent = value;
        else if (key == "record")
            a.recordPath = value;
    }
    if (a.token.empty() || a.recordPath.empty() || !settingsOk || !a.caps.resume)
        return false;
    out = std::move(a);
    return true;
}

}  // namespace ravu
