// The piece table and the two ways a move reaches it: ApplyMove (record or
// peer, no rule checks) and DropHeld (the user's pointer, judged).
#include "game/board.h"

namespace ravu {

namespace {

struct SetupEntry {
    int8_t owner;
    int8_t type;
    int8_t file;
    int8_t rank;
};

// The initial position by table index.  The index of a physical piece never
// changes during a game, so this order is also the order of every scan.
constexpr SetupEntry INITIAL[PIECE_COUNT] = {
    {SENTE, PT_FU, 1, 7}, {SENTE, PT_FU, 2, 7}, {SENTE, PT_FU, 3, 7},    {SENTE, PT_FU, 4, 7},
    {SENTE, PT_FU, 5, 7}, {SENTE, PT_FU, 6, 7}, {SENTE, PT_FU, 7, 7},    {SENTE, PT_FU, 8, 7},
    {SENTE, PT_FU, 9, 7}, {GOTE, PT_FU, 1, 3},  {GOTE, PT_FU, 2, 3},     {GOTE, PT_FU, 3, 3},
    {GOTE, PT_FU, 4, 3},  {GOTE, PT_FU, 5, 3},  {GOTE, PT_FU, 6, 3},     {GOTE, PT_FU, 7, 3},
    {GOTE, PT_FU, 8, 3},  {GOTE, PT_FU, 9, 3},  {SENTE, PT_KYO, 1, 9},   {SENTE, PT_KYO, 9, 9},
    {GOTE, PT_KYO, 1, 1}, {GOTE, PT_KYO, 9, 1}, {SENTE, PT_KEI, 2, 9},   {SENTE, PT_KEI, 8, 9},
    {GOTE, PT_KEI, 2, 1}, {GOTE, PT_KEI, 8, 1}, {SENTE, PT_GIN, 3, 9},   {SENTE, PT_GIN, 7, 9},
    {GOTE, PT_GIN, 3, 1}, {GOTE, PT_GIN, 7, 1}, {SENTE, PT_KIN, 4, 9},   {SENTE, PT_KIN, 6, 9},
    {GOTE, PT_KIN, 4, 1}, {GOTE, PT_KIN, 6, 1}, {SENTE, PT_KAKU, 8, 8},  {GOTE, PT_KAKU, 2, 2},
    {SENTE, PT_HI, 2, 8}, {GOTE, PT_HI, 8, 2},  {SENTE, PT_GYOKU, 5, 9}, {GOTE, PT_OU, 5, 1},
};

}  // namespace

CShogiBoard::CShogiBoard() { InitPosition(); }

void CShogiBoard::InitPosition() {
    ++setups;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        KomaRec& p = pieces[i];
        p = KomaRec{};
        p.state = KS_BOARD;
        p.promoted = 0;
        p.owner = INITIAL[i].owner;
        p.type = INITIAL[i].type;
        p.file = INITIAL[i].file;
        p.rank = INITIAL[i].rank;
    }
    kingAttacked = 0;
    for (int i = 0; i < PIECE_COUNT; ++i)
        GenerateDest(i);
    for (int i = 0; i < PIECE_COUNT; ++i) {
        UpdateImage(i);
        SquareToPixel(pieces[i]);
    }
}

void CShogiBoard::Reset() {
    InitPosition();
    boardRect = BOARD_RECT;
}

KomaRec& CShogiBoard::GetPiece(int index) {
    if (ValidIndex(index))
        return pieces[index];
    spare = KomaRec{};
    return spare;
}

const KomaRec& CShogiBoard::GetPiece(int index) const {
    if (ValidIndex(index))
        return pieces[index];
    spare = KomaRec{};
    return spare;
}

bool CShogiBoard::IsOwner(int index, int side) const {
    return ValidIndex(index) && pieces[index].owner == side;
}

int CShogiBoard::PieceAt(int file, int rank) const {
    if (!OnBoard(file, rank))
        return -1;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = pieces[i];
        if (p.state == KS_BOARD && p.file == file && p.rank == rank)
            return i;
    }
    return -1;
}

int CShogiBoard::FindInHand(int side, int type) const {
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = pieces[i];
        if (p.state == KS_HAND && p.owner == side && p.type == type)
            return i;
    }
    return -1;
}

void CShogiBoard::MoveTo(int index, int file, int rank) {
    // A piece goes to a square or to a hand (0, 0); nowhere else.
    if (!ValidIndex(index) || !(OnBoard(file, rank) || (file == 0 && rank == 0)))
        return;
    KomaRec& p = pieces[index];
    p.prevFile = p.file;
    p.prevRank = p.rank;
    p.file = file;
    p.rank = rank;
    SquareToPixel(p);
}

