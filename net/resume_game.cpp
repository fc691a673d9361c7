// Games cut off by a lost connection.  When the opponent's link goes in
// mid-game (a crash, the network, a program killed) and both copies can
// resume games, the game is adjourned instead of ended: board, record and
// clocks stay as they were and nobody can move.  The guest comes back with
// the game's token before its hello; the host takes it back as its opponent
// without asking when the two records agree, and play goes on.  A player who
// resigns or disconnects on purpose says "bye" first, so that such a game
// ends as it always has.
#include <algorithm>

#include "game/board.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"
#include "record/notation.h"

namespace ravu {

std::vector<const MoveRec*> CPeerProtocol::Moves() const {
    std::vector<const MoveRec*> moves;
    for (const KifuNode* e = record.kifu.Root(); e && e->filled && e->move; e = e->next)
        moves.push_back(e->move);
    return moves;
}

int64_t CPeerProtocol::ThinkingMs() const {
    return adjourned ? adjournedThinkMs : std::max<int64_t>(0, Now() - turnStartMs);
}

std::string CPeerProtocol::LastMoveText() const {
    std::string text;
    record.GetMainLineText(text);
    // "entry;...;entry;;": the empty entry that waits for the next move ends
    // the line; the last move is the entry before it.
    while (!text.empty() && text.back() == ';')
        text.pop_back();
    const size_t start = text.rfind(';');
    return start == std::string::npos ? text : text.substr(start + 1);
}

bool CPeerProtocol::Adjourn() {
    if (!Resumable() || adjourned)
        return false;
    adjournedThinkMs = ThinkingMs();
    adjourned = true;
    pendingThinkMs = -1;
    gamePeer = 0;
    // A piece in the pointer's hand goes back: no move can be made now.
    board.CancelCapture();
    board.SetMoveJudge(nullptr);
    return true;
}

void CPeerProtocol::Resume() {
    adjourned = false;
    // The clock of the side to move goes on from where it stopped.
    turnStartMs = Now() - adjournedThinkMs;
    pendingThinkMs = -1;
    board.SetMoveJudge(Strict() ? &judge : nullptr);
    if (auto it = health.find(OpponentLink()); it != health.end())
        Ping(it->first);
    SendClocks(gamePeer);
    host.Redraw(false);
    host.Notify(Notice::Resumed);
}

std::string CPeerProtocol::ResumeText() const {
    if (!adjourned || resumeAsHost)
        return {};
    return RequestPayload(RequestFor(resumeToken, Moves()));
}

void CPeerProtocol::HandleResume(SockHandle handle, bool fromHost, const std::string& text) {
    if (text == RESUME_BYE) {
        // The opponent ends the game on purpose: its link going is no accident.
        if (fromHost || handle == gamePeer)
            resumeToken.clear();
        return;
    }
    const ResumeRequest r = ParseResume(text);
    if (!fromHost) {
        if (std::ranges::find(greetedGuests, handle) == greetedGuests.end()) {
            // A request to resume, before the guest's hello.
            GuestExt& g = guestExt[handle];
            g.resumeAsked = true;
            g.resume = r;
        } else if (handle == gamePeer && mode == MODE_GAME && !resumeToken.empty() &&
                   r.token == resumeToken) {
            tokenHeld = true;  // the opponent holds the game's token
        }
        return;
    }
    if (text == RESUME_NO) {
        if (adjourned) {
            AbandonAdjourned();
            host.Notify(Notice::ResumeFailed);
        }
        return;
    }
    if (text.starts_with("ok")) {
        if (!adjourned || connState != CONN_GUEST || r.moves < 0)
            return;
        const std::vector<const MoveRec*> moves = Moves();
        Resume();
        // The own last move never reached the host: it goes again.
        if (r.moves + 1 == static_cast<int>(moves.size()))
            connectSocket.SendText(PKT_MOVE, LastMoveText(), 0);
        return;
    }
    // The token of the game that just started; the host learns that it arrived.
    if (mode == MODE_GAME && !adjourned && gameCaps.resume && !r.token.empty()) {
        resumeToken = r.token;
        connectSocket.SendText(PKT_EXT_RESUME, TokenPayload(resumeToken), 0);
    }
}

void CPeerProtocol::AnswerResume(SockHandle handle) {
    GuestExt& g = guestExt[handle];
    g.resumeAsked = false;
    const ResumeRequest asked = g.resume;
    // The guest is back before its old link was found dead (silence takes
    // half a minute to tell): that link is gone now.
    if (!adjourned && Resumable() && resumeAsHost && asked.token == resumeToken && gamePeer != 0 &&
        gamePeer != handle)
        Gone(gamePeer);
    const std::vector<const MoveRec*> moves = Moves();
    const int own = static_cast<int>(moves.size());
    const Reconcile how =
        adjourned && resumeAsHost && asked.token == resumeToken ? Compare(asked, moves) : Reconcile::Differ;
    if (how == Reconcile::Differ) {
        listenSocket.SendText(PKT_EXT_RESUME, RESUME_NO, handle);
        RefuseGuest(handle);
        return;
    }
    connState = CONN_HOST;
    Accepted(handle);
    gamePeer = handle;
    listenSocket.SendTo(PKT_ACCEPT, 1, "0", handle);
    listenSocket.SendText(PKT_EXT_RESUME, OkPayload(own), handle);
    // The own last move never reached the guest: it goes again.
    if (how == Reconcile::HostAhead)
        listenSocket.SendText(PKT_MOVE, LastMoveText(), handle);
    host.ShowChatInput(true);
    Resume();
}

Adjournment CPeerProtocol::Kept() const {
    Adjournment a;
    a.host = resumeAsHost;
    a.token = resumeToken;
    a.mySide = mySide;
    a.settings = game;
    a.caps = gameCaps;
    if (Clocked()) {
        a.senteMs = clock.MainLeft(SENTE);
        a.goteMs = clock.MainLeft(GOTE);
    }
    a.thinkMs = ThinkingMs();
    a.address = hostAddress;
    a.opponent = opponentName;
    return a;
}

bool CPeerProtocol::RestoreAdjourned(const Adjournment& kept) {
    const Capabilities shared = Shared(OwnCaps(), kept.caps);
    if (mode == MODE_GAME || !shared.resume || !IsResumeToken(kept.token) || !record.kifu.Root())
        return false;
    // The game goes on at the end of the record's main line.
    record.kifu.current = CKifu::EndOfLine(record.kifu.Root());
    record.kifu.SetLine(record.kifu.current);
    // The referee learns the positions of the game so far (repetitions count
    // across the adjournment); the clocks take the figures kept.
    const std::vector<const MoveRec*> moves = Moves();
    record.SetUpStart(board);
    referee.Start(board, moves.empty() ? SideToMove() : moves.front()->side);
    clock.Start(kept.settings.time);
    for (const MoveRec* m : moves) {
        if (IsEndStatus(m->status) || !board.ApplyMove(*m, true))
            return false;
        referee.AfterMove(board, m->side);
        clock.SetSpentTotal(m->side, int64_t{m->totalSeconds} * 1000);
    }
    if (kept.senteMs >= 0 && kept.goteMs >= 0) {
        clock.SetMainLeft(SENTE, kept.senteMs);
        clock.SetMainLeft(GOTE, kept.goteMs);
    }
    game = kept.settings;
    gameCaps = shared;
    mySide = kept.mySide;
    resumeAsHost = kept.host;
    resumeToken = kept.token;
    tokenHeld = true;
    hostAddress = kept.address;
    opponentName = kept.opponent;
    host.SetOpponentName(opponentName);
    mode = MODE_GAME;
    adjourned = true;
    adjournedThinkMs = kept.thinkMs;
    flipped = mySide;
    board.SetFlip(flipped);
    host.Redraw(false);
    return true;
}

void CPeerProtocol::AbandonAdjourned() {
    if (!adjourned)
        return;
    ClearGameState();
    host.Redraw(false);
}

}  // namespace ravu
