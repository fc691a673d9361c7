#include "ui/ui_fonts.h"

#include <QStringList>

namespace ravu {

namespace {

QFont MakeFont(const QStringList& families, int pointSize) {
    QFont f;
    f.setFamilies(families);
    f.setPointSize(pointSize);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

}  // namespace

QFont PGothicFont(int pointSize) {
    return MakeFont({"IPAPGothic", "IPA Pゴシック", "IPAGothic", "Noto Sans CJK JP"}, pointSize);
}

QFont GothicFont(int pointSize) {
    return MakeFont({"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP"}, pointSize);
}

QFont MinchoFont(int pointSize) {
    return MakeFont({"IPAMincho", "IPA明朝", "IPAPMincho", "Noto Serif CJK JP"}, pointSize);
}

}  // namespace ravu
