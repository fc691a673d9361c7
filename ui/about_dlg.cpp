#include "ui/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/textcodec.h"
#include "net/port_mapper.h"
#include "ui/window_util.h"

namespace ravu {

const char* const CAboutDlg::VERSION_TEXT = "RavuOne Version 1.00 β";

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(tr("ﾊﾞｰｼﾞｮﾝ情報 RavuOne"));
    setObjectName(QStringLiteral("about"));
    setFont(TemplateFont(FONT_PGOTHIC, 8));
    const DialogUnits du(font());
    // Two lines under the credits for the port forwarding line.
    constexpr int PORT_MAP_TOP = 88;
    constexpr int PORT_MAP_HEIGHT = 20;
    setFixedSize(du.X(217), du.Y(PORT_MAP_TOP + PORT_MAP_HEIGHT + 6));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(BuiltinPicture(128));
    icon->setGeometry(du.X(11), du.Y(17), 32, 32);

    const int textWidth = du.X(217 - 40 - 42);
    const int lineHeight = du.Y(10);
    PlainLabel(this, QString::fromUtf8(VERSION_TEXT), QRect(du.X(40), du.Y(10), textWidth, lineHeight))
        ->setObjectName(QStringLiteral("version"));
    PlainLabel(this, QStringLiteral("Copyright (C) 2026 RavuOne developers"),
               QRect(du.X(40), du.Y(23), textWidth, lineHeight))
        ->setObjectName(QStringLiteral("copyright"));
    PlainLabel(this, tr("協力者（敬称略）"), QRect(du.X(40), du.Y(36), textWidth, lineHeight));
    PlainLabel(this, tr("RavuOne を試してくださった皆さん"),
               QRect(du.X(48), du.Y(47), textWidth, lineHeight));
    PlainLabel(this, tr("キャラクタのご提供"), QRect(du.X(40), du.Y(62), textWidth, lineHeight));
    PlainLabel(this, tr("RavuOne 開発者（自作の絵）"), QRect(du.X(48), du.Y(73), textWidth, lineHeight));

    portMapLine = PlainLabel(this, QString(),
                             QRect(du.X(11), du.Y(PORT_MAP_TOP), du.X(217 - 22), du.Y(PORT_MAP_HEIGHT)));
    portMapLine->setObjectName(QStringLiteral("portMap"));
    portMapLine->setWordWrap(true);
    portMapLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setGeometry(du.Rect(178, 7, 32, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CAboutDlg::Follow(CPortMapper* mapper) {
    connect(mapper, &CPortMapper::changed, this, [this, mapper] { ShowPortMap(mapper->Result()); });
    ShowPortMap(mapper->Result());
}

void CAboutDlg::ShowPortMap(const PortMapResult& result) {
    portMapLine->setText(QString::fromUtf8(SjisToUtf8(PortMapText(result))));
}

}  // namespace ravu
