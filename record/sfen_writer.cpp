#include "record/sfen_writer.h"

#include "record/kifu.h"
#include "record/usi_line.h"

namespace ravu {

std::string SfenText(const CKifu& k) {
    std::string out = k.header.startSfen.empty() ? "startpos" : "sfen " + k.header.startSfen;
    bool any = false;
    for (const KifuNode* e = k.Root(); e && e->filled && IsBoardMove(*e->move); e = e->next) {
        out += any ? " " : " moves ";
        out += UsiMove(*e->move);
        any = true;
    }
    return out + "\n";
}

}  // namespace ravu
