// Form1's control texts without any window: every control starts with its
// first text, as the window shows it at start.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "form/form1.h"
#include "form/form1events.h"

class FakeControls : public form::Controls {
public:
    FakeControls() {
        for (const form::Control& c : form::controls) texts[std::string(c.name)] = c.text;
    }
    std::string text(std::string_view name) const override { return texts.at(std::string(name)); }
    void settext(std::string_view name, std::string_view text) override { texts.at(std::string(name)) = text; }

    std::map<std::string, std::string> texts;
};
