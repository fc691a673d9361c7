#include "app/ini.h"

#include "game/sjis.h"

namespace ravu {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Position of the first ']' that is a character of its own, or npos.  The
// second byte of a two-byte character may be '[' ']' or '\\', so the scan
// steps over whole characters.
size_t FindCloseBracket(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsSjisLead(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] == ']')
            return i;
    }
    return std::string_view::npos;
}

// True when the last byte of s is the first half of a two-byte character
// whose second half is missing.  Such a name, written back between brackets,
// would swallow its own closing bracket.
bool EndsInLoneLead(std::string_view s) {
    bool lone = false;
    for (size_t i = 0; i < s.size(); ++i) {
        lone = IsSjisLead(static_cast<unsigned char>(s[i])) && i + 1 == s.size();
        if (IsSjisLead(static_cast<unsigned char>(s[i])))
            ++i;
    }
    return lone;
}

std::string Clean(std::string_view s) {
    std::string out(Trim(s));
    for (char& c : out)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return std::string(Trim(out));
}

}  // namespace

std::string IniCleanValue(std::string_view value) { return Clean(value); }

bool IniNameEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

void CIniDocument::Parse(std::string_view text) {
    sections.clear();
    sections.push_back(IniSection{});  // lines before the first section
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = (end == std::string_view::npos) ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        std::string_view t = Trim(line);
        if (!t.empty() && t.front() == '[') {
            size_t close = FindCloseBracket(t.substr(1));
            std::string_view name =
                close == std::string_view::npos ? std::string_view{} : Trim(t.substr(1, close));
            if (close != std::string_view::npos && !EndsInLoneLead(name)) {
                sections.push_back(IniSection{std::string(name), {}});
                continue;
            }
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos || Trim(line.substr(0, eq)).empty()) {
            sections.back().lines.push_back(IniLine{{}, std::string(line)});
        } else {
            sections.back().lines.push_back(
                IniLine{std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1)))});
        }
    }
    if (sections.front().lines.empty())
        sections.erase(sections.begin());
}

const IniSection* CIniDocument::FindSection(std::string_view name) const {
    for (const IniSection& s : sections)
        if (!s.name.empty() && IniNameEquals(s.name, name))
            return &s;
    return nullptr;
}

IniSection* CIniDocument::FindSection(std::string_view name) {
    return const_cast<IniSection*>(static_cast<const CIniDocument*>(this)->FindSection(name));
}

const std::string* CIniDocument::Find(std::string_view section, std::string_view key) const {
    const IniSection* s = FindSection(section);
    if (!s)
        return nullptr;
    for (const IniLine& l : s->lines)
        if (!l.key.empty() && IniNameEquals(l.key, key))
            return &l.value;
    return nullptr;
}

void CIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string cleanKey = Clean(key);
    std::string cleanSection = Clean(section);
    if (cleanKey.empty() || cleanSection.empty())
        return;  // could never be read back
    IniSection* s = FindSection(cleanSection);
    if (!s) {
        sections.push_back(IniSection{cleanSection, {}});
        s = &sections.back();
    }
    for (IniLine& l : s->lines) {
        if (!l.key.empty() && IniNameEquals(l.key, cleanKey)) {
            l.value = Clean(value);
            return;
        }
    }
    s->lines.push_back(IniLine{cleanKey, Clean(value)});
}

std::string CIniDocument::Serialize() const {
    std::string out;
    for (const IniSection& s : sections) {
        if (!s.name.empty())
            out += "[" + s.name + "]\r\n";
        for (const IniLine& l : s.lines) {
            if (l.key.empty())
                out += l.value;
            else
                out += l.key + "=" + l.value;
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace ravu
