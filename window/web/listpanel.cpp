#include "listpanel.h"

#include <emscripten/emscripten.h>

#include <string>

#include "dom.h"
#include "form/form1.h"
#include "image/layout.h"
#include "table/columns.h"

namespace web {

void createlistpanel() {
    for (const std::string_view step : form::steplist) add("option", "", "liststep", step);
    for (const image::Chip& chip : image::chips) add("option", "", "chipname", chip.name);
    // The table's headings, in a person's words; each column's cells carry
    // its CSV name as their class.
    add("tr", "listheadrow", "listhead");
    for (const table::Column& column : table::columns) {
        const std::string id = "heading-" + std::string(column.name);
        add("th", id, "listheadrow", column.heading);
        settextproperty(id, "className", "col-" + std::string(column.name));
        setattribute(id, "scope", "col");
    }
}

}  // namespace web

// Called by the page once it has read the panel's markup.
extern "C" EMSCRIPTEN_KEEPALIVE void freqcode_createlistpanel() { web::createlistpanel(); }
