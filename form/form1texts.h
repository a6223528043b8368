// Every text a control of Form1 can show, so that a toolkit can choose a
// font in which each of them fits its control, and a test can check it.
#pragma once

#include <string>
#include <vector>

#include "form1.h"

namespace form {

// For a code box: its placeholder and every code its side can give (all 64
// A codes, all B codes of the working range, the five R codes); for the
// step selector, its list; for a frequency box, its first text and the
// longest frequencies it takes (nine characters: "430006.25"); for any
// other control, its first text.
std::vector<std::string> textsof(const Control& control);

}  // namespace form
