// The piece sound: the built-in click (resource sound104.wav) played through
// Qt Multimedia when a piece is put down and the sound setting is on.
//
// It never blocks and never shows an error: on a machine without a sound
// device, or when the sound cannot be read, nothing plays and
// PlayPieceSound answers false.  A new click cuts off one still playing.
#pragma once

#include <QByteArray>

#include <memory>

#include "game/board_host.h"

class QAudioSink;
class QBuffer;

namespace ravu {

class CProfile;

class CPieceSound : public IPieceSound {
public:
    // With a profile, plays only while its sound setting is on (the board
    // asks its own setting first as well).  Reads the sound at once; the
    // sound device is opened at the first click.
    explicit CPieceSound(const CProfile* profile = nullptr);
    ~CPieceSound() override;
    CPieceSound(const CPieceSound&) = delete;
    CPieceSound& operator=(const CPieceSound&) = delete;

    bool PlayPieceSound() override;

    // The built-in sound was read and is PCM as expected.
    bool HasSound() const { return !pcm.isEmpty(); }
    int SampleCount() const { return sampleCount; }
    // Clicks handed to the sound device so far.
    int PlayCount() const { return plays; }

private:
    bool OpenDevice();

    const CProfile* profile;
    QByteArray wav;   // the resource's bytes
    QByteArray pcm;   // its samples
    QByteArray devicePcm;  // the samples in the sound device's format
    int sampleRate = 0;
    int sampleCount = 0;
    bool deviceTried = false;
    std::unique_ptr<QBuffer> buffer;
    std::unique_ptr<QAudioSink> sink;
    int plays = 0;
};

}  // namespace ravu
