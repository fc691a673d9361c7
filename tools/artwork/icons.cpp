// The desktop icons: the window icon (the king piece) drawn at every size of
// the hicolor theme, for the installed .desktop entry.
#include "artwork.h"

namespace art {

std::vector<std::pair<QString, QByteArray>> AppIcons() {
    std::vector<std::pair<QString, QByteArray>> icons;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icons.emplace_back(QStringLiteral("icons/hicolor/%1x%1/apps/ravuone.png").arg(size),
                           EncodePng(DrawIcon(size)));
    return icons;
}

}  // namespace art
