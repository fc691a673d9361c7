// The connect dialog "接続": the guest's way to a host.  It shows the own
// handle name, lets the user type a destination or pick one from the host
// list (fetched on request), and has the guest handshake connect the main
// window's connectSocket to port 9149 (or to the port of a "host:port"
// destination).  It shows what the handshake reports: the host's name when
// the host's hello arrives, refusal, time-out, failure; it closes with OK
// when the host accepts.  The handshake owns the connection and the time
// limit while an attempt runs.  Each opening offers the last destination in the
// edit, selected; Enter and "接続" connect to the edit's text (or to the
// chosen list entry); Esc does nothing; the close box cancels the dialog
// unless an attempt is running.  A destination may be a name, an IPv4 or
// an IPv6 address ("[2001:db8::1]:9149" with a port); a name is looked up in
// the background, the dialog waiting as for the connection itself, and one
// that cannot be found is reported on the status line.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "net/guest_handshake.h"
#include "ui/main_parts.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ravu {

class CGameSocket;
class CListSocket;
class CProfile;

class CConnectDlg : public QDialog, public IModalDialog {
    Q_OBJECT
public:
    // Button states of SetButtonState.
    enum { BS_OPENED = 0, BS_BUSY, BS_OVER, BS_HAVE_LIST, BS_NO_ENTRY, BS_ENTRY };

    // socket: the main window's connectSocket; hostListText: the main
    // window's kept list text; mainOwner: receives what the handshake passes on.
    CConnectDlg(CGameSocket* socket, std::string* hostListText, CProfile* profile, CSockOwner* mainOwner,
                QWidget* parent = nullptr);
    ~CConnectDlg() override;

    int Run() override { return exec() == QDialog::Accepted ? 1 : 0; }
    bool IsOpen() const override { return isVisible(); }
    void Close() override { done(QDialog::Rejected); }
    int exec() override;

    // Called the moment the host accepts, after the connection went back to
    // the main owner and before any packet behind the acceptance is
    // delivered: a running game's catch-up comes in the same read and must
    // find this copy a guest already.
    std::function<void()> onAccepted;

    // The handshake that runs the attempts (tests shorten its time limit).
    CGuestHandshake& Handshake() { return *handshake; }
    // Longest wait of each step of the host list fetch (120 s by default).
    void SetListWaitLimit(int ms) { listWaitMs = ms; }

    // Operations of the buttons, for the main window and tests.
    void SetButtonState(int state);
    void ConnectToDest();
    void GetList();
    void FillHostList();
    void ClearSelection();

    const std::string& Dest() const { return m_strDest; }
    const std::string& Opponent() const { return m_strOpponent; }
    QString StatusText() const;
    bool TimerRunning() const { return handshake && handshake->Waiting(); }

    QLineEdit* DestEdit() const { return destEdit; }
    QListWidget* HostList() const { return m_listHosts; }
    QLabel* OpponentLabel() const { return opponentLabel; }
    QLabel* HandleLabel() const { return handleLabel; }
    QLabel* AddressLabel() const { return addressLabel; }
    QPushButton* GetListButton() const { return getListButton; }
    QPushButton* ClearButton() const { return clearButton; }
    QPushButton* ConnectButton() const { return connectButton; }
    QPushButton* BackButton() const { return backButton; }

public slots:
    void reject() override {}  // Esc is swallowed

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Open();
    void Shut();
    void OnSelChange();
    void OnEnter();
    void SetStatus(const std::string& sjis);
    void SetStatus(const QString& text);
    void OnHostHello();
    void OnOutcome(CGuestHandshake::Outcome outcome);

    CGameSocket* m_pSocket;
    std::string* m_pHostListText;
    std::unique_ptr<CListSocket> m_pListSocket;
    std::string m_strDest;
    QListWidget* m_listHosts = nullptr;
    std::string m_strOpponent;
    std::string shownOpponent;  // what the opponent label shows (Shift-JIS)
    CProfile* profile;
    std::unique_ptr<CGuestHandshake> handshake;  // null without a socket
    // Whether the list, clear, connect and back buttons may be used, in that
    // order (they are all disabled while an attempt runs).
    bool enabled[4] = {true, true, true, true};
    bool busy = false;
    QString statusBefore;  // the status line before the running attempt
    int listWaitMs = 0;    // 0: the list socket's own limit

    QLabel* handleLabel = nullptr;
    QLabel* opponentLabel = nullptr;
    QLineEdit* destEdit = nullptr;
    QPushButton* getListButton = nullptr;
    QPushButton* clearButton = nullptr;
    QPushButton* connectButton = nullptr;
    QPushButton* backButton = nullptr;
    QLabel* statusLabel = nullptr;
    QLabel* addressLabel = nullptr;  // the resolved address; never shown
};

}  // namespace ravu
