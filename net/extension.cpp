#include "net/extension.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "game/local_text.h"
#include "game/sfen.h"
#include "net/payload_fields.h"
#include "record/start_position.h"

namespace ravu {

namespace {

// Longest time a setting may hold: a day, in seconds.
constexpr int64_t SETTING_MAX_S = 24 * 60 * 60;
// Largest clock figure taken from a peer: a day and a bit, in ms.
constexpr int64_t PEER_CLOCK_MAX_MS = (SETTING_MAX_S + 60 * 60) * 1000;

constexpr struct {
    TimeKind kind;
    std::string_view word;
} TIME_WORDS[] = {
    {TimeKind::None, "none"},
    {TimeKind::SuddenDeath, "sudden"},
    {TimeKind::Byoyomi, "byoyomi"},
    {TimeKind::Increment, "increment"},
};

std::string Seconds(int64_t ms) { return std::to_string(ms / 1000); }

// "10分", "1分30秒", "30秒".
std::string Duration(int64_t ms) {
    const int64_t s = ms / 1000;
    const std::string minutes = std::to_string(s / 60);
    const std::string seconds = std::to_string(s % 60);
    if (s < 60)
        return FillText(LocalText("GameSettings", RAVU_TEXT("GameSettings", "%1秒")), {seconds});
    if (s % 60 == 0)
        return FillText(LocalText("GameSettings", RAVU_TEXT("GameSettings", "%1分")), {minutes});
    return FillText(LocalText("GameSettings", RAVU_TEXT("GameSettings", "%1分%2秒")), {minutes, seconds});
}

// One line of the settings: the text marked in context "GameSettings".
std::string Line(const char* text, std::initializer_list<std::string_view> args = {}) {
    return FillText(LocalText("GameSettings", text), args) + "\r\n";
}

}  // namespace

std::string CapsPayload() { return CapsPayload({EXT_VERSION, true, true, true, true, true, true}); }

std::string CapsPayload(const Capabilities& caps) {
    std::string out = std::string(EXT_MAGIC) + " " + std::to_string(caps.version);
    for (auto [on, word] : {std::pair{caps.rules, "rules"},
                            {caps.clock, "clock"},
                            {caps.handicap, "handicap"},
                            {caps.ping, "ping"},
                            {caps.resume, "resume"},
                            {caps.review, "review"}})
        if (on)
            out += std::string(" ") + word;
    return out;
}

Capabilities ParseCaps(std::string_view payload) {
    Capabilities c;
    const std::vector<std::string_view> words = Words(payload, " ");
    if (words.size() < 2 || words[0] != EXT_MAGIC)
        return c;
    const int64_t version = Number(words[1]);
    if (version < 1)
        return c;
    c.version = int(std::min<int64_t>(version, 1 << 20));
    for (size_t i = 2; i < words.size(); ++i) {
        c.rules |= words[i] == "rules";
        c.clock |= words[i] == "clock";
        c.handicap |= words[i] == "handicap";
        c.ping |= words[i] == "ping";
        c.resume |= words[i] == "resume";
        c.review |= words[i] == "review";
    }
    return c;
}

Capabilities Shared(const Capabilities& a, const Capabilities& b) {
    Capabilities c;
    if (!a.Any() || !b.Any())
        return c;
    c.version = std::min(a.version, b.version);
    c.rules = a.rules && b.rules;
    c.clock = a.clock && b.clock;
    c.handicap = a.handicap && b.handicap;
    c.ping = a.ping && b.ping;
    c.resume = a.resume && b.resume;
    c.review = a.review && b.review;
    return c;
}

bool Playable(const GameSettings& s, const Capabilities& shared) {
    return shared.Any() && (s.rules == Rules::Free || shared.rules) &&
           (s.startSfen.empty() || shared.handicap) && (s.time.kind == TimeKind::None || shared.clock);
}

std::string GamePayload(const GameSettings& s) {
    std::string out = s.rules == Rules::Strict ? "rules=strict" : "rules=free";
    if (!s.startSfen.empty())
        out += ";start=" + s.startSfen;
    for (const auto& [kind, word] : TIME_WORDS)
        if (kind == s.time.kind)
            out += ";time=" + std::string(word);
    if (s.time.kind != TimeKind::None) {
        out += ";main=" + Seconds(s.time.mainMs);
        out += ";byoyomi=" + Seconds(s.time.byoyomiMs);
        out += ";increment=" + Seconds(s.time.incrementMs);
    }
    return out;
}

bool ParseGame(std::string_view payload, GameSettings& out) {
    GameSettings s;
    bool ok = true;
    ForEachField(payload, [&](std::string_view key, std::string_view value) {
        int64_t seconds = Number(value);
        if (key == "rules") {
            s.rules = value == "strict" ? Rules::Strict : Rules::Free;
        } else if (key == "start") {
            s.startSfen = value == EVEN_SFEN ? std::string() : std::string(value);
            ok = ok && (s.startSfen.empty() || !HandicapName(s.startSfen).empty());
        } else if (key == "time") {
            bool known = false;
            for (const auto& [kind, word] : TIME_WORDS)
                if (value == word)
                    s.time.kind = kind, known = true;
            ok = ok && known;
        } else if (key == "main" || key == "byoyomi" || key == "increment") {
            ok = ok && seconds >= 0 && seconds <= SETTING_MAX_S;
            int64_t& field = key == "main"      ? s.time.mainMs
                             : key == "byoyomi" ? s.time.byoyomiMs
                                                : s.time.incrementMs;
            field = std::clamp<int64_t>(seconds, 0, SETTING_MAX_S) * 1000;
        }
    });
    if (s.time.kind == TimeKind::None)
        s.time = TimeControl{};
    else if (s.time.kind != TimeKind::Byoyomi)
        s.time.byoyomiMs = 0;
    if (s.time.kind != TimeKind::Increment)
        s.time.incrementMs = 0;
    // A clock must give the first move some time.
    ok = ok && (s.time.kind == TimeKind::None || s.time.mainMs + s.time.byoyomiMs + s.time.incrementMs > 0);
    if (ok)
        out = s;
    return ok;
}

std::string SettingsText(const GameSettings& s) {
    std::string out = s.rules == Rules::Strict ? Line(RAVU_TEXT("GameSettings", " ルール: 反則は負け"))
                                               : Line(RAVU_TEXT("GameSettings", " ルール: 自由"));
    // The handicap's name is the one the turn dialog lists.
    if (!s.startSfen.empty())
        out += Line(RAVU_TEXT("GameSettings", " 手合割: %1（上手から）"),
                    {LocalText("Handicap", std::string(HandicapName(s.startSfen)).c_str())});
    const TimeControl& t = s.time;
    switch (t.kind) {
        case TimeKind::None: out += Line(RAVU_TEXT("GameSettings", " 持ち時間: なし")); break;
        case TimeKind::SuddenDeath:
            out += Line(RAVU_TEXT("GameSettings", " 持ち時間: %1 切れ負け"), {Duration(t.mainMs)});
            break;
        case TimeKind::Byoyomi:
            out += Line(RAVU_TEXT("GameSettings", " 持ち時間: %1 秒読み%2"),
                        {Duration(t.mainMs), Duration(t.byoyomiMs)});
            break;
        case TimeKind::Increment:
            out += Line(RAVU_TEXT("GameSettings", " 持ち時間: %1 1手ごとに+%2"),
                        {Duration(t.mainMs), Duration(t.incrementMs)});
            break;
    }
    return out;
}

std::string ClockPayload(const ClockReport& r) {
    std::string out;
    const auto add = [&out](const char* key, int64_t ms) {
        if (ms < 0)
            return;
        if (!out.empty())
            out += ';';
        out += key;
        out += '=';
        out += std::to_string(ms);
    };
    add("think", r.thinkMs);
    add("sente", r.senteMs);
    add("gote", r.goteMs);
    return out;
}

ClockReport ParseClock(std::string_view payload) {
    ClockReport r;
    ForEachField(payload, [&r](std::string_view key, std::string_view value) {
        int64_t ms = Number(value);
        ms = ms < 0 ? -1 : std::min(ms, PEER_CLOCK_MAX_MS);
        if (key == "think")
            r.thinkMs = ms;
        else if (key == "sente")
            r.senteMs = ms;
        else if (key == "gote")
            r.goteMs = ms;
    });
    return r;
}

int64_t ChargedThinkMs(int64_t claimedMs, int64_t seenMs, int64_t roundTripMs) {
    seenMs = std::max<int64_t>(seenMs, 0);
    roundTripMs = std::clamp<int64_t>(roundTripMs, 0, seenMs);
    const int64_t own = seenMs - roundTripMs;
    if (claimedMs < 0 || claimedMs > seenMs || claimedMs + roundTripMs + THINK_SLACK_MS < seenMs)
        return own;
    return claimedMs;
}

}  // namespace ravu
