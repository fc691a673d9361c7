#include "ui/promote_dlg.h"

#include <QPushButton>

#include "ui/ui_fonts.h"

namespace ravu {

CPromoteDlg::CPromoteDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFont(PGothicFont(9));
    // 27 x 28 dialog units, two buttons of 27 x 14 stacked.
    const QSize size = DluSize(27, 28);
    const int half = DluToPixelsY(14);
    setFixedSize(size);
    promoteButton = new QPushButton(tr("成り"), this);
    promoteButton->setGeometry(0, 0, size.width(), half);
    promoteButton->setDefault(true);
    keepButton = new QPushButton(tr("成らず"), this);
    keepButton->setGeometry(0, half, size.width(), size.height() - half);
    connect(promoteButton, &QPushButton::clicked, this, [this] { done(RESULT_PROMOTE); });
    connect(keepButton, &QPushButton::clicked, this, [this] { done(RESULT_KEEP); });
}

void CPromoteDlg::reject() { done(RESULT_KEEP); }

void CPromoteDlg::showEvent(QShowEvent* e) {
    // The point is in the parent's client coordinates; the dialog is a
    // top-level window, so it is placed in screen coordinates.
    if (parentWidget())
        move(parentWidget()->mapToGlobal(point));
    else
        move(point);
    QDialog::showEvent(e);
}

}  // namespace ravu
