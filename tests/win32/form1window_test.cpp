// The real Win32 window, created in-process and driven with the messages a
// person's clicks, picks and keys send.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

#include <string>
#include <tuple>
#include <vector>

#include "form/form1.h"
#include "form/form1texts.h"
#include "form1window.h"
#include "picture.h"
#include "table/utf16.h"

namespace {

using Codes = std::vector<std::string>;
const Codes placeholders = {"****", "******", "******", "****", "******", "******"};

int pixels(int twips) { return MulDiv(twips, 96, form::twipsperinch); }

// Wine's version, when the tests run under Wine.
const char* wineversion() {
    using Version = const char*(CDECL*)();
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto version = ntdll ? reinterpret_cast<Version>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version"))) : nullptr;
    return version ? version() : nullptr;
}

class Form1Window : public ::testing::Test {
protected:
    void SetUp() override {
        form1 = win32::createform1(GetModuleHandleW(nullptr));
        ASSERT_NE(form1, nullptr);
        ShowWindow(form1, SW_SHOW);
        ASSERT_EQ(GetDpiForWindow(form1), 96u) << "the geometry below is for 96 DPI";
    }
    void TearDown() override {
        DestroyWindow(form1);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }

    HWND control(const char* name) const {
        HWND hwnd = win32::controlof(form1, name);
        if (!hwnd) ADD_FAILURE() << "no " << name;
        return hwnd;
    }
    std::string text(HWND hwnd) const {
        wchar_t buffer[256] = {};
        SendMessageW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
        return utf16::narrow(buffer);
    }
    std::string text(const char* name) const { return text(control(name)); }
    Codes codes() const {
        Codes all;
        for (const char* name : {"Text1", "Text2", "Text3", "Text9", "Text10", "Text11"}) all.push_back(text(name));
        return all;
    }

    void click(const char* button) { SendMessageW(control(button), BM_CLICK, 0, 0); }
    void key(HWND hwnd, UINT vk) {
        SendMessageW(hwnd, WM_KEYDOWN, vk, 1);
        SendMessageW(hwnd, WM_KEYUP, vk, 1 | (1u << 30) | (1u << 31));
    }
    // Replaces an edit field's text by typing, as a person does.
    void type(HWND edit, const std::string& value) {
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_CHAR, VK_BACK, 1);
        for (const wchar_t c : utf16::widen(value)) SendMessageW(edit, WM_CHAR, c, 1);
    }
    HWND comboedit() const {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(control("Combo1"), &info);
        return info.hwndItem;
    }
    // The arrow keys on the closed selector pick the neighbouring item.
    void pickbykey(UINT vk) {
        SetFocus(comboedit());
        key(comboedit(), vk);
        settle();
    }
    // A key as the program's message loop hands it out: the dialog keys first.
    void dialogkey(HWND hwnd, UINT vk) {
        SetFocus(hwnd);
        MSG message{hwnd, WM_KEYDOWN, vk, 1, 0, {}};
        if (!IsDialogMessageW(form1, &message)) SendMessageW(hwnd, WM_KEYDOWN, vk, 1);
        settle();
    }
    // Handles what the window posted to itself.
    void settle() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }

    HWND form1 = nullptr;
};

