// KIF file writer: SaveKif and the line blocks and variation sections.
#include "record/kif_writer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>

#include "record/kifu.h"
#include "record/notation.h"
#include "record/start_position.h"

namespace ravu {

namespace {

constexpr const char* CRLF = "\r\n";
constexpr const char* WEEKDAYS[7] = {"日", "月", "火", "水", "木", "金", "土"};

}  // namespace

std::string FormatKifDate(long long time) {
    std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return "";
    char buf[96];
    std::snprintf(buf, sizeof buf, "%4u/%02u/%02u(%s) %02u:%02u:%02u", unsigned(tm.tm_year + 1900),
                  unsigned(tm.tm_mon + 1), unsigned(tm.tm_mday), WEEKDAYS[tm.tm_wday % 7],
                  unsigned(tm.tm_hour), unsigned(tm.tm_min), unsigned(tm.tm_sec));
    return buf;
}

std::string InsertAfterBreaks(std::string_view text, std::string_view marker) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\n' && i > 0 && text[i - 1] == '\r' && i + 1 < text.size())
            out += marker;
    }
    return out;
}

void WriteLine(const KifuNode* first, std::string& out) {
    for (const KifuNode* e = first; e; e = e->next) {
        if (FormatMove(*e, FMT_TREE).empty())
            break;
        out += FormatMove(*e, FMT_KIF);
        out += CRLF;
        const std::string& comment = e->move->comment;
        if (!comment.empty()) {
            out += '*';
            out += InsertAfterBreaks(comment, "*");
            // Comments recorded here always end with CR LF; one set from
            // elsewhere must not glue the next move line onto it.
            if (comment.size() < 2 || comment.compare(comment.size() - 2, 2, CRLF) != 0)
                out += CRLF;
        }
        if (IsEndStatus(e->move->status))
            break;
    }
    out += CRLF;
}

const KifuNode* NextAlternative(const KifuNode* entry, const KifuNode* stop) {
    for (const KifuNode* y = entry; y; y = y->prev) {
        if (y->alt)
            return y->alt;
        if (y == stop)
            return nullptr;
    }
    return nullptr;
}

void WriteVariation(const KifuNode* alt, std::string& out) {
    // The alternative and its later siblings, each followed by the branch
    // points of its own line from last to first.  Siblings are taken in this
    // loop, so only nested variations recurse.
    for (const KifuNode* a = alt; a; a = a->alt) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "変化：%d手\r\n", a->move->number);
        out += buf;
        WriteLine(a, out);
        const KifuNode* e = CKifu::EndOfLine(const_cast<KifuNode*>(a));
        for (;;) {
            const KifuNode* b = NextAlternative(e, a);
            if (!b || b == a->alt)
                break;  // a's next sibling: nothing before a belongs here
            WriteVariation(b, out);
            e = b->prev;
        }
    }
}

namespace {

// A header field is one line of the file: a CR or LF inside it (a file name
// may hold one) would start a line the reader takes for something else.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

}  // namespace

std::string CKifuControl::KifText(const std::string& pathText) const {
    const KifuHeader& h = kifu.header;
    std::string out;
    out += "# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----\r\n";
    out += "# ファイル名：" + OneLine(pathText) + CRLF;
    if (h.hasStartTime)
        out += "開始日時：" + FormatKifDate(h.startTime) + CRLF;
    if (h.hasEndTime)
        out += "終了日時：" + FormatKifDate(h.endTime) + CRLF;
    // The even game keeps the 手合割 text as read; a handicap start is named;
    // any other start is drawn as a board diagram.
    if (h.startSfen.empty()) {
        out += "手合割：" + OneLine(h.handicap) + CRLF;
    } else if (const std::string_view name = HandicapName(h.startSfen); !name.empty()) {
        out += "手合割：" + std::string(name) + CRLF;
    } else {
        out += "手合割：その他\r\n";
        out += DiagramLines(h.startSfen);
    }
    out += "先手：" + OneLine(h.senteName) + CRLF;
    out += "後手：" + OneLine(h.goteName) + CRLF;
    out += h.otherLines;
    out += "手数----指手---------消費時間--\r\n";
    out += h.headerComment;

    KifuNode* root = kifu.Root();
    WriteLine(root, out);
    const KifuNode* e = CKifu::EndOfLine(root);
    for (;;) {
        const KifuNode* a = NextAlternative(e, root);
        if (!a)
            break;
        WriteVariation(a, out);
        e = a->prev;
        if (!e)
            break;  // an alternative to move 1 ends the scan
    }
    return out;
}

bool CKifuControl::SaveKif(const std::string& path, const std::string& pathText) const {
    namespace fs = std::filesystem;
    const std::string text = KifText(pathText);
    // Write beside the target and rename over it, so that a failed write
    // never leaves a half-written file in the target's place.
    std::random_device rd;
    fs::path target(path);
    fs::path temp;
    std::error_code ec;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".tmp%08x", unsigned(rd()));
        temp = fs::path(path + suffix);
        if (!fs::exists(temp, ec))
            break;
        temp.clear();
    }
    if (temp.empty())
        return false;
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        if (!f)
            return false;
        f.write(text.data(), std::streamsize(text.size()));
        f.flush();
        if (!f) {
            f.close();
            fs::remove(temp, ec);
            return false;
        }
        f.close();
        if (f.fail()) {
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace ravu
