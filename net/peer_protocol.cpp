#include "net/peer_protocol.h"

#include <algorithm>
#include <ctime>

#include "game/board.h"
#include "game/local_text.h"
#include "game/sjis.h"
#include "record/kifu.h"
#include "record/notation.h"

namespace ravu {

namespace {
// The answer to the promotion question of a move typed as text: what the
// text says.
class CTextPromotion : public IPromotionAsker {
public:
    explicit CTextPromotion(int answer) : answer(answer) {}
    int AskPromotion(int, int) override { return answer; }
    int answer;
};

// Cuts a single-packet text to what one packet carries, on a character
// boundary, so that what is logged here is what the others receive.
std::string FitPacket(const std::string& text) { return text.substr(0, SjisPrefixLength(text, PAYLOAD_MAX)); }

// Own chat lines that may wait for the host's echo; older ones are dropped.
constexpr size_t ECHO_PENDING_MAX = 32;

struct NoticeEntry {
    Notice kind;
    const char* name;
    const char* text;
};

// Literals are Shift-JIS (this file is compiled for code page 932).
constexpr NoticeEntry NOTICES[] = {
    {Notice::OpponentResigned, "opponent_resigned",
     RAVU_TEXT("Notice", "相手が投了しました。\r\nあなたの勝ちです。")},
    {Notice::KingTaken, "king_taken", RAVU_TEXT("Notice", "玉を取られました。\r\nあなたの負けです。")},
    {Notice::OpponentEnded, "opponent_ended", RAVU_TEXT("Notice", "相手が対局を終えました。")},
    {Notice::MoveRefused, "move_refused",
     RAVU_TEXT("Notice", "受信した指し手を盤に置けませんでした。\r\n対局を終わります。")},
    {Notice::OpponentGone, "opponent_gone",
     RAVU_TEXT("Notice", "相手との接続が切れました。\r\n対局を終わります。")},
    {Notice::ConnectionLost, "connection_lost", RAVU_TEXT("Notice", "相手との接続が切れました。")},
    {Notice::SenteResigned, "sente_resigned", RAVU_TEXT("Notice", "先手が投了しました。")},
    {Notice::GoteResigned, "gote_resigned", RAVU_TEXT("Notice", "後手が投了しました。")},
    {Notice::SenteWon, "sente_won", RAVU_TEXT("Notice", "先手の勝ちで\r\n対局が終わりました。")},
    {Notice::GoteWon, "gote_won", RAVU_TEXT("Notice", "後手の勝ちで\r\n対局が終わりました。")},
    {Notice::WatchedGameEnded, "watched_game_ended", RAVU_TEXT("Notice", "観戦中の対局が終わりました。")},
    {Notice::WatchedHostGone, "watched_host_gone",
     RAVU_TEXT("Notice", "対局者との接続が切れました。\r\n観戦を終わります。")},
    {Notice::ChatArrived, "chat_arrived",
     RAVU_TEXT("Notice", "チャットが届きました。\r\n右クリックのメニューの\r\n「ログ窓を表示」で読めます。")},
    {Notice::WonByMate, "won_by_mate", RAVU_TEXT("Notice", "詰みました。\r\nあなたの勝ちです。")},
    {Notice::LostByMate, "lost_by_mate", RAVU_TEXT("Notice", "詰まされました。\r\nあなたの負けです。")},
    {Notice::Sennichite, "sennichite", RAVU_TEXT("Notice", "千日手です。\r\n引き分けです。")},
    {Notice::WonByRepetition, "won_by_repetition",
     RAVU_TEXT("Notice", "連続王手の千日手です。\r\nあなたの勝ちです。")},
    {Notice::LostByRepetition, "lost_by_repetition",
     RAVU_TEXT("Notice", "連続王手の千日手です。\r\nあなたの負けです。")},
    {Notice::WonByIllegalMove, "won_by_illegal_move",
     RAVU_TEXT("Notice", "相手の指し手は反則です。\r\nあなたの勝ちです。")},
    {Notice::WonOnTime, "won_on_time", RAVU_TEXT("Notice", "相手の時間が切れました。\r\nあなたの勝ちです。")},
    {Notice::LostOnTime, "lost_on_time", RAVU_TEXT("Notice", "時間が切れました。\r\nあなたの負けです。")},
    {Notice::WonByDeclaration, "won_by_declaration",
     RAVU_TEXT("Notice", "入玉宣言が成立しました。\r\nあなたの勝ちです。")},
    {Notice::LostByDeclaration, "lost_by_declaration",
     RAVU_TEXT("Notice", "相手の入玉宣言が成立しました。\r\nあなたの負けです。")},
    {Notice::Adjourned, "adjourned",
     RAVU_TEXT("Notice", "相手との接続が切れました。\r\n対局を中断して\r\n再開を待ちます。")},
    {Notice::Restored, "restored",
     RAVU_TEXT("Notice", "中断していた対局を\r\n読み込みました。\r\n再開を待ちます。")},
    {Notice::Resumed, "resumed", RAVU_TEXT("Notice", "対局を再開しました。")},
    {Notice::ResumeFailed, "resume_failed",
     RAVU_TEXT("Notice", "中断した対局を\r\n再開できませんでした。\r\n対局を終わります。")},
    {Notice::ReviewStarted, "review_started", RAVU_TEXT("Notice", "感想戦を始めます。")},
    {Notice::ReviewEnded, "review_ended", RAVU_TEXT("Notice", "感想戦を終わります。")},
};

const NoticeEntry& EntryOf(Notice kind) {
    for (const NoticeEntry& e : NOTICES)
        if (e.kind == kind)
            return e;
    return NOTICES[0];
}
}  // namespace

std::string NoticeText(Notice kind) { return LocalText("Notice", EntryOf(kind).text); }

std::string NoticeLogLine(Notice kind) {
    std::string line = "◆";
    const std::string text = NoticeText(kind);
    bool afterLetter = false;  // the last character kept is a single-byte one other than a space
    bool breakSeen = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            breakSeen = true;
            continue;
        }
        // Japanese lines join as they are; words of a translation are kept apart.
        if (breakSeen && afterLetter && c != ' ')
            line += ' ';
        breakSeen = false;
        if (IsSjisLead(static_cast<uint8_t>(c)) && i + 1 < text.size()) {
            line += text.substr(i++, 2);
            afterLetter = false;
        } else {
            line += c;
            afterLetter = static_cast<uint8_t>(c) < 0x80 && c != ' ';
        }
    }
    return line;
}

