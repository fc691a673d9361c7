// SFEN positions onto the 40-piece table and back.
#include "game/sfen.h"

#include <string>

#include "game/board.h"

namespace ravu {

namespace {

// SFEN letters by piece type (PT_OU .. PT_GYOKU); both kings are "K".
constexpr std::string_view LETTERS = "KRBGSNLPK";
// Hand order of SFEN: rook, bishop, gold, silver, knight, lance, pawn.
constexpr int HAND_ORDER[] = {PT_HI, PT_KAKU, PT_KIN, PT_GIN, PT_KEI, PT_KYO, PT_FU};

int TypeOf(char letter) {
    const char upper = letter >= 'a' && letter <= 'z' ? char(letter - 'a' + 'A') : letter;
    const std::size_t at = LETTERS.find(upper);
    return at == std::string_view::npos ? -1 : int(at);
}

// The first unused table piece of the type; a king takes the one that
// starts on the owner's side (玉 for sente, 王 for gote), else the other.
int FreePiece(const CShogiBoard& board, int type, int owner, const bool used[PIECE_COUNT]) {
    const int preferred = IsKing(type) ? (owner == SENTE ? PT_GYOKU : PT_OU) : type;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < PIECE_COUNT; ++i) {
            const int t = board.pieces[i].type;
            if (!used[i] && (pass == 0 ? t == preferred : IsKing(type) && IsKing(t)))
                return i;
        }
    return -1;
}

}  // namespace

bool SetUpSfen(CShogiBoard& board, std::string_view sfen, int* sideToMove) {
    if (sfen.substr(0, 5) == "sfen ")
        sfen.remove_prefix(5);
    const std::size_t b1 = sfen.find(' ');
    const std::size_t b2 = b1 == std::string_view::npos ? b1 : sfen.find(' ', b1 + 1);
    if (b2 == std::string_view::npos)
        return false;
    const std::string_view rows = sfen.substr(0, b1), side = sfen.substr(b1 + 1, b2 - b1 - 1);
    std::string_view hands = sfen.substr(b2 + 1);
    hands = hands.substr(0, hands.find(' '));
    if (side != "b" && side != "w")
        return false;

    CShogiBoard setUp = board;
    setUp.InitPosition();  // the types of the table; every piece is placed again below
    bool used[PIECE_COUNT] = {};
    auto place = [&](int type, int owner, int promoted, int file, int rank) {
        const int i = FreePiece(setUp, type, owner, used);
        if (i < 0 || (promoted && (type == PT_KIN || IsKing(type))))
            return false;
        used[i] = true;
        KomaRec& p = setUp.pieces[i];
        p.owner = owner;
        p.promoted = promoted;
        p.prevFile = p.file = file;
        p.prevRank = p.rank = rank;
        p.prevState = p.state = file == 0 ? KS_HAND : KS_BOARD;
        return true;
    };
    int rank = 1, file = 9;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const char c = rows[i];
        if (c == '/') {
            if (file != 0 || ++rank > 9)
                return false;
            file = 9;
        } else if (c >= '1' && c <= '9') {
            file -= c - '0';
            if (file < 0)
                return false;
        } else {
            const int promoted = c == '+' ? 1 : 0;
            const char letter = promoted && i + 1 < rows.size() ? rows[++i] : c;
            const int type = TypeOf(letter);
            if (type < 0 || file < 1 || !place(type, letter >= 'a' ? GOTE : SENTE, promoted, file--, rank))
                return false;
        }
    }
    if (rank != 9 || file != 0)
        return false;
    if (hands != "-") {
        int count = 0;
        for (char c : hands) {
            if (c >= '0' && c <= '9') {
                count = count * 10 + (c - '0');
                if (count > 18)
                    return false;
                continue;
            }
            const int type = TypeOf(c);
            if (type < 0 || IsKing(type))
                return false;
            for (int n = count ? count : 1; n > 0; --n)
                if (!place(type, c >= 'a' ? GOTE : SENTE, 0, 0, 0))
                    return false;
            count = 0;
        }
    }
    for (int i = 0; i < PIECE_COUNT; ++i)
        if (!used[i])
            setUp.pieces[i] =
                KomaRec{0, 0, 0, 0, 0, 0, KS_NONE, KS_NONE, 0, 0, setUp.pieces[i].type, 0, 0, {}};
    for (int i = 0; i < PIECE_COUNT; ++i) {
        setUp.GenerateDest(i);
        setUp.UpdateImage(i);
        setUp.SquareToPixel(setUp.pieces[i]);
    }
    setUp.LayoutHands();
    board = setUp;
    if (sideToMove)
        *sideToMove = side == "b" ? SENTE : GOTE;
    return true;
}

std::string BoardSfen(const CShogiBoard& board, int sideToMove, int moveNumber) {
    std::string out;
    for (int rank = 1; rank <= 9; ++rank) {
        int empty = 0;
        for (int file = 9; file >= 1; --file) {
            const int i = board.PieceAt(file, rank);
            if (i < 0) {
                ++empty;
                continue;
            }
            if (empty)
                out += char('0' + empty);
            empty = 0;
            const KomaRec& p = board.pieces[i];
            if (p.promoted)
                out += '+';
            out += p.owner == GOTE ? char(LETTERS[p.type] - 'A' + 'a') : LETTERS[p.type];
        }
        if (empty)
            out += char('0' + empty);
        if (rank < 9)
            out += '/';
    }
    out += sideToMove == GOTE ? " w " : " b ";
    std::string hands;
    for (int owner : {SENTE, GOTE})
        for (int type : HAND_ORDER) {
            int n = 0;
            for (const KomaRec& p : board.pieces)
                n += p.state == KS_HAND && p.owner == owner && p.type == type;
            if (n > 1)
                hands += std::to_string(n);
            if (n)
                hands += owner == GOTE ? char(LETTERS[type] - 'A' + 'a') : LETTERS[type];
        }
    return out + (hands.empty() ? "-" : hands) + " " + std::to_string(moveNumber);
}

}  // namespace ravu
