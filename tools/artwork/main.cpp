// ravuone-artwork OUTDIR [--preview FILE.png]
//
// Draws every picture of the program and its piece sound into OUTDIR:
//   skin/BackBmp.bmp skin/Waku.bmp skin/Koma01.bmp   (read at run time)
//   bmp143.bmp bmp165.bmp bmp168.bmp bmp169.bmp bmp172.bmp bmp173.bmp
//   cursor145.png icon128.png sound104.wav           (built in)
//   icons/hicolor/<N>x<N>/apps/ravuone.png           (installed for the desktop)
// and every picture but the icon once more at twice the size, for screens of
// device pixel ratio 2, named with Qt's "@2x" suffix: skin/BackBmp@2x.bmp,
// bmp143@2x.bmp, cursor145@2x.png and so on.  The pictures with words in
// them (the background with the control strip's captions, the turn and check
// labels, the yes and no buttons) are drawn in English too, at both sizes,
// into en/ folders beside the Japanese ones: skin/en/BackBmp.bmp,
// en/bmp143.bmp, en/bmp172@2x.bmp and so on.
// The same run always writes the same bytes; res/ holds the committed
// output.  --preview also writes the main window as the program composes it.
//
// ravuone-artwork --compare A B
//
// Exits with 0 when two pictures are the same but for glyph edges: the same
// size, and at most one pixel in 256 different.  Font rasterizers of other
// versions smooth the edges of drawn characters a little differently.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <functional>

#include "artwork.h"

