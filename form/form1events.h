// Form1's three event handlers and the step they remember, written once
// for every window toolkit: a toolkit only forwards a pick from Combo1's
// list and the two button clicks, and reads and sets control texts for them.
#pragma once

#include <string>
#include <string_view>

#include "calc/codes.h"

namespace form {

// The texts of a window's controls, by control name, in UTF-8.
class Controls {
public:
    virtual ~Controls() = default;
    virtual std::string text(std::string_view name) const = 0;
    virtual void settext(std::string_view name, std::string_view text) = 0;
};

inline constexpr std::string_view aplaceholder = "****";    // an A box without a code
inline constexpr std::string_view bplaceholder = "******";  // a B or R box without a code

// Each direction's button, frequency entry and three code boxes.
struct Side {
    calc::Direction direction;
    std::string_view button, freq, abox, bbox, rbox;
};
inline constexpr Side receiveside = {calc::Direction::receive, "Command1", "Text17", "Text9", "Text10", "Text11"};
inline constexpr Side transmitside = {calc::Direction::transmit, "Command2", "Text18", "Text1", "Text2", "Text3"};

class Form1Events {
public:
    explicit Form1Events(Controls& texts) : controls_(texts) {}

    void Combo1_Click();    // a step picked from Combo1's list
    // The user left Combo1's field (the focus moved away, or Enter in it):
    // whatever was typed there, it shows the step in effect again. Typed
    // text never becomes the step.
    void Combo1_LostFocus();
    void Command1_Click();  // "receive"
    void Command2_Click();  // "send"

    // A click on the button of this name, forwarded to its handler; false
    // for a name that is no button.
    bool click(std::string_view button);


private:
    void showcodes(const Side& side);

    Controls& controls_;
    // The step text last picked from Combo1's list; empty until the first
    // pick, which the calculation reads as 5 kHz, the step Combo1 shows.
    std::string stepstr;
};

}  // namespace form
