#include "listpanel.h"

#include <emscripten/bind.h>
#include <emscripten/html5.h>
#include <emscripten/val.h>

#include <optional>
#include <string>
#include <vector>

#include "dom.h"
#include "form/form1.h"
#include "table/beside.h"
#include "table/bytes.h"
#include "table/channel.h"
#include "table/columns.h"
#include "table/decimal.h"
#include "table/messages.h"
#include "table/readlist.h"
#include "table/writer.h"

namespace web {
namespace {

using emscripten::val;

// A new element holding a text.
val withtext(const char* tag, const std::string& text) {
    val made = create(tag);
    made.set("textContent", text);
    return made;
}

// The list last opened: it stays in the page's memory only, never stored.
std::string listname, listbytes;

// A list's rows as values for the table, and as the CSV to save.
class PanelSink : public table::ListSink {
public:
    void start(bool, const std::optional<std::string>&) override { csv.header(); }
    void row(const table::Row& row) override {
        rows.push_back(row);
        csv.row(row.channel, row.status);
    }

    std::vector<table::Row> rows;
    table::StringSink saved;
    table::Writer csv{saved, table::Writer::Form::csv};
};

void showrows(const std::vector<table::Row>& rows) {
    val table = element("listrows");
    table.set("textContent", std::string());
    if (rows.empty()) return;
    val head = create("tr");
    for (const table::Column& column : table::columns) {
        val cell = withtext("th", std::string(column.name));
        cell.set("className", "col-" + std::string(column.name));
        cell.call<void>("setAttribute", std::string("scope"), std::string("col"));
        head.call<void>("appendChild", cell);
    }
    val thead = create("thead");
    thead.call<void>("appendChild", head);
    table.call<void>("appendChild", thead);
    val body = create("tbody");
    std::string scratch;
    for (const table::Row& listed : rows) {
        val row = create("tr");
        if (!listed.status.computed()) row.set("className", std::string("failed"));
        for (const table::Column& column : table::columns) {
            val cell = withtext("td", column.value(listed.channel, listed.status, scratch));
            cell.set("className", "col-" + std::string(column.name));
            row.call<void>("appendChild", cell);
        }
        body.call<void>("appendChild", row);
    }
    table.call<void>("appendChild", body);
}

// Offers the codes for saving as <list>-codes.csv, or, with no codes,
// withdraws what an earlier list offered.
void offer(const std::string& csv, bool any) {
    val link = element("listsave");
    const std::string old = link["href"].as<std::string>();
    if (old.rfind("blob:", 0) == 0) val::global("URL").call<void>("revokeObjectURL", old);
    link.call<void>("removeAttribute", std::string("href"));
    link.set("hidden", true);
    if (!any) return;
    val parts = val::array();
    parts.call<void>("push", csv);
    val options = val::object();
    options.set("type", std::string("text/csv"));
    link.set("href", val::global("URL").call<std::string>("createObjectURL", val::global("Blob").new_(parts, options)));
    link.set("download", table::codesname(listname, 1));
    link.set("hidden", false);
}

EM_BOOL printsheet(int, const EmscriptenMouseEvent*, void*) {
    val::global("window").call<void>("print");
    return EM_TRUE;
}

}  // namespace

// Runs the list through the list library with the panel's choices.
void runlist() {
    if (listname.empty()) return;
    table::ListOptions options;
    const std::string step = element("liststep")["value"].as<std::string>();
    if (element("listmode")["value"].as<std::string>() == "decode") options.decode = true;
    else if (step == table::autostep) options.step = table::autostep;
    else if (!step.empty()) options.step = table::steptext(step);

    table::MemorySource source(listbytes);
    PanelSink rows;
    table::StringSink messages;
    table::ListMessages said(messages, listname, rows);
    const table::ListEnd end = table::readlist(source, options, said);
    const int status = said.finish(end);
    rows.csv.flush();

    const std::size_t channels = rows.rows.size();
    const long failed = end.summary.failed;
    element("listsummary")
        .set("textContent", listname + ": " +
                                (channels == 0 ? std::string("no channels")
                                               : std::to_string(channels) + (channels == 1 ? " channel" : " channels")) +
                                (failed > 0 ? ", " + std::to_string(failed) + " failed" : status == 0 ? ", all computed" : ""));
    element("listmessages").set("textContent", messages.text());
    showrows(rows.rows);
    // Only this list's codes are offered: a file that gave none withdraws
    // the last one's.
    offer(rows.saved.text(), channels > 0);
    element("listprint").set("hidden", channels == 0);
}

void openlist(std::string name, std::string bytes) {
    // Only the name's last part: it names the codes file.
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    if (name.empty() || name == "." || name == "..") name = "list.csv";
    listname = std::move(name);
    listbytes = std::move(bytes);
    runlist();
}

void createlistpanel() {
    val steps = element("liststep");
    for (const std::string_view step : form::steplist) {
        val option = withtext("option", std::string(step));
        option.set("value", std::string(step));
        steps.call<void>("appendChild", option);
    }
    emscripten_set_click_callback("#listprint", nullptr, EM_FALSE, printsheet);
}

}  // namespace web

EMSCRIPTEN_BINDINGS(freqcode_lists) {
    emscripten::function("openlist", &web::openlist);
    emscripten::function("runlist", &web::runlist);
}
