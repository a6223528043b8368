#include "listpanel.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "dom.h"
#include "form/form1.h"
#include "image/layout.h"
#include "table/columns.h"

namespace web {

using emscripten::val;

void createlistpanel() {
    val steps = element("liststep");
    for (const std::string_view step : form::steplist) {
        val option = create("option");
        option.set("textContent", std::string(step));
        option.set("value", std::string(step));
        steps.call<void>("appendChild", option);
    }
    val chips = element("chipname");
    for (const image::Chip& chip : image::chips) {
        val option = create("option");
        option.set("textContent", std::string(chip.name));
        option.set("value", std::string(chip.name));
        chips.call<void>("appendChild", option);
    }
    // The table's headings, in a person's words; each column's cells carry
    // its CSV name as their class.
    val head = create("tr");
    for (const table::Column& column : table::columns) {
        val cell = create("th");
        cell.set("textContent", std::string(column.heading));
        cell.set("className", "col-" + std::string(column.name));
        cell.call<void>("setAttribute", std::string("scope"), std::string("col"));
        head.call<void>("appendChild", cell);
    }
    element("listhead").call<void>("appendChild", head);
}

}  // namespace web

// Called by the page once it has read the panel's markup.
EMSCRIPTEN_BINDINGS(freqcode_listpanel) { emscripten::function("createlistpanel", &web::createlistpanel); }
