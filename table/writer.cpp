#include "table/writer.h"

#include <algorithm>
#include <array>

#include "table/columns.h"
#include "table/encoding.h"

namespace table {
namespace {

constexpr std::size_t flushsize = 64 * 1024;

}  // namespace

void Writer::header() {
    for (const Column& c : columns) {
        if (form_ == Form::csv) csvfield(std::string(c.name), c.width == 0);
        else cell(std::string(c.heading), c.width);
    }
}

void Writer::row(const Channel& channel, const Status& status) {
    for (const Column& c : columns) {
        const std::string& text = c.value(channel, status, scratch_);
        if (form_ == Form::table) {
            cell(text, c.width);
        } else if (c.plain) {
            pending_ += text;
            pending_ += c.width == 0 ? '\n' : ',';
        } else {
            csvfield(text, c.width == 0);
        }
    }
    if (pending_.size() >= flushsize) flush();
}

bool Writer::flush() {
    if (!pending_.empty()) {
        ok_ = out_->write(pending_) && ok_;
        pending_.clear();
    } else {
        ok_ = out_->write("") && ok_;
    }
    return ok_;
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
