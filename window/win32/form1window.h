// The tool's one window in plain Win32: the radio picture and sixteen
// standard controls created from Form1's description, scaled to the
// screen's DPI. Picks and clicks go to Form1's event handlers.
#pragma once

#include <windows.h>

#include <string_view>

namespace win32 {

// Creates Form1, hidden, on the primary screen; nullptr on failure. COM must
// be initialised on the thread (the picture is decoded with WIC).
HWND createform1(HINSTANCE instance);

// The control of this name in a Form1 window, or nullptr.
HWND controlof(HWND form1, std::string_view name);

// Runs the thread's messages until Form1 is closed, with Tab, Shift+Tab and
// the arrow keys moving between controls as in a dialog; the exit status.
int runform1(HWND form1);

}  // namespace win32
