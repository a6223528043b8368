// The list panel's work, done in the page's Web Worker so that the page
// stays responsive however long a list is. Each request (a list to read, an
// image to make, a chip's dump to read or to find the layout of) goes
// through the list library; rows go back to the page in batches as they
// come, with the share of the bytes read, and the end with the summary, the
// messages and the codes to save. The request under way and the answers
// go through small calls of the worker's script (worker.js), with texts as
// their bytes and count.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
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

// NOLINTBEGIN
// A value of the request (group "") or of its fields ("fields"), as text:
// its length in UTF-8 first, then its bytes into room for them and a
// closing zero.
EM_JS(std::size_t, work_textlength, (const char* group, std::size_t groupn, const char* name, std::size_t namen), {
    return lengthBytesUTF8(requestvalue(utf8text(group, groupn), utf8text(name, namen)));
});
EM_JS(void, work_text, (const char* group, std::size_t groupn, const char* name, std::size_t namen, char* out, std::size_t room), {
    stringToUTF8(requestvalue(utf8text(group, groupn), utf8text(name, namen)), out, room);
});
EM_JS(void, work_setfield, (const char* name, std::size_t namen, double value), {
    workrequest.fields[utf8text(name, namen)] = String(value);
});
// A file of the request ("file", "dump"): whether there is one, its size,
// and a part of it read into out (see readpart in worker.js).
EM_JS(bool, work_hasfile, (const char* name, std::size_t namen), { return !!workrequest[utf8text(name, namen)]; });
EM_JS(double, work_filesize, (const char* name, std::size_t namen), { return workrequest[utf8text(name, namen)].size; });
EM_JS(double, work_readpart, (const char* name, std::size_t namen, double at, double size, char* out), {
    var bytes = readpart(workrequest[utf8text(name, namen)], at, size);
    if (!bytes) return -1;
    HEAPU8.set(bytes, out);
    return bytes.length;
});
// The answers. Arrays go as copies of their own, whose buffers are handed
// over to the page. Rows read from a file come with how much of it is
// read (a total of -1 for rows that do not).
EM_JS(void, work_progress, (double done, double total), { postMessage({type: "progress", done: done, total: total}); });
EM_JS(void, work_rows, (const char* cells, std::size_t cellsn, const std::uint32_t* ends, const char* kinds, std::size_t count,
                        double done, double total), {
    var message = {type: "rows", cells: HEAPU8.slice(cells, cells + cellsn), ends: HEAPU32.slice(ends >> 2, (ends >> 2) + count),
                   kinds: HEAPU8.slice(kinds, kinds + count)};
    if (total >= 0) {
        message.done = done;
        message.total = total;
    }
    postMessage(message, [message.cells.buffer, message.ends.buffer, message.kinds.buffer]);
});
EM_JS(void, work_end, (const char* summary, std::size_t summaryn, const char* shown, std::size_t shownn, double lines,
                       const char* all, std::size_t alln, const char* chip, std::size_t chipn, double channels,
                       const char* failure, std::size_t failuren), {
    var message = {type: "end", summary: utf8text(summary, summaryn), messages: utf8text(shown, shownn), messagelines: lines,
                   allmessages: all ? HEAPU8.slice(all, all + alln) : null, chip: utf8text(chip, chipn), channels: channels};
    if (failuren) message.failure = utf8text(failure, failuren);
    postMessage(message, all ? [message.allmessages.buffer] : []);
});
EM_JS(void, work_file, (const char* name, std::size_t namen, const char* mime, std::size_t mimen, const char* bytes, std::size_t bytesn), {
    var copy = HEAPU8.slice(bytes, bytes + bytesn);
    postMessage({type: "file", name: utf8text(name, namen), mime: utf8text(mime, mimen), bytes: copy}, [copy.buffer]);
});
// A long file goes as a Blob, gathered a part at a time: each part is
// copied once, straight into a Blob of its own.
EM_JS(void, work_blobpart, (const char* bytes, std::size_t n), { blobparts.push(new Blob([HEAPU8.subarray(bytes, bytes + n)])); });
EM_JS(void, work_blobfile, (const char* name, std::size_t namen, const char* mime, std::size_t mimen), {
    var type = utf8text(mime, mimen);
    postMessage({type: "file", name: utf8text(name, namen), mime: type, bytes: new Blob(blobparts.splice(0), {type: type})});
});
// The request's fields, as they now stand, for the page's.
EM_JS(void, work_fields, (), { postMessage(Object.assign({type: "fields"}, workrequest.fields)); });
// NOLINTEND

std::string requesttext(std::string_view group, std::string_view name) {
    std::string text(work_textlength(group.data(), group.size(), name.data(), name.size()), '\0');
    work_text(group.data(), group.size(), name.data(), name.size(), text.data(), text.size() + 1);
    return text;
}
std::string field(const char* name) { return requesttext("fields", name); }
bool hasfile(std::string_view name) { return work_hasfile(name.data(), name.size()); }

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

