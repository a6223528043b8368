// The list panel's work, done in the page's Web Worker so that the page
// stays responsive however long a list is. Each request (a list to read, an
// image to make, a chip's dump to read or to find the layout of) goes
// through the list library; rows go back to the page in batches as they
// come, with the share of the bytes read, and the end with the summary, the
// messages and the codes to save.
#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "image/image.h"
#include "image/layout.h"
#include "table/bytes.h"
#include "table/channel.h"
#include "table/columns.h"
#include "table/encoding.h"
#include "table/imagesink.h"
#include "table/messages.h"
#include "table/readlist.h"
#include "table/writer.h"

namespace web {
namespace {

using emscripten::val;

// The page speaks of its own fields, and names no program: the messages
// are the page's own.
const table::Voice pagevoice{"",
                             {{"give --chip", "choose its chip"},
                              {"; --chip chooses another", ""},
                              {"--chip", "Chip"},
                              {"--rx-at", "Receive block at"},
                              {"--tx-at", "Transmit block at"},
                              {"--stride", "Stride"},
                              {"--first", "First location"},
                              {"--fill", "Fill"},
                              {"--high-nibble", "High nibble"}}};

// Bytes as a Uint8Array of their own, for the page.
val bytesarray(const std::string& bytes) {
    return val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data()))).call<val>("slice");
}

// Numbers as a Uint32Array of their own.
val numbersarray(const std::vector<std::uint32_t>& numbers) {
    return val(emscripten::typed_memory_view(numbers.size(), numbers.data())).call<val>("slice");
}

// A Uint8Array's bytes.
std::string bytesof(const val& array) {
    std::string bytes(array["length"].as<std::size_t>(), '\0');
    val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<unsigned char*>(bytes.data()))).call<void>("set", array);
    return bytes;
}

// Posts a message to the page, handing over the buffers of the arrays named.
void post(const val& message, std::initializer_list<const char*> handed = {}) {
    val transfer = val::array();
    for (const char* name : handed)
        if (!message[name].isNull() && !message[name].isUndefined()) transfer.call<void>("push", message[name]["buffer"]);
    val::global().call<void>("postMessage", message, transfer);
}

std::string field(const val& fields, const char* name) { return fields[name].as<std::string>(); }

// The panel's choices of steps and work.
table::ListOptions listoptions(const val& fields) {
    table::ListOptions options;
    const std::string step = field(fields, "liststep");
    if (field(fields, "listmode") == "decode") options.decode = true;
    else if (step == table::autostep) options.step = table::autostep;
    else if (!step.empty()) options.step = table::steptext(step);
    return options;
}

// The layout and chip the fields give; what is wrong with them goes to
// problems, a line each.
std::optional<table::ImageOptions> chipoptions(const val& fields, std::string& problems) {
    table::ImageOptions options;
    const std::pair<const char*, const char*> given[] = {{"--rx-at", "rxat"}, {"--tx-at", "txat"}, {"--stride", "stride"},
                                                         {"--first", "first"}, {"--fill", "fill"},
                                                         {"--high-nibble", "highnibble"}, {"--chip", "chipname"}};
    for (const auto& [option, name] : given) {
        const std::string value = field(fields, name);
        if (value.empty()) continue;
        if (const std::string problem = table::setimageoption(options, option, value); !problem.empty())
            problems += table::spoken(problem, pagevoice) + "\n";
    }
    if (!problems.empty()) return std::nullopt;
    return options;
}

// A source that tells the page how much of it has been read, now and then
// while no rows come.
class Counted : public table::Source {
public:
    explicit Counted(std::string_view bytes) : bytes_(bytes), inner_(bytes) {}
    std::size_t read(char* data, std::size_t size) override {
        const std::size_t n = inner_.read(data, size);
        done_ += n;
        if (const double now = emscripten_get_now(); now - told_ > 100) {
            told_ = now;
            val message = val::object();
            message.set("type", std::string("progress"));
            message.set("done", static_cast<double>(done_));
            message.set("total", static_cast<double>(bytes_.size()));
            post(message);
        }
        return n;
    }
    std::size_t done() const { return done_; }
    std::size_t total() const { return bytes_.size(); }
    void told() { told_ = emscripten_get_now(); }

private:
    std::string_view bytes_;
    table::MemorySource inner_;
    std::size_t done_ = 0;
    double told_ = emscripten_get_now();
};

