// Reviewing a finished game together (感想戦).  The host orders everything:
// it sends its record as KIF text to every accepted guest that announced
// `review`, and every copy, the host too, loads that same text, so all start
// from identical records.  From then on a guest only asks (to go to an entry,
// to play a move, to add a comment, to end); the host applies each request
// in the order it arrives and sends the result to every such guest, the one
// that asked included, and the guests apply the host's orders in the same
// order.  Entries are named by their path from the start (record_path.h),
// which the changes made here never shift, so every record grows alike.
// A copy that stops following keeps applying the changes but leaves its
// board where its user put it.
#include <algorithm>
#include <utility>

#include "game/board.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/notation.h"
#include "record/record_path.h"
#include "record/usi_line.h"

namespace ravu {

namespace {

// The title of a reviewed record, also the file name written into its text.
constexpr const char* REVIEW_TITLE = "感想戦";
// Record text per packet behind "kif ".
constexpr size_t KIF_PIECE = PAYLOAD_MAX - 4;
// Own requests remembered until the host's order comes back.
constexpr size_t PENDING_MAX = 64;
// Room a new move may take in the record text: its line, and the heading and
// blank line of a variation.
constexpr size_t MOVE_ROOM = 64;

// "word rest": splits at the first blank.
std::pair<std::string_view, std::string_view> Split(std::string_view text) {
    const size_t blank = text.find(' ');
    if (blank == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

// Whether an unpromoted piece of the type could never move again on the rank.
bool DeadEnd(int type, int side, int rank) {
    const int ahead = side == SENTE ? rank - 1 : 9 - rank;
    return ((type == PT_FU || type == PT_KYO) && ahead < 1) || (type == PT_KEI && ahead < 2);
}

// The USI move as the record's entry of `side` on the board: a piece of that
// side that can go there by the board's own rules (free play: a king may be
// left in check, but never taken).  False when it does not fit.
bool MoveOnBoard(const CShogiBoard& b, int side, std::string_view usi, MoveRec& out) {
    UsiSquares u;
    // On the wire a drop's letter is upper case, as the USI protocol writes it.
    if (!ParseUsiMove(usi, &u) || (u.fromFile == 0 && !(usi[0] >= 'A' && usi[0] <= 'Z')))
        return false;
    MoveRec m;
    m.side = side;
    m.toFile = u.toFile;
    m.toRank = u.toRank;
    if (u.fromFile == 0) {
        m.type = u.dropType;
        const int i = b.FindInHand(side, m.type);
        if (i < 0 || b.PieceAt(m.toFile, m.toRank) >= 0 || !b.CanDrop(i, m.toFile, m.toRank))
            return false;
    } else {
        m.fromFile = u.fromFile;
        m.fromRank = u.fromRank;
        const int i = b.PieceAt(m.fromFile, m.fromRank);
        if (i < 0 || !b.IsOwner(i, side))
            return false;
        const KomaRec& p = b.GetPiece(i);
        const int there = b.PieceAt(m.toFile, m.toRank);
        if ((there >= 0 && (b.IsOwner(there, side) || IsKing(b.GetPiece(there).type))) ||
            !b.CanMove(p, m.toFile, m.toRank))
            return false;
        const bool mayPromote =
            !p.promoted && p.type != PT_KIN && !IsKing(p.type) &&
            (CShogiBoard::InZone(side, m.fromRank) || CShogiBoard::InZone(side, m.toRank));
        if (u.promote ? !mayPromote : mayPromote && DeadEnd(p.type, side, m.toRank))
            return false;
        m.type = p.type;
        m.promoted = p.promoted || u.promote;
        m.status = u.promote ? MS_PROMOTE : MS_MOVE;
    }
    out = m;
    return true;
}

// The board after the entries on the way to `entry` (none: the start).  False
// when one of them is not a move: an end entry, which no move may follow.
bool ReplayTo(const CKifuControl& record, const KifuNode* entry, CShogiBoard& b) {
    std::vector<const KifuNode*> way;
    for (const KifuNode* e = entry; e; e = e->prev)
        way.push_back(e);
    record.SetUpStart(b);
    bool all = true;
    for (auto it = way.rbegin(); it != way.rend(); ++it)
        all = b.ApplyMove(*(*it)->move, true) == 1 && all;
    return all;
}

// The displayed line again from the record, which may have grown at its end.
void RefreshLine(CKifu& k) {
    KifuNode* last = nullptr;
    for (const KifuNode& copy : k.line) {
        KifuNode* a = last ? last->next : k.Root();
        while (a && a->move != copy.move)
            a = a->alt;
        if (!a)
            break;
        last = a;
    }
    if (last)
        k.SetLine(CKifu::EndOfLine(last));
}

// Drops the own requests up to the one that came back; false when it is not
// one of them.  Requests before it were refused by the host.
bool TakePending(std::deque<std::string>& pending, std::string_view order) {
    const auto it = std::find(pending.begin(), pending.end(), order);
    if (it == pending.end())
        return false;
    pending.erase(pending.begin(), it + 1);
    return true;
}

void Remember(std::deque<std::string>& pending, std::string request) {
    pending.push_back(std::move(request));
    if (pending.size() > PENDING_MAX)
        pending.pop_front();
}

}  // namespace

bool CPeerProtocol::CanReview() const {
    if (!OwnCaps().review || mode == MODE_GAME || mode == MODE_WATCHING || adjourned)
        return false;
    if (connState == CONN_GUEST)
        return hostCaps.review;
    if (connState != CONN_HOST)
        return false;
    return std::ranges::any_of(
        acceptedGuests, [this](SockHandle h) { return CapsOf(h).review && listenSocket.HasConnection(h); });
}

bool CPeerProtocol::StartReview() {
    if (!CanReview())
        return false;
    if (connState == CONN_GUEST) {
        connectSocket.SendText(PKT_EXT_REVIEW, "start", 0);
        return true;
    }
    // The review starts where the record stands, before any end line (the
    // position is the same, and moves may follow it).
    const KifuNode* last = record.kifu.current ? record.kifu.current->prev : nullptr;
    while (last && IsEndStatus(last->move->status))
        last = last->prev;
    const std::string at = PathText(PathOf(record.kifu, last).value_or(RecordPath{}));
    const std::string kif = record.KifText(REVIEW_TITLE);
    if (!BeginReview(kif, at))
        return false;
    for (SockHandle h : acceptedGuests)
        if (CapsOf(h).review && listenSocket.HasConnection(h))
            SendReviewTo(h, kif);
    return true;
}

void CPeerProtocol::EndReview() {
    if (!reviewing)
        return;
    if (connState == CONN_GUEST) {
        connectSocket.SendText(PKT_EXT_REVIEW, "end", 0);
        return;
    }
    SendReviewOrder("end");
    StopReview(true);
}

void CPeerProtocol::SetFollowing(bool on) {
    following = on;
    stepsPending.clear();
    if (on && reviewing)
        ShowReview(false);
}

void CPeerProtocol::ReviewShown(const KifuNode* lastShown) {
    if (!reviewing)
        return;
    const std::optional<RecordPath> path = PathOf(record.kifu, lastShown);
    if (!path)
        return;
    shownAt = *path;
    const std::string order = "go " + PathText(*path);
    if (!following || order.size() > size_t(PAYLOAD_MAX))
        return;
    if (connState == CONN_HOST) {
        reviewAt = *path;
        SendReviewOrder(order);
    } else {
        connectSocket.SendText(PKT_EXT_REVIEW, order, 0);
        Remember(stepsPending, order);
    }
}

bool CPeerProtocol::ReviewMove(const MoveRec& move) {
    if (!reviewing)
        return false;
    KifuNode* at = EntryAt(record.kifu, shownAt);
    CShogiBoard b;
    MoveRec m;
    const std::string usi = IsBoardMove(move) ? UsiMove(move) : std::string();
    if ((!at && !shownAt.empty()) || !ReplayTo(record, at, b) ||
        !MoveOnBoard(b, (at ? at->next : record.kifu.Root())->move->side, usi, m))
        return false;
    std::string request = "move " + PathText(shownAt) + " " + usi;
    if (request.size() > size_t(PAYLOAD_MAX))
        return false;
    if (connState == CONN_HOST)
        return ApplyReviewRequest(request, true);
    connectSocket.SendText(PKT_EXT_REVIEW, request, 0);
    Remember(movesPending, std::move(request));
    return true;
}

void CPeerProtocol::ReviewComment(const std::string& sjisText) {
    if (!reviewing)
        return;
    const std::string prefix = "comment " + PathText(shownAt) + " ";
    if (prefix.size() >= size_t(PAYLOAD_MAX))
        return;
    const std::string text = sjisText.substr(0, SjisPrefixLength(sjisText, PAYLOAD_MAX - prefix.size()));
    if (text.empty())
        return;
    if (connState == CONN_HOST)
        ApplyReviewRequest(prefix + text, true);
    else
        connectSocket.SendText(PKT_EXT_REVIEW, prefix + text, 0);
}

void CPeerProtocol::HandleReview(SockHandle handle, bool fromHost, const std::string& text) {
    if (!OwnCaps().review || !(fromHost ? hostCaps : CapsOf(handle)).review)
        return;
    const auto [word, rest] = Split(text);
    if (!fromHost) {
        if (connState != CONN_HOST || !IsAccepted(handle))
            return;
        if (word == "start") {
            // A guest that missed the start (or lost its record) gets it again.
            if (reviewing)
                SendReviewTo(handle, record.KifText(REVIEW_TITLE));
            else
                StartReview();
        } else if (reviewing && word == "end") {
            EndReview();
        } else if (reviewing) {
            ApplyReviewRequest(text, false);
        }
        return;
    }
    // A game of its own or a watched one leaves no room for a review.
    if (connState != CONN_GUEST || mode == MODE_GAME || mode == MODE_WATCHING)
        return;
    if (word == "kif") {
        // Bounded: a text beyond the largest record is refused at the start.
        if (reviewKif.size() <= KIF_MAX_BYTES)
            reviewKif.append(rest);
        return;
    }
    if (word == "start") {
        BeginReview(std::exchange(reviewKif, {}), rest);
        return;
    }
    if (!reviewing)
        return;
    if (word == "end") {
        StopReview(true);
        return;
    }
    // An own step that comes back is shown already (or a later one is).
    RecordPath p;
    if (word == "go" && TakePending(stepsPending, text)) {
        if (ParsePath(rest, p) && (p.empty() || EntryAt(record.kifu, p)))
            reviewAt = std::move(p);
        return;
    }
    stepsPending.clear();
    const bool own = word == "move" && TakePending(movesPending, text);
    ApplyReviewOrder(text, own);
}

bool CPeerProtocol::ApplyReviewRequest(const std::string& request, bool own) {
    // The order names the entry as every copy reads it.
    const auto [word, rest] = Split(request);
    const auto [pathText, tail] = Split(rest);
    RecordPath p;
    if ((word != "go" && word != "move" && word != "comment") || !ParsePath(pathText, p))
        return false;
    std::string order = std::string(word) + " " + PathText(p);
    if (word != "go")
        order += " " + std::string(tail);
    if (order.size() > size_t(PAYLOAD_MAX) || !ApplyReviewOrder(order, own))
        return false;
    SendReviewOrder(order);
    return true;
}

bool CPeerProtocol::ApplyReviewOrder(std::string_view order, bool own) {
    const auto [word, rest] = Split(order);
    const auto [pathText, tail] = Split(rest);
    RecordPath p;
    if (!ParsePath(pathText, p))
        return false;
    KifuNode* at = EntryAt(record.kifu, p);
    if (!at && !p.empty())
        return false;
    CKifu& k = record.kifu;
    if (word == "go") {
        reviewAt = std::move(p);
        if (following)
            ShowReview(false);
        return true;
    }
    if (word == "move") {
        CShogiBoard b;
        const KifuNode* head = at ? at->next : k.Root();
        MoveRec m;
        if (!ReplayTo(record, at, b) || !MoveOnBoard(b, head->move->side, tail, m) ||
            record.KifText(REVIEW_TITLE).size() + MOVE_ROOM > KIF_MAX_BYTES)
            return false;
        m.number = std::max(1, head->move->number);
        bool changed = false;
        p.push_back(PlaceMove(k, at, m, changed));
        reviewAt = std::move(p);
        // The own move is shown even to a copy that browses alone.
        if (following || own) {
            ShowReview(changed);
        } else if (changed) {
            RefreshLine(k);
            host.OnReviewChanged(true);
        }
        return true;
    }
    if (word == "comment") {
        std::string text(tail);
        std::replace(text.begin(), text.end(), '\r', ' ');
        std::replace(text.begin(), text.end(), '\n', ' ');
        if (text.empty() || record.KifText(REVIEW_TITLE).size() + text.size() + 3 > KIF_MAX_BYTES)
            return false;
        // The start position's comment is the record's header comment.
        if (at)
            k.AddNodeComment(at, text);
        else
            k.header.headerComment += "*" + text + "\r\n";
        host.OnReviewChanged(true);
        return true;
    }
    return false;
}

bool CPeerProtocol::BeginReview(const std::string& kif, std::string_view at) {
    RecordPath p;
    if (!ParsePath(at, p) || !record.LoadKifFromBuffer(kif, REVIEW_TITLE))
        return false;
    if (!p.empty() && !EntryAt(record.kifu, p))
        p.clear();
    reviewing = true;
    following = true;
    reviewAt = std::move(p);
    stepsPending.clear();
    movesPending.clear();
    if (mode == MODE_EDIT)
        mode = MODE_FREE;
    ShowReview(true);
    host.Notify(Notice::ReviewStarted);
    return true;
}

void CPeerProtocol::StopReview(bool notify) {
    if (!reviewing)
        return;
    reviewing = false;
    following = true;
    reviewKif.clear();
    stepsPending.clear();
    movesPending.clear();
    if (notify)
        host.Notify(Notice::ReviewEnded);
}

void CPeerProtocol::ShowReview(bool recordChanged) {
    CKifu& k = record.kifu;
    KifuNode* e = EntryAt(k, reviewAt);
    // An end entry leaves the position before it on the board.
    ReplayTo(record, e, board);
    k.current = e ? e->next : k.Root();
    k.SetLine(CKifu::EndOfLine(e ? e : k.Root()));
    k.lineIsVariation = std::ranges::any_of(reviewAt, [](int i) { return i != 0; }) ? 1 : 0;
    shownAt = reviewAt;
    host.OnReviewChanged(recordChanged);
    host.Redraw(false);
}

void CPeerProtocol::SendReviewTo(SockHandle handle, const std::string& kif) {
    for (size_t at = 0; at < kif.size(); at += KIF_PIECE)
        listenSocket.SendText(PKT_EXT_REVIEW, "kif " + kif.substr(at, KIF_PIECE), handle);
    listenSocket.SendText(PKT_EXT_REVIEW, "start " + PathText(reviewAt), handle);
}

void CPeerProtocol::SendReviewOrder(const std::string& order) {
    for (SockHandle h : acceptedGuests)
        if (CapsOf(h).review && listenSocket.HasConnection(h))
            listenSocket.SendText(PKT_EXT_REVIEW, order, h);
}

void CPeerProtocol::ReviewJoined(SockHandle handle) {
    if (reviewing && connState == CONN_HOST && IsAccepted(handle) && CapsOf(handle).review)
        SendReviewTo(handle, record.KifText(REVIEW_TITLE));
}

}  // namespace ravu
