// Form1 in a web page: its controls created as page elements from Form1's
// description (places, texts, Tab order, accessible names), the list pick
// and the two button clicks forwarded to its handlers. Element ids are the
// control names; a text box is an <input> whose value is the box's text.
#pragma once

#include <string>
#include <string_view>

#include "form/form1events.h"

namespace web {

// The control texts the handlers read and set: the inputs' values.
class Texts : public form::Controls {
public:
    std::string text(std::string_view name) const override;
    void settext(std::string_view name, std::string_view text) override;
};

// Builds Form1 inside the page's element "Form1-frame", with the picture
// that element names (data-picture, a srcset).
void createform1();

}  // namespace web
