// The page's channel-list panel: a list opened or dropped in the page goes
// through the list library in the page's worker (listwork.cpp, driven by
// panel.js), and every channel comes back as a row with its status, the
// messages above; the codes can be saved as CSV and printed as a sheet, or
// burnt into a memory image.
#pragma once

namespace web {

// Fills the panel's choices of steps and chips and the table's headings.
void createlistpanel();

}  // namespace web
