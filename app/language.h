// The language of the windows: Japanese, in which every text is written, or
// English from the translation built into the program.
//
// The choice, first that applies: the environment variable RAVU_LANG ("ja" or
// "en"; for tests and for trying the other language once), the settings
// file's language ("ja" or "en"), the locale (a Japanese locale gives
// Japanese, any other English).  It is made once at start-up.
#pragma once

#include <QString>
#include <string>

#include "app/settings.h"  // LANGUAGE_JAPANESE, LANGUAGE_ENGLISH

namespace ravu {

constexpr const char* LANGUAGE_ENV = "RAVU_LANG";

// True when the windows speak English; env is RAVU_LANG's value, setting the
// settings file's, locale a locale name such as "ja_JP" or "en_US".
bool ChooseEnglish(const QString& env, const std::string& setting, const QString& locale);

// The same from the process's environment and locale.
bool ChooseEnglish(const std::string& setting);

// Makes the windows, Qt's own dialogs and the model's texts speak English or
// Japanese: installs or removes the translators.  Installing English fails
// (false, and Japanese stays) only when the built-in translation is missing;
// Qt's own Japanese texts may be missing (Qt then speaks English), which does
// not count.
bool InstallLanguage(bool english);

// Removes every translator: Japanese without Qt's own translation.
void UninstallLanguage();

// True while English is installed.
bool EnglishInstalled();

// A model text (Shift-JIS) in the installed language: what the model's
// LocalText answers while English is installed.
std::string TranslateModelText(const char* context, const char* sjisText);

}  // namespace ravu
