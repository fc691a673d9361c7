// The game record: a tree of moves with variations and comments, the header of
// a record file, the displayed line and the current entry (CKifu), and the
// record's owner with the operations the windows and the protocol call
// (CKifuControl).  All text is Shift-JIS bytes.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "game/types.h"
#include "record/kifu_view.h"

namespace ravu {

class CShogiBoard;

// One entry of the record tree.  Every line ends with one empty entry
// (filled 0) that stands for the move still to be made.
struct KifuNode {
    KifuNode* root = nullptr;  // the record's first entry; the root points to itself
    KifuNode* prev = nullptr;  // entry before this one on its line
    KifuNode* next = nullptr;  // entry after this one on its line
    KifuNode* alt = nullptr;   // next alternative: same number and side, replaces this one
    int32_t filled = 0;        // 1 when the entry holds a move or an end line
    MoveRec* move = nullptr;   // owned by the record (copies in CKifu::line share it)
};

struct KifuHeader {
    int32_t rootItem = 0;  // tree's top item, text = title
    std::string title;     // "無題" after a reset, the file's name after a load
    std::time_t startTime = 0;
    int32_t hasStartTime = 0;
    std::time_t endTime = 0;
    int32_t hasEndTime = 0;
    std::string handicap;
    std::string senteName;
    std::string goteName;
    std::string headerComment;  // lines of "*" + text + CR LF
    // Header lines of other programs that the record does not use (棋戦,
    // 場所, 持ち時間, a board diagram ...), each + CR LF, written back as read.
    std::string otherLines;
    // The position the record starts from, as SFEN; empty for the even game.
    std::string startSfen;
};

class CKifu {
public:
    CKifu();
    ~CKifu();
    CKifu(const CKifu&) = delete;
    CKifu& operator=(const CKifu&) = delete;

    KifuNode* Root() const { return rootNode; }

    // Frees every entry, starts again with an empty root and a reset header;
    // resets the attached tree to its top item.
    void Clear();
    // Frees every entry and takes over the entries, the displayed line and
    // the header of `other`, which is left cleared.  The attached tree stays
    // attached and is reset to its top item, as Clear does.
    void TakeOver(CKifu& other);
    static KifuNode* EndOfLine(KifuNode* entry);
    // Fills the empty entry at the end of entry's line with the move and hangs
    // a new empty entry behind it.  Returns the entry filled.
    KifuNode* Append(KifuNode* entry, const MoveRec& move);
    // Hangs an empty pending alternative with the move's number and side on
    // the filled entry.  Returns the filled entry.
    KifuNode* AddAlternative(KifuNode* filledEntry, const MoveRec& move);
    // Hangs the move as a new filled alternative, with the empty entry that
    // ends its line, at the end of the chain of alternatives that `entry`
    // belongs to, so that the chain's other entries keep their places.
    // Returns the new entry.
    KifuNode* AddLastAlternative(KifuNode* entry, const MoveRec& move);
    // Parses the text and appends it at entry's line; none when entry is none.
    KifuNode* AddMoveLine(KifuNode* entry, std::string_view text);
    // The entry whose tree item is the handle; inVariation (may be null) is
    // set to 1 when it lies below the main line.
    KifuNode* FindByItem(int32_t item, int32_t* inVariation) const;
    // A pending alternative with that move number, searched from the end of
    // the main line back; it becomes current.
    KifuNode* FindPending(int32_t number);
    // The same, passing over the entries in `taken` (pending alternatives
    // whose section has already been read, even if it held no move).
    KifuNode* FindPending(int32_t number, const std::unordered_set<const KifuNode*>* taken);
    // The displayed line becomes copies of the entries from the root to entry.
    void SetLine(KifuNode* entry);
    std::string SetTitle(std::string_view title);
    void AddNodeComment(KifuNode* entry, std::string_view text);

    // Attaches the tree and fills it from the whole record.
    void BuildTree(CKifuTreeView* treeView);
    // Empties the list and fills it with the displayed line.
    void FillList(CKifuListView* list) const;