const char* NoticeName(Notice kind) { return EntryOf(kind).name; }

CPeerProtocol::CPeerProtocol(CShogiBoard& board, CKifuControl& record, CGameLink& connectSocket,
                             CGameLink& listenSocket, CProtocolHost& host)
    : board(board), record(record), connectSocket(connectSocket), listenSocket(listenSocket), host(host) {}

CPeerProtocol::~CPeerProtocol() = default;

void CPeerProtocol::OnSockMessage(SockMsg msg, SockHandle wParam) {
    if (msg == WM_SOCK_PACKET) {
        Heard(wParam);
        if (HandleExtension(wParam))
            return;
        if (connState == CONN_GUEST) {
            // A guest has no guests of its own: a copy that reached this one's
            // listening socket meanwhile is refused and otherwise ignored.
            if (wParam != 0 && !connectSocket.HasConnection(wParam) && listenSocket.HasConnection(wParam)) {
                if (listenSocket.GetLastType(wParam) == PKT_HELLO)
                    RefuseGuest(wParam);
                return;
            }
            switch (connectSocket.GetLastType(wParam)) {
                case PKT_OBSERVE: HandleObserve(wParam); break;
                case PKT_MOVE: HandleMove(connectSocket, wParam); break;
                case PKT_CHUNK_END: HandleCatchUp(connectSocket); break;
                case PKT_CHAT: HandleChat(wParam, nullptr); break;
                default: break;
            }
        } else {
            switch (listenSocket.GetLastType(wParam)) {
                case PKT_HELLO: HandleHello(wParam); break;
                case PKT_TURN: HandleTurn(wParam); break;
                case PKT_MOVE: HandleMove(listenSocket, wParam); break;
                case PKT_CHAT: HandleChat(wParam, nullptr); break;
                default: break;
            }
        }
        return;
    }
    if (msg != WM_SOCK_CLOSED)
        return;
    Forget(wParam);
    const int oldMode = mode;
    // The host's opponent went in the middle of the game.
    const bool opponentGone =
        connState == CONN_HOST && mode == MODE_GAME && gamePeer != 0 && gamePeer == wParam;
    // On a guest only the loss of its own link ends the connection state,
    // whatever strays its own listening socket holds; their going says nothing.
    const bool linkLost =
        connState == CONN_GUEST ? (wParam == 0 || wParam == guestLink) : listenSocket.AllSlotsFree() != 0;
    const bool guestGameLost = connState == CONN_GUEST && linkLost && mode == MODE_GAME;
    // A game that both copies can resume waits for its opponent instead (a
    // guest whose link went again while it was coming back waits anew).
    const bool adjournedNow = (opponentGone || guestGameLost) && (Adjourn() || adjourned);
    // An adjourned game outlives every link (a failed attempt to come back).
    if (gamePeer == wParam && !adjourned)
        ClearGameState();
    const bool wasConnected = connState != CONN_NONE;
    if (linkLost) {
        // Without its host a guest's game cannot go on, however the link
        // was lost (closed by the host, or a failed send or read).
        if (connState == CONN_GUEST && !adjourned)
            ClearGameState();
        host.CloseTurnDialog();
        connState = CONN_NONE;
        guestLink = 0;
        hostCaps = Capabilities{};
        health.clear();
        echoPending.clear();
        host.ShowChatInput(false);
        StopReview(false);
    }
    if (adjournedNow) {
        host.Redraw(false);
        host.Notify(Notice::Adjourned);
    } else if (opponentGone) {
        host.Notify(Notice::OpponentGone);
    } else if (linkLost && wasConnected && !adjourned) {
        host.Notify(oldMode == MODE_GAME       ? Notice::OpponentGone
                    : oldMode == MODE_WATCHING ? Notice::WatchedHostGone
                                               : Notice::ConnectionLost);
    }
}

