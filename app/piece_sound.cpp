#include "app/piece_sound.h"

#include <QBuffer>
#include <QFile>

#ifdef RAVU_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#endif

#include "app/resources.h"
#include "app/settings.h"
#include "app/shogi_app.h"
#include "app/wav.h"

namespace ravu {

CPieceSound::CPieceSound(const CProfile* profile) : profile(profile) {
    InitResources();
    QFile file(QString::fromLatin1(RES_SOUND_PIECE));
    // The built-in click is a few hundred bytes; anything huge is not it.
    if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20)) return;
    wav = file.readAll();
    WavPcm info;
    if (!ParseWavPcm(std::string_view(wav.constData(), size_t(wav.size())), &info) || info.channels != 1 ||
        info.bitsPerSample != 8)
        return;
    pcm = QByteArray(info.samples.data(), qsizetype(info.samples.size()));
    sampleRate = info.sampleRate;
    sampleCount = int(pcm.size());
}

CPieceSound::~CPieceSound() {
#ifdef RAVU_HAVE_MULTIMEDIA
    if (sink) sink->stop();
#endif
}

#ifdef RAVU_HAVE_MULTIMEDIA
namespace {

// The click in the device's own format.
QByteArray ConvertClick(const QByteArray& pcm8, int fromRate, const QAudioFormat& to) {
    PcmSampleKind kind;
    switch (to.sampleFormat()) {
    case QAudioFormat::UInt8: kind = PCM_U8; break;
    case QAudioFormat::Int16: kind = PCM_S16; break;
    case QAudioFormat::Int32: kind = PCM_S32; break;
    case QAudioFormat::Float: kind = PCM_F32; break;
    default: return {};
    }
    const std::string out = ConvertPcm8(std::string_view(pcm8.constData(), size_t(pcm8.size())), fromRate,
                                        to.sampleRate(), to.channelCount(), kind);
    return QByteArray(out.data(), qsizetype(out.size()));
}

}  // namespace
#endif

bool CPieceSound::OpenDevice() {
#ifdef RAVU_HAVE_MULTIMEDIA
    if (deviceTried) return sink != nullptr;
    deviceTried = true;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return false;
    // The click as it is when the device takes it, else in the device's
    // preferred format.
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::UInt8);
    if (!device.isFormatSupported(format)) format = device.preferredFormat();
    devicePcm = ConvertClick(pcm, sampleRate, format);
    if (devicePcm.isEmpty()) return false;
    sink = std::make_unique<QAudioSink>(device, format);
    buffer = std::make_unique<QBuffer>();
    return true;
#else
    return false;
#endif
}

bool CPieceSound::PlayPieceSound() {
    if (profile && !profile->IsSoundOn()) return false;
    if (pcm.isEmpty() || !OpenDevice()) return false;
#ifdef RAVU_HAVE_MULTIMEDIA
    // Asynchronous: the event loop feeds the device while the game goes on.
    sink->stop();
    buffer->close();
    buffer->setData(devicePcm);
    if (!buffer->open(QIODevice::ReadOnly)) return false;
    sink->start(buffer.get());
    if (sink->error() != QAudio::NoError) return false;
    ++plays;
    return true;
#else
    return false;
#endif
}

}  // namespace ravu
