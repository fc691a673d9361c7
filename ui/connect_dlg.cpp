#include "ui/connect_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/settings.h"
#include "app/textcodec.h"
#include "net/game_socket.h"
#include "net/host_list.h"
#include "net/list_socket.h"
#include "net/packet.h"
#include "ui/window_util.h"

namespace ravu {

namespace {
constexpr int BUTTON_GET_LIST = 0, BUTTON_CLEAR = 1, BUTTON_CONNECT = 2, BUTTON_BACK = 3;

QPushButton* Button(QWidget* parent, const QString& text, const QRect& r, const char* name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setGeometry(r);
    return b;
}
}  // namespace

CConnectDlg::CConnectDlg(CGameSocket* socket, std::string* hostListText, CProfile* profile,
                         CSockOwner* mainOwner, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_pSocket(socket),
      m_pHostListText(hostListText),
      profile(profile) {
    if (m_pSocket) {
        handshake = std::make_unique<CGuestHandshake>(*m_pSocket, mainOwner);
        handshake->onHostHello = [this] { OnHostHello(); };
        handshake->onOutcome = [this](CGuestHandshake::Phase, CGuestHandshake::Outcome outcome) {
            OnOutcome(outcome);
        };
    }
    setWindowTitle(tr("接続"));
    setObjectName(QStringLiteral("connect"));
    setFont(TemplateFont(FONT_PGOTHIC, 8));
    const DialogUnits du(font());
    setFixedSize(du.X(271), du.Y(108));
    if (profile)
        m_strDest = profile->GetHost();

    PlainLabel(this, tr("ハンドル名："), du.Rect(7, 9, 40, 8));
    handleLabel = PlainLabel(this, QString(), du.Rect(50, 9, 100, 8));
    handleLabel->setObjectName(QStringLiteral("handleName"));
    PlainLabel(this, tr("相手："), du.Rect(7, 23, 40, 8));
    opponentLabel = PlainLabel(this, QString(), du.Rect(50, 23, 100, 8));
    opponentLabel->setObjectName(QStringLiteral("opponent"));
    PlainLabel(this, tr("接続先："), du.Rect(7, 37, 40, 8));
    destEdit = new QLineEdit(this);
    destEdit->setObjectName(QStringLiteral("dest"));
    destEdit->setGeometry(du.Rect(50, 35, 100, 12));

    statusLabel = PlainLabel(this, QString(), du.Rect(7, 56, 143, 12));
    statusLabel->setObjectName(QStringLiteral("status"));
    statusLabel->setAlignment(Qt::AlignCenter);
    statusLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    addressLabel = PlainLabel(this, QString(), du.Rect(7, 72, 143, 8));
    addressLabel->setObjectName(QStringLiteral("address"));
    addressLabel->hide();

    connectButton = Button(this, tr("接続"), du.Rect(18, 84, 50, 14), "connect");
    backButton = Button(this, tr("もどる"), du.Rect(88, 84, 50, 14), "back");

    m_listHosts = new QListWidget(this);
    m_listHosts->setObjectName(QStringLiteral("hostList"));
    m_listHosts->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listHosts->setGeometry(du.Rect(158, 7, 106, 72));
    getListButton = Button(this, tr("リストの取得"), du.Rect(158, 84, 52, 14), "getList");
    clearButton = Button(this, tr("選択の解除"), du.Rect(212, 84, 52, 14), "clear");

    connect(getListButton, &QPushButton::clicked, this, &CConnectDlg::GetList);
    connect(clearButton, &QPushButton::clicked, this, &CConnectDlg::ClearSelection);
    connect(connectButton, &QPushButton::clicked, this, &CConnectDlg::ConnectToDest);
    connect(backButton, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    connect(m_listHosts, &QListWidget::itemSelectionChanged, this, &CConnectDlg::OnSelChange);
}

CConnectDlg::~CConnectDlg() = default;

int CConnectDlg::exec() {
    Open();
    const int result = QDialog::exec();
    Shut();
    return result;
}

void CConnectDlg::Open() {
    // Every opening starts from the last destination, in the edit and
    // selected so that typing replaces it, with no list entry chosen and no
    // opponent: a name from an earlier opening or connection would be stale.
    m_strOpponent.clear();
    shownOpponent.clear();
    opponentLabel->clear();
    if (profile)
        m_strDest = profile->GetHost();
    SetButtonState(BS_OPENED);
    m_pListSocket = std::make_unique<CListSocket>();
    if (listWaitMs > 0)
        m_pListSocket->m_nWaitLimitMs = listWaitMs;
    if (m_pHostListText && !m_pHostListText->empty())
        SetButtonState(BS_HAVE_LIST);
    destEdit->setText(QString::fromUtf8(SjisToUtf8(m_strDest)));
    destEdit->selectAll();
    destEdit->show();
    destEdit->setFocus();
    SetStatus(QString());
    addressLabel->clear();
    handleLabel->setText(profile ? DisplayName(profile->GetHandleName()) : QString());
    // A fresh list box at every opening, filled from the kept text.
    {
        const QSignalBlocker quiet(m_listHosts);
        m_listHosts->clear();
    }
    FillHostList();
}

void CConnectDlg::Shut() {
    busy = false;
    if (handshake)
        handshake->Cancel();
    if (profile && m_strDest != profile->GetHost())
        profile->SetHost(m_strDest);
    m_pListSocket.reset();
}

void CConnectDlg::SetButtonState(int state) {
    switch (state) {
        case BS_OPENED:
            for (bool& e : enabled)
                e = true;
            break;
        case BS_HAVE_LIST: enabled[BUTTON_GET_LIST] = false; break;
        case BS_NO_ENTRY: enabled[BUTTON_CLEAR] = false; break;
        case BS_ENTRY: enabled[BUTTON_CLEAR] = true; break;
        default: break;
    }
    busy = state == BS_BUSY;
    QPushButton* buttons[4] = {getListButton, clearButton, connectButton, backButton};
    for (int i = 0; i < 4; ++i)
        buttons[i]->setEnabled(!busy && enabled[i]);
}

void CConnectDlg::SetStatus(const QString& text) { statusLabel->setText(text); }

void CConnectDlg::SetStatus(const std::string& sjis) { statusLabel->setText(DisplayText(sjis)); }

QString CConnectDlg::StatusText() const { return statusLabel->text(); }

void CConnectDlg::GetList() {
    SetStatus(tr("しばらくお待ちください"));
    SetButtonState(BS_BUSY);
    if (m_pListSocket)
        m_pListSocket->FetchList();
    if (m_pHostListText)
        *m_pHostListText = m_pListSocket ? m_pListSocket->ListText() : std::string();
    SetStatus(tr("接続先を選んでください"));
    SetButtonState(BS_HAVE_LIST);
    FillHostList();
}

void CConnectDlg::FillHostList() {
    if (!m_pHostListText)
        return;
    const QSignalBlocker quiet(m_listHosts);
    for (const HostListEntry& entry : ParseHostList(*m_pHostListText)) {
        auto* item = new QListWidgetItem(DisplayText(entry.shown));
        item->setData(Qt::UserRole, entry.lineStart);
        m_listHosts->addItem(item);
    }
}

void CConnectDlg::OnSelChange() {
    const QList<QListWidgetItem*> sel = m_listHosts->selectedItems();
    if (sel.isEmpty()) {
        m_strOpponent.clear();
        m_strDest.clear();
        shownOpponent.clear();
        opponentLabel->clear();
        destEdit->clear();
        destEdit->show();
        SetButtonState(BS_NO_ENTRY);
        return;
    }
    const int lineStart = sel.first()->data(Qt::UserRole).toInt();
    const std::string text = m_pHostListText ? *m_pHostListText : std::string();
    m_strDest = HostListDestination(text, lineStart);
    destEdit->setText(QString::fromUtf8(SjisToUtf8(m_strDest)));
    std::vector<HostListEntry> entries = ParseHostList(text);
    const int row = m_listHosts->row(sel.first());
    m_strOpponent = row >= 0 && row < static_cast<int>(entries.size()) ? entries[row].shown : std::string();
    opponentLabel->setText(DisplayName(m_strOpponent));
    shownOpponent = m_strOpponent;
    destEdit->hide();
    SetButtonState(BS_ENTRY);
}

void CConnectDlg::ClearSelection() {
    {
        const QSignalBlocker quiet(m_listHosts);
        m_listHosts->clearSelection();
        m_listHosts->setCurrentRow(-1);
    }
    opponentLabel->clear();
    shownOpponent.clear();
    destEdit->show();
    m_strOpponent.clear();
    m_strDest.clear();
    destEdit->clear();
    SetButtonState(BS_NO_ENTRY);
}

void CConnectDlg::ConnectToDest() {
    if (!m_pSocket)
        return;
    // The destination is what the edit holds; while a list entry is chosen
    // the edit is hidden and the entry's destination counts.
    if (m_strDest.empty() || !destEdit->isHidden())
        m_strDest = Utf8ToSjis(destEdit->text().toUtf8().toStdString());
    const Destination dest = SplitDestination(m_strDest, GUEST_PORT);
    handshake->ownPort = profile ? static_cast<unsigned>(profile->GetPort()) : 0;
    const std::string name = profile ? profile->GetHandleName() : std::string();
    statusBefore = StatusText();
    const CGuestHandshake::Start start = handshake->StartConnect(dest, name);
    addressLabel->setText(DisplayText(m_pSocket->m_strResolvedAddr));
    switch (start) {
        case CGuestHandshake::START_CONNECTING:
            // Also while a name is looked up: the dialog stays busy but alive.
            SetStatus(tr("接続の待機中です。しばらくお待ちください。"));
            SetButtonState(BS_BUSY);
            return;
        case CGuestHandshake::START_UNKNOWN_HOST: OnOutcome(CGuestHandshake::OUT_UNKNOWN_HOST); return;
        case CGuestHandshake::START_OWN_ADDRESS: return;  // a copy does not connect to itself; nothing to say
        case CGuestHandshake::START_FAILED:
            SetStatus(m_pSocket->m_strError);
            SetButtonState(BS_OVER);
            return;
    }
}

void CConnectDlg::OnHostHello() {
    addressLabel->setText(DisplayText(m_pSocket->m_strResolvedAddr));
    const std::string& name = handshake->hostName;
    if (profile)
        profile->SetOpponentName(name);
    shownOpponent = name;
    opponentLabel->setText(DisplayName(name));
}

void CConnectDlg::OnOutcome(CGuestHandshake::Outcome outcome) {
    addressLabel->setText(DisplayText(m_pSocket->m_strResolvedAddr));
    switch (outcome) {
        case CGuestHandshake::OUT_ACCEPTED:
            // The handshake has given the connection back to the main owner.
            m_strOpponent = shownOpponent;
            busy = false;
            if (onAccepted)
                onAccepted();
            done(QDialog::Accepted);
            return;
        case CGuestHandshake::OUT_REFUSED: SetStatus(tr("接続を断られました。")); break;
        case CGuestHandshake::OUT_FAILED:
            // A host that closes without answering leaves no socket error to show.
            if (m_pSocket->m_strError.empty())
                SetStatus(tr("接続が切れました。"));
            else
                SetStatus(m_pSocket->m_strError);
            break;
        case CGuestHandshake::OUT_TIMED_OUT: SetStatus(tr("時間内に接続できませんでした")); break;
        case CGuestHandshake::OUT_UNKNOWN_HOST: SetStatus(tr("接続先が見つかりませんでした。")); break;
        case CGuestHandshake::OUT_OWN_ADDRESS:
            // The name turned out to be this copy: as if nothing had been tried.
            SetStatus(statusBefore);
            break;
    }
    SetButtonState(BS_OVER);
}

void CConnectDlg::OnEnter() {
    // Enter connects to the edit's text; not again while an attempt runs.
    if (busy)
        return;
    m_strDest.clear();
    ConnectToDest();
}

void CConnectDlg::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            OnEnter();
            e->accept();
            return;
        case Qt::Key_Escape: e->accept(); return;
        default: QDialog::keyPressEvent(e);
    }
}

// The close box cancels the dialog as "もどる" does, but only while no
// connection attempt or list fetch runs; then the request is ignored.
void CConnectDlg::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (!busy && isVisible())
        done(QDialog::Rejected);
}

}  // namespace ravu