bool CPeerProtocol::IsAccepted(SockHandle handle) const {
    return std::ranges::find(acceptedGuests, handle) != acceptedGuests.end() &&
           listenSocket.HasConnection(handle) != 0;
}

void CPeerProtocol::Accepted(SockHandle handle) {
    if (!IsAccepted(handle))
        acceptedGuests.push_back(handle);
}

void CPeerProtocol::Forget(SockHandle handle) {
    std::erase_if(guestExt,
                  [&](const auto& g) { return g.first == handle || !listenSocket.HasConnection(g.first); });
    if (connState != CONN_GUEST)
        std::erase_if(
            health, [&](const auto& h) { return h.first == handle || !listenSocket.HasConnection(h.first); });
    for (std::vector<SockHandle>* list : {&acceptedGuests, &greetedGuests}) {
        for (size_t i = 0; i < list->size();) {
            SockHandle h = (*list)[i];
            if (h == handle || !listenSocket.HasConnection(h))
                list->erase(list->begin() + static_cast<long>(i));
            else
                ++i;
        }
    }
}

void CPeerProtocol::RefuseGuest(SockHandle handle) {
    listenSocket.SendRefuse(handle);
    listenSocket.CloseSlot(handle);
    Forget(handle);
}

int CPeerProtocol::AskHost(Question kind, const std::string& question) {
    // One question at a time: a second one while the first is open is "no".
    if (asking)
        return ASK_NO;
    asking = true;
    int answer = host.Ask(kind, question);
    asking = false;
    return answer;
}

