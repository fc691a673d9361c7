// The main window on a screen of device pixel ratio 2 (this program runs with
// QT_SCALE_FACTOR=2): its picture comes from the 2x artwork pixel for pixel
// (in English from the English 2x files), clicks still land on the squares
// of their logical positions, and a skin folder without 2x files is drawn
// from its 1x pictures scaled up.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/language.h"
#include "main_test_support.h"

namespace ravu::test {
namespace {

const QString RES = QStringLiteral(RAVU_SOURCE_DIR "/res/");

QRect Twice(const QRect& r) { return QRect(r.topLeft() * 2, r.size() * 2); }

QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// A region of a 1x picture with each pixel doubled: what the screen would
// show if the 1x picture were scaled up.
QImage ScaledUp(const QImage& picture, const QRect& r) {
    return Rgb(picture.copy(r).scaled(r.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

// A main window over the skin folder, shown in the start position: its
// picture as the screen shows it, in its 2x pixels.
QImage ShownWindow(const QString& skin) {
    CProfile profile;
    CFakeLink guest{false}, host{true};
    CMainDlg window(profile, skin, guest, host);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.devicePixelRatioF(), 2.0);
    const QImage shown = Rgb(window.grab().toImage());
    EXPECT_EQ(shown.size(), window.size() * 2);
    return shown;
}

// Each region of the window shows its picture's 2x file: not the 1x file
// scaled up and, in English, not the Japanese 2x file.
TEST(HighDensity, DrawsFromTheTwiceSizePictures) {
    struct Region {
        bool english;
        const char* what;
        QRect onWindow;
        const char* file;  // in res/, the 1x name
        QPoint inFile;     // where the region lies in that picture, in its logical pixels
    } const regions[] = {
        {false, "board square 5五", QRect(265, 135, 30, 30), "skin/Waku.bmp", QPoint(265 - 129, 135)},
        {false, "upper piece stand", QRect(8, 8, 110, 120), "skin/BackBmp.bmp", QPoint(8, 8)},
        {false, "inside of sente's king on 5九", QRect(275, 269, 10, 10), "skin/Koma01.bmp",
         QPoint(8 * 30 + 10, 10)},
        {false, "plate of the plain 後手 label", QRect(47, 141, 30, 16), "bmp143.bmp", QPoint(2 * 38 + 3, 3)},
        {true, "strip button 開く", QRect(243, 320, 40, 40), "skin/en/BackBmp.bmp", QPoint(243, 320)},
        {true, "plate of the plain 後手 label", QRect(47, 141, 30, 16), "en/bmp143.bmp",
         QPoint(2 * 38 + 3, 3)},
    };
    for (const bool english : {false, true}) {
        ASSERT_TRUE(InstallLanguage(english));
        const QImage shown = ShownWindow(RES + "skin");
        UninstallLanguage();
        for (const Region& r : regions) {
            if (r.english != english)
                continue;
            SCOPED_TRACE(r.what);
            const QString file = RES + QString::fromLatin1(r.file);
            const QRect inFile(r.inFile, r.onWindow.size());
            const QImage here = shown.copy(Twice(r.onWindow));
            EXPECT_EQ(here, Rgb(QImage(TwiceSizePath(file)).copy(Twice(inFile))));
            EXPECT_NE(here, english ? Rgb(QImage(TwiceSizePath(QString(file).remove(QStringLiteral("en/"))))
                                              .copy(Twice(inFile)))
                                    : ScaledUp(QImage(file), inFile));
        }
    }
}

// Clicks at logical positions: a piece is picked up exactly inside its
// 30 x 30 box, and put down on the square clicked.
TEST_F(MainWindowTest, ClicksHitLogicalPixelsAtRatioTwo) {
    StartConnectedGame(SENTE);
    const int pawn57 = dlg->board.PieceAt(5, 7);
    struct Case {
        QPoint at;
        int held;  // the piece picked up, -1 none
    } cases[] = {
        {QPoint(265, 197), pawn57},  // top left pixel of 5七's piece
        {QPoint(294, 226), pawn57},  // bottom right pixel
        {QPoint(265, 196), -1},      // just above: 5六, empty
        {QPoint(295, 210), -1},      // the column between 5七's and 4七's pieces
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
        Click(c.at);
        EXPECT_EQ(dlg->board.HeldPiece(), c.held);
        if (dlg->board.HeldPiece() != -1)
            Click(c.at, Qt::RightButton);  // back to its square
    }
    const int pawn = dlg->board.PieceAt(7, 7);
    Click(SquarePoint(7, 7));
    Click(QPoint(203, 166));  // the top left pixel of 7六
    EXPECT_EQ(dlg->board.PieceAt(7, 6), pawn);
}

// A skin folder that has no usable 2x files still gives a working window:
// its 1x pictures, each pixel doubled.  The built-in pictures keep their 2x.
TEST(HighDensitySkin, OneTimesSkinIsScaledUp) {
    struct Case {
        const char* what;
        bool wrongTwiceFile;  // a Waku@2x.bmp of the 1x size beside the 1x files
    } cases[] = {{"only 1x files", false}, {"a 2x frame of the wrong size", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir skin;
        for (const char* name : {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"})
            ASSERT_TRUE(
                QFile::copy(RES + "skin/" + name, QDir(skin.path()).filePath(QString::fromLatin1(name))));
        if (c.wrongTwiceFile) {
            ASSERT_TRUE(QFile::copy(RES + "skin/Waku.bmp", QDir(skin.path()).filePath("Waku@2x.bmp")));
        }
        const QImage shown = ShownWindow(skin.path());
        const QRect square(265, 135, 30, 30), stand(8, 8, 110, 120);
        EXPECT_EQ(shown.copy(Twice(square)),
                  ScaledUp(QImage(RES + "skin/Waku.bmp"), square.translated(-129, 0)));
        EXPECT_EQ(shown.copy(Twice(stand)), ScaledUp(QImage(RES + "skin/BackBmp.bmp"), stand));
        const QRect plate(47, 141, 30, 16);
        EXPECT_EQ(shown.copy(Twice(plate)),
                  Rgb(QImage(RES + "bmp143@2x.bmp").copy(Twice(QRect(QPoint(2 * 38 + 3, 3), plate.size())))));
    }
}

}  // namespace
}  // namespace ravu::test
