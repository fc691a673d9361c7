// The board: one shogi position as a fixed table of 40 physical pieces, the
// movement/drop/promotion rules, the destination lists, the pixel geometry of
// the board and the hands, and the held-piece operations of the pointer.
//
// Every scan of the table runs from index 0 to 39 and the first match wins.
// Operations answer 1/0 for yes/no and -1 for "no piece".  Any argument may
// come from a peer or a file: indices outside 0..39, squares outside 1..9 and
// garbage record fields are refused, never trusted.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "game/board_host.h"
#include "game/geometry.h"
#include "game/types.h"

namespace ravu {

class CShogiBoard {
public:
    CShogiBoard();

    // --- pieces and moves -------------------------------------------------
    void InitPosition();
    void Reset();

    // Direct access to a piece record.  An index outside 0..39 gives a spare
    // record, zeroed on every such call, that belongs to no position.
    KomaRec& GetPiece(int index);
    const KomaRec& GetPiece(int index) const;

    bool IsOwner(int index, int side) const;
    int PieceAt(int file, int rank) const;     // first KS_BOARD piece there, or -1
    int FindInHand(int side, int type) const;  // first KS_HAND piece of that owner and type, or -1
    void MoveTo(int index, int file, int rank);
    void SetState(int index, int state);
    void RestoreState(int index);
    void Capture(int index, int newOwner);

    // Applies a move of the record or of the peer without rule checks.  A
    // piece held by the pointer goes back to its place first (it still counts
    // on the square it was picked up from).
    int ApplyMove(const MoveRec& rec, bool quiet);
    // Commits the held piece to the square under (x, y); the only place where
    // a user's move is judged.  Refusals put the piece back and answer 0.
    int DropHeld(int index, int x, int y);

    // --- the move judge ---------------------------------------------------
    int CanMove(const KomaRec& piece, int toFile, int toRank) const;
    int PathClearFile(const KomaRec& piece, int toFile, int toRank) const;
    int PathClearRank(const KomaRec& piece, int toFile, int toRank) const;
    int PathClearDiag(const KomaRec& piece, int toFile, int toRank) const;
    int CanDrop(int index, int file, int rank) const;
    int TwoPawns(int index, int file) const;
    static int InZone(int side, int rank);
    static int LeavesZone(int side, int fromRank, int toRank);
    // Answers 0 only when the position was reset or the piece taken while the
    // promotion question was open (the question runs a nested event loop in
    // which peer messages are handled); the answer is then dropped.
    int DecidePromotion(int index);

    // --- the destination lists --------------------------------------------
    int AddDest(int index, int k, int file, int rank);
    void GenerateDest(int index);  // runs the generator of the piece's type
    void DestFu(int index);
    void DestKyo(int index);
    void DestKei(int index);
    void DestGin(int index);
    void DestKin(int index);
    void DestOu(int index);
    void DestHi(int index);
    void DestKaku(int index);
    int ComputeAttacks(int side);
    // Entries of the list the marks look at: 8 for a king or lance, 20 for a
    // rook or bishop, 6 otherwise (promotion does not change it).
    static int DestListSize(int type);

    // --- pixels -----------------------------------------------------------
    // Cell 0..31 of the piece image strip; -1 for a type or flag that has no image.
    static int ImageCell(int type, int promoted, int owner, int flip);
    void UpdateImage(int index);
    void SquareToPixel(KomaRec& piece) const;
    int PointToSquare(int x, int y, int& file, int& rank) const;
    void SetFlip(int newFlip);
    void LayoutHands();
    int HitTest(int x, int y) const;

    // What Draw puts on the surface, in drawing order (later over earlier):
    // LayoutHands, then every KS_BOARD or KS_HAND piece in table order.
    std::vector<CellPlacement> DrawList();
    // What DrawMarks draws for the destination list of one piece; markSide 0
    // uses the yellow/magenta cells, 1 the cyan/green ones.
    std::vector<CellPlacement> MarkList(int markSide, int index) const;
    // What DrawReach draws: ComputeAttacks (side), then the marks of every
    // KS_BOARD piece of that side in table order, with mark side = side.
    std::vector<CellPlacement> ReachList(int side);
    // The held piece follows the pointer: fills the step and stores the new
    // position.  Answers 0 (and does nothing) when no piece is held.
    int DragTo(int index, int px, int py, DragStep& step);

    // --- the held piece ---------------------------------------------------
    int HeldPiece() const;  // first KS_HELD piece, or -1
    void PickUp(int index, int x, int y);
    int ReturnHeld(int index);  // always 0
    void CancelCapture();

    // --- the program around the board (any may be null) -------------------
    void SetPromotionAsker(IPromotionAsker* asker) { promotionAsker = asker; }
    void SetPieceSound(IPieceSound* sound) { pieceSound = sound; }
    void SetSoundSetting(ISoundSetting* setting) { soundSetting = setting; }
    void SetMessages(IBoardMessages* messages) { boardMessages = messages; }
    // Strict games: the squares the user may put a piece on and the reach
    // marks are only those the judge allows.
    void SetMoveJudge(const IMoveJudge* judge) { moveJudge = judge; }
    void PlayPieceSound();  // plays only when the setting says so

    // --- fields -----------------------------------------------------------
    Rect boardRect = BOARD_RECT;
    int32_t flip = 0;
    std::array<KomaRec, PIECE_COUNT> pieces{};
    int32_t kingAttacked = 0;
    int32_t attackedKing = 0;

private:
    bool ValidIndex(int index) const { return index >= 0 && index < PIECE_COUNT; }
    // Checks the index, zeroes the piece's list, and tells whether the piece
    // can reach anything (on the board, of a side, with a 0/1 promotion flag).
    bool BeginDest(int index);

    IPromotionAsker* promotionAsker = nullptr;
    IPieceSound* pieceSound = nullptr;
    ISoundSetting* soundSetting = nullptr;
    IBoardMessages* boardMessages = nullptr;
    const IMoveJudge* moveJudge = nullptr;
    mutable KomaRec spare{};
    uint32_t setups = 0;  // counts InitPosition, so a question can tell that a new game began under it
};

// Square helpers shared by the rules and the tests.
constexpr bool OnBoard(int file, int rank) { return file >= 1 && file <= 9 && rank >= 1 && rank <= 9; }
constexpr bool IsKing(int type) { return type == PT_OU || type == PT_GYOKU; }
// The same kind of piece: the two kings (玉 and 王) are one kind.
constexpr bool SameKind(int a, int b) { return a == b || (IsKing(a) && IsKing(b)); }
// A knight on the last two ranks, a lance or pawn on the last rank could
// never move again: it must promote.  Ranks are absolute; a piece gets there
// only moving forward, so the rank alone says whose last ranks they are.
constexpr bool MustPromote(int type, int rank) {
    return type == PT_KEI ? rank <= 2 || rank >= 8
                          : (type == PT_KYO || type == PT_FU) && (rank == 1 || rank == 9);
}
constexpr bool ValidSide(int side) { return side == SENTE || side == GOTE; }
constexpr bool ValidType(int type) { return type >= 0 && type < PT_COUNT; }
// Forward step along the ranks: -1 for sente, +1 for gote.
constexpr int Forward(int side) { return side == SENTE ? -1 : 1; }

}  // namespace ravu
