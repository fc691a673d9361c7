// The settings file: two sections, eleven keys, read and written in the
// order below, and the keys that a copy writes only once it has changed
// them: port forwarding, the engine of a record's analysis, and the language.  The section and key names are
// Shift-JIS on disk (this file's literals are compiled to code page 932).
#include "app/settings.h"

#include <charconv>
#include <climits>
#include <filesystem>

#include "app/atomic_file.h"
#include "app/ini.h"
#include "game/sjis.h"

namespace ravu {

namespace {

const char* const SECTION_PROPERTIES = "プロパティ";
const char* const SECTION_CHATLOG = "チャットログ";

const char* const KEY_HANDLE = "ハンドル名";
const char* const KEY_OPPONENT = "対局者名";
const char* const KEY_HOST = "接続先";
const char* const KEY_PORT = "ポート番号";
const char* const KEY_WINDOW_X = "表示位置Ｘ";
const char* const KEY_WINDOW_Y = "表示位置Ｙ";
const char* const KEY_SOUND = "駒音";
const char* const KEY_PORT_MAPPING = "ポート自動開放";
const char* const KEY_ENGINE_COMMAND = "EngineCommand";
const char* const KEY_ENGINE_TIME = "EngineTimeMs";
const char* const KEY_LANGUAGE = "Language";
const char* const KEY_LEFT = "left";
const char* const KEY_TOP = "top";
const char* const KEY_RIGHT = "right";
const char* const KEY_BOTTOM = "bottom";

constexpr int32_t PORT_MIN = 1;
constexpr int32_t PORT_MAX = 65535;

// At most PROFILE_MAX_STRING bytes, never half of a two-byte character.
std::string Limit(std::string s) {
    s.resize(SjisPrefixLength(s, PROFILE_MAX_STRING));
    return s;
}

// A string as it will be written back: one clean line of at most
// PROFILE_MAX_STRING bytes, so that loading and saving never change it.
std::string CleanString(std::string_view s) {
    std::string out = Limit(IniCleanValue(s));
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t'))
        out.pop_back();
    return out;
}

std::string ReadString(const CIniDocument& ini, const char* section, const char* key) {
    const std::string* v = ini.Find(section, key);
    return v ? CleanString(*v) : std::string();
}

// Decimal text, optionally signed, that fits in 32 bits and has nothing after
// the digits.  Anything else (garbage, out of range, empty) gives the default.
int32_t ReadInt(const CIniDocument& ini, const char* section, const char* key, int32_t def) {
    const std::string* v = ini.Find(section, key);
    if (!v || v->empty())
        return def;
    const char* first = v->data();
    const char* last = v->data() + v->size();
    if (*first == '+')
        ++first;
    int32_t value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last)
        return def;
    return value;
}

constexpr const char* FAIRY_STOCKFISH = "/usr/games/fairy-stockfish";

}  // namespace

std::string DefaultEngineCommand() {
    std::error_code error;
    return std::filesystem::is_regular_file(FAIRY_STOCKFISH, error) ? FAIRY_STOCKFISH : "";
}

void CProfile::Clear() {
    settings = ProfileSettings{};
    chatLog = ChatLogRect{};
}

