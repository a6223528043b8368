#include "form1window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>

#include "form/form1.h"
#include "form/form1events.h"
#include "form/form1texts.h"
#include "accessible.h"
#include "picture.h"
#include "resources.h"
#include "table/utf16.h"

namespace win32 {

using utf16::narrow;
using utf16::widen;
namespace {

constexpr wchar_t classname[] = L"freqcodeForm1";
constexpr int firstcontrolid = 100;  // clear of IDOK and IDCANCEL, which the dialog keys send
constexpr int firstlineid = 200;
// Posted after a pick, once the combo box has put the item in its field.
constexpr UINT showstepstart = WM_APP + 1;
// The font's size in pixels at 96 DPI: the classic dialog size, or smaller
// where the desktop's font is too wide for every code to fit its box.
constexpr int largestfont = 11, smallestfont = 8;

int controlid(const form::Control& control) {
    return firstcontrolid + static_cast<int>(&control - form::controls.data());
}

int scaled(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), form::twipsperinch); }

DWORD windowstyle() { return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN; }

// The control texts the handlers read and set.
class Texts : public form::Controls {
public:
    explicit Texts(HWND form1) : window(form1) {}

    std::string text(std::string_view name) const override {
        HWND control = controlof(window, name);
        // While a pick from the list is reported, the edit field still shows
        // the text before it: the picked item is the selection.
        if (name == "Combo1") {
            const LRESULT selected = SendMessageW(control, CB_GETCURSEL, 0, 0);
            const LRESULT length =
                selected == CB_ERR ? CB_ERR : SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
            if (length != CB_ERR) {
                std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
                const LRESULT copied = SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                                                    reinterpret_cast<LPARAM>(item.data()));
                item.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
                return narrow(item);
            }
        }
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
        return narrow(text);
    }
    void settext(std::string_view name, std::string_view text) override {
        SetWindowTextW(controlof(window, name), widen(text).c_str());
    }

private:
    HWND window;
};

struct Form1 {
    explicit Form1(HWND hwnd) : texts(hwnd), events(texts) {}
    ~Form1() {
        for (HFONT font : fonts)
            if (font) DeleteObject(font);
        if (picture) DeleteObject(picture);
    }
    Texts texts;
    form::Form1Events events;
    // The fonts the controls use, from the classic size down.
    std::array<HFONT, largestfont - smallestfont + 1> fonts{};
    HBITMAP picture = nullptr;
};

Form1* stateof(HWND hwnd) { return reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// The desktop's message font at a given size (in pixels at 96 DPI) or at
// its own, whichever is smaller.
HFONT createfont(UINT dpi, int pixels) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) font = metrics.lfMessageFont;
    else GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    const long largest = MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    font.lfHeight = -std::min(std::labs(font.lfHeight), largest);
    font.lfWidth = 0;
    return CreateFontIndirectW(&font);
}

// The edit field of a text box, or of a combo box.
HWND editof(HWND control, form::Kind kind) {
    if (kind != form::Kind::combobox) return control;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(control, &info) ? info.hwndItem : nullptr;
}

