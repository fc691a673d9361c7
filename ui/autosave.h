// Every game played or watched is kept on the disk as it goes: after each
// change of its record the whole record is written to the game's own KIF
// file in the user's data folder, replacing the file atomically, so that a
// program killed at any moment leaves the game up to its last move and no
// half-written file.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace ravu {

class CKifuControl;

// How many saved games the menu of recent games lists.
constexpr int RECENT_GAMES_SHOWN = 10;

class CAutosave {
public:
    // "$XDG_DATA_HOME/ravuone/games" (the generic data location).
    static QString Folder();
    // The saved games in the folder, the most recently written first, at most `count`.
    static QStringList RecentGames(int count = RECENT_GAMES_SHOWN);
    // "$XDG_DATA_HOME/ravuone/adjourned.txt": the game that can be resumed
    // (the text of an Adjournment), kept beside the games folder so that the
    // program can take it up again after a restart.
    static QString KeptGamePath();

    // A new game begins: the next save opens a new file named after `who`
    // (UTF-8: the opponent, or what a spectator watches).
    void Begin(const std::string& utf8Who);
    // A game taken up again goes on being saved in the file it was kept in.
    void Continue(const QString& file) { path = file; }
    // Writes the record to the game's file; the first save of a game creates
    // the folder and chooses the file's name.  A record without any entry is
    // not saved.  False when the file could not be written (*error says why).
    bool Save(const CKifuControl& record, QString* error = nullptr);
    // The game's file; empty before its first save.
    const QString& Path() const { return path; }

private:
    std::string who;
    QString path;
};

}  // namespace ravu
