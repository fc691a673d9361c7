// The turn decision dialog "手番の決定": the guest chooses sente or gote,
// proposes it to the host with PKT_TURN and waits for the host's answer.
// While open it owns connectSocket and passes on the socket messages it
// does not handle.  Enter and Esc do nothing; it ends through "もどる", an
// acceptance (also one that arrives after the wait gave up), or the main
// window's Cancel when the connection is lost.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <functional>

#include "net/sock_owner.h"
#include "ui/main_parts.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace ravu {

class CGameSocket;
class CProfile;

class CTurnDlg : public QDialog, public CSockOwner, public ITurnDialog {
    Q_OBJECT
public:
    static constexpr int TURN_TIMER_MS = 1000;  // timer 102
    static constexpr int TURN_TICK_LIMIT = 60;  // stops waiting when ticks exceed this

    CTurnDlg(CProfile* profile, CSockOwner* mainOwner, QWidget* parent = nullptr);
    ~CTurnDlg() override;

    // The main window hands over connectSocket before each opening.
    void SetSocket(CGameSocket* socket) { m_pSocket = socket; }

    int Run() override { return exec() == QDialog::Accepted ? 1 : 0; }
    int exec() override;
    int ChosenSide() const override { return m_nSide; }
    // The main window closes the dialog when the connection is lost.
    void Cancel() { done(QDialog::Rejected); }

    void OnSockMessage(int msg, SockHandle wParam) override;

    // Called with the chosen side the moment the host accepts it, after the
    // connection went back to the main owner: the host's first move may
    // arrive in the same read and must find the game started.
    std::function<void(int side)> onAccepted;

    void SetTimerInterval(int ms) { timerMs_ = ms; }
    void SetTickLimit(int ticks) { tickLimit_ = ticks; }

    void SelectSente();
    void SelectGote();
    void SendProposal();
    void SetWaiting(bool waiting);

    bool Waiting() const { return timer_.isActive(); }
    QString StatusText() const;
    QRadioButton* SenteRadio() const { return senteRadio_; }
    QRadioButton* GoteRadio() const { return goteRadio_; }
    QLabel* SenteName() const { return senteName_; }
    QLabel* GoteName() const { return goteName_; }
    QPushButton* SendButton() const { return sendButton_; }
    QPushButton* BackButton() const { return backButton_; }

public slots:
    void reject() override {}  // Esc is swallowed
    void accept() override {}  // and so is Enter

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void Open();
    void Shut();
    void PassOn(int msg, SockHandle wParam);

    CGameSocket* m_pSocket = nullptr;
    int m_nSide = 0;
    int m_nTicks = 0;
    CProfile* profile_;
    CSockOwner* mainOwner_;
    QBasicTimer timer_;
    int timerMs_ = TURN_TIMER_MS;
    int tickLimit_ = TURN_TICK_LIMIT;

    QRadioButton* senteRadio_ = nullptr;  // 1033
    QRadioButton* goteRadio_ = nullptr;   // 1034
    QLabel* senteName_ = nullptr;         // 1030
    QLabel* goteName_ = nullptr;          // 1031
    QPushButton* sendButton_ = nullptr;   // 1032
    QPushButton* backButton_ = nullptr;   // 1026
    QLabel* statusLabel_ = nullptr;       // 1019
};

}  // namespace ravu
