// Form1's event handlers and content, without any window toolkit.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fakecontrols.h"

namespace {

using Codes = std::vector<std::string>;

const Codes placeholders = {"****", "******", "******", "****", "******", "******"};

struct Form1Events : ::testing::Test {
    FakeControls controls;
    form::Form1Events events{controls};

    // Picks a step from Combo1's list: the list puts it in the field first.
    void pick(std::string_view step) {
        controls.settext("Combo1", step);
        events.Combo1_Click();
    }
    // The six code boxes: transmit A, B, R, then receive A, B, R.
    Codes codes() const {
        Codes all;
        for (const char* name : {"Text1", "Text2", "Text3", "Text9", "Text10", "Text11"}) all.push_back(controls.text(name));
        return all;
    }
};

TEST_F(Form1Events, FollowTheWindowsRules) {
    EXPECT_EQ(codes(), placeholders);
    events.Command1_Click();
    EXPECT_EQ(codes(), Codes({"****", "******", "******", "F0F1", "FCFFF4", "F6F9F0"}));
    EXPECT_TRUE(events.click("Command2"));
    EXPECT_EQ(codes(), Codes({"F0F3", "FFF3F5", "F6F9F0", "F0F1", "FCFFF4", "F6F9F0"}));
    EXPECT_FALSE(events.click("Text1"));

    pick("12.5kHz");
    EXPECT_EQ(codes(), placeholders);
    controls.settext("Text18", "145000");
    events.Command2_Click();
    EXPECT_EQ(codes(), Codes({"F0F1", "F5FBF0", "FCF3F0", "****", "******", "******"}));

    // Off the raster: placeholders, even over codes.
    pick("5kHz");
    events.Command1_Click();
    controls.settext("Text17", "430002");
    events.Command1_Click();
    EXPECT_EQ(codes(), placeholders);

    // Out of range: nothing changes.
    for (const char* freq : {"29000", "500000", ""}) {
        controls.settext("Text18", "430000");
        events.Command2_Click();
        const Codes before = codes();
        controls.settext("Text18", freq);
        events.Command2_Click();
        EXPECT_EQ(codes(), before) << freq;
    }

    // Typing a step is no pick.
    controls.settext("Combo1", "25kHz");
    controls.settext("Text18", "430000");
    events.Command2_Click();
    EXPECT_EQ(controls.text("Text3"), "F6F9F0") << "still 5 kHz";
}

// Hundreds of random picks, edits and presses: after each, every code box
// holds its placeholder or exactly what calccodes gives for its side's last
// press, as a small model of the window's rules says.
TEST_F(Form1Events, RandomSequencesFollowTheRules) {
    const std::vector<std::string> frequencies = {"430000", "145000", "430006.25", "438500", "430002", "29000",
                                                  "500000", "", " 430 000", "4.3E5", "145012.5", "abc", "&H68FB0"};
    std::mt19937 random(20261207);  // fixed, so a failure can be replayed
    const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    std::string step;  // empty until the first pick
    Codes tx = {"****", "******", "******"}, rx = tx;
    for (int action = 0; action < 2000; ++action) {
        const form::Side& side = below(2) ? form::transmitside : form::receiveside;
        Codes& boxes = &side == &form::transmitside ? tx : rx;
        switch (below(5)) {
            case 0:
                step = form::steplist[below(form::steplist.size())];
                pick(step);
                tx = rx = {"****", "******", "******"};
                break;
            case 1:
                controls.settext("Combo1", form::steplist[below(form::steplist.size())].substr(0, below(8)));
                break;
            case 2:
                controls.settext(side.freq, frequencies[below(frequencies.size())]);
                break;
            case 3:  // leaving the step box shows the step in effect, whatever was typed
                events.Combo1_LostFocus();
                ASSERT_EQ(controls.text("Combo1"), step.empty() ? "5kHz" : step) << "action " << action;
                break;
            default: {
                events.click(side.button);
                const auto result = calc::calccodes(side.direction, step, controls.text(side.freq));
                if (result.outcome == calc::Outcome::codes) boxes = {result.codes.acode, result.codes.bcode, result.codes.rcode};
                if (result.outcome == calc::Outcome::offstep) boxes = {"****", "******", "******"};
            }
        }
        Codes expected = tx;
        expected.insert(expected.end(), rx.begin(), rx.end());
        ASSERT_EQ(codes(), expected) << "action " << action;
    }
}

// The description itself: a typo in a coordinate or a Tab index shows.
TEST(Form1Content, ControlsFitTheWindowWithoutOverlapping) {
    std::vector<bool> tabindexes(form::controls.size());
    for (const form::Control& a : form::controls) {
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.left + a.width <= form::clientwidth &&
                    a.top + a.height <= form::clientheight)
            << a.name;
        for (const form::Control& b : form::controls) {
            const bool apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                               a.top + a.height <= b.top || b.top + b.height <= a.top;
            EXPECT_TRUE(&a == &b || apart) << a.name << " overlaps " << b.name;
        }
        ASSERT_LT(static_cast<std::size_t>(a.tabindex), tabindexes.size()) << a.name;
        EXPECT_FALSE(tabindexes[static_cast<std::size_t>(a.tabindex)]) << "Tab index " << a.tabindex << " twice";
        tabindexes[static_cast<std::size_t>(a.tabindex)] = true;
    }
    EXPECT_EQ(form::steplist.front(), form::control("Combo1")->text);
}

}  // namespace
