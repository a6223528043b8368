#include "table/writer.h"

#include <algorithm>
#include <array>

#include "table/encoding.h"

namespace table {
namespace {

constexpr std::size_t flushsize = 64 * 1024;

const char* const columns[] = {"location", "name",     "rx_khz",   "tx_khz",   "step",     "rx_n",     "tx_n",
                               "rx_acode", "rx_bcode", "rx_rcode", "tx_acode", "tx_bcode", "tx_rcode", "status"};
// Widths of the table's columns but the last; a longer text pushes the rest
// of its line to the right rather than being cut.
const std::size_t widths[] = {9, 17, 11, 11, 8, 7, 7, 5, 7, 7, 5, 7, 7};
const char* const headings[] = {"Location", "Name", "RX kHz", "TX kHz", "Step", "RX N", "TX N",
                                "RX A",     "RX B", "RX R",   "TX A",   "TX B", "TX R", "Status"};

// The three codes of a side, or empty texts when it has none.
const calc::CodeSet& codes(const Side& side) {
    static const calc::CodeSet none;
    return side.result.outcome == calc::Outcome::codes ? side.result.codes : none;
}

// The N a side's codes encode, or an empty text when it has none.
std::string ntext(const Side& side) {
    return side.result.outcome == calc::Outcome::codes ? std::to_string(side.result.n) : std::string();
}

}  // namespace

void Writer::header() {
    for (std::size_t i = 0; i < std::size(columns); ++i) {
        if (form_ == Form::csv)
            csvfield(columns[i], i + 1 == std::size(columns));
        else
            cell(headings[i], i < std::size(widths) ? widths[i] : 0);
    }
}

void Writer::row(const Channel& channel, const std::string& status) {
    const calc::CodeSet &rx = codes(channel.rx), &tx = codes(channel.tx);
    const std::string rxn = ntext(channel.rx), txn = ntext(channel.tx);
    const std::string* const texts[] = {&channel.location, &channel.name, &channel.rx.khz, &channel.tx.khz, &channel.step,
                                        &rxn,              &txn,          &rx.acode,       &rx.bcode,       &rx.rcode,
                                        &tx.acode,         &tx.bcode,     &tx.rcode,       &status};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        if (form_ == Form::csv && i >= 2 && i + 1 < std::size(texts))
            plainfield(*texts[i]);  // kHz, step, N and codes: never a character to quote
        else if (form_ == Form::csv)
            csvfield(*texts[i], i + 1 == std::size(texts));
        else
            cell(*texts[i], i < std::size(widths) ? widths[i] : 0);
    }
    if (pending_.size() >= flushsize) flush();
}

bool Writer::flush() {
    if (!pending_.empty()) {
        std::fwrite(pending_.data(), 1, pending_.size(), out_);
        pending_.clear();
    }
    return std::fflush(out_) == 0 && !std::ferror(out_);
}

void Writer::plainfield(const std::string& text) {
    pending_ += text;
    pending_ += ',';
}

void Writer::csvfield(const std::string& text, bool last) {
    static constexpr auto needsquotes = [] {
        std::array<bool, 256> table{};
        for (const char c : {',', '"', '\r', '\n'}) table[static_cast<unsigned char>(c)] = true;
        return table;
    }();
    // A line that starts with '#' reads back as a comment: quote it.
    const bool linestart = pending_.empty() || pending_.back() == '\n';
    bool plain = !(linestart && text.starts_with('#'));
    for (const char c : text) plain = plain && !needsquotes[static_cast<unsigned char>(c)];
    if (plain) {
        pending_ += text;
    } else {
        pending_ += '"';
        for (const char c : text) {
            if (c == '"') pending_ += '"';
            pending_ += c;
        }
        pending_ += '"';
    }
    pending_ += last ? '\n' : ',';
}

void Writer::cell(const std::string& text, std::size_t width) {
    // A terminal shows the table: no control character reaches it, and a tab
    // would break the columns.
    std::string shown = terminaltext(text);
    std::replace(shown.begin(), shown.end(), '\t', ' ');
    pending_ += shown;
    if (width == 0) {
        pending_ += '\n';
        return;
    }
    const std::size_t used = textwidth(shown);
    pending_.append(used < width ? width - used : 1, ' ');
}

}  // namespace table