void CPeerProtocol::HandleHello(SockHandle handle) {
    // A guest says hello once.  Another hello from the same connection (the
    // opponent's program sending it again in mid-game, say) would otherwise
    // turn the opponent into a spectator on its side only.
    if (std::ranges::find(greetedGuests, handle) != greetedGuests.end())
        return;
    greetedGuests.push_back(handle);
    if (host.IsConnectDialogOpen()) {
        RefuseGuest(handle);
        return;
    }
    if (auto it = guestExt.find(handle); it != guestExt.end() && it->second.resumeAsked) {
        AnswerResume(handle);
        return;
    }
    if (mode == MODE_GAME) {
        // Joins the running game as a spectator, without a question.
        Accepted(handle);
        listenSocket.SendTo(PKT_ACCEPT, 1, "0", handle);
        listenSocket.SendTo(PKT_OBSERVE, 1, "1", handle);
        std::string text;
        record.GetMainLineText(text);
        listenSocket.SendLongText(text, handle);
        return;
    }
    std::string question =
        LocalText("Question",
                  RAVU_TEXT("Question", "\r\n接続の申し込みがあります。\r\n接続してもよろしいですか？\r\n"));
    question += LocalText("Question", RAVU_TEXT("Question", "\r\nハンドル名："));
    question += ShownName(listenSocket.GetText(handle));
    int answer = AskHost(Question::Connect, question);
    // The guest may have gone while the question was open.
    if (answer == ASK_YES && listenSocket.HasConnection(handle)) {
        connState = CONN_HOST;
        Accepted(handle);
        listenSocket.SendTo(PKT_ACCEPT, 1, "0", handle);
        host.ShowChatInput(true);
        ReviewJoined(handle);
    } else {
        RefuseGuest(handle);
    }
}

void CPeerProtocol::HandleTurn(SockHandle handle) {
    // Only a guest this host took in may propose a game; a refused one that
    // stayed connected would otherwise start a game nobody receives.
    if (mode == MODE_GAME || !IsAccepted(handle)) {
        listenSocket.SendRefuse(handle);
        return;
    }
    int guestFirst = DecimalValue(listenSocket.GetText(handle)) == 0 ? 1 : 0;
    // With the extension on both sides the proposal carries the game's
    // settings; settings that cannot be played are refused unasked.
    const Capabilities shared = Shared(OwnCaps(), CapsOf(handle));
    GameSettings settings;
    if (shared.Any()) {
        GuestExt& g = guestExt[handle];
        if (g.proposed && !(g.valid && Playable(g.settings, shared))) {
            g.proposed = false;
            listenSocket.SendRefuse(handle);
            return;
        }
        if (g.proposed)
            settings = g.settings;
        g.proposed = false;
    }
    std::string guestName = listenSocket.GetPeerName(handle);
    const std::string& senteName = guestFirst ? guestName : handleName;
    const std::string& goteName = guestFirst ? handleName : guestName;
    // With settings the question has no blank lines, so that the balloon's
    // six lines hold them.
    std::string question = LocalText("Question", RAVU_TEXT("Question", "先手・後手はこれでいいですか？"));
    question = shared.Any() ? question + "\r\n" : "\r\n" + question + "\r\n\r\n";
    if (settings.startSfen.empty())
        question += FillText(LocalText("Question", RAVU_TEXT("Question", " 先手: %1 \r\n 後手: %2")),
                             {ShownName(senteName), ShownName(goteName)});
    else  // 上手 (gote) gives the handicap and moves first
        question += FillText(LocalText("Question", RAVU_TEXT("Question", " 下手: %1 \r\n 上手: %2")),
                             {ShownName(senteName), ShownName(goteName)});
    if (shared.Any()) {
        const std::string lines = SettingsText(settings);
        question += "\r\n" + lines.substr(0, lines.size() - 2);  // without the last line break
    }
    int answer = AskHost(Question::Sides, question);
    // A game may have started, or the guest gone, while the question was open.
    if (answer != ASK_YES || mode == MODE_GAME || !listenSocket.HasConnection(handle)) {
        listenSocket.SendRefuse(handle);
        return;
    }
    listenSocket.SendTo(PKT_ACCEPT, 1, "0", handle);
    gamePeer = handle;
    opponentName = guestName;
    host.SetOpponentName(guestName);
    mySide = guestFirst;
    game = settings;
    gameCaps = shared;
    StartGame();
    // The token with which the guest can take the game up again after a lost link.
    if (gameCaps.resume) {
        resumeToken = tokenSource();
        listenSocket.SendText(PKT_EXT_RESUME, TokenPayload(resumeToken), gamePeer);
    }
    listenSocket.SendExcept(PKT_OBSERVE, 1, "0", gamePeer);
    for (SockHandle h : acceptedGuests)
        if (h != gamePeer && CapsOf(h).Any() && listenSocket.HasConnection(h))
            SendGameTo(h);
}

