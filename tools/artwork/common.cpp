// Fonts, wood grain, bevels and the file formats.
#include <QBuffer>
#include <QFontDatabase>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <cmath>

#include "artwork.h"

namespace art {

namespace {

Fonts g_fonts;

// The IPA fonts of Debian's fonts-ipafont packages.
const char* const MINCHO_FILES[] = {
    "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-mincho.ttf",
};
const char* const GOTHIC_FILES[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
};

QString AddFirst(const char* const* files, int count) {
    for (int i = 0; i < count; ++i) {
        int id = QFontDatabase::addApplicationFont(QString::fromLatin1(files[i]));
        if (id >= 0) {
            QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty())
                return families.front();
        }
    }
    return {};
}

// Integer hash of a lattice point: the source of every "random" value here.
quint32 Hash(qint32 x, qint32 y, quint32 seed) {
    quint32 h = seed * 0x9E3779B1u;
    h ^= quint32(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= quint32(y) * 0xC2B2AE3Du;
    h *= 0x27D4EB2Fu;
    h ^= h >> 15;
    return h;
}

double Lattice(qint32 x, qint32 y, quint32 seed) { return (Hash(x, y, seed) & 0xFFFF) / 65535.0; }

double Smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise in 0..1, smooth between lattice points.
double Noise(double x, double y, quint32 seed) {
    double fx = std::floor(x), fy = std::floor(y);
    qint32 ix = qint32(fx), iy = qint32(fy);
    double tx = Smooth(x - fx), ty = Smooth(y - fy);
    double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

int Clamp255(double v) { return v < 0 ? 0 : (v > 255 ? 255 : int(v + 0.5)); }

}  // namespace

bool LoadFonts(Fonts* fonts, QString* error) {
    fonts->mincho = AddFirst(MINCHO_FILES, 2);
    fonts->gothic = AddFirst(GOTHIC_FILES, 2);
    if (fonts->mincho.isEmpty() || fonts->gothic.isEmpty()) {
        *error = QStringLiteral(
            "the IPA fonts are missing (Debian packages fonts-ipafont-mincho, fonts-ipafont-gothic)");
        return false;
    }
    g_fonts = *fonts;
    return true;
}

const Fonts& CurrentFonts() { return g_fonts; }

void Dot(QImage* image, QPoint at, QRgb colour, int scale) {
    for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx)
            image->setPixel(at.x() * scale + dx, at.y() * scale + dy, colour);
}

void FillWood(QImage* image, const QRect& area, const QColor& base, bool horizontal, quint32 seed,
              double contrast, int scale) {
    const QRect r = Scaled(area, scale).intersected(image->rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image->scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            // The pattern is a function of 1x coordinates, sampled at the
            // centre of each pixel: x itself at scale 1.
            const double lx = (x + 0.5) / scale - 0.5, ly = (y + 0.5) / scale - 0.5;
            // u runs along the grain, v across it.
            double u = horizontal ? lx : ly;
            double v = horizontal ? ly : lx;
            // Growth rings: straight bands across the grain, gently bent.
            double bend = 2.6 * Noise(u * 0.007, v * 0.012, seed) + 0.9 * Noise(u * 0.03, v * 0.04, seed + 7);
            double ring = v * 0.30 + bend;
            double width = 0.55 + 0.35 * Noise(v * 0.05, 0.5, seed + 3);  // rings of uneven spacing
            double band = 0.5 + 0.5 * std::sin(ring * 1.9 + 1.4 * std::sin(ring * 0.23));
            band = std::pow(band, 2.0 + 6.0 * width);
            // Fine fibres along the grain; specks of one pixel of the picture.
            double fibre = Noise(u * 0.06, v * 1.1, seed + 13) - 0.5;
            double speck = (Lattice(x, y, seed + 29) - 0.5) * 0.5;
            double shade = 1.0 + contrast * (-0.13 * band + 0.07 * fibre + 0.02 * speck);
            line[x] = qRgb(Clamp255(base.red() * shade), Clamp255(base.green() * shade),
                           Clamp255(base.blue() * shade));
        }
    }
}

