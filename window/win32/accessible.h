// Names for screen readers: a control's description from Form1's data,
// given to Windows' accessibility layer, which reads an edit field's name
// from a label beside it otherwise, and these fields have none that says
// what they hold.
#pragma once

#include <windows.h>

#include <string_view>

namespace win32 {

// Gives a control (and, for a combo box, its edit field) an accessible
// name; false when the accessibility layer would not take it.
bool setaccessiblename(HWND control, std::string_view name);

// Takes the names back, as a window is destroyed.
void clearaccessiblename(HWND control);

}  // namespace win32
