#include "form1events.h"

#include "form1.h"

namespace form {

void Form1Events::Combo1_Click() {
    stepstr = controls_.text("Combo1");
    for (const Side& side : {receiveside, transmitside}) {
        controls_.settext(side.abox, aplaceholder);
        controls_.settext(side.bbox, bplaceholder);
        controls_.settext(side.rbox, bplaceholder);
    }
}

void Form1Events::Combo1_LostFocus() {
    // Before any pick the step is the one Combo1 showed at start.
    controls_.settext("Combo1", stepstr.empty() ? control("Combo1")->text : std::string_view(stepstr));
}

void Form1Events::Command1_Click() { showcodes(receiveside); }

void Form1Events::Command2_Click() { showcodes(transmitside); }

bool Form1Events::click(std::string_view button) {
    if (button == receiveside.button) Command1_Click();
    else if (button == transmitside.button) Command2_Click();
    else return false;
    return true;
}

void Form1Events::showcodes(const Side& side) {
    const auto result = calc::calccodes(side.direction, stepstr, controls_.text(side.freq));
    switch (result.outcome) {
        case calc::Outcome::codes:
            controls_.settext(side.abox, result.codes.acode);
            controls_.settext(side.bbox, result.codes.bcode);
            controls_.settext(side.rbox, result.codes.rcode);
            break;
        case calc::Outcome::offstep:
            controls_.settext(side.abox, aplaceholder);
            controls_.settext(side.bbox, bplaceholder);
            controls_.settext(side.rbox, bplaceholder);
            break;
        case calc::Outcome::outofrange:
            break;  // the boxes keep what they showed
    }
}

}  // namespace form