void applyfont(HWND control, const form::Control& c, HFONT font, UINT dpi) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // The code boxes and the step box are narrow: a pixel of margin leaves
    // room for their texts where the font's own margins would not.
    if (c.kind == form::Kind::textbox || c.kind == form::Kind::combobox) {
        const int margin = MulDiv(1, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
        SendMessageW(editof(control, c.kind), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    }
}

// The room a control has for one line of text in its present font: for a
// field, what its edit shows, so that no text needs scrolling.
SIZE textroom(HWND control, form::Kind kind) {
    RECT room{};
    if (kind == form::Kind::textbox || kind == form::Kind::combobox) {
        SendMessageW(editof(control, kind), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
        return {room.right - room.left, room.bottom - room.top};
    }
    GetClientRect(control, &room);
    return {room.right - (kind == form::Kind::button ? 8 : 0), room.bottom};  // a button's frame and margin
}

// Whether every text a control can show fits it in this font.
bool textsfit(HWND control, const form::Control& c, HFONT font) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    const SIZE room = textroom(control, c.kind);
    bool fits = true;
    for (const std::string& shown : form::textsof(c)) {
        const std::wstring wide = widen(shown);
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        fits = fits && extent.cx <= room.cx && extent.cy <= room.cy;
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return fits;
}

// Gives a drop-down combo box's selection field a height, whatever the
// theme's borders around it; false when the font is too tall for it.
bool fitselectionfield(HWND combo, int height) {
    for (int tries = 0; tries < 2; ++tries) {
        RECT field{};
        GetWindowRect(combo, &field);
        const LRESULT item = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        const LRESULT wanted = item + height - (field.bottom - field.top);
        if (wanted == item || wanted < 1) break;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
    }
    RECT field{};
    GetWindowRect(combo, &field);
    return field.bottom - field.top == height;
}

// Places every control, and chooses the window's font and picture, for a DPI.
void layout(HWND hwnd, UINT dpi) {
    Form1* state = stateof(hwnd);
    for (const form::Control& c : form::controls) {
        int height = scaled(c.height, dpi);
        if (c.kind == form::Kind::combobox)  // the list drops below the selection field
            height += static_cast<int>(form::steplist.size() + 1) * MulDiv(16, static_cast<int>(dpi), 96);
        SetWindowPos(GetDlgItem(hwnd, controlid(c)), nullptr, scaled(c.left, dpi), scaled(c.top, dpi),
                     scaled(c.width, dpi), height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (std::size_t i = 0; i < form::lines.size(); ++i) {
        const form::Line& line = form::lines[i];
        const int width = std::max(2, scaled(30, dpi));  // an etched line, two pixels at 96 DPI
        SetWindowPos(GetDlgItem(hwnd, firstlineid + static_cast<int>(i)), nullptr, scaled(line.x1, dpi) - width / 2,
                     scaled(line.y1, dpi), width, scaled(line.y2 - line.y1, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Each control takes the largest of the fonts in which every text it can
    // show fits it: a frequency to 10 Hz (nine characters) may need a
    // smaller one than the codes do.
    std::array<HFONT, largestfont - smallestfont + 1> fonts{};
    for (std::size_t i = 0; i < fonts.size(); ++i) fonts[i] = createfont(dpi, largestfont - static_cast<int>(i));
    for (const form::Control& c : form::controls) {
        HWND control = GetDlgItem(hwnd, controlid(c));
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            applyfont(control, c, fonts[i], dpi);
            const bool fieldfits = c.kind != form::Kind::combobox || fitselectionfield(control, scaled(c.height, dpi));
            if (fieldfits && textsfit(control, c, fonts[i])) break;
        }
    }

    for (HFONT& font : state->fonts) {
        if (font) DeleteObject(font);
        font = nullptr;
    }
    state->fonts = fonts;
    if (state->picture) DeleteObject(state->picture);
    state->picture = loadpicture(dpi);
    InvalidateRect(hwnd, nullptr, TRUE);
}

HWND createcontrol(HWND hwnd, const form::Control& c, HINSTANCE instance) {
    const std::wstring text = widen(c.text);
    DWORD style = WS_CHILD | WS_VISIBLE, exstyle = 0;
    const wchar_t* kind = WC_STATICW;
    switch (c.kind) {
        case form::Kind::label:
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case form::Kind::button:
            kind = WC_BUTTONW;
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case form::Kind::textbox:
            kind = WC_EDITW;
            style |= WS_TABSTOP | ES_AUTOHSCROLL | (c.readonly ? ES_READONLY : 0);
            exstyle = WS_EX_CLIENTEDGE;
            break;
        case form::Kind::combobox:
            kind = WC_COMBOBOXW;
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
            break;
    }
    HWND control = CreateWindowExW(exstyle, kind, text.c_str(), style, 0, 0, 0, 0, hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlid(c))), instance, nullptr);
    if (control && c.kind == form::Kind::combobox) {
        for (const std::string_view step : form::steplist)
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(step).c_str()));
        SendMessageW(control, CB_SETCURSEL, 0, 0);
        SetWindowTextW(control, text.c_str());
    }
    return control;
}

bool createcontrols(HWND hwnd, HINSTANCE instance) {
    // The dialog keys visit controls in creation order: the focusable ones
    // first, in Tab order.
    for (const form::Control* c : form::taborder()) {
        HWND control = createcontrol(hwnd, *c, instance);
        if (!control) return false;
        // A screen reader without it would read no name, or a field's content.
        if (!c->description.empty()) setaccessiblename(control, c->description);
    }
    for (const form::Control& c : form::controls)
        if (c.kind == form::Kind::label && !createcontrol(hwnd, c, instance)) return false;
    for (std::size_t i = 0; i < form::lines.size(); ++i) {
        if (!CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDVERT, 0, 0, 0, 0, hwnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstlineid + static_cast<int>(i))),
                             instance, nullptr))
            return false;
    }
    return true;
}