bool CProfile::LoadProfile(const std::string& path) {
    Clear();
    std::string text;
    if (!ReadFileHead(path, PROFILE_MAX_FILE_BYTES, &text))
        return true;  // first run: defaults
    CIniDocument ini;
    ini.Parse(text);

    settings.handleName = ReadString(ini, SECTION_PROPERTIES, KEY_HANDLE);
    settings.opponentName = ReadString(ini, SECTION_PROPERTIES, KEY_OPPONENT);
    settings.host = ReadString(ini, SECTION_PROPERTIES, KEY_HOST);
    settings.port = ReadInt(ini, SECTION_PROPERTIES, KEY_PORT, DEFAULT_PORT);
    // A port nobody can listen on would leave this copy unreachable.
    if (settings.port < PORT_MIN || settings.port > PORT_MAX)
        settings.port = DEFAULT_PORT;
    settings.windowX = ReadInt(ini, SECTION_PROPERTIES, KEY_WINDOW_X, 0);
    settings.windowY = ReadInt(ini, SECTION_PROPERTIES, KEY_WINDOW_Y, 0);
    settings.pieceSound = ReadInt(ini, SECTION_PROPERTIES, KEY_SOUND, 0);
    settings.portMapping = ReadInt(ini, SECTION_PROPERTIES, KEY_PORT_MAPPING, ProfileSettings{}.portMapping);
    settings.engineCommand = ReadString(ini, SECTION_PROPERTIES, KEY_ENGINE_COMMAND);
    settings.engineTimeMs = ReadInt(ini, SECTION_PROPERTIES, KEY_ENGINE_TIME, DEFAULT_ENGINE_TIME_MS);
    if (settings.engineTimeMs < ENGINE_TIME_MIN_MS || settings.engineTimeMs > ENGINE_TIME_MAX_MS)
        settings.engineTimeMs = DEFAULT_ENGINE_TIME_MS;
    settings.language = ReadString(ini, SECTION_PROPERTIES, KEY_LANGUAGE);
    chatLog.left = ReadInt(ini, SECTION_CHATLOG, KEY_LEFT, DEFAULT_CHATLOG_LEFT);
    chatLog.top = ReadInt(ini, SECTION_CHATLOG, KEY_TOP, DEFAULT_CHATLOG_TOP);
    chatLog.right = ReadInt(ini, SECTION_CHATLOG, KEY_RIGHT, DEFAULT_CHATLOG_RIGHT);
    chatLog.bottom = ReadInt(ini, SECTION_CHATLOG, KEY_BOTTOM, DEFAULT_CHATLOG_BOTTOM);
    return true;
}

bool CProfile::SaveProfile(const std::string& path, std::string* error) const {
    // Start from the old file so that whatever else it holds survives.
    CIniDocument ini;
    std::string old;
    if (ReadFileHead(path, PROFILE_MAX_FILE_BYTES, &old))
        ini.Parse(old);

    ini.Set(SECTION_PROPERTIES, KEY_HANDLE, CleanString(settings.handleName));
    ini.Set(SECTION_PROPERTIES, KEY_OPPONENT, CleanString(settings.opponentName));
    ini.Set(SECTION_PROPERTIES, KEY_HOST, CleanString(settings.host));
    ini.Set(SECTION_PROPERTIES, KEY_PORT, std::to_string(settings.port));
    ini.Set(SECTION_PROPERTIES, KEY_WINDOW_X, std::to_string(settings.windowX));
    ini.Set(SECTION_PROPERTIES, KEY_WINDOW_Y, std::to_string(settings.windowY));
    ini.Set(SECTION_PROPERTIES, KEY_SOUND, std::to_string(settings.pieceSound));
    if (settings.portMapping != ProfileSettings{}.portMapping ||
        ini.Find(SECTION_PROPERTIES, KEY_PORT_MAPPING))
        ini.Set(SECTION_PROPERTIES, KEY_PORT_MAPPING, std::to_string(settings.portMapping));
    if (!settings.engineCommand.empty() || ini.Find(SECTION_PROPERTIES, KEY_ENGINE_COMMAND))
        ini.Set(SECTION_PROPERTIES, KEY_ENGINE_COMMAND, CleanString(settings.engineCommand));
    if (settings.engineTimeMs != DEFAULT_ENGINE_TIME_MS || ini.Find(SECTION_PROPERTIES, KEY_ENGINE_TIME))
        ini.Set(SECTION_PROPERTIES, KEY_ENGINE_TIME, std::to_string(settings.engineTimeMs));
    if (!settings.language.empty() || ini.Find(SECTION_PROPERTIES, KEY_LANGUAGE))
        ini.Set(SECTION_PROPERTIES, KEY_LANGUAGE, CleanString(settings.language));
    ini.Set(SECTION_CHATLOG, KEY_LEFT, std::to_string(chatLog.left));
    ini.Set(SECTION_CHATLOG, KEY_TOP, std::to_string(chatLog.top));
    ini.Set(SECTION_CHATLOG, KEY_RIGHT, std::to_string(chatLog.right));
    ini.Set(SECTION_CHATLOG, KEY_BOTTOM, std::to_string(chatLog.bottom));
    return WriteFileAtomic(path, ini.Serialize(), error);
}

}  // namespace ravu
