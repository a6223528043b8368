// The list panel's work, done in the page's Web Worker so that the page
// stays responsive however long a list is. Each request (a list to read, an
// image to make, a chip's dump to read or to find the layout of) goes
// through the list library; rows go back to the page in batches as they
// come, with the share of the bytes read, and the end with the summary, the
// messages and the codes to save.
#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
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

// Text gathered into a Blob a part at a time: a long file is never one
// string in the program's memory, grown and copied as it grows, and each
// part is copied once, straight into its Blob; the page saves the Blob as
// it is.
class BlobSink : public table::Sink {
public:
    bool write(std::string_view text) override {
        pending_ += text;
        if (pending_.size() >= partsize) part();
        return true;
    }
    val take(const std::string& type) {
        part();
        val options = val::object();
        options.set("type", type);
        val blob = val::global("Blob").new_(parts_, options);
        parts_ = val::array();
        return blob;
    }

private:
    // Fewer, larger parts make a long file's Blob sooner: in alternated
    // runs on a 50 MB list, 8 MB parts saved its codes a tenth to a fifth
    // sooner than 1 MB parts did, and 32 MB parts were no quicker.
    static constexpr std::size_t partsize = 8 << 20;
    void part() {
        if (pending_.empty()) return;
        val within = val::array();
        within.call<void>("push", val(emscripten::typed_memory_view(pending_.size(), reinterpret_cast<const unsigned char*>(pending_.data()))));
        parts_.call<void>("push", val::global("Blob").new_(within));
        pending_.clear();
    }
    std::string pending_;
    val parts_ = val::array();
};

// Posts a message to the page, handing over the buffers of the arrays named.
void post(const val& message, std::initializer_list<const char*> handed = {}) {
    val transfer = val::array();
    for (const char* name : handed) {
        const val value = message[name];
        if (value.isNull() || value.isUndefined()) continue;
        if (const val buffer = value["buffer"]; !buffer.isUndefined()) transfer.call<void>("push", buffer);  // a Blob goes as it is
    }
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

// A file the page handed on, read a megabyte at a time (see readpart in
// the panel's script), so that a long list is never whole in the program's
// memory. A part that cannot be read, as when the file was moved or changed
// since it was picked, ends the input as a read error. When told to, it
// tells the page now and then how much of it has been read.
class Handed : public table::Source {
public:
    Handed(val file, bool tell)
        : file_(std::move(file)), total_(file_["size"].as<double>()), tell_(tell) {}
    std::size_t read(char* data, std::size_t size) override {
        if (pos_ == part_.size() && !ended_) fetch();
        const std::size_t n = std::min(size, part_.size() - pos_);
        std::memcpy(data, part_.data() + pos_, n);
        pos_ += n;
        done_ += n;
        if (const double now = emscripten_get_now(); tell_ && now - told_ > 100) {
            told_ = now;
            val message = val::object();
            message.set("type", std::string("progress"));
            message.set("done", static_cast<double>(done_));
            message.set("total", total_);
            post(message);
        }
        return n;
    }
    int error() const override { return failed_ ? EIO : 0; }
    bool failed() const { return failed_; }
    double done() const { return static_cast<double>(done_); }
    double total() const { return total_; }
    void told() { told_ = emscripten_get_now(); }
    // The whole file, or nothing when it cannot be read.
    static std::optional<std::string> whole(const val& file) {
        Handed source(file, false);
        table::StringSink bytes;
        std::vector<char> block(1 << 16);
        while (const std::size_t n = source.read(block.data(), block.size())) bytes.write({block.data(), n});
        if (source.failed()) return std::nullopt;
        return bytes.take();
    }

private:
    void fetch() {
        constexpr double partsize = 1 << 20;
        const val bytes = val::module_property("readpart")(file_, static_cast<double>(at_), partsize);
        pos_ = 0;
        if (bytes.isNull()) {
            part_.clear();
            failed_ = ended_ = true;
            return;
        }
        part_.resize(bytes["length"].as<std::size_t>());
        val(emscripten::typed_memory_view(part_.size(), reinterpret_cast<unsigned char*>(part_.data()))).call<void>("set", bytes);
        at_ += part_.size();
        ended_ = part_.empty();
    }
    val file_;
    double total_;
    bool tell_;
    std::string part_;
    std::size_t pos_ = 0, at_ = 0, done_ = 0;
    bool ended_ = false, failed_ = false;
    double told_ = emscripten_get_now();
};

// What the page says of a file it could not read.
std::string unreadable(const std::string& name) {
    return name + " could not be read: it may have been moved or changed since it was opened. Open it again.";
}

// Rows for the page's table, in batches: each row's cells as one line of
// text (cells apart by 0x1F, rows ended by 0x1E, values with no character
// of those or any other that shows as nothing), where in the batch's text
// each row ends (just past its 0x1E), and a byte for its kind: 'o'
// computed, 'r' receive only, 'f' failed. The page keeps the batches as
// they come and makes text of a row only to draw it.
class Batches : public table::ListSink {
public:
    explicit Batches(Handed* source) : source_(source) {}
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
            message.set("done", source_->done());
            message.set("total", source_->total());
            source_->told();
        }
        post(message, {"cells", "ends", "kinds"});
        cells_.clear();
        ends_.clear();
        kinds_.clear();
    }
    long count() const { return count_; }

private:
    Handed* source_;
    std::string cells_, kinds_, scratch_;
    std::vector<std::uint32_t> ends_;
    std::size_t batch_ = 256;
    long count_ = 0;
};

// "channels.csv: 12 channels, 3 failed".
std::string summary(const std::string& name, long channels, long failed, bool allcomputed) {
    return name + ": " +
           (channels == 0 ? std::string("no channels") : std::to_string(channels) + (channels == 1 ? " channel" : " channels")) +
           (failed > 0 ? ", " + std::to_string(failed) + " failed" : allcomputed && channels > 0 ? ", all computed" : "");
}