void CPeerProtocol::HandleMove(CGameLink& socket, SockHandle handle) {
    // Only the game's moves count: on a host those of its opponent during the
    // game (a spectator cannot play), on a guest those of its host while it
    // plays or watches.
    if (connState == CONN_GUEST) {
        if (mode != MODE_GAME && mode != MODE_WATCHING)
            return;
    } else if (mode != MODE_GAME || gamePeer == 0 || handle != gamePeer) {
        return;
    }
    std::string text = socket.GetText(handle);
    // A refereed game judges the move before anyone else sees it.
    if (mode == MODE_GAME && gameCaps.Any() && !CheckReceivedMove(PeekMove(text)))
        return;
    RelayMove(text);
    MoveRec m = record.RecordMoveText(text);
    if (board.ApplyMove(m, false)) {
        if (mode == MODE_GAME && gameCaps.Any()) {
            SendClocks(gamePeer);
            if (JudgeAfterMove(mySide ^ 1, false))
                return;
        } else if (mode == MODE_WATCHING) {
            turnStartMs = Now();
        }
        host.OnRecordChanged();
        host.Redraw(false);
        if (board.ComputeAttacks(mySide))
            host.ShowCheck();
    } else {
        // A resignation, an end line or a move that does not fit: game over.
        const int oldMode = mode;
        const int side = mySide;
        ClearGameState();
        if (oldMode == MODE_WATCHING)  // a game's own end was told by ClearGameState
            host.OnRecordChanged();
        host.Redraw(false);
        host.Notify(EndNotice(m, oldMode, side));
    }
}

MoveRec CPeerProtocol::PeekMove(const std::string& text) const {
    const KifuNode* cur = record.kifu.current;
    int32_t refFile = 0, refRank = 0;
    if (cur && cur->prev && cur->prev->move) {
        refFile = cur->prev->move->toFile;
        refRank = cur->prev->move->toRank;
    }
    MoveRec m{};
    ParseMoveText(m, text, refFile, refRank);
    m.side = SideToMove();
    return m;
}

Notice CPeerProtocol::EndNotice(const MoveRec& m, int oldMode, int side) {
    const bool watching = oldMode == MODE_WATCHING;
    if (watching && m.status > MS_ABORT)
        return Notice::WatchedGameEnded;
    switch (m.status) {
        case MS_TIME_UP: return m.side == side ? Notice::LostOnTime : Notice::WonOnTime;
        case MS_ENTERING_WIN: return m.side == side ? Notice::WonByDeclaration : Notice::LostByDeclaration;
        case MS_ILLEGAL_LOSS: return m.side == side ? Notice::OpponentEnded : Notice::WonByIllegalMove;
        case MS_RESIGN:
            return watching ? (m.side == SENTE ? Notice::SenteResigned : Notice::GoteResigned)
                            : Notice::OpponentResigned;
        case MS_KINGTAKEN:
            return watching ? (m.side == SENTE ? Notice::SenteWon : Notice::GoteWon) : Notice::KingTaken;
        case MS_MATE:
        case MS_ABORT: return watching ? Notice::WatchedGameEnded : Notice::OpponentEnded;
        default: return Notice::MoveRefused;
    }
}

