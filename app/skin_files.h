// The three skin bitmap files the program reads from its current directory.
#pragma once

#include <string>

namespace ravu {

constexpr const char* SKIN_BACKGROUND = "BackBmp.bmp";  // window background and control strip
constexpr const char* SKIN_FRAME = "Waku.bmp";          // board frame, normal and flipped
constexpr const char* SKIN_PIECES = "Koma01.bmp";       // piece cells

// Checks that the three skin files exist in dir (only existence: a file that
// is not a bitmap passes).  When one or more are missing, returns false and
// puts the message for the user into *message (Shift-JIS): the header line,
// a blank line, then each missing name on a line of its own, in the order
// BackBmp, Waku, Koma01.
bool CheckSkinFilesIn(const std::string& dir, std::string* message);

}  // namespace ravu
