// The piece sound: the built-in click (resource sound104.wav) played through
// Qt Multimedia's QSoundEffect when a piece is put down and the sound setting
// is on.
//
// It never blocks and never shows an error: the effect loads and plays in
// the background of the event loop, and on a machine without a sound output
// nothing is played and PlayPieceSound answers false.  A new click cuts off
// one still playing.
#pragma once

#include <memory>

#include "game/board_host.h"

class QSoundEffect;

namespace ravu {

class CProfile;

class CPieceSound : public IPieceSound {
public:
    // With a profile, plays only while its sound setting is on (the board
    // asks its own setting first as well).  The sound output is opened at
    // the first click.
    explicit CPieceSound(const CProfile* profile = nullptr);
    ~CPieceSound() override;
    CPieceSound(const CPieceSound&) = delete;
    CPieceSound& operator=(const CPieceSound&) = delete;

    bool PlayPieceSound() override;

    // Clicks handed to the sound output so far.
    int PlayCount() const { return plays; }

private:
    const CProfile* profile;
    bool outputTried = false;
    std::unique_ptr<QSoundEffect> effect;  // null until the first click, and without an output
    int plays = 0;
};

}  // namespace ravu
