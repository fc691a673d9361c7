#include "ui/turn_dlg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <iterator>

#include "app/settings.h"
#include "app/textcodec.h"
#include "net/game_socket.h"
#include "net/peer_protocol.h"
#include "record/start_position.h"
#include "ui/window_util.h"

namespace ravu {

namespace {

// The handicaps offered, after 平手, in the order of their strength.  The
// box shows them translated and keeps the Japanese name, which is what the
// record and the start position know them by; the question to the host
// translates them in the same context.
const char* const HANDICAPS[] = {
    QT_TRANSLATE_NOOP("Handicap", "香落ち"),     QT_TRANSLATE_NOOP("Handicap", "右香落ち"),
    QT_TRANSLATE_NOOP("Handicap", "角落ち"),     QT_TRANSLATE_NOOP("Handicap", "飛車落ち"),
    QT_TRANSLATE_NOOP("Handicap", "飛香落ち"),   QT_TRANSLATE_NOOP("Handicap", "二枚落ち"),
    QT_TRANSLATE_NOOP("Handicap", "三枚落ち"),   QT_TRANSLATE_NOOP("Handicap", "四枚落ち"),
    QT_TRANSLATE_NOOP("Handicap", "五枚落ち"),   QT_TRANSLATE_NOOP("Handicap", "左五枚落ち"),
    QT_TRANSLATE_NOOP("Handicap", "六枚落ち"),   QT_TRANSLATE_NOOP("Handicap", "左七枚落ち"),
    QT_TRANSLATE_NOOP("Handicap", "右七枚落ち"), QT_TRANSLATE_NOOP("Handicap", "八枚落ち"),
    QT_TRANSLATE_NOOP("Handicap", "十枚落ち")};

// The time controls in the order of the 持ち時間 box.
constexpr TimeKind TIME_KINDS[] = {TimeKind::None, TimeKind::SuddenDeath, TimeKind::Byoyomi,
                                   TimeKind::Increment};

constexpr int MS_PER_SECOND = 1000;
constexpr int MS_PER_MINUTE = 60 * MS_PER_SECOND;
constexpr int MAX_MINUTES = 600;
constexpr int MAX_SECONDS = 600;
constexpr int DEFAULT_MINUTES = 10;
constexpr int DEFAULT_SECONDS = 30;

}  // namespace

CTurnDlg::CTurnDlg(CProfile* profile, CSockOwner* mainOwner, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      profile(profile),
      mainOwner(mainOwner) {
    setWindowTitle(tr("手番の決定"));
    setObjectName(QStringLiteral("turn"));
    setFont(TemplateFont(FONT_PGOTHIC, 8));
    const DialogUnits du(font());
    setFixedSize(du.X(154), du.Y(169));

    senteRadio = new QRadioButton(tr("先手"), this);
    senteRadio->setObjectName(QStringLiteral("sente"));
    senteRadio->setGeometry(du.Rect(20, 10, 45, 10));
    goteRadio = new QRadioButton(tr("後手"), this);
    goteRadio->setObjectName(QStringLiteral("gote"));
    goteRadio->setGeometry(du.Rect(85, 10, 45, 10));

    PlainLabel(this, tr("先手："), du.Rect(14, 32, 26, 8));
    senteName = PlainLabel(this, QString(), du.Rect(42, 32, 100, 8));
    senteName->setObjectName(QStringLiteral("senteName"));
    PlainLabel(this, tr("後手："), du.Rect(14, 46, 26, 8));
    goteName = PlainLabel(this, QString(), du.Rect(42, 46, 100, 8));
    goteName->setObjectName(QStringLiteral("goteName"));

    // The game's settings.
    PlainLabel(this, tr("ルール："), du.Rect(14, 62, 34, 8));
    rulesBox = new QComboBox(this);
    rulesBox->setObjectName(QStringLiteral("rules"));
    rulesBox->setGeometry(du.Rect(50, 60, 90, 12));
    rulesBox->addItems({tr("自由"), tr("反則負けあり")});
    PlainLabel(this, tr("手合割："), du.Rect(14, 77, 34, 8));
    handicapBox = new QComboBox(this);
    handicapBox->setObjectName(QStringLiteral("handicap"));
    handicapBox->setGeometry(du.Rect(50, 75, 90, 12));
    handicapBox->addItem(tr("平手"));
    for (const char* name : HANDICAPS)
        handicapBox->addItem(QCoreApplication::translate("Handicap", name), QString::fromUtf8(name));
    PlainLabel(this, tr("持ち時間："), du.Rect(14, 92, 36, 8));
    timeBox = new QComboBox(this);
    timeBox->setObjectName(QStringLiteral("time"));
    timeBox->setGeometry(du.Rect(50, 90, 90, 12));
    timeBox->addItems({tr("なし"), tr("切れ負け"), tr("秒読み"), tr("フィッシャー(加算)")});
    minutesBox = new QSpinBox(this);
    minutesBox->setObjectName(QStringLiteral("minutes"));
    minutesBox->setGeometry(du.Rect(50, 105, 28, 12));
    minutesBox->setRange(0, MAX_MINUTES);
    PlainLabel(this, tr("分"), du.Rect(80, 107, 8, 8));
    secondsName = PlainLabel(this, QString(), du.Rect(89, 107, 23, 8));
    secondsBox = new QSpinBox(this);
    secondsBox->setObjectName(QStringLiteral("seconds"));
    secondsBox->setGeometry(du.Rect(113, 105, 24, 12));
    secondsBox->setRange(0, MAX_SECONDS);
    PlainLabel(this, tr("秒"), du.Rect(139, 107, 8, 8));
    ShowSettings(GameSettings{});

    statusLabel = PlainLabel(this, QString(), du.Rect(10, 124, 134, 12));
    statusLabel->setObjectName(QStringLiteral("status"));
    statusLabel->setAlignment(Qt::AlignCenter);
    statusLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    sendButton = new QPushButton(tr("送信"), this);
    sendButton->setObjectName(QStringLiteral("send"));
    sendButton->setGeometry(du.Rect(18, 146, 50, 14));
    backButton = new QPushButton(tr("もどる"), this);
    backButton->setObjectName(QStringLiteral("back"));
    backButton->setGeometry(du.Rect(86, 146, 50, 14));
    for (QPushButton* b : {sendButton, backButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    connect(senteRadio, &QRadioButton::clicked, this, &CTurnDlg::SelectSente);
    connect(goteRadio, &QRadioButton::clicked, this, &CTurnDlg::SelectGote);
    connect(sendButton, &QPushButton::clicked, this, &CTurnDlg::SendProposal);
    connect(backButton, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    connect(timeBox, &QComboBox::currentIndexChanged, this, [this] { EnableSettings(true); });
}

CTurnDlg::~CTurnDlg() = default;

void CTurnDlg::SetSocket(CGameSocket* socket) {
    if (socket == m_pSocket && handshake)
        return;
    m_pSocket = socket;
    handshake.reset();
    if (!m_pSocket)
        return;
    handshake = std::make_unique<CGuestHandshake>(*m_pSocket, mainOwner);
    if (turnTimeoutMs > 0)
        handshake->turnTimeoutMs = turnTimeoutMs;
    handshake->onOutcome = [this](CGuestHandshake::Phase, CGuestHandshake::Outcome outcome) {
        OnOutcome(outcome);
    };
}

void CTurnDlg::SetTurnTimeoutMs(int ms) {
    turnTimeoutMs = ms;
    if (handshake)
        handshake->turnTimeoutMs = ms;
}

int CTurnDlg::exec() {
    Open();
    const int result = QDialog::exec();
    Shut();
    return result;
}

void CTurnDlg::Open() {
    // Back to the choosing state of a fresh dialog.
    proposed = false;
    statusLabel->clear();
    senteRadio->setEnabled(true);
    goteRadio->setEnabled(true);
    sendButton->show();
    backButton->show();
    senteRadio->setChecked(true);
    SelectSente();
    // The settings proposed last time in this session, or the plain game.
    ShowSettings(SettingsOpen() ? protocol->proposal : GameSettings{});
    EnableSettings(true);
    if (handshake)
        handshake->OpenTurn();
}

void CTurnDlg::Shut() {
    if (handshake)
        handshake->Cancel();
}

void CTurnDlg::SelectSente() {
    m_nSide = 0;
    senteName->setText(profile ? DisplayName(profile->GetHandleName()) : QString());
    goteName->setText(m_pSocket ? DisplayName(m_pSocket->GetPeerName(0)) : QString());
}

void CTurnDlg::SelectGote() {
    m_nSide = 1;
    senteName->setText(m_pSocket ? DisplayName(m_pSocket->GetPeerName(0)) : QString());
    goteName->setText(profile ? DisplayName(profile->GetHandleName()) : QString());
}

bool CTurnDlg::SettingsOpen() const { return protocol && protocol->HostHasExtension(); }

GameSettings CTurnDlg::ChosenSettings() const {
    GameSettings s;
    s.rules = rulesBox->currentIndex() == 1 ? Rules::Strict : Rules::Free;
    if (handicapBox->currentIndex() > 0)
        s.startSfen = HandicapSfen(Utf8ToSjis(handicapBox->currentData().toString().toStdString()));
    s.time.kind =
        TIME_KINDS[std::clamp(timeBox->currentIndex(), 0, static_cast<int>(std::size(TIME_KINDS)) - 1)];
    if (s.time.kind == TimeKind::None)
        return s;
    s.time.mainMs = int64_t{minutesBox->value()} * MS_PER_MINUTE;
    const int64_t secondsMs = int64_t{secondsBox->value()} * MS_PER_SECOND;
    if (s.time.kind == TimeKind::Byoyomi)
        s.time.byoyomiMs = secondsMs;
    else if (s.time.kind == TimeKind::Increment)
        s.time.incrementMs = secondsMs;
    return s;
}

void CTurnDlg::ShowSettings(const GameSettings& s) {
    rulesBox->setCurrentIndex(s.rules == Rules::Strict ? 1 : 0);
    const int handicap =
        handicapBox->findData(QString::fromUtf8(SjisToUtf8(std::string(HandicapName(s.startSfen)))));
    handicapBox->setCurrentIndex(s.startSfen.empty() || handicap < 0 ? 0 : handicap);
    int kind = 0;
    for (int i = 0; i < static_cast<int>(std::size(TIME_KINDS)); ++i)
        if (TIME_KINDS[i] == s.time.kind)
            kind = i;
    timeBox->setCurrentIndex(kind);
    const bool none = s.time.kind == TimeKind::None;
    minutesBox->setValue(none ? DEFAULT_MINUTES : static_cast<int>(s.time.mainMs / MS_PER_MINUTE));
    const int64_t secondsMs = s.time.kind == TimeKind::Increment ? s.time.incrementMs : s.time.byoyomiMs;
    secondsBox->setValue(none || s.time.kind == TimeKind::SuddenDeath
                             ? DEFAULT_SECONDS
                             : static_cast<int>(secondsMs / MS_PER_SECOND));
}

void CTurnDlg::EnableSettings(bool choosing) {
    const bool open = choosing && SettingsOpen();
    const TimeKind kind = ChosenSettings().time.kind;
    const bool seconds = kind == TimeKind::Byoyomi || kind == TimeKind::Increment;
    // A time control needs some time: sudden death and increment a main
    // time, byoyomi its seconds.
    minutesBox->setMinimum(kind == TimeKind::SuddenDeath || kind == TimeKind::Increment ? 1 : 0);
    secondsBox->setMinimum(kind == TimeKind::Byoyomi ? 1 : 0);
    // Short: the label has room for a few characters only.
    secondsName->setText(kind == TimeKind::Increment ? tr("加算", "seconds label")
                                                     : tr("秒読み", "seconds label"));
    for (QWidget* w : std::initializer_list<QWidget*>{rulesBox, handicapBox, timeBox})
        w->setEnabled(open);
    minutesBox->setEnabled(open && kind != TimeKind::None);
    secondsBox->setEnabled(open && seconds);
}

void CTurnDlg::SendProposal() {
    // The settings go out with the proposal (the handshake sends them first).
    if (SettingsOpen())
        protocol->proposal = ChosenSettings();
    if (!handshake)
        return;
    proposed = true;
    handshake->ProposeTurn(m_nSide);
    SetWaiting(true);
}

void CTurnDlg::SetWaiting(bool waiting) {
    if (waiting)
        statusLabel->setText(tr("しばらくお待ちください"));
    else
        statusLabel->setText(tr("承諾されませんでした"));
    senteRadio->setEnabled(!waiting);
    goteRadio->setEnabled(!waiting);
    EnableSettings(!waiting);
    sendButton->setVisible(!waiting);
    backButton->setVisible(!waiting);
}

QString CTurnDlg::StatusText() const { return statusLabel->text(); }

void CTurnDlg::OnOutcome(CGuestHandshake::Outcome outcome) {
    if (outcome != CGuestHandshake::OUT_ACCEPTED) {
        SetWaiting(false);
        return;
    }
    // The side the host accepted is the one proposed, even when the radio
    // buttons were changed after a time-out.  The handshake has given the
    // connection back to the main owner.
    if (proposed)
        m_nSide = handshake->proposedSide();
    if (onAccepted)
        onAccepted(m_nSide);
    done(QDialog::Accepted);
}

void CTurnDlg::keyPressEvent(QKeyEvent* e) {
    if (!SwallowEnterAndEscape(e))
        QDialog::keyPressEvent(e);
}

void CTurnDlg::closeEvent(QCloseEvent* e) { e->ignore(); }

}  // namespace ravu
