#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>
#include <memory>

#include "app/settings.h"
#include "app/textcodec.h"
#include "game/local_text.h"

namespace ravu {

namespace {

// The program's own English, built from translations/ravuone_en.ts into the resources.
const char* const PROGRAM_TRANSLATION = ":/i18n/ravuone_en.qm";

std::unique_ptr<QTranslator> programTranslator;
std::unique_ptr<QTranslator> qtTranslator;

void Remove(std::unique_ptr<QTranslator>& translator) {
    if (translator)
        QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

bool IsEnglishName(const QString& name) { return name == QLatin1String(LANGUAGE_ENGLISH); }
bool IsJapaneseName(const QString& name) { return name == QLatin1String(LANGUAGE_JAPANESE); }

}  // namespace

bool ChooseEnglish(const QString& env, const std::string& setting, const QString& locale) {
    for (const QString& chosen : {env.trimmed(), QString::fromStdString(setting)})
        if (IsEnglishName(chosen) || IsJapaneseName(chosen))
            return IsEnglishName(chosen);
    return !locale.startsWith(QLatin1String("ja"));
}

bool ChooseEnglish(const std::string& setting) {
    return ChooseEnglish(qEnvironmentVariable(LANGUAGE_ENV), setting, QLocale::system().name());
}

std::string TranslateModelText(const char* context, const char* sjisText) {
    const std::string utf8 = SjisToUtf8(sjisText);
    return Utf8ToSjis(QCoreApplication::translate(context, utf8.c_str()).toStdString());
}

void UninstallLanguage() {
    Remove(programTranslator);
    Remove(qtTranslator);
    SetTextTranslator(nullptr);
}

bool InstallLanguage(bool english) {
    UninstallLanguage();
    bool ok = true;
    if (english) {
        auto translator = std::make_unique<QTranslator>();
        ok = translator->load(QString::fromLatin1(PROGRAM_TRANSLATION));
        if (ok) {
            QCoreApplication::installTranslator(translator.get());
            programTranslator = std::move(translator);
            SetTextTranslator(&TranslateModelText);
        }
    }
    // Qt's own dialogs (file dialogs, message box buttons) speak English by
    // themselves; in Japanese they need Qt's translation.
    if (!programTranslator) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QStringLiteral("qtbase_ja"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator.get());
            qtTranslator = std::move(translator);
        }
    }
    return ok;
}

bool EnglishInstalled() { return programTranslator != nullptr; }

}  // namespace ravu
