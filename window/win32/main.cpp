// freqcode for Windows: opens Form1 and runs it until it is closed.
#include <windows.h>

#include <objbase.h>

#include "form1window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
    HWND form1 = win32::createform1(instance);
    if (!form1) {
        MessageBoxW(nullptr, L"The window could not be created.", L"freqcode", MB_ICONERROR);
        CoUninitialize();
        return 1;
    }
    ShowWindow(form1, show);
    const int status = win32::runform1(form1);
    CoUninitialize();
    return status;
}
