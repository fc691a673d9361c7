#include "ui/balloon_dlg.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

#include "app/textcodec.h"
#include "ui/image_button.h"
#include "ui/window_util.h"

namespace ravu {

namespace {
constexpr int TEXT_LEFT = 22;
constexpr int TEXT_WIDTH = 202;
constexpr int TEXT_TOP = 10;
constexpr int LINE_GAP = 2;
constexpr QPoint ANIM_POS{216, 103};
constexpr QPoint YES_POS{58, 115};
constexpr QPoint NO_POS{122, 115};
constexpr QPoint OK_POS{90, 115};  // the notice's one button, between the two places
}  // namespace

std::vector<BalloonLine> LayoutQuestion(const QString& question, const QFontMetrics& fm) {
    std::vector<BalloonLine> lines;
    QString rest = question;
    int n = 0;
    for (;;) {
        const qsizetype br = rest.indexOf(QStringLiteral("\r\n"));
        QString line = br >= 0 ? rest.left(br) : rest;
        if (br >= 0)
            rest = rest.mid(br + 2);
        BalloonLine shown;
        shown.text = DisplayText(line);
        shown.width = fm.horizontalAdvance(shown.text);
        const int h = fm.height();
        ++n;
        shown.x = TEXT_LEFT + (TEXT_WIDTH - shown.width) / 2;
        shown.y = TEXT_TOP + n * (h + LINE_GAP);
        lines.push_back(shown);
        if (br < 0 || n >= CBalloonDlg::MAX_LINES)
            break;
    }
    return lines;
}

CBalloonDlg::CBalloonDlg(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("balloon"));
    setFont(TemplateFont(FONT_PGOTHIC, 8));
    setModal(true);
}

CBalloonDlg::~CBalloonDlg() { answerTimer.stop(); }

int CBalloonDlg::Ask(const std::string& sjisQuestion) {
    return Ask(QString::fromUtf8(SjisToUtf8(sjisQuestion)));
}

int CBalloonDlg::Ask(const QString& question) {
    if (busy)
        return ANSWER_NO;
    // A notice on show steps aside for the question and comes back after it.
    if (noticeShown)
        HideNotice(false);
    busy = 1;
    shownText = question;
    Open(false);
    setModal(true);
    const int result = exec();
    Close();
    ShowNotice();
    return result == QDialog::Accepted ? ANSWER_YES : ANSWER_NO;
}

void CBalloonDlg::Tell(const std::string& sjisText) { Tell(QString::fromUtf8(SjisToUtf8(sjisText))); }

void CBalloonDlg::Tell(const QString& text) {
    notices.push_back(text);
    ShowNotice();
}

void CBalloonDlg::ShowNotice() {
    if (busy || noticeShown || notices.empty())
        return;
    noticeShown = true;
    shownText = notices.front();
    Open(true);
    // Modeless and without taking the keyboard from where the user types:
    // no nested loop runs inside the socket handler that tells it.
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    raise();
}

void CBalloonDlg::HideNotice(bool dismissed) {
    if (!noticeShown)
        return;
    noticeShown = false;
    hide();
    Close();
    if (dismissed && !notices.empty())
        notices.pop_front();
}

void CBalloonDlg::Open(bool notice) {
    ticks = 0;
    // A notice waits for its button; only a question times out.
    if (!notice)
        answerTimer.start(tickMs, this);

    balloonPicture = BuiltinPicture(168, devicePixelRatioF());
    pictureRect = QRect(QPoint(0, 0), balloonPicture.deviceIndependentSize().toSize());
    setFixedSize(pictureRect.size());
    // Centred on the owner (the main window), or on the screen without one.
    QRect around;
    if (parentWidget())
        around = parentWidget()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        around = screen->availableGeometry();
    if (around.isValid())
        move(around.center() - QPoint(width() / 2, height() / 2));

    // The platform's default font, changed to height 10 in the mincho face.
    textFont = QFont(QString::fromLatin1(FONT_MINCHO));
    textFont.setPixelSize(10);

    anim.Create(this, ANIM_POS.x(), ANIM_POS.y());
    if (notice) {
        okButton = new CImageButton(172);
        okButton->setObjectName(QStringLiteral("ok"));
        okButton->Create(this, CMD_OK, OK_POS.x(), OK_POS.y());
        connect(okButton, &CImageButton::command, this, &CBalloonDlg::OnCommand);
        return;
    }
    yesButton = new CImageButton(172);
    yesButton->setObjectName(QStringLiteral("yes"));
    yesButton->Create(this, CMD_YES, YES_POS.x(), YES_POS.y());
    noButton = new CImageButton(173);
    noButton->setObjectName(QStringLiteral("no"));
    noButton->Create(this, CMD_NO, NO_POS.x(), NO_POS.y());
    connect(yesButton, &CImageButton::command, this, &CBalloonDlg::OnCommand);
    connect(noButton, &CImageButton::command, this, &CBalloonDlg::OnCommand);
}

void CBalloonDlg::Close() {
    answerTimer.stop();
    anim.Destroy();
    // The buttons go once the event in hand is done (a notice is dismissed
    // from its own button's command); until then they are hidden, nameless
    // and silent.
    for (CImageButton** b : {&yesButton, &noButton, &okButton}) {
        if (*b) {
            (*b)->hide();
            (*b)->setObjectName(QString());
            (*b)->disconnect(this);
            (*b)->deleteLater();
            *b = nullptr;
        }
    }
    balloonPicture = QPixmap();
    busy = 0;
}

std::vector<BalloonLine> CBalloonDlg::ShownLines() const {
    return LayoutQuestion(shownText, QFontMetrics(textFont));
}

void CBalloonDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);  // where the picture's ratio is not the screen's
    p.drawPixmap(pictureRect, balloonPicture);
    p.setFont(textFont);
    p.setPen(Qt::black);
    const QFontMetrics fm(textFont);
    for (const BalloonLine& line : LayoutQuestion(shownText, fm))
        p.drawText(line.x, line.y + fm.ascent(), line.text);
}

void CBalloonDlg::timerEvent(QTimerEvent* e) {
    if (e->timerId() != answerTimer.timerId()) {
        QDialog::timerEvent(e);
        return;
    }
    ++ticks;
    if (ticks > tickLimit) {
        ticks = 0;
        answerTimer.stop();
        No();
    }
}

void CBalloonDlg::OnCommand(int id) {
    if (noticeShown) {
        if (id == CMD_OK) {
            HideNotice(true);
            ShowNotice();
        }
        return;
    }
    if (id == CMD_YES)
        Yes();
    else if (id == CMD_NO)
        No();
}

void CBalloonDlg::Yes() {
    if (isVisible())
        accept();
}

void CBalloonDlg::No() {
    if (isVisible())
        reject();
}

// Enter answers yes and Esc no, as the dialog's OK and Cancel.
void CBalloonDlg::keyPressEvent(QKeyEvent* e) {
    if (noticeShown) {
        // Enter and Esc dismiss a notice, as its button.
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape)
            OnCommand(CMD_OK);
        else
            QDialog::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: Yes(); break;
        case Qt::Key_Escape: No(); break;
        default: QDialog::keyPressEvent(e);
    }
}

void CBalloonDlg::closeEvent(QCloseEvent* e) {
    if (noticeShown) {
        // A close request dismisses the notice, as its button.
        e->ignore();
        OnCommand(CMD_OK);
        return;
    }
    e->accept();
    No();
}

}  // namespace ravu
