// What the board needs from the program around it: the promotion question,
// the piece sound and its on/off setting, and the internal-error report.
// The windows implement these; tests fake them.  The board holds them by
// pointer and copes with any of them being null.
#pragma once

#include <string>

namespace ravu {

// Asked by DecidePromotion when a move may promote.  (x, y) is the point in
// the main window's client area where the question's top-left corner goes
// (the centre of the destination square).  Answer 1 to promote; anything
// else (2 for "do not promote", or a closed dialog) leaves the piece as it is.
// Without an asker the piece does not promote.
class IPromotionAsker {
public:
    virtual ~IPromotionAsker() = default;
    virtual int AskPromotion(int x, int y) = 0;
};

// Plays the short click of a piece being put down.  Returns false when the
// sound could not be found or played; the move succeeds either way.
class IPieceSound {
public:
    virtual ~IPieceSound() = default;
    virtual bool PlayPieceSound() = 0;
};

// The application's piece-sound switch.  Without one the board stays silent.
class ISoundSetting {
public:
    virtual ~ISoundSetting() = default;
    virtual bool IsSoundOn() const = 0;
};

// Shows a message box with an OK button.  The text is Shift-JIS bytes.
// Used only for the report of an inconsistent held piece (CancelCapture).
class IBoardMessages {
public:
    virtual ~IBoardMessages() = default;
    virtual void ShowInternalError(const std::string& sjisText) = 0;
};

// In games under strict rules: whether the piece with the table index may go
// to the square (its own king left safe, no second pawn on a file, no mate by
// a dropped pawn).  The piece may be held by the pointer.  Without a judge
// every square the piece's movement reaches may be taken.
class CShogiBoard;
class IMoveJudge {
public:
    virtual ~IMoveJudge() = default;
    virtual bool Allows(const CShogiBoard& board, int index, int file, int rank) const = 0;
};

}  // namespace ravu