// Rows for the page's table, in batches: each row's cells as one line of
// text (cells apart by 0x1F, rows ended by 0x1E, values with no character
// of those or any other that shows as nothing), where in the batch's text
// each row ends (just past its 0x1E), and a byte for its kind: 'o'
// computed, 'r' receive only, 'f' failed. The page keeps the batches as
// they come and makes text of a row only to draw it. With csv, the codes
// to save as well, as a file for a person, as the native program's --excel
// writes.
class Batches : public table::ListSink {
public:
    Batches(Counted* source, bool csv) : source_(source), csv_(csv) {}
    void start(bool stepcolumn, const std::optional<std::string>& step, char separator) override {
        saved_rows_.start(stepcolumn, step, separator);
    }
    void row(const table::Row& row) override {
        for (const table::Column& column : table::columns) {
            const std::string& value = column.value(row.channel, row.status, scratch_);
            if (column.plain) cells_ += value;
            else table::appendterminaltext(cells_, value);
            cells_ += '\x1f';
        }
        cells_.back() = '\x1e';
        ends_.push_back(static_cast<std::uint32_t>(cells_.size()));
        kinds_ += row.status.kind == table::Status::Kind::ok ? 'o' : row.status.kind == table::Status::Kind::receiveonly ? 'r' : 'f';
        if (csv_) saved_rows_.row(row);
        ++count_;
        // Small batches first, so that the first rows show at once; larger
        // ones after, so that a long list costs the page few messages.
        if (kinds_.size() >= batch_) {
            flush();
            if (batch_ < 16384) batch_ *= 4;
        }
    }
    void flush() {
        if (kinds_.empty()) return;
        val message = val::object();
        message.set("type", std::string("rows"));
        message.set("cells", bytesarray(cells_));
        message.set("ends", numbersarray(ends_));
        message.set("kinds", bytesarray(kinds_));
        if (source_) {
            message.set("done", static_cast<double>(source_->done()));
            message.set("total", static_cast<double>(source_->total()));
            source_->told();
        }
        post(message, {"cells", "ends", "kinds"});
        cells_.clear();
        ends_.clear();
        kinds_.clear();
    }
    // The codes as CSV, once every row is in.
    std::string csv() {
        saved_rows_.finish();
        return saved_.take();
    }
    long count() const { return count_; }

private:
    Counted* source_;
    bool csv_;
    std::string cells_, kinds_, scratch_;
    std::vector<std::uint32_t> ends_;
    std::size_t batch_ = 256;
    long count_ = 0;
    table::StringSink saved_;
    table::ListWriter saved_rows_{saved_, table::Writer::Form::csv, true};
};

// "channels.csv: 12 channels, 3 failed".
std::string summary(const std::string& name, long channels, long failed, bool allcomputed) {
    return name + ": " +
           (channels == 0 ? std::string("no channels") : std::to_string(channels) + (channels == 1 ? " channel" : " channels")) +
           (failed > 0 ? ", " + std::to_string(failed) + " failed" : allcomputed && channels > 0 ? ", all computed" : "");
}

// The end of a request: the summary, the list's messages (the first of
// them to show, and all of them, as bytes, to save when there are more),
// the chip's, and the codes to save.
void postend(const std::string& summarytext, const std::string& messages, const std::string& chip, long channels,
             std::optional<std::string> csv) {
    constexpr long shown = 200;
    long lines = 0;
    std::size_t cut = messages.size();
    for (std::size_t at = 0; (at = messages.find('\n', at)) != std::string::npos; ++at)
        if (++lines == shown) cut = at + 1;
    val message = val::object();
    message.set("type", std::string("end"));
    message.set("summary", summarytext);
    message.set("messages", messages.substr(0, cut));
    message.set("messagelines", static_cast<double>(lines));
    message.set("allmessages", lines > shown ? bytesarray(messages) : val::null());
    message.set("chip", chip);
    message.set("channels", static_cast<double>(channels));
    message.set("csv", csv ? bytesarray(*csv) : val::null());
    post(message, {"csv", "allmessages"});
}

void readthelist(const val& request) {
    const std::string name = request["name"].as<std::string>(), bytes = bytesof(request["bytes"]);
    Counted source(bytes);
    Batches rows(&source, true);
    table::StringSink messages;
    // Every named line is said: the page has room for them all.
    table::ListMessages said(messages, name, rows, "line", pagevoice, 0);
    const table::ListEnd end = table::readlist(source, listoptions(request["fields"]), said);
    said.finish(end);
    rows.flush();
    const long channels = rows.count();
    postend(summary(name, channels, end.summary.failed, end.kind == table::ListEnd::Kind::read && end.summary.allcomputed()),
            messages.text(), "", channels, channels > 0 ? std::optional<std::string>(rows.csv()) : std::nullopt);
}