// Text gathered for a Blob a part at a time, so that a long file is never
// one string in the program's memory, grown and copied as it grows; the
// page saves the Blob as it is.
class BlobSink : public table::Sink {
public:
    bool write(std::string_view text) override {
        pending_ += text;
        if (pending_.size() >= partsize) part();
        return true;
    }
    void post(const std::string& name, const std::string& mime) {
        part();
        work_blobfile(name.data(), name.size(), mime.data(), mime.size());
    }

private:
    // Fewer, larger parts make a long file's Blob sooner: in alternated
    // runs on a 50 MB list, 8 MB parts saved its codes a tenth to a fifth
    // sooner than 1 MB parts did, and 32 MB parts were no quicker.
    static constexpr std::size_t partsize = 8 << 20;
    void part() {
        if (pending_.empty()) return;
        work_blobpart(pending_.data(), pending_.size());
        pending_.clear();
    }
    std::string pending_;
};

// The panel's choices of steps and work.
table::ListOptions listoptions() {
    table::ListOptions options;
    const std::string step = field("liststep");
    if (field("listmode") == "decode") options.decode = true;
    else if (step == table::autostep) options.step = table::autostep;
    else if (!step.empty()) options.step = table::steptext(step);
    return options;
}

// The layout and chip the fields give; what is wrong with them goes to
// problems, a line each.
std::optional<table::ImageOptions> chipoptions(std::string& problems) {
    table::ImageOptions options;
    const std::pair<const char*, const char*> given[] = {{"--rx-at", "rxat"}, {"--tx-at", "txat"}, {"--stride", "stride"},
                                                         {"--first", "first"}, {"--fill", "fill"},
                                                         {"--high-nibble", "highnibble"}, {"--chip", "chipname"}};
    for (const auto& [option, name] : given) {
        const std::string value = field(name);
        if (value.empty()) continue;
        if (const std::string problem = table::setimageoption(options, option, value); !problem.empty())
            problems += table::spoken(problem, pagevoice) + "\n";
    }
    if (!problems.empty()) return std::nullopt;
    return options;
}

// A file of the request, read a megabyte at a time (see readpart in the
// worker's script), so that a long list is never whole in the program's
// memory. A part that cannot be read, as when the file was moved or changed
// since it was picked, ends the input as a read error. When told to, it
// tells the page now and then how much of it has been read.
class Handed : public table::Source {
public:
    Handed(std::string_view name, bool tell) : name_(name), total_(work_filesize(name_.data(), name_.size())), tell_(tell) {}
    std::size_t read(char* data, std::size_t size) override {
        if (pos_ == part_.size() && !ended_) fetch();
        const std::size_t n = std::min(size, part_.size() - pos_);
        std::memcpy(data, part_.data() + pos_, n);
        pos_ += n;
        done_ += n;
        if (const double now = emscripten_get_now(); tell_ && now - told_ > 100) {
            told_ = now;
            work_progress(done(), total_);
        }
        return n;
    }
    int error() const override { return failed_ ? EIO : 0; }
    bool failed() const { return failed_; }
    double done() const { return static_cast<double>(done_); }
    double total() const { return total_; }
    void told() { told_ = emscripten_get_now(); }
    // The whole file, or nothing when it cannot be read.
    static std::optional<std::string> whole(std::string_view name) {
        Handed source(name, false);
        table::StringSink bytes;
        std::vector<char> block(1 << 16);
        while (const std::size_t n = source.read(block.data(), block.size())) bytes.write({block.data(), n});
        if (source.failed()) return std::nullopt;
        return bytes.take();
    }

private:
    void fetch() {
        constexpr std::size_t partsize = 1 << 20;
        part_.resize(partsize);
        const double n = work_readpart(name_.data(), name_.size(), static_cast<double>(at_), partsize, part_.data());
        pos_ = 0;
        if (n < 0) {
            part_.clear();
            failed_ = ended_ = true;
            return;
        }
        part_.resize(static_cast<std::size_t>(n));
        at_ += part_.size();
        ended_ = part_.empty();
    }
    std::string_view name_;  // "file" or "dump"
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
        work_rows(cells_.data(), cells_.size(), ends_.data(), kinds_.data(), kinds_.size(), source_ ? source_->done() : 0,
                  source_ ? source_->total() : -1);
        if (source_) source_->told();
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
    work_end(summarytext.data(), summarytext.size(), messages.data(), cut, static_cast<double>(lines),
             lines > shown ? messages.data() : nullptr, messages.size(), chip.data(), chip.size(), static_cast<double>(channels),
             failure.data(), failure.size());
}

