// The question balloon: a character asks a yes/no question in a speech
// balloon.  Ask runs it modally (a nested event loop, so sockets keep being
// served), answers no by itself after 21 ticks of its one-second timer, and
// answers a second question asked while one is open with no at once.
// Tell shows a notice without blocking: the same balloon, modeless, with a
// single button that dismisses it.  Notices wait in turn; a question asked
// while one shows takes the balloon and the notice comes back after it.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <deque>
#include <string>
#include <vector>

#include "ui/anim_wnd.h"
#include "ui/main_parts.h"

class QFontMetrics;

namespace ravu {

class CImageButton;

// One drawn line of a question.
struct BalloonLine {
    QString text;
    int x = 0;  // left edge
    int y = 0;  // top edge
    int width = 0;
};

// Splits the question at CR LF and places up to six lines centred in the
// balloon: x = 22 + (202 - width) / 2, y = 10 + n * (height + 2) for line n
// counted from 1.  Text beyond the sixth line is not shown.
std::vector<BalloonLine> LayoutQuestion(const QString& question, const QFontMetrics& fm);

class CBalloonDlg : public QDialog, public IQuestion {
    Q_OBJECT
public:
    static constexpr int ANSWER_YES = 1;
    static constexpr int ANSWER_NO = 2;
    static constexpr int CMD_YES = 1039;
    static constexpr int CMD_NO = 1040;
    static constexpr int CMD_OK = 1041;  // the notice's single button
    static constexpr int MAX_LINES = 6;
    static constexpr int TICK_MS = 1000;   // the answer timer ticks once a second
    static constexpr int TICK_LIMIT = 20;  // no after ticks exceed this

    explicit CBalloonDlg(QWidget* owner = nullptr);
    ~CBalloonDlg() override;

    // 1 yes, 2 no (also on time-out and while another question is open).
    // Lines of the question are separated by "\r\n".
    int Ask(const QString& question);
    // The same with the model's Shift-JIS text.
    int Ask(const std::string& sjisQuestion) override;
    // Queues a notice and shows it when nothing is in front of it.
    void Tell(const QString& text);
    void Tell(const std::string& sjisText) override;

    // Tests shorten the answer timer.
    void SetTickInterval(int ms) { tickMs = ms; }
    void SetTickLimit(int limit) { tickLimit = limit; }

    bool Busy() const { return busy != 0; }
    int Ticks() const { return ticks; }
    const QString& Question() const { return shownText; }
    const QFont& TextFont() const { return textFont; }
    std::vector<BalloonLine> ShownLines() const;
    CImageButton* YesButton() const { return yesButton; }
    CImageButton* NoButton() const { return noButton; }
    // The notice's button while a notice shows, else null.
    CImageButton* OkButton() const { return okButton; }
    bool NoticeShown() const { return noticeShown; }
    // Notices not yet dismissed, the one shown first.
    const std::deque<QString>& Notices() const { return notices; }
    const CAnimWnd& Anim() const { return anim; }

public slots:
    void OnCommand(int id);

protected:
    void paintEvent(QPaintEvent*) override;
    void timerEvent(QTimerEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Open(bool notice);
    void Close();
    void Yes();
    void No();
    // Shows the first waiting notice when no question is open.
    void ShowNotice();
    // Takes the shown notice away, for good (dismissed) or until a question
    // is answered (kept).
    void HideNotice(bool dismissed);

    QPixmap balloonPicture;
    QRect pictureRect;
    int ticks = 0;
    int busy = 0;
    CAnimWnd anim;
    QFont textFont;
    CImageButton* yesButton = nullptr;
    CImageButton* noButton = nullptr;
    CImageButton* okButton = nullptr;
    QString shownText;
    std::deque<QString> notices;
    bool noticeShown = false;
    QBasicTimer answerTimer;
    int tickMs = TICK_MS;
    int tickLimit = TICK_LIMIT;
};

}  // namespace ravu