void CPeerProtocol::RelayMove(const std::string& text) {
    if (connState == CONN_HOST)
        listenSocket.SendExcept(PKT_MOVE, static_cast<int>(text.size()), text.data(), gamePeer);
}

void CPeerProtocol::SendToPeers(uint8_t type, const std::string& text) {
    if (connState == CONN_GUEST)
        connectSocket.SendTo(type, static_cast<int>(text.size()), text.data(), 0);
    else if (connState == CONN_HOST)
        listenSocket.SendTo(type, static_cast<int>(text.size()), text.data(), 0);
}

void CPeerProtocol::HandleObserve(SockHandle) {
    ResetGame();
    mode = MODE_WATCHING;
    // A host with the extension sends the watched game's settings (its
    // start may be a handicap) before or after the game so far.
    awaitingSettings = Shared(OwnCaps(), hostCaps).Any();
    pendingCatchUp.clear();
}

void CPeerProtocol::HandleCatchUp(CGameLink& socket) {
    // The game so far belongs to a game being watched; anywhere else it would
    // write into a game of one's own.
    if (mode != MODE_WATCHING)
        return;
    std::string text = socket.GetText(0);
    if (text.empty())
        return;
    if (awaitingSettings) {
        pendingCatchUp = std::move(text);
        return;
    }
    ReplayCatchUp(text);
}

void CPeerProtocol::ReplayCatchUp(const std::string& text) {
    size_t start = 0;
    for (;;) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            break;          // text behind the last ";" is not an entry
        if (end > start) {  // an empty entry (no move yet) is skipped
            MoveRec m = record.RecordMoveText(std::string_view(text).substr(start, end - start));
            if (!board.ApplyMove(m, true)) {
                ClearGameState();
                host.OnRecordChanged();
                host.Redraw(false);
                host.Notify(Notice::MoveRefused);
                return;
            }
        }
        start = end + 1;
    }
    host.OnRecordChanged();
    host.Redraw(false);
}

void CPeerProtocol::HandleChat(SockHandle handle, const std::string* text) {
    if (connState == CONN_HOST) {
        if (!text && !IsAccepted(handle))
            return;  // a refused guest has no say in the chat
        std::string line = text ? FitPacket(PrefixName(handleName, *text)) : listenSocket.GetText(handle);
        listenSocket.SendChat(line, 0);
        LogChat(line);
        if (!text)
            host.Notify(Notice::ChatArrived);
    } else if (connState == CONN_GUEST) {
        if (!text) {
            const std::string line = connectSocket.GetText(handle);
            LogChat(line);
            if (!echoPending.empty() && echoPending.front() == line)
                echoPending.pop_front();  // the own line coming back
            else
                host.Notify(Notice::ChatArrived);
        } else {
            // Logged when the host's echo comes back.
            std::string line = FitPacket(PrefixName(handleName, *text));
            connectSocket.SendChat(line, handle);
            echoPending.push_back(std::move(line));
            if (echoPending.size() > ECHO_PENDING_MAX)
                echoPending.pop_front();
        }
    }
}

void CPeerProtocol::LogChat(const std::string& line) {
    // During a review the records of all copies must stay alike: chat lines,
    // which each copy would attach where it stands, stay in the log.
    if (!reviewing)
        record.AddComment(line);
    host.AddLine(line);
}