// A file's name without its last extension.
std::string basename(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// A file for the page to save.
void postfile(const std::string& name, const std::string& mime, const std::string& bytes) {
    work_file(name.data(), name.size(), mime.data(), mime.size(), bytes.data(), bytes.size());
}

void readthelist() {
    const std::string name = requesttext("", "name");
    Handed source("file", true);
    Batches rows(&source);
    table::StringSink messages;
    // Every named line is said: the page has room for them all.
    table::ListMessages said(messages, name, rows, "line", pagevoice, 0);
    const table::ListEnd end = table::readlist(source, listoptions(), said);
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
void writethecodes() {
    const std::string name = requesttext("", "name");
    Handed source("file", true);
    BlobSink csv;
    table::ListWriter rows(csv, table::Writer::Form::csv, true);
    const table::ListEnd end = table::readlist(source, listoptions(), rows);
    // A list that read whole before and not now has changed.
    if (source.failed() || end.kind != table::ListEnd::Kind::read) return postend("", "", "", 0, unreadable(name));
    rows.finish();
    csv.post(basename(name) + "-codes.csv", "text/csv");
    postend("", "", "", 0);
}

// The dump's channels under the fields' layout, for the table; the chip's
// messages come first.
void readthedump(const std::string& before) {
    std::string problems;
    const auto options = chipoptions(problems);
    if (!options) return postend("", "", before + problems, 0);
    const std::string name = requesttext("", "dumpname");
    const auto bytes = Handed::whole("dump");
    if (!bytes) return postend("", "", before + unreadable(name) + "\n", 0);
    Batches rows(nullptr);
    table::StringSink messages;
    table::ListMessages said(messages, name, rows, "location", pagevoice, 0);
    const table::ListEnd end = table::readdump(*bytes, *options, said);
    said.finish(end);
    rows.flush();
    postend(name + ": " + std::to_string(rows.count()) + " channels on the chip", "", before + messages.text(), rows.count());
}

void findthelayout() {
    std::string problems;
    const auto options = chipoptions(problems);
    if (!options) return postend("", "", problems, 0);
    const std::string name = requesttext("", "dumpname");
    const auto bytes = Handed::whole("dump");
    if (!bytes) return postend("", "", unreadable(name) + "\n", 0);
    std::string problem;
    const auto found = table::findlayouts(*bytes, *options, problem);
    if (found.empty()) return postend("", "", name + ": " + table::spoken(problem, pagevoice) + "\n", 0);
    std::string ranked = "Layouts, best first (locations with both blocks codes of one step, and with one):\n";
    for (const auto& c : found)
        ranked += "  receive at " + std::to_string(c.layout.rxat) + ", transmit at " + std::to_string(c.layout.txat) +
                  ", stride " + std::to_string(c.layout.stride) + ": " + std::to_string(c.both) + " and " +
                  std::to_string(c.one) + "\n";
    // The first layout goes into the request's fields, for the dump's
    // table, and into the page's.
    for (const auto& [key, value] : {std::pair<std::string_view, std::size_t>{"rxat", found.front().layout.rxat},
                                     {"txat", found.front().layout.txat},
                                     {"stride", found.front().layout.stride},
                                     {"first", 0}})
        work_setfield(key.data(), key.size(), static_cast<double>(value));
    work_fields();
    readthedump(ranked + "The table shows the channels under the first: check them against the radio's.\n");
}

// The list's codes as an image, offered as <list>.bin or .hex.
void maketheimage() {
    std::string problems;
    auto options = chipoptions(problems);
    if (!options) return postend("", "", problems, 0);
    const std::string name = requesttext("", "name");
    const bool into = hasfile("dump");
    std::optional<std::string> dump;
    if (into) {
        options->into = requesttext("", "dumpname");
        if (dump = Handed::whole("dump"); !dump) return postend("", "", unreadable(options->into) + "\n", 0);
    }
    options->file = name;
    Handed source("file", false);
    Batches rows(nullptr);
    table::ImageSink image(rows);
    table::StringSink messages;
    table::ListMessages said(messages, name, image, "line", pagevoice);
    const table::ListEnd end = table::readlist(source, listoptions(), said);
    if (source.failed()) return postend("", "", unreadable(name) + "\n", 0);
    const int status = said.finish(end);
    const auto made = end.kind == table::ListEnd::Kind::read
                          ? image.build(*options, into ? &*dump : nullptr, status == 0, messages, pagevoice)
                          : std::nullopt;
    if (made) {
        const auto format = requesttext("", "format") == "bin" ? image::Format::bin : image::Format::ihex;
        postfile(basename(name) + (format == image::Format::bin ? ".bin" : ".hex"),
                 format == image::Format::bin ? "application/octet-stream" : "text/plain", image::write(*made, format));
    }
    postend("", "", messages.text(), 0);
}

}  // namespace

}  // namespace web

// The request under way, which the worker's script holds, from the page;
// its answers are posted back as they come.
extern "C" EMSCRIPTEN_KEEPALIVE void freqcode_work() {
    const std::string op = web::requesttext("", "op");
    if (op == "list") web::readthelist();
    else if (op == "codes") web::writethecodes();
    else if (op == "dump") web::readthedump("");
    else if (op == "find") web::findthelayout();
    else if (op == "image") web::maketheimage();
}
