#include "listpanel.h"

#include <emscripten/bind.h>
#include <emscripten/html5.h>
#include <emscripten/val.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dom.h"
#include "form/form1.h"
#include "table/beside.h"
#include "table/channel.h"
#include "table/cli.h"
#include "table/csvreader.h"

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
const char* const folder = "/lists";
std::string listname;

// What a stream written in memory holds, closing it.
class Memory {
public:
    Memory() : file(open_memstream(&data, &size)) {}
    ~Memory() { std::free(data); }
    std::FILE* file;
    std::string close() {
        std::fclose(file);
        return std::string(data, size);
    }

private:
    char* data = nullptr;
    std::size_t size = 0;
};

// The records of a CSV text, the header first.
std::vector<std::vector<std::string>> records(std::string csv) {
    std::vector<std::vector<std::string>> all;
    std::FILE* in = fmemopen(csv.data(), csv.size(), "rb");
    if (!in) return all;
    table::CsvReader reader(in);
    std::vector<std::string> fields;
    while (reader.next(fields) == table::CsvReader::Status::record) all.push_back(fields);
    std::fclose(in);
    return all;
}

void showrows(const std::vector<std::vector<std::string>>& rows) {
    val table = element("listrows");
    table.set("textContent", std::string());
    if (rows.empty()) return;
    val head = create("tr");
    for (const std::string& name : rows.front()) {
        val cell = withtext("th", name);
        cell.set("className", "col-" + name);
        cell.call<void>("setAttribute", std::string("scope"), std::string("col"));
        head.call<void>("appendChild", cell);
    }
    val thead = create("thead");
    thead.call<void>("appendChild", head);
    table.call<void>("appendChild", thead);
    val body = create("tbody");
    for (std::size_t r = 1; r < rows.size(); ++r) {
        val row = create("tr");
        if (!table::computed(rows[r].back())) row.set("className", std::string("failed"));
        for (std::size_t i = 0; i < rows[r].size() && i < rows.front().size(); ++i) {
            val cell = withtext("td", rows[r][i]);
            cell.set("className", "col-" + rows.front()[i]);
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

// Runs the list through freqcode-table's own code with the panel's choices.
void runlist() {
    if (listname.empty()) return;
    std::vector<std::string> args = {"--csv"};
    const std::string step = element("liststep")["value"].as<std::string>();
    if (element("listmode")["value"].as<std::string>() == "decode") args.push_back("--decode");
    else if (!step.empty()) args.insert(args.end(), {"--step", step});
    args.insert(args.end(), {"--", listname});
    Memory out, err;
    const int status = table::freqcodetable(args, {nullptr, out.file, err.file, false, false});
    const std::string csv = out.close(), messages = err.close();

    const auto rows = records(csv);
    std::size_t failed = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) failed += !table::computed(rows[r].back());
    const std::size_t channels = rows.empty() ? 0 : rows.size() - 1;
    element("listsummary")
        .set("textContent", listname + ": " +
                                (channels == 0 ? std::string("no channels")
                                               : std::to_string(channels) + (channels == 1 ? " channel" : " channels")) +
                                (failed > 0 ? ", " + std::to_string(failed) + " failed" : status == 0 ? ", all computed" : ""));
    element("listmessages").set("textContent", messages);
    showrows(rows);
    // Only this list's codes are offered: a file that gave none withdraws
    // the last one's.
    offer(csv, channels > 0);
    element("listprint").set("hidden", channels == 0);
}

void openlist(std::string name, std::string bytes) {
    // Only the name's last part, and no way out of the folder.
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    if (name.empty() || name == "." || name == "..") name = "list.csv";
    if (!listname.empty()) std::remove(listname.c_str());
    listname = name;
    if (std::FILE* out = std::fopen(listname.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    runlist();
}

void createlistpanel() {
    mkdir(folder, 0700);
    chdir(folder);
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