void Bevel(QImage* image, const QRect& rect, bool raised, int strength, int scale) {
    auto shift = [&](int x, int y, int delta) {
        if (!image->rect().contains(x, y))
            return;
        QRgb c = image->pixel(x, y);
        image->setPixel(x, y,
                        qRgb(qBound(0, qRed(c) + delta, 254), qBound(0, qGreen(c) + delta, 254),
                             qBound(0, qBlue(c) + delta, 254)));
    };
    const int light = raised ? strength : -strength;
    // One ring of pixels per pixel of the picture's scale.
    for (int k = 0; k < scale; ++k) {
        const QRect ring = Scaled(rect, scale).adjusted(k, k, -k, -k);
        for (int x = ring.left(); x <= ring.right(); ++x) {
            shift(x, ring.top(), light);
            shift(x, ring.bottom(), -light);
        }
        for (int y = ring.top() + 1; y < ring.bottom(); ++y) {
            shift(ring.left(), y, light);
            shift(ring.right(), y, -light);
        }
    }
}

void AvoidPureWhite(QImage* image) {
    for (int y = 0; y < image->height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image->scanLine(y));
        for (int x = 0; x < image->width(); ++x)
            if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
                line[x] = qRgb(254, 254, 254);
    }
}

QByteArray EncodeBmp24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    const quint32 pixelBytes = quint32(stride) * quint32(h);
    QByteArray out(54 + int(pixelBytes), '\0');
    uchar* p = reinterpret_cast<uchar*>(out.data());
    auto u16 = [&](int at, quint16 v) { qToLittleEndian(v, p + at); };
    auto u32 = [&](int at, quint32 v) { qToLittleEndian(v, p + at); };
    p[0] = 'B';
    p[1] = 'M';
    u32(2, 54 + pixelBytes);  // file size
    u32(10, 54);              // pixel data offset
    u32(14, 40);              // BITMAPINFOHEADER
    u32(18, quint32(w));
    u32(22, quint32(h));  // positive: bottom-up rows
    u16(26, 1);           // planes
    u16(28, 24);          // bits per pixel
    u32(30, 0);           // BI_RGB, uncompressed
    u32(34, pixelBytes);
    u32(38, 2835);  // 72 dots per inch
    u32(42, 2835);
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y));
        uchar* row = p + 54 + y * stride;
        for (int x = 0; x < w; ++x) {
            row[3 * x] = uchar(qBlue(line[x]));
            row[3 * x + 1] = uchar(qGreen(line[x]));
            row[3 * x + 2] = uchar(qRed(line[x]));
        }
    }
    return out;
}

QByteArray EncodePng(const QImage& image) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image.convertToFormat(QImage::Format_ARGB32));
    return out;
}

QByteArray MakePieceSound() {
    constexpr int RATE = 22050;
    constexpr int SAMPLES = 290;
    QByteArray out(44 + SAMPLES, '\0');
    uchar* p = reinterpret_cast<uchar*>(out.data());
    auto u16 = [&](int at, quint16 v) { qToLittleEndian(v, p + at); };
    auto u32 = [&](int at, quint32 v) { qToLittleEndian(v, p + at); };
    memcpy(p, "RIFF", 4);
    u32(4, 36 + SAMPLES);
    memcpy(p + 8, "WAVEfmt ", 8);
    u32(16, 16);
    u16(20, 1);  // PCM
    u16(22, 1);  // mono
    u32(24, RATE);
    u32(28, RATE);  // bytes per second
    u16(32, 1);     // block align
    u16(34, 8);     // bits per sample
    memcpy(p + 36, "data", 4);
    u32(40, SAMPLES);

    // A wooden click: a hard noise transient, then two short body resonances
    // of the board, all dying away within the 13 ms.
    quint32 lcg = 20240607u;
    const double pi = 3.14159265358979323846;
    for (int n = 0; n < SAMPLES; ++n) {
        lcg = lcg * 1664525u + 1013904223u;
        double noise = ((lcg >> 8) & 0xFFFF) / 32767.5 - 1.0;
        double t = double(n) / RATE;
        double attack = n < 4 ? n / 4.0 : 1.0;
        double transient = noise * std::exp(-n / 9.0);
        double body = 0.75 * std::sin(2 * pi * 1150.0 * t) * std::exp(-n / 55.0) +
                      0.35 * std::sin(2 * pi * 2630.0 * t + 0.7) * std::exp(-n / 30.0);
        double fade = n > SAMPLES - 40 ? (SAMPLES - n) / 40.0 : 1.0;
        double s = attack * fade * (0.55 * transient + body);
        p[44 + n] = uchar(qBound(0, int(128.0 + 100.0 * s + (s >= 0 ? 0.5 : -0.5)), 255));
    }
    return out;
}

}  // namespace art
