#include "form1.h"

#include <algorithm>

namespace form {

std::array<const Control*, tabstops> taborder() {
    std::array<const Control*, tabstops> order{};
    auto next = order.begin();
    for (const Control& c : controls)
        if (c.kind != Kind::label) *next++ = &c;
    std::sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->tabindex < b->tabindex; });
    return order;
}

const Control* control(std::string_view name) {
    const auto found = std::find_if(controls.begin(), controls.end(), [&](const Control& c) { return c.name == name; });
    return found == controls.end() ? nullptr : &*found;
}

}  // namespace form
