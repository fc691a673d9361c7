#include "record/sfen_writer.h"

#include "record/kifu.h"
#include "record/notation.h"

namespace ravu {

namespace {

std::string Square(int32_t file, int32_t rank) { return {char('0' + file), char('a' + rank - 1)}; }

// "7g7f", "8h2b+", "P*5e"; by piece type for drops (kings never drop).
std::string Usi(const MoveRec& m) {
    if (m.fromFile == 0)
        return std::string(1, "KRBGSNLPK"[m.type]) + "*" + Square(m.toFile, m.toRank);
    return Square(m.fromFile, m.fromRank) + Square(m.toFile, m.toRank) + (m.status == MS_PROMOTE ? "+" : "");
}

bool IsMove(const MoveRec& m) {
    return !IsEndStatus(m.status) && m.type >= 0 && m.type < PT_COUNT && m.toFile >= 1 && m.toFile <= 9 &&
           m.toRank >= 1 && m.toRank <= 9 && m.fromFile >= 0 && m.fromFile <= 9 && m.fromRank >= 0 &&
           m.fromRank <= 9;
}

}  // namespace

std::string SfenText(const CKifu& k) {
    std::string out = k.header.startSfen.empty() ? "startpos" : "sfen " + k.header.startSfen;
    bool any = false;
    for (const KifuNode* e = k.Root(); e && e->filled && IsMove(*e->move); e = e->next) {
        out += any ? " " : " moves ";
        out += Usi(*e->move);
        any = true;
    }
    return out + "\n";
}

}  // namespace ravu
