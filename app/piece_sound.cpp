#include "app/piece_sound.h"

#include <QUrl>

#ifdef RAVU_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#endif

#include "app/resources.h"
#include "app/settings.h"
#include "app/shogi_app.h"

namespace ravu {

CPieceSound::CPieceSound(const CProfile* profile) : profile(profile) { InitResources(); }

CPieceSound::~CPieceSound() = default;

bool CPieceSound::PlayPieceSound() {
    if (profile && !profile->IsSoundOn())
        return false;
#ifdef RAVU_HAVE_MULTIMEDIA
    if (!outputTried) {
        outputTried = true;
        // Without a sound output the program stays silent rather than
        // have the effect report errors at every click.
        if (QMediaDevices::audioOutputs().isEmpty())
            return false;
        effect = std::make_unique<QSoundEffect>();
        // The resource path ":/res/..." as a URL: "qrc:/res/...".
        effect->setSource(QUrl(QStringLiteral("qrc") + QString::fromLatin1(RES_SOUND_PIECE)));
    }
    if (!effect || effect->status() == QSoundEffect::Error)
        return false;
    // Loading is asynchronous; a click asked for while it loads plays when
    // it has loaded.
    effect->stop();
    effect->play();
    ++plays;
    return true;
#else
    return false;
#endif
}

}  // namespace ravu