namespace {

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "ravuone-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Pixels in which two renderings of the same picture may differ: one in 256.
constexpr qsizetype EDGE_PIXELS_SHARE = 256;

int Compare(const QString& a, const QString& b) {
    const QImage x = QImage(a).convertToFormat(QImage::Format_ARGB32);
    const QImage y = QImage(b).convertToFormat(QImage::Format_ARGB32);
    if (x.isNull() || x.size() != y.size()) {
        std::fprintf(stderr, "ravuone-artwork: %s and %s are not pictures of one size\n", qPrintable(a),
                     qPrintable(b));
        return 1;
    }
    qsizetype differing = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            differing += x.pixel(col, row) != y.pixel(col, row);
    const qsizetype allowed = qsizetype{x.width()} * x.height() / EDGE_PIXELS_SHARE;
    std::fprintf(stderr, "ravuone-artwork: %lld pixels differ (%lld allowed)\n",
                 static_cast<long long>(differing), static_cast<long long>(allowed));
    return differing <= allowed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Draws without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--compare"))
        return Compare(args[2], args[3]);
    if (args.size() < 2 || args[1].startsWith('-')) {
        std::fprintf(stderr, "usage: ravuone-artwork OUTDIR [--preview FILE.png] | --compare A B\n");
        return 2;
    }
    const QDir out(args[1]);
    QString preview;
    for (int i = 2; i + 1 < args.size(); ++i)
        if (args[i] == QLatin1String("--preview"))
            preview = args[i + 1];

    art::Fonts fonts;
    QString error;
    if (!art::LoadFonts(&fonts, &error)) {
        std::fprintf(stderr, "ravuone-artwork: %s\n", qPrintable(error));
        return 1;
    }
    for (const char* folder : {"skin/en", "en"})
        if (!out.mkpath(QString::fromLatin1(folder))) {
            std::fprintf(stderr, "ravuone-artwork: cannot create %s/%s\n", qPrintable(out.path()), folder);
            return 1;
        }

    struct Output {
        const char* name;
        std::function<QByteArray()> make;
    };
    const Output outputs[] = {
        {"skin/BackBmp.bmp", [] { return art::EncodeBmp24(art::DrawBackground()); }},
        {"skin/Waku.bmp", [] { return art::EncodeBmp24(art::DrawFrame()); }},
        {"skin/Koma01.bmp", [] { return art::EncodeBmp24(art::DrawPieces()); }},
        {"bmp143.bmp", [] { return art::EncodeBmp24(art::DrawLabels()); }},
        {"bmp165.bmp", [] { return art::EncodeBmp24(art::DrawMarks()); }},
        {"bmp168.bmp", [] { return art::EncodeBmp24(art::DrawBalloon()); }},
        {"bmp169.bmp", [] { return art::EncodeBmp24(art::DrawCharacter()); }},
        {"bmp172.bmp", [] { return art::EncodeBmp24(art::DrawYesNo(true)); }},
        {"bmp173.bmp", [] { return art::EncodeBmp24(art::DrawYesNo(false)); }},
        {"cursor145.png", [] { return art::EncodePng(art::DrawCursor()); }},
        {"icon128.png", [] { return art::EncodePng(art::DrawIcon()); }},
        {"sound104.wav", [] { return art::MakePieceSound(); }},
        {"skin/BackBmp@2x.bmp", [] { return art::EncodeBmp24(art::DrawBackground(2)); }},
        {"skin/Waku@2x.bmp", [] { return art::EncodeBmp24(art::DrawFrame(2)); }},
        {"skin/Koma01@2x.bmp", [] { return art::EncodeBmp24(art::DrawPieces(2)); }},
        {"bmp143@2x.bmp", [] { return art::EncodeBmp24(art::DrawLabels(2)); }},
        {"bmp165@2x.bmp", [] { return art::EncodeBmp24(art::DrawMarks(2)); }},
        {"bmp168@2x.bmp", [] { return art::EncodeBmp24(art::DrawBalloon(2)); }},
        {"bmp169@2x.bmp", [] { return art::EncodeBmp24(art::DrawCharacter(2)); }},
        {"bmp172@2x.bmp", [] { return art::EncodeBmp24(art::DrawYesNo(true, 2)); }},
        {"bmp173@2x.bmp", [] { return art::EncodeBmp24(art::DrawYesNo(false, 2)); }},
        {"cursor145@2x.png", [] { return art::EncodePng(art::DrawCursor(2)); }},
        {"skin/en/BackBmp.bmp", [] { return art::EncodeBmp24(art::DrawBackground(1, art::ENGLISH)); }},
        {"en/bmp143.bmp", [] { return art::EncodeBmp24(art::DrawLabels(1, art::ENGLISH)); }},
        {"en/bmp172.bmp", [] { return art::EncodeBmp24(art::DrawYesNo(true, 1, art::ENGLISH)); }},
        {"en/bmp173.bmp", [] { return art::EncodeBmp24(art::DrawYesNo(false, 1, art::ENGLISH)); }},
        {"skin/en/BackBmp@2x.bmp", [] { return art::EncodeBmp24(art::DrawBackground(2, art::ENGLISH)); }},
        {"en/bmp143@2x.bmp", [] { return art::EncodeBmp24(art::DrawLabels(2, art::ENGLISH)); }},
        {"en/bmp172@2x.bmp", [] { return art::EncodeBmp24(art::DrawYesNo(true, 2, art::ENGLISH)); }},
        {"en/bmp173@2x.bmp", [] { return art::EncodeBmp24(art::DrawYesNo(false, 2, art::ENGLISH)); }},
    };
    bool ok = true;
    for (const Output& o : outputs)
        ok = WriteBytes(out.filePath(QString::fromLatin1(o.name)), o.make()) && ok;
    for (const auto& [name, bytes] : art::AppIcons())
        ok = out.mkpath(QFileInfo(name).path()) && WriteBytes(out.filePath(name), bytes) && ok;
    if (!preview.isEmpty()) {
        ok = art::ComposePreview().save(preview, "png") && ok;
        QString stem = preview.endsWith(QLatin1String(".png")) ? preview.chopped(4) : preview;
        ok = art::ComposeCloseUps().save(stem + "-closeup.png", "png") && ok;
    }
    return ok ? 0 : 1;
}
