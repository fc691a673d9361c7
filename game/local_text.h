// Texts that the model makes for the player to read (notices, questions,
// error lines) in the player's language, without the model knowing how.
//
// The model writes each such text once, in Japanese, marked with
// RAVU_TEXT(context, text); the translation tools collect the marked texts
// by that name.  Where a text is shown, the model passes it through
// LocalText(context, text): with no translator set (the model's tests, the
// command-line tools, the headless copy) that is the text itself, byte for
// byte; the windows set a translator that answers the player's language.
// Texts that travel or are stored (packets, chat, records, settings) are
// never passed through it.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a Japanese text for the translation tools; the text itself, unchanged.
#define RAVU_TEXT(context, text) text

namespace ravu {

// context and the text as written (Shift-JIS) in, the text to show (Shift-JIS) out.
using TextTranslator = std::string (*)(const char* context, const char* sjisText);

// Sets (or, with nullptr, removes) the translator that LocalText uses.
void SetTextTranslator(TextTranslator translator);

// The marked text in the player's language.
std::string LocalText(const char* context, const char* sjisText);

// The text with "%1" ... "%9" replaced by the arguments in order; a marker
// without an argument stays as it is.  Arguments are put in as they are and
// never looked at for markers themselves.
std::string FillText(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace ravu
