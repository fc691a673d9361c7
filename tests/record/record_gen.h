// Generated records for the record tests and benchmarks: random moves of
// every kind (drops, promotions, recaptures, end lines), comments on every
// kind of entry, nested variations.
#pragma once

#include <array>
#include <random>
#include <string>

#include "game/types.h"
#include "record/kifu.h"

namespace ravu::test {

inline std::array<int32_t, 10> Fields(const MoveRec& m) {
    return {m.side, m.number, m.toFile, m.toRank, m.type, m.promoted,
            m.fromFile, m.fromRank, m.status, m.seconds};
}

struct GenOptions {
    int mainLength = 60;       // moves of the main line
    int varLength = 8;         // longest variation line
    int maxDepth = 2;          // nesting of variations
    int branchPercent = 6;     // chance that a move gets alternatives
    int commentPercent = 15;   // chance that an entry gets a comment
    int endPercent = 50;       // chance that a line ends with an end line
    int pendingPercent = 10;   // chance that a chain ends with a pending alternative
    bool header = true;
};

class RecordGen {
public:
    explicit RecordGen(uint32_t seed) : rng(seed) {}

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Chance(int percent) { return Pick(0, 99) < percent; }

    // Text of a comment line or a header field: any bytes but CR and LF,
    // Japanese included.
    std::string Text() {
        static const char* pieces[] = {"nice", "悪手", "ここで", "▲", "x", " ", "*", "+", "(",
                                       "変化", "1", "#", "同　", "\t", "手"};
        std::string s;
        for (int n = Pick(0, 6); n > 0; --n)
            s += pieces[Pick(0, 14)];
        return s;
    }

    // A move that the notation renders and reads back unchanged.
    MoveRec RandomMove(int32_t number, const KifuNode* prev) {
        MoveRec m;
        m.number = number, m.side = (number & 1) ? 0 : 1;
        m.toFile = Pick(1, 9), m.toRank = Pick(1, 9);
        if (prev && prev->move->toFile != 0 && Chance(20))  // recapture: 同
            m.toFile = prev->move->toFile, m.toRank = prev->move->toRank;
        m.type = Pick(0, PT_COUNT - 1);
        const bool hasPromotedName = m.type != PT_OU && m.type != PT_KIN && m.type != PT_GYOKU;
        const int form = Pick(0, 9);
        if (form == 0)
            m.promoted = 1, m.status = MS_PROMOTE;
        else if (form <= 2 && hasPromotedName)
            m.promoted = 1;
        if (!Chance(20) || m.promoted)  // otherwise a drop
            m.fromFile = Pick(1, 9), m.fromRank = Pick(1, 9);
        m.seconds = Chance(30) ? Pick(0, 7200) : 0;
        return m;
    }

    MoveRec EndEntry(int32_t number) {
        static const int statuses[] = {MS_RESIGN, MS_MATE, MS_ABORT};
        MoveRec m;
        m.number = number, m.side = (number & 1) ? 0 : 1, m.status = statuses[Pick(0, 2)];
        return m;
    }

    // Fills the line that starts at the empty entry `start` with `length`
    // entries, branching as the options say.
    // The first entry of an alternative line gets no chain of its own: its
    // alternatives are its siblings, added by AddChain.
    void FillLine(CKifu& k, KifuNode* start, int length, int depth, const GenOptions& o,
                  bool isAlternative = false) {
        KifuNode* e = start;
        for (int i = 0; i < length; ++i) {
            const int32_t number = e->move->number;
            const bool last = i == length - 1;
            MoveRec m = last && Chance(o.endPercent) ? EndEntry(number) : RandomMove(number, e->prev);
            if (Chance(o.commentPercent))
                for (int n = Pick(1, 3); n > 0; --n)
                    m.comment += Text() + "\r\n";
            KifuNode* f = k.Append(e, m);
            if (depth < o.maxDepth && !(i == 0 && isAlternative) && Chance(o.branchPercent))
                AddChain(k, f, depth + 1, o);
            if (IsEnd(m))
                return;
            e = f->next;
        }
    }

    // One to three alternatives to the filled entry, each with its own line.
    void AddChain(CKifu& k, KifuNode* f, int depth, const GenOptions& o) {
        KifuNode* holder = f;
        for (int n = Pick(1, 3); n > 0; --n) {
            k.AddAlternative(holder, *holder->move);
            KifuNode* p = holder->alt;
            if (n == 1 && Chance(o.pendingPercent))
                return;  // left pending: a "+" without moves
            FillLine(k, p, Pick(1, o.varLength), depth, o, true);
            holder = p;
        }
    }

    void Header(CKifu& k) {
        KifuHeader& h = k.header;
        h.handicap = Text(), h.senteName = Text(), h.goteName = Text();
        h.hasStartTime = 1, h.startTime = Pick(40000000, 2000000000);
        h.hasEndTime = Chance(50);
        h.endTime = h.hasEndTime ? h.startTime + Pick(0, 90000) : 0;
        for (int n = Pick(0, 2); n > 0; --n)
            h.headerComment += "*" + Text() + "\r\n";
    }

    void Generate(CKifu& k, const GenOptions& o) {
        k.Clear();
        if (o.header)
            Header(k);
        k.Root()->move->number = 1;  // the empty root stands for move 1
        FillLine(k, k.Root(), o.mainLength, 0, o);
    }

    std::mt19937 rng;

private:
    static bool IsEnd(const MoveRec& m) { return m.status >= MS_RESIGN && m.status <= MS_ABORT; }
};

}  // namespace ravu::test
