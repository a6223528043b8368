// Form1, the tool's one window, as data: its caption, picture, icon and
// sixteen controls with their places (in twips from the client area's
// top-left corner), first texts and Tab order. Each window toolkit creates
// its controls from this; none of it is written down anywhere else.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include "calc/codes.h"

namespace form {

inline constexpr std::string_view caption = "DIDORE/U FREQUENCY CODE EDIT BY ORLISK";

// Twips per pixel on a 96-DPI screen, and per inch on any screen.
inline constexpr int twipsperpixel = 15;
inline constexpr int twipsperinch = 1440;

// The client area; the picture is drawn unscaled at its top-left corner.
// On a screen scaled above 1, its twin of twice the pixels is drawn in its
// place instead, smoothly scaled to the screen's pixels there.
inline constexpr int clientwidth = 6390, clientheight = 4380;
inline constexpr std::string_view picture = "radio.jpg";       // JPEG
inline constexpr std::string_view picture2x = "radio-2x.jpg";  // JPEG
inline constexpr int picturewidth = 429, pictureheight = 226;  // picture's pixels; picture2x has twice as many each way
inline constexpr std::string_view icon = "icon";           // 32 x 32 pixels, 16 colours

enum class Kind { label, button, textbox, combobox };

struct Control {
    std::string_view name;
    Kind kind;
    int left, top, width, height;
    std::string_view text;  // the first text or caption
    int tabindex;
    bool readonly;                  // a code box: the program's output
    std::string_view description;   // what the control is, for screen readers
};

inline constexpr std::array<Control, 14> controls = {{
    {"Label3", Kind::label, 240, 3600, 495, 255, "step", 13, false, ""},
    {"Command2", Kind::button, 1320, 3600, 855, 255, "send", 8, false, ""},
    {"Text18", Kind::textbox, 2280, 3585, 855, 270, "430000", 7, false, "transmit frequency, kHz"},
    {"Label1", Kind::label, 3240, 3600, 375, 255, "kHz", 11, false, ""},
    {"Command1", Kind::button, 3840, 3600, 855, 255, "receive", 2, false, ""},
    {"Text17", Kind::textbox, 4800, 3600, 855, 270, "430000", 6, false, "receive frequency, kHz"},
    {"Label2", Kind::label, 5760, 3600, 375, 255, "kHz", 12, false, ""},
    {"Combo1", Kind::combobox, 120, 3960, 1095, 300, "5kHz", 9, false, "channel step"},
    {"Text1", Kind::textbox, 1320, 3960, 615, 270, "****", 0, true, "transmit A code"},
    {"Text2", Kind::textbox, 2040, 3960, 855, 270, "******", 1, true, "transmit B code"},
    {"Text3", Kind::textbox, 3000, 3960, 735, 270, "******", 3, true, "transmit R code"},
    {"Text9", Kind::textbox, 3840, 3960, 615, 270, "****", 4, true, "receive A code"},
    {"Text10", Kind::textbox, 4560, 3960, 855, 270, "******", 5, true, "receive B code"},
    {"Text11", Kind::textbox, 5520, 3960, 735, 270, "******", 10, true, "receive R code"},
}};

// The two vertical lines between the three columns, by their end points.
struct Line {
    std::string_view name;
    int x1, y1, x2, y2;
};
inline constexpr std::array<Line, 2> lines = {{
    {"Line1", 1200, 3600, 1200, 4320},
    {"Line2", 3720, 3600, 3720, 4320},
}};

// Combo1's list, in its order; the first item is what it shows at start.
inline constexpr std::array<std::string_view, calc::steps.size()> steplist = [] {
    std::array<std::string_view, calc::steps.size()> list{};
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = calc::steps[list.size() - 1 - i].text;  // finest first
    return list;
}();

// The controls that take the keyboard focus, in Tab order.
// The controls a user can tab to: all but the labels.
inline constexpr std::size_t tabstops =
    static_cast<std::size_t>(std::count_if(controls.begin(), controls.end(), [](const Control& c) { return c.kind != Kind::label; }));
std::array<const Control*, tabstops> taborder();

// The control of this name, or nullptr.
const Control* control(std::string_view name);

}  // namespace form
