// A small reader and writer of INI text (sections in square brackets, one
// "key=value" per line), byte-exact for Shift-JIS keys and values.
//
// Reading follows the usual private-profile rules: spaces and tabs around
// section names, keys and values are dropped, keys and sections compare
// without regard to ASCII case, the first occurrence wins, lines without '='
// and lines before the first section are kept for writing but never match.
// Line ends may be CR LF or LF; writing always uses CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ravu {

struct IniLine {
    std::string key;    // empty for a line that is not "key=value"
    std::string value;  // the value, or the whole line when key is empty
};

struct IniSection {
    std::string name;  // empty for the lines before the first section
    std::vector<IniLine> lines;
};

class CIniDocument {
public:
    // Replaces the content with the parsed text.
    void Parse(std::string_view text);

    // The value of key in section; nullptr when absent.
    const std::string* Find(std::string_view section, std::string_view key) const;

    // Replaces the first such key's value, or appends the key at the end of
    // its section (the section is appended at the end when absent).  Bytes
    // that would break the line structure (CR, LF, NUL) become spaces;
    // surrounding blanks are dropped, as a reader would drop them anyway.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The text with CR LF line ends.
    std::string Serialize() const;

    const std::vector<IniSection>& Sections() const { return sections; }

private:
    IniSection* FindSection(std::string_view name);
    const IniSection* FindSection(std::string_view name) const;
    std::vector<IniSection> sections;
};

// A value as the file can hold it: CR, LF and NUL become spaces, blanks at
// either end are dropped.  Set applies it; readers that want the value they
// read to be the value written back apply it too.
std::string IniCleanValue(std::string_view value);

// True when a and b are equal after ASCII case folding.
bool IniNameEquals(std::string_view a, std::string_view b);

}  // namespace ravu