void CShogiBoard::SetState(int index, int state) {
    if (!ValidIndex(index))
        return;
    pieces[index].prevState = pieces[index].state;
    pieces[index].state = state;
}

void CShogiBoard::RestoreState(int index) {
    if (ValidIndex(index))
        pieces[index].state = pieces[index].prevState;
}

void CShogiBoard::Capture(int index, int newOwner) {
    if (!ValidIndex(index) || !ValidSide(newOwner) || pieces[index].state != KS_BOARD)
        return;
    KomaRec& p = pieces[index];
    p.owner = newOwner;
    SetState(index, KS_HAND);
    MoveTo(index, 0, 0);
    for (DestEntry& e : p.dest)
        e = DestEntry{};
}

int CShogiBoard::ApplyMove(const MoveRec& rec, bool quiet) {
    // Status 2 and above are end entries; anything outside the board's own
    // vocabulary (negative status, a promotion flag other than 0/1, a target
    // off the board) is garbage and refused the same way.
    if (rec.status != MS_MOVE && rec.status != MS_PROMOTE)
        return 0;
    if (rec.promoted != 0 && rec.promoted != 1)
        return 0;
    if (!OnBoard(rec.toFile, rec.toRank))
        return 0;

    // Held pieces are invisible to PieceAt.  One the user is holding still
    // counts on the square it was picked up from, and goes back there before
    // the move is applied, so that no two pieces end up on one square.
    const int held = HeldPiece();
    auto occupant = [&](int file, int rank) {
        const int t = PieceAt(file, rank);
        if (t == -1 && held != -1 && pieces[held].prevState == KS_BOARD && OnBoard(file, rank) &&
            pieces[held].file == file && pieces[held].rank == rank)
            return held;
        return t;
    };
    int mover = occupant(rec.fromFile, rec.fromRank);
    const int victim = occupant(rec.toFile, rec.toRank);
    if (mover == -1) {
        if (rec.fromFile != 0)
            return 0;
        mover = FindInHand(rec.side, rec.type);
        if (mover == -1)
            return 0;
    }
    // A move onto its own square would capture the mover into its own hand.
    if (mover == victim)
        return 0;
    if (held != -1)
        ReturnHeld(held);

    KomaRec& p = pieces[mover];
    p.promoted = rec.promoted;
    p.moveStatus = rec.status;
    MoveTo(mover, rec.toFile, rec.toRank);
    SetState(mover, KS_BOARD);
    UpdateImage(mover);
    // Whatever stands on the destination goes to the mover's hand; the
    // record's move is trusted, so the victim's owner is not compared.
    if (victim != -1)
        Capture(victim, p.owner);
    if (!quiet)
        PlayPieceSound();
    return 1;
}

int CShogiBoard::DropHeld(int index, int x, int y) {
    if (!ValidIndex(index) || pieces[index].state != KS_HELD)
        return 0;
    KomaRec& p = pieces[index];
    int file = 0, rank = 0;
    if (!PointToSquare(x, y, file, rank))
        return ReturnHeld(index);
    if (moveJudge && !moveJudge->Allows(*this, index, file, rank))
        return ReturnHeld(index);

    const int target = PieceAt(file, rank);
    if (target == -1) {
        if (p.prevState == KS_HAND) {
            if (!CanDrop(index, file, rank))
                return ReturnHeld(index);
            MoveTo(index, file, rank);
            SetState(index, KS_BOARD);
            // A drop never promotes, whatever flag the piece had when taken.
            p.promoted = 0;
            UpdateImage(index);
            PlayPieceSound();
            return 1;
        }
        if (!CanMove(p, file, rank))
            return ReturnHeld(index);
    } else {
        if (pieces[target].owner == p.owner)
            return ReturnHeld(index);
        if (p.prevState == KS_HAND)
            return ReturnHeld(index);
        if (!CanMove(p, file, rank))
            return ReturnHeld(index);
        if (IsKing(pieces[target].type)) {
            // Reaching the king ends the game: the piece stays where it was
            // and the king is not taken off the board.
            p.moveStatus = MS_KINGTAKEN;
            MoveTo(index, p.file, p.rank);
            SetState(index, KS_BOARD);
            return 1;
        }
        Capture(target, p.owner);
    }
    MoveTo(index, file, rank);
    SetState(index, KS_BOARD);
    if (!DecidePromotion(index))
        return 0;  // reset or taken while the question was open: no move to report
    PlayPieceSound();
    return 1;
}

void CShogiBoard::PlayPieceSound() {
    if (soundSetting && soundSetting->IsSoundOn() && pieceSound)
        pieceSound->PlayPieceSound();  // a missing sound is silent; the move stands
}

}  // namespace ravu
