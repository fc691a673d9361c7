// Handicap starts and board diagrams.
// Literals here are compiled to Shift-JIS: every Japanese character is two bytes.
#include "record/start_position.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "game/board.h"
#include "game/sfen.h"
#include "game/sjis.h"

namespace ravu {

namespace {

constexpr std::string_view FULL_BLANK = "　";
constexpr std::string_view KANJI_DIGITS[10] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
constexpr std::string_view FULL_DIGITS[10] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

// The handicaps: gote (上手) plays without the pieces on these squares
// (file * 10 + rank) and moves first.
struct Handicap {
    std::string_view name;
    int removed[10];
};
constexpr Handicap HANDICAPS[] = {
    {"香落ち", {11}},
    {"右香落ち", {91}},
    {"角落ち", {22}},
    {"飛車落ち", {82}},
    {"飛香落ち", {82, 11}},
    {"二枚落ち", {82, 22}},
    {"三枚落ち", {82, 22, 11}},
    {"四枚落ち", {82, 22, 11, 91}},
    {"五枚落ち", {82, 22, 11, 91, 81}},
    {"左五枚落ち", {82, 22, 11, 91, 21}},
    {"六枚落ち", {82, 22, 11, 91, 81, 21}},
    {"左七枚落ち", {82, 22, 11, 91, 81, 21, 31}},
    {"右七枚落ち", {82, 22, 11, 91, 81, 21, 71}},
    {"八枚落ち", {82, 22, 11, 91, 81, 21, 71, 31}},
    {"十枚落ち", {82, 22, 11, 91, 81, 21, 71, 31, 61, 41}},
};

bool Takes(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::string_view Trimmed(std::string_view text) {
    for (;;) {
        if (!text.empty() && (text[0] == ' ' || text[0] == '\t'))
            text.remove_prefix(1);
        else if (!Takes(text, FULL_BLANK))
            break;
    }
    for (;;) {
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        else if (text.size() >= 2 && text.substr(text.size() - 2) == FULL_BLANK)
            text.remove_suffix(2);
        else
            return text;
    }
}

// Squeezes runs of '.' (empty squares) of a rank into SFEN digits.
std::string RankText(std::string_view squares) {
    std::string out;
    int empty = 0;
    for (char c : squares) {
        if (c == '.') {
            ++empty;
            continue;
        }
        if (empty)
            out += char('0' + empty);
        empty = 0;
        out += c;
    }
    if (empty)
        out += char('0' + empty);
    return out;
}

// Pieces of a diagram by their one-character names, as SFEN letters.
struct DiagramPiece {
    std::string_view name;
    std::string_view letters;  // upper case; "+" for a promoted piece
};
constexpr DiagramPiece DIAGRAM_PIECES[] = {
    {"歩", "P"},  {"香", "L"},  {"桂", "N"},  {"銀", "S"},  {"金", "G"},  {"角", "B"},
    {"飛", "R"},  {"玉", "K"},  {"王", "K"},  {"と", "+P"}, {"杏", "+L"}, {"圭", "+N"},
    {"全", "+S"}, {"馬", "+B"}, {"龍", "+R"}, {"竜", "+R"},
};

// Hand pieces in SFEN order, by their names and types.
constexpr std::string_view HAND_NAMES[7] = {"飛", "角", "金", "銀", "桂", "香", "歩"};
constexpr int HAND_TYPES[7] = {PT_HI, PT_KAKU, PT_KIN, PT_GIN, PT_KEI, PT_KYO, PT_FU};
constexpr char HAND_LETTERS[] = "RBGSNLP";

// A count written as digits (ASCII or full width) or in kanji (二, 十, 十七);
// 0 when the text is none of these.
int CountValue(std::string_view text) {
    int value = 0, digits = 0;
    while (!text.empty() && digits < 3) {
        int d = -1;
        if (text[0] >= '0' && text[0] <= '9') {
            d = text[0] - '0';
            text.remove_prefix(1);
        } else {
            for (int k = 0; k < 10 && d < 0; ++k)
                if (Takes(text, FULL_DIGITS[k]))
                    d = k;
            if (d < 0)
                break;
        }
        value = value * 10 + d;
        ++digits;
    }
    if (digits)
        return text.empty() ? value : 0;
    const int tens = Takes(text, "十") ? 1 : 0;
    int ones = 0;
    for (int k = 1; k < 10 && ones == 0; ++k)
        if (Takes(text, KANJI_DIGITS[k]))
            ones = k;
    return text.empty() ? tens * 10 + ones : 0;
}

// A count as a diagram writes it: nothing for one, else in kanji.
std::string CountText(int n) {
    if (n <= 1)
        return "";
    std::string out = n >= 10 ? "十" : "";
    if (n % 10)
        out += KANJI_DIGITS[n % 10];
    return out;
}

}  // namespace

std::string HandicapSfen(std::string_view name) {
    name = Trimmed(name);
    for (const Handicap& h : HANDICAPS) {
        if (h.name != name)
            continue;
        std::string rank1 = "lnsgkgsnl", rank2 = ".r.....b.";  // from file 9 to file 1
        for (int square : h.removed)
            if (square)
                (square % 10 == 1 ? rank1 : rank2)[std::size_t(9 - square / 10)] = '.';
        return RankText(rank1) + "/" + RankText(rank2) + "/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1";
    }
    return {};
}

std::string_view HandicapName(std::string_view sfen) {
    for (const Handicap& h : HANDICAPS)
        if (!sfen.empty() && HandicapSfen(h.name) == sfen)
            return h.name;
    return {};
}

std::string DiagramLines(std::string_view sfen) {
    CShogiBoard board;
    int side = SENTE;
    if (!SetUpSfen(board, sfen, &side))
        return {};
    const std::size_t lastBlank = sfen.find_last_of(' ');
    const int number = std::atoi(std::string(sfen.substr(lastBlank + 1)).c_str());

    auto hand = [&](int owner) {
        std::string out = owner == GOTE ? "後手の持駒：" : "先手の持駒：";
        bool any = false;
        for (int k = 0; k < 7; ++k) {
            int n = 0;
            for (const KomaRec& p : board.pieces)
                n += p.state == KS_HAND && p.owner == owner && p.type == HAND_TYPES[k];
            if (n) {
                out += std::string(HAND_NAMES[k]) + CountText(n) + std::string(FULL_BLANK);
                any = true;
            }
        }
        return out + (any ? "" : "なし") + "\r\n";
    };
    // Each square as three bytes: "v" for gote or a blank, then the piece.
    constexpr std::string_view NAMES[2][9] = {{"玉", "飛", "角", "金", "銀", "桂", "香", "歩", "玉"},
                                              {"玉", "龍", "馬", "金", "全", "圭", "杏", "と", "玉"}};
    std::string out = hand(GOTE);
    out += "  ９ ８ ７ ６ ５ ４ ３ ２ １\r\n+---------------------------+\r\n";
    for (int rank = 1; rank <= 9; ++rank) {
        out += '|';
        for (int file = 9; file >= 1; --file) {
            const int i = board.PieceAt(file, rank);
            if (i < 0) {
                out += " ・";
                continue;
            }
            const KomaRec& p = board.pieces[i];
            out += p.owner == GOTE ? 'v' : ' ';
            out += NAMES[p.promoted ? 1 : 0][p.type];
        }
        out += std::string("|") + std::string(KANJI_DIGITS[rank]) + "\r\n";
    }
    out += "+---------------------------+\r\n" + hand(SENTE);
    if (number > 1)
        out += "手数＝" + std::to_string(number - 1) + "\r\n";
    out += side == GOTE ? "後手番\r\n" : "先手番\r\n";
    return out;
}

bool CBoardDiagram::Take(std::string_view line) {
    std::string_view rest = line;
    bool taken = true;
    if (Takes(rest, "先手の持駒：") || Takes(rest, "下手の持駒："))
        broken |= !Hand(rest, SENTE);
    else if (Takes(rest, "後手の持駒：") || Takes(rest, "上手の持駒："))
        broken |= !Hand(rest, GOTE);
    else if (Takes(rest, "先手番") || Takes(rest, "下手番"))
        goteToMove = false;
    else if (Takes(rest, "後手番") || Takes(rest, "上手番"))
        goteToMove = true;
    else if (Takes(rest, "手数＝")) {
        rest = Trimmed(rest);
        std::size_t digits = 0;
        while (digits < rest.size() && digits < 5 && rest[digits] >= '0' && rest[digits] <= '9')
            ++digits;
        movesBefore = digits ? std::atoi(std::string(rest.substr(0, digits)).c_str()) : 0;
        broken |= digits == 0 || digits == 5;
    } else if (!line.empty() && line[0] == '|')
        broken |= !Row(line);
    else
        taken = line.substr(0, 2) == "+-" || line.substr(0, 4) == "  ９";
    if (taken)
        lines.append(line).append("\r\n");
    return taken;
}

bool CBoardDiagram::Row(std::string_view line) {
    if (rows >= 9)
        return false;
    line.remove_prefix(1);
    for (int column = 0; column < 9; ++column) {
        if (line.size() < 3 || (line[0] != ' ' && line[0] != 'v'))
            return false;
        const bool gote = line[0] == 'v';
        const std::string_view name = line.substr(1, 2);
        line.remove_prefix(3);
        std::string& cell = cells[std::size_t(rows * 9 + column)];
        if (name == "・")
            continue;
        const DiagramPiece* piece = nullptr;
        for (const DiagramPiece& p : DIAGRAM_PIECES)
            if (p.name == name)
                piece = &p;
        if (!piece)
            return false;
        cell = piece->letters;
        if (gote)
            cell.back() = char(cell.back() - 'A' + 'a');
    }
    if (line.empty() || line[0] != '|')
        return false;
    ++rows;
    return true;
}

bool CBoardDiagram::Hand(std::string_view text, int side) {
    text = Trimmed(text);
    if (text == "なし" || text.empty())
        return true;
    while (!text.empty()) {
        // One piece and its count, up to the next blank of either width.
        std::size_t end = 0;
        while (end < text.size() && text[end] != ' ' && text.substr(end, 2) != FULL_BLANK)
            end += IsSjisLead(uint8_t(text[end])) ? 2 : 1;
        std::string_view item = text.substr(0, end);
        text = Trimmed(text.substr(std::min(end, text.size())));
        int k = 0;
        while (k < 7 && !Takes(item, HAND_NAMES[k]))
            ++k;
        const int n = item.empty() ? 1 : CountValue(item);
        if (k == 7 || n < 1 || n > 18)
            return false;
        inHand[side][k] += n;
        if (inHand[side][k] > 18)
            return false;
    }
    return true;
}

std::string CBoardDiagram::Sfen() const {
    if (broken || rows != 9)
        return {};
    std::string out;
    for (int rank = 0; rank < 9; ++rank) {
        int empty = 0;
        for (int column = 0; column < 9; ++column) {
            const std::string& cell = cells[std::size_t(rank * 9 + column)];
            if (cell.empty()) {
                ++empty;
                continue;
            }
            if (empty)
                out += char('0' + empty);
            empty = 0;
            out += cell;
        }
        if (empty)
            out += char('0' + empty);
        if (rank < 8)
            out += '/';
    }
    out += goteToMove ? " w " : " b ";
    std::string hand;
    for (int side = 0; side < 2; ++side)
        for (int k = 0; k < 7; ++k) {
            if (inHand[side][k] > 1)
                hand += std::to_string(inHand[side][k]);
            if (inHand[side][k])
                hand += side == GOTE ? char(HAND_LETTERS[k] - 'A' + 'a') : HAND_LETTERS[k];
        }
    out += (hand.empty() ? "-" : hand) + " " + std::to_string(movesBefore + 1);
    CShogiBoard check;
    return SetUpSfen(check, out) ? out : std::string();
}

}  // namespace ravu
