// Paths of the pictures, cursor, icon and sound built into the program (Qt
// resources from res/resources.qrc, made available by ravu::InitResources()
// in app/shogi_app.h, which linking ravu_app provides).  The three skin files
// are not among them: they are read from the current directory.
#pragma once

namespace ravu {

// Turn labels: five 38 x 24 cells (先手, 先手 lit, 後手, 後手 lit, 王手), white transparent.
inline constexpr const char* RES_BMP_LABELS = ":/res/bmp143.bmp";
constexpr int RES_LABEL_W = 38, RES_LABEL_H = 24, RES_LABEL_CELLS = 5;

// Destination marks: a 128 x 32 strip of four 32 x 32 outlines, white transparent.
inline constexpr const char* RES_BMP_MARKS = ":/res/bmp165.bmp";
constexpr int RES_MARK_SIZE = 32, RES_MARK_CELLS = 4;

// Question balloon picture, 260 x 180.
inline constexpr const char* RES_BMP_BALLOON = ":/res/bmp168.bmp";
constexpr int RES_BALLOON_W = 260, RES_BALLOON_H = 180;

// The balloon's character: four 32 x 32 animation frames side by side.
inline constexpr const char* RES_BMP_CHARACTER = ":/res/bmp169.bmp";
constexpr int RES_CHARACTER_SIZE = 32, RES_CHARACTER_CELLS = 4;

// The はい and いいえ buttons: three 58 x 58 cells each (normal, pointer over, pressed).
inline constexpr const char* RES_BMP_YES = ":/res/bmp172.bmp";
inline constexpr const char* RES_BMP_NO = ":/res/bmp173.bmp";
constexpr int RES_BUTTON_SIZE = 58, RES_BUTTON_CELLS = 3;

// Own-piece cursor, 32 x 32 with alpha; its hot spot.
inline constexpr const char* RES_CURSOR_OWN_PIECE = ":/res/cursor145.png";
constexpr int RES_CURSOR_HOT_X = 11, RES_CURSOR_HOT_Y = 1;

// Window icon, 32 x 32 with alpha.
inline constexpr const char* RES_ICON = ":/res/icon128.png";

// The piece sound: a WAV image, PCM mono 22050 Hz 8 bits, 290 samples.
inline constexpr const char* RES_SOUND_PIECE = ":/res/sound104.wav";

}  // namespace ravu