// The end of a request: the summary, the list's messages (the first of
// them to show, and all of them, as bytes, to save when there are more),
// the chip's, and why it failed, if it did.
void postend(const std::string& summarytext, const std::string& messages, const std::string& chip, long channels,
             const std::string& failure = "") {
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
    if (!failure.empty()) message.set("failure", failure);
    post(message, {"allmessages"});
}

// A file's name without its last extension.
std::string basename(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// A file for the page to save: bytes, or a Blob.
void postfile(const std::string& name, const std::string& mime, const val& bytes) {
    val file = val::object();
    file.set("type", std::string("file"));
    file.set("name", name);
    file.set("mime", mime);
    file.set("bytes", bytes);
    post(file, {"bytes"});
}

void readthelist(const val& request) {
    const std::string name = request["name"].as<std::string>();
    Handed source(request["file"], true);
    Batches rows(&source);
    table::StringSink messages;
    // Every named line is said: the page has room for them all.
    table::ListMessages said(messages, name, rows, "line", pagevoice, 0);
    const table::ListEnd end = table::readlist(source, listoptions(request["fields"]), said);
    // A list read in part gives neither rows nor codes.
    if (source.failed()) return postend("", "", "", 0, unreadable(name));
    said.finish(end);
    rows.flush();
    const long channels = rows.count();
    postend(summary(name, channels, end.summary.failed, end.kind == table::ListEnd::Kind::read && end.summary.allcomputed()),
            messages.text(), "", channels);
}

// The list's codes, offered as <list>-codes.csv, as the native program's
// --excel writes them: the list is read again, with the choices its table
// was read with, only when the codes are asked for, so that a long list's
// table shows sooner and no second copy of it is kept.
void writethecodes(const val& request) {
    const std::string name = request["name"].as<std::string>();
    Handed source(request["file"], true);
    BlobSink csv;
    table::ListWriter rows(csv, table::Writer::Form::csv, true);
    const table::ListEnd end = table::readlist(source, listoptions(request["fields"]), rows);
    // A list that read whole before and not now has changed.
    if (source.failed() || end.kind != table::ListEnd::Kind::read) return postend("", "", "", 0, unreadable(name));
    rows.finish();
    postfile(basename(name) + "-codes.csv", "text/csv", csv.take("text/csv"));
    postend("", "", "", 0);
}

// The dump's channels under the fields' layout, for the table; the chip's
// messages come first.
void readthedump(const val& request, const std::string& before) {
    std::string problems;
    const auto options = chipoptions(request["fields"], problems);
    if (!options) return postend("", "", before + problems, 0);
    const std::string name = request["dumpname"].as<std::string>();
    const auto bytes = Handed::whole(request["dump"]);
    if (!bytes) return postend("", "", before + unreadable(name) + "\n", 0);
    Batches rows(nullptr);
    table::StringSink messages;
    table::ListMessages said(messages, name, rows, "location", pagevoice, 0);
    const table::ListEnd end = table::readdump(*bytes, *options, said);
    said.finish(end);
    rows.flush();
    postend(name + ": " + std::to_string(rows.count()) + " channels on the chip", "", before + messages.text(), rows.count());
}

void findthelayout(const val& request) {
    std::string problems;
    const auto options = chipoptions(request["fields"], problems);
    if (!options) return postend("", "", problems, 0);
    const std::string name = request["dumpname"].as<std::string>();
    const auto bytes = Handed::whole(request["dump"]);
    if (!bytes) return postend("", "", unreadable(name) + "\n", 0);
    std::string problem;
    const auto found = table::findlayouts(*bytes, *options, problem);
    if (found.empty()) return postend("", "", name + ": " + table::spoken(problem, pagevoice) + "\n", 0);
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
    if (!options) return postend("", "", problems, 0);
    const std::string name = request["name"].as<std::string>();
    const bool into = !request["dump"].isNull();
    std::optional<std::string> dump;
    if (into) {
        options->into = request["dumpname"].as<std::string>();
        if (dump = Handed::whole(request["dump"]); !dump) return postend("", "", unreadable(options->into) + "\n", 0);
    }
    options->file = name;
    Handed source(request["file"], false);
    Batches rows(nullptr);
    table::ImageSink image(rows);
    table::StringSink messages;
    table::ListMessages said(messages, name, image, "line", pagevoice);
    const table::ListEnd end = table::readlist(source, listoptions(request["fields"]), said);
    if (source.failed()) return postend("", "", unreadable(name) + "\n", 0);
    const int status = said.finish(end);
    const auto made = end.kind == table::ListEnd::Kind::read
                          ? image.build(*options, into ? &*dump : nullptr, status == 0, messages, pagevoice)
                          : std::nullopt;
    if (made) {
        const auto format = request["format"].as<std::string>() == "bin" ? image::Format::bin : image::Format::ihex;
        postfile(basename(name) + (format == image::Format::bin ? ".bin" : ".hex"),
                 format == image::Format::bin ? "application/octet-stream" : "text/plain", bytesarray(image::write(*made, format)));
    }
    postend("", "", messages.text(), 0);
}

}  // namespace

// One request from the page; its answers are posted back as they come.
void work(val request) {
    const std::string op = request["op"].as<std::string>();
    if (op == "list") readthelist(request);
    else if (op == "codes") writethecodes(request);
    else if (op == "dump") readthedump(request, "");
    else if (op == "find") findthelayout(request);
    else if (op == "image") maketheimage(request);
}

}  // namespace web

EMSCRIPTEN_BINDINGS(freqcode_listwork) { emscripten::function("work", &web::work); }
