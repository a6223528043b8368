// The page's channel-list panel: a list opened or dropped in the page goes
// through freqcode-table's own code (table::freqcodetable, compiled to
// WebAssembly), and every channel comes back as a row with its status, the
// messages below; the codes can be saved as CSV and printed as a sheet.
#pragma once

#include <string>

namespace web {

// Fills the panel's step choices and connects its print button.
void createlistpanel();

// A list the user opened (its file name and bytes), run at once.
void openlist(std::string name, std::string bytes);

// Runs the open list again with the panel's present choices.
void runlist();

}  // namespace web
