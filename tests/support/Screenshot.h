#pragma once
// Screenshots of real windows for a person to look at: what the screen shows
// in a rectangle, as the bytes of a 24-bit BMP file. Windows only.

#include <string>

namespace quotamin::testing {

// The screen's pixels from (left, top) up to (right, bottom), as a BMP file.
std::string CaptureScreenBmp(int left, int top, int right, int bottom);

}  // namespace quotamin::testing
