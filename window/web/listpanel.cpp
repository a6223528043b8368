#include "listpanel.h"

#include <emscripten/emscripten.h>

#include <string>

#include "dom.h"
#include "form/form1.h"
#include "image/layout.h"
#include "table/columns.h"

namespace web {

void createlistpanel() {
    std::string steps, chips;
    for (const std::string_view step : form::steplist) steps += "<option>" + escaped(step) + "</option>";
    for (const image::Chip& chip : image::chips) chips += "<option>" + escaped(chip.name) + "</option>";
    addmarkup("liststep", steps);
    addmarkup("chipname", chips);
    // The table's headings, in a person's words; each column's cells carry
    // its CSV name as their class.
    std::string headings = "<tr>";
    for (const table::Column& column : table::columns)
        headings += "<th" + attribute("class", "col-" + std::string(column.name)) + attribute("scope", "col") + ">" + escaped(column.heading) + "</th>";
    addmarkup("listhead", headings + "</tr>");
}

}  // namespace web

// Called by the page once it has read the panel's markup.
extern "C" EMSCRIPTEN_KEEPALIVE void freqcode_createlistpanel() { web::createlistpanel(); }
