// The turn decision dialog "手番の決定": the guest chooses sente or gote
// and, when the host has the protocol extension, the game's settings (rules,
// handicap, time control), and has the guest handshake propose them to the
// host and wait for the answer; the dialog shows the waiting and what came
// of it.  While it is
// open the handshake owns connectSocket.  Enter and Esc do nothing; it ends through "もどる", an
// acceptance (also one that arrives after the wait gave up), or the main
// window's Cancel when the connection is lost.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "net/extension.h"
#include "net/guest_handshake.h"
#include "ui/main_parts.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace ravu {

class CGameSocket;
class CPeerProtocol;
class CProfile;

class CTurnDlg : public QDialog, public ITurnDialog {
    Q_OBJECT
public:
    CTurnDlg(CProfile* profile, CSockOwner* mainOwner, QWidget* parent = nullptr);
    ~CTurnDlg() override;

    // The main window hands over connectSocket before each opening.
    void SetSocket(CGameSocket* socket) override;
    // The protocol whose proposal the settings are: shown at each opening,
    // written back before a proposal goes out.  Without one, or while the
    // host lacks the extension, the settings are greyed and the plain game.
    void SetProtocol(CPeerProtocol* protocol) { this->protocol = protocol; }

    int Run() override { return exec() == QDialog::Accepted ? 1 : 0; }
    bool IsOpen() const override { return isVisible(); }
    void Close() override { done(QDialog::Rejected); }
    int exec() override;
    int ChosenSide() const override { return m_nSide; }
    // The main window closes the dialog when the connection is lost.
    void Cancel() { done(QDialog::Rejected); }

    // Called with the chosen side the moment the host accepts it, after the
    // connection went back to the main owner: the host's first move may
    // arrive in the same read and must find the game started.
    std::function<void(int side)> onAccepted;

    // Tests shorten the wait for an answer (per proposal).
    void SetTurnTimeoutMs(int ms);

    void SelectSente();
    void SelectGote();
    void SendProposal();
    void SetWaiting(bool waiting);
    // The settings as the controls show them.
    GameSettings ChosenSettings() const;
    void ShowSettings(const GameSettings& settings);

    bool Waiting() const { return handshake && handshake->Waiting(); }
    QString StatusText() const;
    QRadioButton* SenteRadio() const { return senteRadio; }
    QRadioButton* GoteRadio() const { return goteRadio; }
    QLabel* SenteName() const { return senteName; }
    QLabel* GoteName() const { return goteName; }
    QPushButton* SendButton() const { return sendButton; }
    QPushButton* BackButton() const { return backButton; }
    QComboBox* RulesBox() const { return rulesBox; }
    QComboBox* HandicapBox() const { return handicapBox; }
    QComboBox* TimeBox() const { return timeBox; }
    QSpinBox* MinutesBox() const { return minutesBox; }
    QSpinBox* SecondsBox() const { return secondsBox; }

public slots:
    void reject() override {}  // Esc is swallowed
    void accept() override {}  // and so is Enter

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Open();
    void Shut();
    void OnOutcome(CGuestHandshake::Outcome outcome);
    bool SettingsOpen() const;
    // Enables the controls that apply to the chosen time control and keeps
    // its figures to what can be played.
    void EnableSettings(bool choosing);

    CGameSocket* m_pSocket = nullptr;
    int m_nSide = 0;
    bool proposed = false;  // a proposal went out in this opening
    CProfile* profile;
    CSockOwner* mainOwner;
    CPeerProtocol* protocol = nullptr;
    std::unique_ptr<CGuestHandshake> handshake;  // over m_pSocket
    int turnTimeoutMs = 0;                       // 0: the handshake's own limit

    QRadioButton* senteRadio = nullptr;
    QRadioButton* goteRadio = nullptr;
    QLabel* senteName = nullptr;
    QLabel* goteName = nullptr;
    QPushButton* sendButton = nullptr;
    QPushButton* backButton = nullptr;
    QLabel* statusLabel = nullptr;
    QComboBox* rulesBox = nullptr;
    QComboBox* handicapBox = nullptr;
    QComboBox* timeBox = nullptr;
    QSpinBox* minutesBox = nullptr;
    QSpinBox* secondsBox = nullptr;
    QLabel* secondsName = nullptr;  // 秒読み or 加算
};

}  // namespace ravu
