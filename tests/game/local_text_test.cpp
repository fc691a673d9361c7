// The model's texts for the player: passed through unchanged until the
// windows set a translator, and the markers of a template filled in.
#include <gtest/gtest.h>

#include <string>

#include "game/local_text.h"

namespace ravu {
namespace {

std::string Shout(const char* context, const char* text) { return std::string(context) + ":" + text + "!"; }

TEST(LocalText, UnchangedUntilATranslatorIsSet) {
    EXPECT_EQ(LocalText("Notice", RAVU_TEXT("Notice", "相手が投了しました。")), "相手が投了しました。");
    SetTextTranslator(&Shout);
    EXPECT_EQ(LocalText("Notice", "x"), "Notice:x!");
    SetTextTranslator(nullptr);
    EXPECT_EQ(LocalText("Notice", "x"), "x");
}

TEST(LocalText, FillsMarkersInOrder) {
    struct Case {
        const char* text;
        std::initializer_list<std::string_view> args;
        const char* filled;
    } cases[] = {
        {"%1分%2秒", {"1", "30"}, "1分30秒"},
        {"%2 before %1", {"a", "b"}, "b before a"},
        {"%1 and %1", {"x"}, "x and x"},
        {"%1 %2 %3", {"a"}, "a %2 %3"},           // a marker without an argument stays
        {"%1", {"%2"}, "%2"},                     // arguments are not looked at
        {"100% %0 %x %", {"a"}, "100% %0 %x %"},  // no marker at all
        {"", {"a"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillText(c.text, c.args), c.filled) << c.text;
}

}  // namespace
}  // namespace ravu
