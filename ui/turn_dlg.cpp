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
      profile_(profile), mainOwner_(mainOwner)
{
    setWindowTitle(QStringLiteral("手番の決定"));
    setObjectName(QStringLiteral("turn"));
    setFont(TemplateFont(FONT_PGOTHIC, 8));
    const DialogUnits du(font());
    setFixedSize(du.X(154), du.Y(111));

    senteRadio_ = new QRadioButton(QStringLiteral("先手"), this);
    senteRadio_->setObjectName(QStringLiteral("sente"));
    senteRadio_->setGeometry(du.Rect(20, 10, 45, 10));
    goteRadio_ = new QRadioButton(QStringLiteral("後手"), this);
    goteRadio_->setObjectName(QStringLiteral("gote"));
    goteRadio_->setGeometry(du.Rect(85, 10, 45, 10));

    PlainLabel(this, QStringLiteral("先手："), du.Rect(14, 32, 26, 8));
    senteName_ = PlainLabel(this, QString(), du.Rect(42, 32, 100, 8));
    senteName_->setObjectName(QStringLiteral("senteName"));
    PlainLabel(this, QStringLiteral("後手："), du.Rect(14, 46, 26, 8));
    goteName_ = PlainLabel(this, QString(), du.Rect(42, 46, 100, 8));
    goteName_->setObjectName(QStringLiteral("goteName"));

    statusLabel_ = PlainLabel(this, QString(), du.Rect(10, 64, 134, 12));
    statusLabel_->setObjectName(QStringLiteral("status"));
    statusLabel_->setAlignment(Qt::AlignCenter);
    statusLabel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    sendButton_ = new QPushButton(QStringLiteral("送信"), this);
    sendButton_->setObjectName(QStringLiteral("send"));
    sendButton_->setGeometry(du.Rect(18, 88, 50, 14));
    backButton_ = new QPushButton(QStringLiteral("もどる"), this);
    backButton_->setObjectName(QStringLiteral("back"));
    backButton_->setGeometry(du.Rect(86, 88, 50, 14));
    for (QPushButton* b : {sendButton_, backButton_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    connect(senteRadio_, &QRadioButton::clicked, this, &CTurnDlg::SelectSente);
    connect(goteRadio_, &QRadioButton::clicked, this, &CTurnDlg::SelectGote);
    connect(sendButton_, &QPushButton::clicked, this, &CTurnDlg::SendProposal);
    connect(backButton_, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

CTurnDlg::~CTurnDlg() = default;

void CTurnDlg::SetSocket(CGameSocket* socket)
{
    if (socket == m_pSocket && handshake_) return;
    m_pSocket = socket;
    handshake_.reset();
    if (!m_pSocket) return;
    handshake_ = std::make_unique<CGuestHandshake>(*m_pSocket, mainOwner_);
    if (turnTimeoutMs_ > 0) handshake_->turnTimeoutMs = turnTimeoutMs_;
    handshake_->onOutcome = [this](CGuestHandshake::Phase, CGuestHandshake::Outcome outcome) {
        OnOutcome(outcome);
    };
}

void CTurnDlg::SetTurnTimeoutMs(int ms)
{
    turnTimeoutMs_ = ms;
    if (handshake_) handshake_->turnTimeoutMs = ms;
}

int CTurnDlg::exec()
{
    Open();
    const int result = QDialog::exec();
    Shut();
    return result;
}

void CTurnDlg::Open()
{
    // Back to the choosing state of a fresh dialog.
    proposed_ = false;
    statusLabel_->clear();
    senteRadio_->setEnabled(true);
    goteRadio_->setEnabled(true);
    sendButton_->show();
    backButton_->show();
    senteRadio_->setChecked(true);
    SelectSente();
    if (handshake_) handshake_->OpenTurn();
}

void CTurnDlg::Shut()
{
    if (handshake_) handshake_->Cancel();
}

void CTurnDlg::SelectSente()
{
    m_nSide = 0;
    senteName_->setText(profile_ ? DisplayName(profile_->GetHandleName()) : QString());
    goteName_->setText(m_pSocket ? DisplayName(m_pSocket->GetPeerName(0)) : QString());
}

void CTurnDlg::SelectGote()
{
    m_nSide = 1;
    senteName_->setText(m_pSocket ? DisplayName(m_pSocket->GetPeerName(0)) : QString());
    goteName_->setText(profile_ ? DisplayName(profile_->GetHandleName()) : QString());
}

void CTurnDlg::SendProposal()
{
    if (!handshake_) return;
    proposed_ = true;
    handshake_->ProposeTurn(m_nSide);
    SetWaiting(true);
}

void CTurnDlg::SetWaiting(bool waiting)
{
    if (waiting)
        statusLabel_->setText(QStringLiteral("しばらくお待ちください"));
    else
        statusLabel_->setText(QStringLiteral("承諾されませんでした"));
    senteRadio_->setEnabled(!waiting);
    goteRadio_->setEnabled(!waiting);
    sendButton_->setVisible(!waiting);
    backButton_->setVisible(!waiting);
}

QString CTurnDlg::StatusText() const
{
    return statusLabel_->text();
}

void CTurnDlg::OnOutcome(CGuestHandshake::Outcome outcome)
{
    if (outcome != CGuestHandshake::OUT_ACCEPTED) {
        SetWaiting(false);
        return;
    }
    // The side the host accepted is the one proposed, even when the radio
    // buttons were changed after a time-out.  The handshake has given the
    // connection back to the main owner.
    if (proposed_) m_nSide = handshake_->proposedSide();
    if (onAccepted) onAccepted(m_nSide);
    done(QDialog::Accepted);
}

void CTurnDlg::keyPressEvent(QKeyEvent* e)
{
    if (!SwallowEnterAndEscape(e))
        QDialog::keyPressEvent(e);
}

void CTurnDlg::closeEvent(QCloseEvent* e)
{
    e->ignore();
}

}  // namespace ravu