void CPeerProtocol::OnGuestConnected(const std::string& hostCapsText) {
    connState = CONN_GUEST;
    hostCaps = ParseCaps(hostCapsText);
    // A host that cannot resume games took this copy in as a new guest, or a
    // copy that hosted its adjourned game became a guest elsewhere: that
    // game cannot go on.
    if (adjourned && (resumeAsHost || !Shared(OwnCaps(), hostCaps).resume)) {
        AbandonAdjourned();
        host.Notify(Notice::ResumeFailed);
    }
    health.clear();
    // The link to the host: its loss ends the guest's connection state.
    guestLink = connectSocket.OwnHandle();
    Watch(guestLink, hostCaps);
    echoPending.clear();
    host.ShowChatInput(true);
}

void CPeerProtocol::OnTurnAccepted(int side) {
    mySide = side == 1 ? 1 : 0;
    // The settings proposed go with the sides when the host has the extension.
    gameCaps = Shared(OwnCaps(), hostCaps);
    game = gameCaps.Any() && Playable(proposal, gameCaps) ? proposal : GameSettings{};
    StartGame();
}

void CPeerProtocol::StartGame() {
    StopReview(false);
    mode = MODE_GAME;
    resumeAsHost = connState == CONN_HOST;
    board.Reset();
    record.ClearRecord();
    // The record of a game between two players names them by side and
    // keeps when it was played.
    KifuHeader& header = record.kifu.header;
    header.senteName = mySide == SENTE ? handleName : opponentName;
    header.goteName = mySide == SENTE ? opponentName : handleName;
    header.startTime = std::time(nullptr);
    header.hasStartTime = 1;
    SetUpGame();
    flipped = mySide == 1 ? 1 : 0;
    board.SetFlip(flipped);
    host.OnStartGame();
    host.Redraw(false);
}

void CPeerProtocol::ResetGame() {
    // A guest's review ends here (its host is starting a game, say); a host
    // ends it for everyone.
    if (reviewing && connState == CONN_HOST)
        SendReviewOrder("end");
    StopReview(false);
    mode = MODE_FREE;
    adjourned = false;
    resumeToken.clear();
    tokenHeld = false;
    game = GameSettings{};
    gameCaps = Capabilities{};
    watchedClock = false;
    board.SetMoveJudge(nullptr);
    board.Reset();
    record.ClearRecord();
    mySide = 0;
    gamePeer = 0;
    flipped = 0;
    board.SetFlip(0);
    host.OnResetGame();
    host.Redraw(false);
}

void CPeerProtocol::ClearGameState() {
    const bool gameEnds = mode == MODE_GAME;
    if (gameEnds) {
        record.kifu.header.endTime = std::time(nullptr);
        record.kifu.header.hasEndTime = 1;
    }
    gamePeer = 0;
    mode = MODE_FREE;
    mySide = 0;
    awaitingSettings = false;
    adjourned = false;
    resumeToken.clear();
    tokenHeld = false;
    board.SetMoveJudge(nullptr);
    // However the game ended (an end line, a lost connection), its record
    // is complete now.
    if (gameEnds)
        host.OnRecordChanged();
}

void CPeerProtocol::FlipView() {
    flipped = 1 - flipped;
    board.SetFlip(flipped);
}

void CPeerProtocol::BeginEdit() { mode = MODE_EDIT; }

void CPeerProtocol::BrowseRecord() { mode = MODE_FREE; }

int CPeerProtocol::SideToMove() const {
    const KifuNode* cur = record.kifu.current;
    return cur && cur->move ? (cur->move->side & 1) : 0;
}

int CPeerProtocol::Resign() {
    if (mode != MODE_GAME || adjourned || SideToMove() != mySide)
        return 0;
    int answer =
        AskHost(Question::Resign, LocalText("Question", RAVU_TEXT("Question", "\r\n\r\n投了しますか ？")));
    // The game may have ended while the question was open.
    if (answer == ASK_NO || mode != MODE_GAME)
        return 0;
    std::string text = record.RecordResign();
    SendToPeers(PKT_MOVE, text);
    ClearGameState();
    return 1;
}

