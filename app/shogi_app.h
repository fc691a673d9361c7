// The application object: start-up and shut-down around the main window.
//
// Start-up order: single-instance check (a second copy started with a
// record file hands the file to the running copy and ends), profile path,
// skin folder and its check, settings read, the main window run modally
// (given as a callback so that this library does not depend on the
// windows), settings written once.
//
// Skins are read from the start folder when it holds all three files, else
// from the installed share folder <executable's folder>/../share/ravuone/skin.
// The settings file is <executable's base name>.ini in the start folder when
// one is there (a portable copy), else in $XDG_CONFIG_HOME/ravuone/.
//
// The single-instance check is keyed to the main window's title "Ravu One",
// per user.  The environment variable RAVUONE_INSTANCE_KEY replaces that key,
// so that tests can run two copies side by side on one machine.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "app/settings.h"

class QLockFile;
class QWidget;

namespace ravu {

// The main window's title; the default single-instance key.
inline constexpr const char* MAIN_WINDOW_TITLE = "Ravu One";
inline constexpr const char* INSTANCE_KEY_ENV = "RAVUONE_INSTANCE_KEY";

// RAVUONE_INSTANCE_KEY when set and not empty, else "Ravu One".
QString InstanceKey();

// The per-user folder of the lock files and the hand-off sockets:
// $XDG_RUNTIME_DIR when it exists, else /tmp/ravuone-<uid> (made, owner only).
QString InstanceDirectory();

// A per-user lock named after a key.  While one object holds it, TryAcquire
// of any other object with the same key, in this or another process, fails.
// A lock left behind by a crashed process is taken over.
class CSingleInstance {
public:
    explicit CSingleInstance(const QString& key);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this object holds the lock, or when no lock file can be
    // made at all (then the copy runs unguarded; IsHeld stays false).
    bool TryAcquire();
    bool IsHeld() const { return held; }
    // Where the lock file lives (the user's runtime or temporary directory).
    QString LockPath() const { return path; }

private:
    QString path;
    std::unique_ptr<QLockFile> lock;
    bool held = false;
    bool unguarded = false;
};

class CShogiApp {
public:
    enum RunResult {
        RUN_SECOND_COPY,    // another copy holds the key: ended silently
        RUN_MISSING_SKINS,  // a skin file is missing: message shown, ended
        RUN_DONE,           // the main window ran; settings written
        RUN_SAVE_FAILED,    // the main window ran; the settings file could not be written
    };

    // Needs a QApplication.
    CShogiApp();
    ~CShogiApp();

    // The whole start-up and shut-down.  runMainWindow runs the main window
    // modally and returns when it has ended; it may keep the CProfile address
    // for that time.  The process then ends with exit code 0.
    RunResult Run(const std::function<void(CProfile&)>& runMainWindow);

    // The record file named by the program's arguments (the first after the
    // program's name), made absolute against startDir; empty when there is none.
    static QString StartFileArgument(const QStringList& arguments, const QString& startDir);
    // The record file named on the command line, as an absolute path (empty:
    // none).  A second copy hands it to the running copy before it ends.
    void SetStartFile(const QString& path) { startFile = path; }

    // The live settings record (valid during runMainWindow).
    CProfile& Profile() { return profile; }

    // The settings file chosen by Run (ProfilePathFor); empty before.
    QString ProfilePath() const { return profilePath; }
    // The folder the skin files are read from, chosen by Run (SkinFolderFor); empty before.
    QString SkinFolder() const { return skinFolder; }

    // Shows the missing-file message (OK button, no icon) and returns false
    // when one of the three skin files is missing from dir; true otherwise.
    static bool CheckSkinFiles(const QString& dir, QWidget* parent = nullptr);

    // The text of that message in UTF-8 (empty when all three exist).
    static QString MissingSkinText(const QString& dir);

    // The settings file for a start folder, an executable path and the
    // user's configuration folder ($XDG_CONFIG_HOME, or ~/.config): the
    // executable's base name + ".ini" in the start folder when that file
    // exists there, else in configHome + "/ravuone/".
    static QString ProfilePathFor(const QString& startDir, const QString& executable,
                                  const QString& configHome);
    // The user's configuration folder as the desktop defines it.
    static QString ConfigHome();

    // The installed skin folder for the executable's folder: appDir/../share/ravuone/skin.
    static QString InstalledSkinFolder(const QString& appDir);
    // The start folder when all three skin files are there; else the
    // installed folder when they are all there; else the start folder, so
    // that the message lists what the start folder misses.
    static QString SkinFolderFor(const QString& startDir, const QString& appDir);

    // The windows' language as the environment, the settings and the locale
    // choose (app/language.h): the program's English, or Qt's own texts (file
    // dialogs, message box buttons) in Japanese like the program's.  False
    // when English was chosen but its translation is missing.
    bool LoadQtTranslation();

    // Forwarders of the settings record, named as the rest of the program
    // knows them.
    const std::string& GetHandleName() const { return profile.GetHandleName(); }
    void SetHandleName(const std::string& name) { profile.SetHandleName(name); }
    void SetOpponentName(const std::string& name) { profile.SetOpponentName(name); }
    const std::string& GetHost() const { return profile.GetHost(); }
    void SetHost(const std::string& host) { profile.SetHost(host); }
    int32_t GetPort() const { return profile.GetPort(); }
    void SetPort(int32_t port) { profile.SetPort(port); }
    bool IsSoundOn() const { return profile.IsSoundOn(); }
    void SetSound(int32_t on) { profile.SetSound(on); }
    ChatLogRect& GetChatLogRect() { return profile.GetChatLogRect(); }

private:
    CProfile profile;
    QString profilePath;
    QString skinFolder;
    QString startFile;
};

// Makes the built-in pictures, cursor, icon and sound (":/res/...") available.
// Called by CShogiApp and the piece sound; harmless to call more than once.
void InitResources();

}  // namespace ravu
