// A picture of a window as it shows on the screen, frame included, as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Has Window (of any thread) paint itself completely, then copies its pixels, frame and title bar
// included, into File. Returns the picture's size; raises EbrvObject when a step fails.
SIZE SaveWindowPicture(HWND Window, const std::u16string& File);

}  // namespace standin
