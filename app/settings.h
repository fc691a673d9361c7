// The settings record of the program and the INI file it lives in.
//
// The file is read once at start-up and written once at exit.  Everything in
// between changes only the record in memory, through the accessors below.
// Text is Shift-JIS bytes, as everywhere in the model.  No Japanese literals
// here: Qt code includes this header.
#pragma once

#include <cstdint>
#include <string>

namespace ravu {

// Defaults of a missing or unusable key.
constexpr int32_t DEFAULT_PORT = 9149;
constexpr int32_t DEFAULT_CHATLOG_LEFT = 3;
constexpr int32_t DEFAULT_CHATLOG_TOP = 22;
constexpr int32_t DEFAULT_CHATLOG_RIGHT = 571;
constexpr int32_t DEFAULT_CHATLOG_BOTTOM = 199;
constexpr int32_t DEFAULT_ENGINE_TIME_MS = 1000;

// Time per position of a record's analysis; outside these, the default.
constexpr int32_t ENGINE_TIME_MIN_MS = 10;
constexpr int32_t ENGINE_TIME_MAX_MS = 3600000;

// Longest string value kept from the file or written to it, in bytes.  A
// longer value is cut at a character boundary.
constexpr size_t PROFILE_MAX_STRING = 255;

// Only this much of a settings file is read; the rest is ignored.
constexpr size_t PROFILE_MAX_FILE_BYTES = 1 << 20;

struct ProfileSettings {
    std::string handleName;       // own handle name, shown to the peer and in chat
    std::string opponentName;     // last opponent, stored by the peer protocol
    std::string host;             // last destination typed in the connect dialog
    int32_t port = DEFAULT_PORT;  // TCP port this copy listens on
    int32_t windowX = 0;          // main window's left edge, screen pixels
    int32_t windowY = 0;          // main window's top edge, screen pixels
    int32_t pieceSound = 0;       // 0 silent, anything else plays the piece sound
    int32_t portMapping = 1;      // 0 leaves the home router alone; else it is asked to forward the port
    std::string engineCommand{};  // USI engine's command line; empty: DefaultEngineCommand()
    int32_t engineTimeMs = DEFAULT_ENGINE_TIME_MS;  // analysis time per position
    std::string language{};  // the windows' language: LANGUAGE_JAPANESE, LANGUAGE_ENGLISH, else the locale's
};

// Values of the language setting; any other value (none) follows the locale.
constexpr const char* LANGUAGE_JAPANESE = "ja";
constexpr const char* LANGUAGE_ENGLISH = "en";

// The engine used when the settings name none: Debian's fairy-stockfish
// package when it is installed, else none (empty).
std::string DefaultEngineCommand();

// Place and size of the chat log window, screen pixels.
struct ChatLogRect {
    int32_t left = DEFAULT_CHATLOG_LEFT;
    int32_t top = DEFAULT_CHATLOG_TOP;
    int32_t right = DEFAULT_CHATLOG_RIGHT;
    int32_t bottom = DEFAULT_CHATLOG_BOTTOM;
};

// The settings record held by the application from LoadProfile to
// SaveProfile.  Windows, dialogs and the protocol reach it only through the
// accessors; none of them touches the file.
class CProfile {
public:
    // Fills both records from the file at path: defaults for every key that
    // is absent or unusable, all defaults when the file does not exist or
    // cannot be read.  Always returns true.
    bool LoadProfile(const std::string& path);

    // Writes the eleven keys to path, and the port forwarding key when it is
    // off, the engine keys when they differ from their defaults, each also
    // when the file already has it (so a file of a copy that never changed
    // them stays as it was), through a temporary file beside it that
    // is then renamed over it, so a failed or interrupted write leaves the
    // old file whole.  Sections and keys of the old file that the program
    // does not know are kept.  Returns false (and the reason in *error when
    // given) if the file could not be written; the old file is then intact.
    bool SaveProfile(const std::string& path, std::string* error = nullptr) const;

    const std::string& GetHandleName() const { return settings.handleName; }
    void SetHandleName(const std::string& name) { settings.handleName = name; }
    void SetOpponentName(const std::string& name) { settings.opponentName = name; }
    const std::string& GetOpponentName() const { return settings.opponentName; }
    const std::string& GetHost() const { return settings.host; }
    void SetHost(const std::string& host) { settings.host = host; }
    int32_t GetPort() const { return settings.port; }
    void SetPort(int32_t port) { settings.port = port; }
    bool IsSoundOn() const { return settings.pieceSound != 0; }
    void SetSound(int32_t on) { settings.pieceSound = on; }  // stored unchanged
    int32_t GetSound() const { return settings.pieceSound; }
    bool IsPortMappingOn() const { return settings.portMapping != 0; }
    void SetPortMapping(int32_t on) { settings.portMapping = on; }  // stored unchanged
    // The engine's command line: the one set, else DefaultEngineCommand().
    std::string GetEngineCommand() const {
        return settings.engineCommand.empty() ? DefaultEngineCommand() : settings.engineCommand;
    }
    void SetEngineCommand(const std::string& command) { settings.engineCommand = command; }
    int32_t GetEngineTimeMs() const { return settings.engineTimeMs; }
    void SetEngineTimeMs(int32_t ms) { settings.engineTimeMs = ms; }
    // "ja", "en", or empty for the locale's; read at start-up.
    const std::string& GetLanguage() const { return settings.language; }
    void SetLanguage(const std::string& language) { settings.language = language; }

    // The main window reads and writes its saved position in place.
    int32_t& WindowX() { return settings.windowX; }
    int32_t& WindowY() { return settings.windowY; }

    // The chat log window reads and writes its rectangle in place.
    ChatLogRect& GetChatLogRect() { return chatLog; }
    const ChatLogRect& GetChatLogRect() const { return chatLog; }

    ProfileSettings& Settings() { return settings; }
    const ProfileSettings& Settings() const { return settings; }

    // Back to the defaults of a first run.
    void Clear();

private:
    ProfileSettings settings;
    ChatLogRect chatLog;
};

}  // namespace ravu
