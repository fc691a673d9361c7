#include "ui/turn_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/settings.h"
#include "net/game_socket.h"
#include "ui/window_util.h"

namespace ravu {

CTurnDlg::CTurnDlg(CProfile* profile, CSockOwner* mainOwner, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      profile(profile),
      mainOwner(mainOwner) {
    setWindowTitle(QStringLiteral("手番の決定"));
    setObjectName(QStringLiteral("turn"));
    setFont(TemplateFont(FONT_PGOTHIC, 8));
    const DialogUnits du(font());
    setFixedSize(du.X(154), du.Y(111));

    senteRadio = new QRadioButton(QStringLiteral("先手"), this);
    senteRadio->setObjectName(QStringLiteral("sente"));
    senteRadio->setGeometry(du.Rect(20, 10, 45, 10));
    goteRadio = new QRadioButton(QStringLiteral("後手"), this);
    goteRadio->setObjectName(QStringLiteral("gote"));
    goteRadio->setGeometry(du.Rect(85, 10, 45, 10));

    PlainLabel(this, QStringLiteral("先手："), du.Rect(14, 32, 26, 8));
    senteName = PlainLabel(this, QString(), du.Rect(42, 32, 100, 8));
    senteName->setObjectName(QStringLiteral("senteName"));
    PlainLabel(this, QStringLiteral("後手："), du.Rect(14, 46, 26, 8));
    goteName = PlainLabel(this, QString(), du.Rect(42, 46, 100, 8));
    goteName->setObjectName(QStringLiteral("goteName"));

    statusLabel = PlainLabel(this, QString(), du.Rect(10, 64, 134, 12));
    statusLabel->setObjectName(QStringLiteral("status"));
    statusLabel->setAlignment(Qt::AlignCenter);
    statusLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    sendButton = new QPushButton(QStringLiteral("送信"), this);
    sendButton->setObjectName(QStringLiteral("send"));
    sendButton->setGeometry(du.Rect(18, 88, 50, 14));
    backButton = new QPushButton(QStringLiteral("もどる"), this);
    backButton->setObjectName(QStringLiteral("back"));
    backButton->setGeometry(du.Rect(86, 88, 50, 14));
    for (QPushButton* b : {sendButton, backButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    connect(senteRadio, &QRadioButton::clicked, this, &CTurnDlg::SelectSente);
    connect(goteRadio, &QRadioButton::clicked, this, &CTurnDlg::SelectGote);
    connect(sendButton, &QPushButton::clicked, this, &CTurnDlg::SendProposal);
    connect(backButton, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
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

void CTurnDlg::SendProposal() {
    if (!handshake)
        return;
    proposed = true;
    handshake->ProposeTurn(m_nSide);
    SetWaiting(true);
}

void CTurnDlg::SetWaiting(bool waiting) {
    if (waiting)
        statusLabel->setText(QStringLiteral("しばらくお待ちください"));
    else
        statusLabel->setText(QStringLiteral("承諾されませんでした"));
    senteRadio->setEnabled(!waiting);
    goteRadio->setEnabled(!waiting);
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
