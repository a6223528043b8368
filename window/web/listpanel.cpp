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
#include "image/image.h"
#include "image/layout.h"
#include "table/decimal.h"
#include "table/imagesink.h"
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

// The panel's choices of steps and work.
table::ListOptions listoptions() {
    table::ListOptions options;
    const std::string step = element("liststep")["value"].as<std::string>();
    if (element("listmode")["value"].as<std::string>() == "decode") options.decode = true;
    else if (step == table::autostep) options.step = table::autostep;
    else if (!step.empty()) options.step = table::steptext(step);
    return options;
}

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

// The chip's dump last opened, kept in memory as the list is.
std::string dumpname, dumpbytes;

// The layout and chip the fields give; problems go to the chip's messages.
std::optional<table::ImageOptions> chipoptions(std::string& problems) {
    table::ImageOptions options;
    const std::pair<const char*, const char*> fields[] = {{"--rx-at", "rxat"}, {"--tx-at", "txat"}, {"--stride", "stride"},
                                                          {"--first", "first"}, {"--fill", "fill"},
                                                          {"--high-nibble", "highnibble"}, {"--chip", "chipname"}};
    for (const auto& [option, id] : fields) {
        const std::string value = element(id)["value"].as<std::string>();
        if (value.empty()) continue;
        if (const std::string problem = table::setimageoption(options, option, value); !problem.empty())
            problems += problem + "\n";
    }
    if (!problems.empty()) return std::nullopt;
    return options;
}

// Offers bytes as a file to save, under a name.
void download(const std::string& bytes, const std::string& name, const char* type) {
    val parts = val::array();
    parts.call<void>("push", val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data()))));
    val options = val::object();
    options.set("type", std::string(type));
    const std::string url = val::global("URL").call<std::string>("createObjectURL", val::global("Blob").new_(parts, options));
    val link = create("a");
    link.set("href", url);
    link.set("download", name);
    link.call<void>("click");
    val::global("setTimeout").call<void>("call", val::null(), val::global("URL")["revokeObjectURL"].call<val>("bind", val::global("URL"), url), 1000);
}

// The dump's channels under the fields' layout, in the table.
void showdump() {
    std::string problems;
    const auto options = chipoptions(problems);
    element("chipmessages").set("textContent", problems);
    if (!options || dumpname.empty()) return;
    PanelSink rows;
    table::StringSink messages;
    table::ListMessages said(messages, dumpname, rows, "location");
    const table::ListEnd end = table::readdump(dumpbytes, *options, said);
    said.finish(end);
    element("listsummary").set("textContent", dumpname + ": " + std::to_string(rows.rows.size()) + " channels on the chip");
    element("chipmessages").set("textContent", messages.text());
    showrows(rows.rows);
    offer(rows.saved.text(), false);
}

EM_BOOL findlayout(int, const EmscriptenMouseEvent*, void*) {
    std::string problems;
    const auto options = chipoptions(problems);
    if (!options || dumpname.empty()) {
        element("chipmessages").set("textContent", dumpname.empty() ? std::string("Open a chip's dump first.") : problems);
        return EM_TRUE;
    }
    std::string problem;
    const auto found = table::findlayouts(dumpbytes, *options, problem);
    if (found.empty()) {
        element("chipmessages").set("textContent", dumpname + ": " + problem);
        return EM_TRUE;
    }
    std::string ranked = "Layouts, best first (locations with both blocks codes of one step, and with one):\n";
    for (const auto& c : found)
        ranked += "  receive at " + std::to_string(c.layout.rxat) + ", transmit at " + std::to_string(c.layout.txat) +
                  ", stride " + std::to_string(c.layout.stride) + ": " + std::to_string(c.both) + " and " +
                  std::to_string(c.one) + "\n";
    element("rxat").set("value", std::to_string(found.front().layout.rxat));
    element("txat").set("value", std::to_string(found.front().layout.txat));
    element("stride").set("value", std::to_string(found.front().layout.stride));
    element("first").set("value", std::string("0"));
    showdump();
    element("chipmessages").set("textContent",
                                ranked + "The table shows the channels under the first: check them against the radio's.\n" +
                                    element("chipmessages")["textContent"].as<std::string>());
    return EM_TRUE;
}

// The list's codes as an image, saved as <list>.bin or .hex.
void saveimage(image::Format format) {
    std::string problems;
    auto options = chipoptions(problems);
    if (!options || listname.empty()) {
        element("chipmessages").set("textContent", listname.empty() ? std::string("Open a channel list first.") : problems);
        return;
    }
    const bool into = element("intodump")["checked"].as<bool>() && !dumpname.empty();
    options->into = into ? dumpname : std::string();
    options->file = listname;
    table::MemorySource source(listbytes);
    PanelSink rows;
    table::ImageSink image(rows);
    table::StringSink messages;
    table::ListMessages said(messages, listname, image);
    const table::ListEnd end = table::readlist(source, listoptions(), said);
    const int status = said.finish(end);
    const auto bytes = end.kind == table::ListEnd::Kind::read ? image.build(*options, into ? &dumpbytes : nullptr, status == 0, messages)
                                                                : std::nullopt;
    element("chipmessages").set("textContent", messages.text());
    if (!bytes) return;
    const std::size_t dot = listname.rfind('.');
    const std::string base = dot == std::string::npos || dot == 0 ? listname : listname.substr(0, dot);
    download(image::write(*bytes, format), base + (format == image::Format::bin ? ".bin" : ".hex"),
             format == image::Format::bin ? "application/octet-stream" : "text/plain");
}

EM_BOOL saveimagebin(int, const EmscriptenMouseEvent*, void*) {
    saveimage(image::Format::bin);
    return EM_TRUE;
}
EM_BOOL saveimagehex(int, const EmscriptenMouseEvent*, void*) {
    saveimage(image::Format::ihex);
    return EM_TRUE;
}

EM_BOOL printsheet(int, const EmscriptenMouseEvent*, void*) {
    val::global("window").call<void>("print");
    return EM_TRUE;
}

}  // namespace

// Runs the list through the list library with the panel's choices.
void runlist() {
    if (listname.empty()) return;
    const table::ListOptions options = listoptions();

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
    emscripten_set_click_callback("#findlayout", nullptr, EM_FALSE, findlayout);
    emscripten_set_click_callback("#saveimagebin", nullptr, EM_FALSE, saveimagebin);
    emscripten_set_click_callback("#saveimagehex", nullptr, EM_FALSE, saveimagehex);
    val chips = element("chipname");
    for (const char* name : {"2708", "2716", "2732", "2764", "27128", "27256", "27512", "74S287", "82S129", "82S131", "82S137"}) {
        val option = withtext("option", name);
        option.set("value", std::string(name));
        chips.call<void>("appendChild", option);
    }
}

void opendump(std::string name, std::string bytes) {
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    dumpname = name.empty() ? "dump.bin" : std::move(name);
    dumpbytes = std::move(bytes);
    showdump();
}

}  // namespace web

EMSCRIPTEN_BINDINGS(freqcode_lists) {
    emscripten::function("openlist", &web::openlist);
    emscripten::function("runlist", &web::runlist);
    emscripten::function("opendump", &web::opendump);
}
