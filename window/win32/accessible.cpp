#include "accessible.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

#include "table/utf16.h"

namespace win32 {

using utf16::narrow;
using utf16::widen;
namespace {

// The control and, for a combo box, the edit field a screen reader lands on.
template <typename Each>
void eachpart(HWND control, Each each) {
    each(control);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(control, &info) && info.hwndItem) each(info.hwndItem);
}

IAccPropServices* services() {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&services))))
        return nullptr;
    return services;
}

}  // namespace

bool setaccessiblename(HWND control, std::string_view name) {
    IAccPropServices* annotations = services();
    if (!annotations) return false;
    const std::wstring wide = widen(name);
    bool set = true;
    eachpart(control, [&](HWND part) {
        set = set && SUCCEEDED(annotations->SetHwndPropStr(part, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                                            PROPID_ACC_NAME, wide.c_str()));
    });
    annotations->Release();
    return set;
}

void clearaccessiblename(HWND control) {
    IAccPropServices* annotations = services();
    if (!annotations) return;
    MSAAPROPID name = PROPID_ACC_NAME;
    eachpart(control, [&](HWND part) {
        annotations->ClearHwndProps(part, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
    });
    annotations->Release();
}

}  // namespace win32
