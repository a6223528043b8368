// The radio picture, decoded from the program's resources with the Windows
// Imaging Component.
#pragma once

#include <windows.h>

namespace win32 {

// The picture as a 32-bit DIB section, drawn for a screen of this DPI: at
// 96 DPI pixel for pixel; on a larger screen its finer twin, scaled by
// area to the screen's pixels of the picture's place above the controls. nullptr when it cannot be read (the window then shows its
// plain background).
HBITMAP loadpicture(UINT dpi);

}  // namespace win32
