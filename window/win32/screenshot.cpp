// Shows Form1 as the README's picture of it: both buttons pressed with the
// frequencies the window starts with; with a number N, after picking the
// step N items down the list by keyboard first, and with a frequency after
// it, both frequency boxes holding that frequency. Closes itself after a few
// seconds, time for a screenshot of the screen it is on (not installed).
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cwchar>

#include "form1window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    HWND form1 = win32::createform1(instance);
    if (!form1) return 1;
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    GetComboBoxInfo(win32::controlof(form1, "Combo1"), &combo);
    for (int down = _wtoi(arguments); down > 0; --down) {
        SetFocus(combo.hwndItem);
        SendMessageW(combo.hwndItem, WM_KEYDOWN, VK_DOWN, 1);
    }
    if (const wchar_t* space = std::wcschr(arguments, L' '))
        for (const char* box : {"Text17", "Text18"}) SetWindowTextW(win32::controlof(form1, box), space + 1);
    for (const char* button : {"Command1", "Command2"}) SendMessageW(win32::controlof(form1, button), BM_CLICK, 0, 0);
    SetWindowPos(form1, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(form1, SW_SHOW);
    SetTimer(form1, 1, 8000, [](HWND hwnd, UINT, UINT_PTR, DWORD) { DestroyWindow(hwnd); });
    const int status = win32::runform1(form1);
    CoUninitialize();
    return status;
}
