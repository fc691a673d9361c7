// Games with a referee, over the protocol extension: the settings a guest
// proposes, strict rules and the automatic ends they bring, the clocks with
// the thinking time each move carries, the round trip that bounds it, and
// what spectators with the extension receive.  Everything here happens only
// when both players' copies announced the extension; otherwise the game runs
// as the basic protocol says.
#include <algorithm>

#include "game/board.h"
#include "game/declaration.h"
#include "game/legal_moves.h"
#include "game/local_text.h"
#include "game/sfen.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"
#include "record/notation.h"

namespace ravu {

namespace {

// A player whose program has gone silent loses on time only this long after
// its clock ran out as seen here: its own program declares first.
constexpr int64_t CLAIM_GRACE_MS = 10 * 1000;

}  // namespace

Capabilities CPeerProtocol::CapsOf(SockHandle handle) const {
    const auto it = guestExt.find(handle);
    return it == guestExt.end() ? Capabilities{} : it->second.caps;
}

bool CPeerProtocol::HandleExtension(SockHandle handle) {
    const bool fromHost =
        handle != 0 && handle == connectSocket.OwnHandle() && connectSocket.HasConnection(handle);
    if (!fromHost && (connState == CONN_GUEST || !listenSocket.HasConnection(handle)))
        return false;
    CGameLink& link = fromHost ? connectSocket : listenSocket;
    const uint8_t type = link.GetLastType(handle);
    if (type < PKT_EXT_CAPS || type > PKT_EXT_REVIEW)
        return false;
    if (!extensionOn)
        return true;  // not announced: the packet means nothing here
    const std::string text = link.GetText(handle);
    if (type == PKT_EXT_CAPS) {
        if (fromHost) {
            hostCaps = ParseCaps(text);
        } else {
            guestExt[handle].caps = ParseCaps(text);
            Watch(handle, guestExt[handle].caps);
            // A spectator that joined the running game learns its settings now.
            if (mode == MODE_GAME && handle != gamePeer && IsAccepted(handle))
                SendGameTo(handle);
            ReviewJoined(handle);
        }
        return true;
    }
    // Everything else only from a peer that announced the extension.
    if (!(fromHost ? hostCaps : CapsOf(handle)).Any())
        return true;
    switch (type) {
        case PKT_EXT_GAME:
            if (!fromHost) {
                GuestExt& g = guestExt[handle];
                g.proposed = true;
                g.valid = ParseGame(text, g.settings);
            } else if (mode == MODE_WATCHING && awaitingSettings) {
                // The watched game's settings: set the start up, then the game
                // so far (from the even start when the settings make no sense).
                if (!ParseGame(text, game))
                    game = GameSettings{};
                gameCaps = Shared(OwnCaps(), hostCaps);
                board.Reset();
                record.ClearRecord();
                SetUpGame();
                watchedClock = false;
                host.Redraw(false);
                if (!pendingCatchUp.empty())
                    ReplayCatchUp(std::exchange(pendingCatchUp, {}));
                awaitingSettings = false;
            }
            break;
        case PKT_EXT_CLOCK: {
            const ClockReport r = ParseClock(text);
            if (mode == MODE_GAME && (fromHost || handle == gamePeer)) {
                pendingThinkMs = r.thinkMs;
            } else if (mode == MODE_WATCHING && fromHost) {
                if (r.senteMs >= 0)
                    clock.SetMainLeft(SENTE, r.senteMs);
                if (r.goteMs >= 0)
                    clock.SetMainLeft(GOTE, r.goteMs);
                turnStartMs = Now();
                watchedClock = true;
                host.Redraw(false);
            }
            break;
        }
        case PKT_EXT_PING: link.SendText(PKT_EXT_PONG, text.substr(0, 32), handle); break;
        case PKT_EXT_PONG:
            if (auto it = health.find(handle);
                it != health.end() && !it->second.answered && text == std::to_string(it->second.seq)) {
                it->second.answered = true;
                if (handle == OpponentLink())
                    rttMs = std::max<int64_t>(0, Now() - it->second.pinged);
            }
            break;
        case PKT_EXT_RESUME: HandleResume(handle, fromHost, text); break;
        case PKT_EXT_REVIEW: HandleReview(handle, fromHost, text); break;
        default: break;
    }
    return true;
}

void CPeerProtocol::SendGameTo(SockHandle handle) {
    listenSocket.SendText(PKT_EXT_GAME, GamePayload(game), handle);
    if (!Clocked())
        return;
    ClockReport r;
    r.senteMs = clock.MainLeft(SENTE);
    r.goteMs = clock.MainLeft(GOTE);
    // The move being thought about has run for a while already.
    int64_t& toMove = SideToMove() == SENTE ? r.senteMs : r.goteMs;
    toMove = std::max<int64_t>(0, toMove - (Now() - turnStartMs));
    listenSocket.SendText(PKT_EXT_CLOCK, ClockPayload(r), handle);
}

void CPeerProtocol::SendClocks(SockHandle except) {
    if (connState != CONN_HOST || !Clocked())
        return;
    ClockReport r;
    r.senteMs = clock.MainLeft(SENTE);
    r.goteMs = clock.MainLeft(GOTE);
    const std::string text = ClockPayload(r);
    for (SockHandle h : acceptedGuests)
        if (h != except && h != gamePeer && CapsOf(h).clock && listenSocket.HasConnection(h))
            listenSocket.SendText(PKT_EXT_CLOCK, text, h);
}

void CPeerProtocol::SetUpGame() {
    int first = SENTE;
    KifuHeader& header = record.kifu.header;
    if (!game.startSfen.empty() && SetUpSfen(board, game.startSfen, &first))
        header.startSfen = game.startSfen;
    record.kifu.current->move->side = first;
    if (Clocked())
        header.otherLines += "持ち時間：" + TimeControlText(game.time) + "\r\n";
    referee.Start(board, first);
    clock.Start(game.time);
    turnStartMs = Now();
    pendingThinkMs = -1;
    lastChargedMs = -1;
    if (auto it = health.find(OpponentLink()); it != health.end() && mode == MODE_GAME)
        Ping(it->first);  // the round trip is known before the first move arrives
    board.SetMoveJudge(mode == MODE_GAME && Strict() ? &judge : nullptr);
}

void CPeerProtocol::SendOwnClock(int64_t thinkMs) {
    if (!gameCaps.clock || !Clocked())
        return;
    ClockReport r;
    r.thinkMs = thinkMs;
    r.senteMs = clock.MainLeft(SENTE);
    r.goteMs = clock.MainLeft(GOTE);
    if (connState == CONN_GUEST)
        connectSocket.SendText(PKT_EXT_CLOCK, ClockPayload(r), 0);
    else if (connState == CONN_HOST)
        listenSocket.SendText(PKT_EXT_CLOCK, ClockPayload(r), gamePeer);
}

ClockShow CPeerProtocol::ClockOf(int side) const {
    const bool toMove = (mode == MODE_GAME || mode == MODE_WATCHING) && side == SideToMove();
    // An adjourned game's clocks stand where they stopped.
    return clock.Show(side, toMove ? ThinkingMs() : 0);
}

bool CPeerProtocol::CheckReceivedMove(const MoveRec& m) {
    const int opponent = mySide ^ 1;
    if (Strict() && m.status == MS_ENTERING_WIN && !MayDeclare(board, opponent)) {
        EndGame(MS_ILLEGAL_LOSS, true, Notice::WonByIllegalMove);
        return false;
    }
    if (IsEndStatus(m.status))
        return true;  // resignation, time-out, declaration: the end line is recorded as it came
    if (Strict() && (SideToMove() != opponent || !CReferee::Allows(board, opponent, m))) {
        EndGame(MS_ILLEGAL_LOSS, true, Notice::WonByIllegalMove);
        return false;
    }
    if (Clocked()) {
        lastChargedMs = ChargedThinkMs(pendingThinkMs, Now() - turnStartMs, rttMs);
        pendingThinkMs = -1;
        if (!clock.Spend(opponent, lastChargedMs)) {
            EndGame(MS_TIME_UP, true, Notice::WonOnTime);
            return false;
        }
    }
    return true;
}

bool CPeerProtocol::JudgeAfterMove(int mover, bool ownMove) {
    KifuNode* last = record.kifu.current ? record.kifu.current->prev : nullptr;
    if (Clocked() && last) {
        last->move->seconds = static_cast<int32_t>((ownMove ? lastOwnThinkMs : lastChargedMs) / 1000);
        last->move->totalSeconds = static_cast<int32_t>(clock.SpentTotal(mover) / 1000);
    }
    turnStartMs = Now();
    if (!Strict())
        return false;
    const int status = referee.AfterMove(board, mover);
    if (status == MS_MOVE)
        return false;
    const bool iAmToMove = (mover ^ 1) == mySide;
    Notice notice = Notice::Sennichite;
    if (status == MS_MATE)
        notice = iAmToMove ? Notice::LostByMate : Notice::WonByMate;
    else if (status == MS_ILLEGAL_WIN)
        notice = iAmToMove ? Notice::WonByRepetition : Notice::LostByRepetition;
    else if (status == MS_ILLEGAL_LOSS)
        notice = iAmToMove ? Notice::LostByRepetition : Notice::WonByRepetition;
    // Both players reach this end on their own; the spectators hear it.
    EndGame(status, false, notice);
    return true;
}

void CPeerProtocol::EndGame(int status, bool send, Notice notice) {
    const std::string text = record.RecordEnd(status);
    if (send)
        SendToPeers(PKT_MOVE, text);
    else if (connState == CONN_HOST)
        listenSocket.SendExcept(PKT_MOVE, static_cast<int>(text.size()), text.data(), gamePeer);
    ClearGameState();
    host.Redraw(false);
    host.Notify(notice);
}

void CPeerProtocol::RestoreBoard() {
    record.SetUpStart(board);
    for (KifuNode* e = record.kifu.Root(); e && e->filled; e = e->next)
        board.ApplyMove(*e->move, true);
}

int CPeerProtocol::Declare() {
    if (mode != MODE_GAME || adjourned || !Strict() || SideToMove() != mySide)
        return 0;
    if (!MayDeclare(board, mySide))
        return -1;
    if (AskHost(Question::Declare,
                LocalText("Question", RAVU_TEXT("Question", "\r\n\r\n入玉を宣言しますか ？"))) != ASK_YES ||
        mode != MODE_GAME)
        return 0;
    EndGame(MS_ENTERING_WIN, true, Notice::WonByDeclaration);
    return 1;
}

void CPeerProtocol::OnTick() {
    Beat();
    if (mode != MODE_GAME || adjourned)
        return;
    const int64_t now = Now();
    if (!Clocked())
        return;
    const int toMove = SideToMove();
    const int64_t run = now - turnStartMs;
    if (toMove == mySide && clock.TimedOut(mySide, run)) {
        // A piece in the hand of the pointer, or one waiting for the answer to
        // the promotion question, goes back: the move was not made in time.
        board.CancelCapture();
        EndGame(MS_TIME_UP, true, Notice::LostOnTime);
        RestoreBoard();
    } else if (toMove != mySide && clock.TimedOut(toMove, run - CLAIM_GRACE_MS)) {
        EndGame(MS_TIME_UP, true, Notice::WonOnTime);
    }
}

}  // namespace ravu