TEST_F(Form1Window, ShowsItsDescribedContent) {
    EXPECT_EQ(text(form1), form::caption);
    RECT client{};
    GetClientRect(form1, &client);
    EXPECT_EQ(client.right, 426);
    EXPECT_EQ(client.bottom, 292);
    for (const form::Control& c : form::controls) {
        SCOPED_TRACE(std::string(c.name));
        HWND hwnd = control(std::string(c.name).c_str());
        RECT at{};
        GetWindowRect(hwnd, &at);
        MapWindowPoints(nullptr, form1, reinterpret_cast<POINT*>(&at), 2);
        EXPECT_EQ(at.left, pixels(c.left));
        EXPECT_EQ(at.top, pixels(c.top));
        EXPECT_EQ(at.right - at.left, pixels(c.width));
        EXPECT_EQ(at.bottom - at.top, pixels(c.height));
        EXPECT_EQ(text(hwnd), c.text);
        if (c.kind == form::Kind::textbox) {
            EXPECT_EQ((GetWindowLongW(hwnd, GWL_STYLE) & ES_READONLY) != 0, c.readonly);
        }
    }
    std::vector<std::string> items;
    for (int i = 0; i < SendMessageW(control("Combo1"), CB_GETCOUNT, 0, 0); ++i) {
        wchar_t item[32] = {};
        SendMessageW(control("Combo1"), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.push_back(utf16::narrow(item));
    }
    EXPECT_EQ(items, std::vector<std::string>(form::steplist.begin(), form::steplist.end()));

    // Tab visits the controls in Tab index order, as the dialog keys do.
    HWND focus = control("Text1");
    for (const form::Control* expected : form::taborder()) {
        EXPECT_EQ(focus, control(std::string(expected->name).c_str())) << expected->name;
        focus = GetNextDlgTabItem(form1, focus, FALSE);
    }
    EXPECT_EQ(focus, control("Text1")) << "and round again";

    // The picture covers its place at every scale: 100, 125, 150, 200 %.
    for (const auto& [dpi, width, height] : {std::tuple{96u, 429, 226}, {120u, 536, 283}, {144u, 644, 339}, {192u, 858, 452}}) {
        HBITMAP picture = win32::loadpicture(dpi);
        ASSERT_NE(picture, nullptr) << dpi;
        BITMAP size{};
        GetObjectW(picture, sizeof size, &size);
        EXPECT_EQ(size.bmWidth, width) << dpi;
        EXPECT_EQ(size.bmHeight, height) << dpi;
        DeleteObject(picture);
    }
}

TEST_F(Form1Window, EveryTextFitsItsControl) {
    for (const form::Control& c : form::controls) {
        HWND hwnd = control(std::string(c.name).c_str());
        int room = 0;
        if (c.kind == form::Kind::textbox || c.kind == form::Kind::combobox) {
            RECT format{};
            SendMessageW(c.kind == form::Kind::textbox ? hwnd : comboedit(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
            room = format.right - format.left;
        } else {
            RECT inside{};
            GetClientRect(hwnd, &inside);
            room = inside.right - (c.kind == form::Kind::button ? 8 : 0);  // a button's frame and margin
        }
        HDC dc = GetDC(hwnd);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        for (const std::string& shown : form::textsof(c)) {
            const std::wstring wide = utf16::widen(shown);
            SIZE extent{};
            GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
            EXPECT_LE(extent.cx, room) << c.name << " " << shown;
        }
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
    }
}

TEST_F(Form1Window, HandlersFollowTheRules) {
    click("Command1");
    EXPECT_EQ(codes(), Codes({"****", "******", "******", "F0F1", "FCFFF4", "F6F9F0"}));
    click("Command2");
    EXPECT_EQ(codes(), Codes({"F0F3", "FFF3F5", "F6F9F0", "F0F1", "FCFFF4", "F6F9F0"}));

    // The codes cannot be typed over, but can be copied to carry them to the radio.
    type(control("Text9"), "x");
    EXPECT_EQ(text("Text9"), "F0F1");
    SendMessageW(control("Text9"), EM_SETSEL, 0, -1);
    SendMessageW(control("Text9"), WM_COPY, 0, 0);
    ASSERT_TRUE(OpenClipboard(form1));
    const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    EXPECT_EQ(copied ? utf16::narrow(copied) : "", "F0F1");
    if (copied) GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();

    for (int i = 0; i < 3; ++i) pickbykey(VK_DOWN);  // 12.5kHz
    EXPECT_EQ(codes(), placeholders);
    type(control("Text18"), "145000");
    click("Command2");
    EXPECT_EQ(codes(), Codes({"F0F1", "F5FBF0", "FCF3F0", "****", "******", "******"}));

    for (int i = 0; i < 3; ++i) pickbykey(VK_UP);  // 5kHz
    click("Command1");
    type(control("Text17"), "430002");
    click("Command1");
    EXPECT_EQ(codes().back(), "******") << "off the raster";

    for (const char* freq : {"29000", "500000", ""}) {
        type(control("Text18"), "430000");
        click("Command2");
        const Codes before = codes();
        type(control("Text18"), freq);
        click("Command2");
        EXPECT_EQ(codes(), before) << "out of range: " << freq;
    }
}

TEST_F(Form1Window, OnlyAPickFromTheListChangesTheStep) {
    click("Command2");
    const Codes shown = codes();
    for (const char* typed : {"25kHz", "12", "6.25kHz"}) {
        type(comboedit(), typed);
        EXPECT_EQ(text(comboedit()), typed);
        dialogkey(comboedit(), VK_RETURN);
        EXPECT_EQ(text(comboedit()), "5kHz") << "Enter shows the step in effect again";
        type(comboedit(), typed);
        SetFocus(control("Text18"));  // so does leaving the field
        EXPECT_EQ(text(comboedit()), "5kHz");
        EXPECT_EQ(codes(), shown) << "a typed step resets nothing";
    }
    type(control("Text18"), "145000");
    dialogkey(control("Command2"), VK_RETURN);  // Enter on a focused button presses it
    EXPECT_EQ(text("Text2"), "F5FCF1") << "145000 kHz, still 5 kHz";

    pickbykey(VK_DOWN);
    EXPECT_EQ(codes(), placeholders);
    click("Command2");
    EXPECT_EQ(text("Text3"), "F8F7F0") << "6.25 kHz";
}

// After every pick, at every usual DPI, the step box shows the whole step
// from its first character: "2.5kHz" for 12.5 kHz would be a misread step.
TEST_F(Form1Window, StepBoxShowsTheWholeStepAfterEveryPick) {
    for (const UINT dpi : {96u, 120u, 144u}) {
        RECT frame{};
        GetWindowRect(form1, &frame);
        SendMessageW(form1, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
        HWND edit = comboedit();
        for (std::size_t item = 0; item < form::steplist.size(); ++item) pickbykey(VK_UP);
        for (std::size_t item = 0; item < form::steplist.size(); ++item) {
            SCOPED_TRACE(std::to_string(dpi) + " DPI, " + std::string(form::steplist[item]));
            if (item > 0) pickbykey(VK_DOWN);
            ASSERT_EQ(text(edit), form::steplist[item]);
            RECT room{};
            SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
            const LRESULT first = SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(room.left + 1, room.top + 1));
            EXPECT_EQ(LOWORD(first), 0) << "scrolled";
            // The last character ends inside the field.
            const int last = static_cast<int>(form::steplist[item].size()) - 1;
            const LRESULT at = SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(last), 0);
            HDC dc = GetDC(edit);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
            SIZE extent{};
            GetTextExtentPoint32W(dc, L"z", 1, &extent);
            SelectObject(dc, old);
            ReleaseDC(edit, dc);
            EXPECT_LE(static_cast<short>(LOWORD(at)) + extent.cx, room.right) << "cut";
        }
    }
}

// Screen readers get each field's description from Form1's data, not its
// content. Wine's accessibility layer does not keep such names: there the
// test can only see that the program asked for them.
TEST_F(Form1Window, FieldsHaveTheirDescriptionsAsAccessibleNames) {
    for (const form::Control& c : form::controls) {
        if (c.description.empty()) continue;
        SCOPED_TRACE(std::string(c.name));
        IAccessible* accessible = nullptr;
        ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(control(std::string(c.name).c_str()), static_cast<DWORD>(OBJID_CLIENT),
                                                         IID_IAccessible, reinterpret_cast<void**>(&accessible))));
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        const HRESULT got = accessible->get_accName(self, &name);
        const std::string shown = name ? utf16::narrow(name) : "";
        SysFreeString(name);
        accessible->Release();
        if (wineversion()) {
            EXPECT_TRUE(SUCCEEDED(got));
        } else {
            EXPECT_EQ(shown, c.description);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    CoUninitialize();
    return status;
}
