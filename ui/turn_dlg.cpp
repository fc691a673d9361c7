#include "ui/turn_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimerEvent>

#include "app/settings.h"
#include "net/game_socket.h"
#include "net/packet.h"
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

CTurnDlg::~CTurnDlg()
{
    timer_.stop();
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
    timer_.stop();
    m_nTicks = 0;
    statusLabel_->clear();
    senteRadio_->setEnabled(true);
    goteRadio_->setEnabled(true);
    sendButton_->show();
    backButton_->show();
    senteRadio_->setChecked(true);
    SelectSente();
    if (m_pSocket) m_pSocket->m_pOwner = this;
}

void CTurnDlg::Shut()
{
    timer_.stop();
    if (m_pSocket && m_pSocket->m_pOwner == this) m_pSocket->m_pOwner = mainOwner_;
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
    const std::string side = std::to_string(static_cast<unsigned>(m_nSide));
    if (m_pSocket) m_pSocket->SendTo(PKT_TURN, 1, side.data(), 0);
    SetWaiting(true);
}

void CTurnDlg::SetWaiting(bool waiting)
{
    m_nTicks = 0;
    if (waiting) {
        timer_.start(timerMs_, this);
        statusLabel_->setText(QStringLiteral("しばらくお待ちください"));
    } else {
        timer_.stop();
        statusLabel_->setText(QStringLiteral("承諾されませんでした"));
    }
    senteRadio_->setEnabled(!waiting);
    goteRadio_->setEnabled(!waiting);
    sendButton_->setVisible(!waiting);
    backButton_->setVisible(!waiting);
}

QString CTurnDlg::StatusText() const
{
    return statusLabel_->text();
}

void CTurnDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != timer_.timerId()) {
        QDialog::timerEvent(e);
        return;
    }
    ++m_nTicks;
    if (m_nTicks > tickLimit_) SetWaiting(false);
}

void CTurnDlg::PassOn(int msg, SockHandle wParam)
{
    if (mainOwner_ && mainOwner_ != this) mainOwner_->OnSockMessage(msg, wParam);
}

void CTurnDlg::OnSockMessage(int msg, SockHandle wParam)
{
    if (msg == WM_SOCK_PACKET && m_pSocket) {
        switch (m_pSocket->GetLastType(wParam)) {
        case PKT_ACCEPT:
            timer_.stop();
            if (m_pSocket->m_pOwner == this) m_pSocket->m_pOwner = mainOwner_;
            if (onAccepted) onAccepted(m_nSide);
            done(QDialog::Accepted);
            return;
        case PKT_REFUSE:
            SetWaiting(false);
            return;
        default:
            break;
        }
    }
    if (IsSockMessage(msg)) PassOn(msg, wParam);
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