// The dump's channels under the fields' layout, for the table; the chip's
// messages come first.
void readthedump(const val& request, const std::string& before) {
    std::string problems;
    const auto options = chipoptions(request["fields"], problems);
    if (!options) return postend("", "", before + problems, 0, std::nullopt);
    const std::string name = request["dumpname"].as<std::string>(), bytes = bytesof(request["dump"]);
    Batches rows(nullptr, false);
    table::StringSink messages;
    table::ListMessages said(messages, name, rows, "location", pagevoice, 0);
    const table::ListEnd end = table::readdump(bytes, *options, said);
    said.finish(end);
    rows.flush();
    postend(name + ": " + std::to_string(rows.count()) + " channels on the chip", "", before + messages.text(), rows.count(),
            std::nullopt);
}

void findthelayout(const val& request) {
    std::string problems;
    const auto options = chipoptions(request["fields"], problems);
    if (!options) return postend("", "", problems, 0, std::nullopt);
    const std::string name = request["dumpname"].as<std::string>();
    std::string problem;
    const auto found = table::findlayouts(bytesof(request["dump"]), *options, problem);
    if (found.empty()) return postend("", "", name + ": " + table::spoken(problem, pagevoice) + "\n", 0, std::nullopt);
    std::string ranked = "Layouts, best first (locations with both blocks codes of one step, and with one):\n";
    for (const auto& c : found)
        ranked += "  receive at " + std::to_string(c.layout.rxat) + ", transmit at " + std::to_string(c.layout.txat) +
                  ", stride " + std::to_string(c.layout.stride) + ": " + std::to_string(c.both) + " and " +
                  std::to_string(c.one) + "\n";
    val fields = request["fields"];
    val chosen = val::object();
    chosen.set("type", std::string("fields"));
    for (const auto& [key, value] : {std::pair<const char*, std::size_t>{"rxat", found.front().layout.rxat},
                                     {"txat", found.front().layout.txat},
                                     {"stride", found.front().layout.stride},
                                     {"first", 0}}) {
        fields.set(key, std::to_string(value));
        chosen.set(key, std::to_string(value));
    }
    post(chosen);
    readthedump(request, ranked + "The table shows the channels under the first: check them against the radio's.\n");
}

// The list's codes as an image, offered as <list>.bin or .hex.
void maketheimage(const val& request) {
    std::string problems;
    auto options = chipoptions(request["fields"], problems);
    if (!options) return postend("", "", problems, 0, std::nullopt);
    const std::string name = request["name"].as<std::string>(), bytes = bytesof(request["bytes"]);
    const bool into = !request["dump"].isNull();
    const std::string dump = into ? bytesof(request["dump"]) : std::string();
    if (into) options->into = request["dumpname"].as<std::string>();
    options->file = name;
    table::MemorySource source(bytes);
    Batches rows(nullptr, false);
    table::ImageSink image(rows);
    table::StringSink messages;
    table::ListMessages said(messages, name, image, "line", pagevoice);
    const table::ListEnd end = table::readlist(source, listoptions(request["fields"]), said);
    const int status = said.finish(end);
    const auto made = end.kind == table::ListEnd::Kind::read
                          ? image.build(*options, into ? &dump : nullptr, status == 0, messages, pagevoice)
                          : std::nullopt;
    if (made) {
        const auto format = request["format"].as<std::string>() == "bin" ? image::Format::bin : image::Format::ihex;
        const std::size_t dot = name.rfind('.');
        const std::string base = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
        val file = val::object();
        file.set("type", std::string("file"));
        file.set("name", base + (format == image::Format::bin ? ".bin" : ".hex"));
        file.set("mime", std::string(format == image::Format::bin ? "application/octet-stream" : "text/plain"));
        file.set("bytes", bytesarray(image::write(*made, format)));
        post(file, {"bytes"});
    }
    postend("", "", messages.text(), 0, std::nullopt);
}

}  // namespace

// One request from the page; its answers are posted back as they come.
void work(val request) {
    const std::string op = request["op"].as<std::string>();
    if (op == "list") readthelist(request);
    else if (op == "dump") readthedump(request, "");
    else if (op == "find") findthelayout(request);
    else if (op == "image") maketheimage(request);
}

}  // namespace web

EMSCRIPTEN_BINDINGS(freqcode_listwork) { emscripten::function("work", &web::work); }