void paint(HWND hwnd) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    if (HBITMAP picture = stateof(hwnd)->picture) {
        BITMAP size{};
        GetObjectW(picture, sizeof size, &size);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, picture);
        BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);  // unscaled, at the top-left corner
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(hwnd, &paint);
}

// Enter presses the focused button, as Space does; in the step box it
// leaves the typed text, as leaving the box does.
void enter(HWND hwnd) {
    HWND focus = GetFocus();
    HWND combo = controlof(hwnd, "Combo1");
    if (focus == combo || GetParent(focus) == combo) {
        stateof(hwnd)->events.Combo1_LostFocus();
        return;
    }
    for (const form::Control& c : form::controls)
        if (c.kind == form::Kind::button && focus == GetDlgItem(hwnd, controlid(c))) stateof(hwnd)->events.click(c.name);
}

LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Form1(hwnd)));
            break;
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
            if (!createcontrols(hwnd, create->hInstance)) return -1;
            layout(hwnd, GetDpiForWindow(hwnd));
            return 0;
        }
        case WM_COMMAND: {
            if (LOWORD(wparam) == IDOK) {  // Enter, as the dialog keys report it
                enter(hwnd);
                return 0;
            }
            const auto id = static_cast<std::size_t>(LOWORD(wparam));
            if (id < firstcontrolid || id >= firstcontrolid + form::controls.size()) break;
            const form::Control& c = form::controls[id - firstcontrolid];
            if (c.kind == form::Kind::button && HIWORD(wparam) == BN_CLICKED) stateof(hwnd)->events.click(c.name);
            if (c.kind == form::Kind::combobox && HIWORD(wparam) == CBN_SELCHANGE) {
                stateof(hwnd)->events.Combo1_Click();
                PostMessageW(hwnd, showstepstart, 0, 0);
            }
            if (c.kind == form::Kind::combobox && HIWORD(wparam) == CBN_KILLFOCUS) stateof(hwnd)->events.Combo1_LostFocus();
            return 0;
        }
        case showstepstart:  // the field shows the picked step from its first character
            SendMessageW(controlof(hwnd, "Combo1"), CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
            return 0;
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lparam);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            layout(hwnd, HIWORD(wparam));
            return 0;
        }
        case WM_DESTROY:
            for (const form::Control& c : form::controls)
                if (!c.description.empty()) clearaccessiblename(GetDlgItem(hwnd, controlid(c)));
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            delete stateof(hwnd);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

HWND createform1(HINSTANCE instance) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSEXW windowclass{};
    windowclass.cbSize = sizeof windowclass;
    windowclass.lpfnWndProc = procedure;
    windowclass.hInstance = instance;
    windowclass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_FREQCODE));
    windowclass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowclass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowclass.lpszClassName = classname;
    if (!GetClassInfoExW(instance, classname, &windowclass) && !RegisterClassExW(&windowclass)) return nullptr;

    // The client area has the described size at the primary screen's DPI.
    const UINT dpi = GetDpiForSystem();
    RECT frame{0, 0, scaled(form::clientwidth, dpi), scaled(form::clientheight, dpi)};
    AdjustWindowRectExForDpi(&frame, windowstyle(), FALSE, WS_EX_CONTROLPARENT, dpi);
    return CreateWindowExW(WS_EX_CONTROLPARENT, classname, widen(form::caption).c_str(), windowstyle(), CW_USEDEFAULT,
                           CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                           nullptr);
}

HWND controlof(HWND form1, std::string_view name) {
    const form::Control* c = form::control(name);
    return c ? GetDlgItem(form1, controlid(*c)) : nullptr;
}

int runform1(HWND form1) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(form1, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace win32