int CPeerProtocol::Disconnect() {
    if (connState == CONN_NONE)
        return 0;
    if (AskHost(Question::Disconnect,
                LocalText("Question", RAVU_TEXT("Question", "\r\n\r\n対局を終了し回線を切ります。"))) !=
        ASK_YES)
        return 0;
    // The game ends on purpose: the opponent does not wait for it to resume.
    if (Resumable() && !adjourned) {
        if (connState == CONN_GUEST)
            connectSocket.SendText(PKT_EXT_RESUME, RESUME_BYE, 0);
        else if (gamePeer != 0)
            listenSocket.SendText(PKT_EXT_RESUME, RESUME_BYE, gamePeer);
    }
    if (connState == CONN_GUEST)
        connectSocket.Close();
    else if (connState == CONN_HOST)
        listenSocket.Close();
    acceptedGuests.clear();
    guestExt.clear();
    health.clear();
    StopReview(false);
    ClearGameState();
    connState = CONN_NONE;
    guestLink = 0;
    hostCaps = Capabilities{};
    echoPending.clear();
    host.ShowChatInput(false);
    return 1;
}

std::string CPeerProtocol::SendBoardMove(KomaRec& piece) {
    int status = piece.moveStatus;
    const bool refereed = mode == MODE_GAME && gameCaps.Any();
    if (refereed && Clocked()) {
        // The move counts only if it was made in time.
        lastOwnThinkMs = std::max<int64_t>(0, Now() - turnStartMs);
        if (!clock.Spend(mySide, lastOwnThinkMs)) {
            piece.moveStatus = 0;
            RestoreBoard();
            EndGame(MS_TIME_UP, true, Notice::LostOnTime);
            return {};
        }
        SendOwnClock(lastOwnThinkMs);
    }
    std::string text = record.RecordBoardMove(piece);
    SendToPeers(PKT_MOVE, text);
    if (refereed) {
        SendClocks(gamePeer);
        if (JudgeAfterMove(mySide, true))
            return text;
    }
    if (status >= MS_RESIGN)
        ClearGameState();
    else
        host.OnRecordChanged();
    return text;
}

int CPeerProtocol::PlayMoveText(const std::string& text) {
    if (mode != MODE_GAME || adjourned || SideToMove() != mySide)
        return 0;
    const MoveRec m = PeekMove(text);
    if (m.number == 0 || IsEndStatus(m.status) || !OnBoard(m.toFile, m.toRank))
        return 0;
    int index = -1;
    if (m.fromFile != 0) {
        if (!OnBoard(m.fromFile, m.fromRank))
            return 0;
        index = board.PieceAt(m.fromFile, m.fromRank);
    } else {
        index = board.FindInHand(mySide, m.type);
    }
    if (index < 0 || !board.IsOwner(index, mySide))
        return 0;
    // The pointer position of the destination square in the current view.
    int px = -1, py = -1;
    for (int row = 0; row < 9 && px < 0; ++row) {
        for (int col = 0; col < 9; ++col) {
            int x = SQUARES_LEFT + col * SQUARE_PITCH + SQUARE_PITCH / 2;
            int y = SQUARES_TOP + row * SQUARE_PITCH + SQUARE_PITCH / 2;
            int f = 0, r = 0;
            if (board.PointToSquare(x, y, f, r) && f == m.toFile && r == m.toRank) {
                px = x;
                py = y;
                break;
            }
        }
    }
    if (px < 0)
        return 0;
    CTextPromotion promotion(m.status == MS_PROMOTE ? 1 : 2);
    board.SetPromotionAsker(&promotion);
    board.PickUp(index, px, py);
    int ok = board.DropHeld(index, px, py);
    board.SetPromotionAsker(nullptr);
    if (!ok) {
        host.Redraw(false);
        return 0;
    }
    SendBoardMove(board.GetPiece(index));
    host.Redraw(false);
    return 1;
}

}  // namespace ravu
