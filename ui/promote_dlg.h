// The promotion question: a small captionless box with the two buttons
// "成り" (promote, result 1) and "成らず" (do not promote, result 2), run
// modally with its top-left corner at a point of the main window.
#pragma once

#include <QDialog>
#include <QPoint>

class QPushButton;

namespace ravu {

class CPromoteDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int RESULT_PROMOTE = 1;
    static constexpr int RESULT_KEEP = 2;

    explicit CPromoteDlg(QWidget* parent);

    // Point in the parent's client coordinates where the top-left corner goes.
    QPoint point;

    QPushButton* PromoteButton() const { return promoteButton; }
    QPushButton* KeepButton() const { return keepButton; }

    // Escape answers "do not promote".
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    QPushButton* promoteButton;
    QPushButton* keepButton;
};

}  // namespace ravu