    KifuNode* current = nullptr;  // current entry
    std::vector<KifuNode> line;   // displayed line (copies sharing MoveRecs)
    int32_t lineIsVariation = 0;
    CKifuTreeView* tree = nullptr;  // attached by BuildTree
    KifuHeader header;

private:
    KifuNode* NewEntry();
    void FreeAll();
    KifuNode* rootNode = nullptr;
};

// The move the piece has just made on the board, as move `number` of the record.
MoveRec MoveOfPiece(const KomaRec& piece, int32_t number);

// What a load could not read.  A file is read up to the first line that
// cannot belong to the record (a move line that does not parse, numbering
// that starts again); what came before it is kept.
struct LoadReport {
    int32_t stopLine = 0;  // 1-based number of the line that stopped the reading; 0: read to the end
    std::string stopText;  // that line (Shift-JIS)
};

class CKifuControl {
public:
    CKifuControl() = default;
    CKifuControl(const CKifuControl&) = delete;
    CKifuControl& operator=(const CKifuControl&) = delete;

    // Empties the record (game start and reset).
    void ClearRecord();
    // Records the piece that has just moved; returns its list-layout text,
    // which goes to the peer.  Clears the piece's moveStatus.
    const std::string& RecordBoardMove(KomaRec& piece);
    // Records a move received as text; returns the new entry's move, which the
    // caller applies to the board.  Valid until the record changes.
    const MoveRec& RecordMoveText(std::string_view text);
    // Records the local player's resignation; returns its list-layout text.
    const std::string& RecordResign() { return RecordEnd(MS_RESIGN); }
    // Records an end entry (MS_RESIGN and above) for the side to move;
    // returns its list-layout text.
    const std::string& RecordEnd(int32_t status);
    // Attaches a chat line to the last recorded move (header before any move).
    void AddComment(std::string_view text);
    // Appends the list-layout text of every main-line entry, each followed by ";".
    void GetMainLineText(std::string& out) const;
    void AddStartLine(int32_t number);
    void ShowEntry(KifuNode* entry, int listIndex);

    // Replay (the board is set up by the caller where the comments say so).
    // Sets the board up at the record's start: the even game, or the
    // position the record starts from.
    void SetUpStart(CShogiBoard& board) const;
    void Rewind();
    void StepTo(CShogiBoard& board, int listLine);
    // item 0: replay along the displayed line to list line n;
    // otherwise replay to the tree item and refill `list`.
    void GoTo(CShogiBoard& board, int n, int32_t item, CKifuListView* list);
    // Comment of the item's entry, the header comment for the top item,
    // empty otherwise.
    std::string GetComment(int32_t item) const;
    void BuildTree(CKifuTreeView* treeView) { kifu.BuildTree(treeView); }

    // KIF files.  `path` is opened as given; `pathText` (Shift-JIS) is the
    // path as written into the file-name line, `path` itself when omitted.
    // True when the whole file was written (it replaces the target only then).
    bool SaveKif(const std::string& path) const { return SaveKif(path, path); }
    bool SaveKif(const std::string& path, const std::string& pathText) const;
    // The whole file text that SaveKif writes.
    std::string KifText(const std::string& pathText) const;
    // True when the record was replaced by the file; `title` (Shift-JIS) is
    // the file's name, taken from `path` after its last '/' when omitted.
    // A file that cannot be opened, is too large, or from which nothing can
    // be read (no header field, no move line and no comment: an empty file,
    // a picture, random bytes) leaves the record as it was.
    // `report`, when given, tells where a partly read file stopped.
    bool LoadKif(const std::string& path);
    bool LoadKif(const std::string& path, const std::string& title, LoadReport* report = nullptr);
    // Reads file bytes (Shift-JIS) that are already in memory (same checks and effect).
    bool LoadKifFromBuffer(std::string_view bytes, const std::string& title, LoadReport* report = nullptr);

    CKifuListView* listBox = nullptr;  // set by the record window
    CKifu kifu;
    std::string textBuf;  // text of the entry last recorded
};

// Longest file LoadKif reads.
constexpr std::size_t KIF_MAX_BYTES = 65536;

}  // namespace ravu
