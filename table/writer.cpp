#include "table/writer.h"

#include <algorithm>
#include <array>

#include "table/columns.h"
#include "table/encoding.h"

namespace table {
namespace {

constexpr std::size_t flushsize = 64 * 1024;
constexpr std::size_t patience = 1000;  // rows that wait for a person's file's decimal mark

}  // namespace

void Writer::quoting() {
    for (const char c : {dialect_.separator, '"', '\r', '\n'}) needsquotes_[static_cast<unsigned char>(c)] = true;
}

void Writer::header() {
    if (form_ == Form::csv && dialect_.bom) pending_ += "\xEF\xBB\xBF";
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
            const std::size_t at = pending_.size();
            pending_ += text;
            if (dialect_.decimal != '.') std::replace(pending_.begin() + static_cast<std::ptrdiff_t>(at), pending_.end(), '.', dialect_.decimal);
            pending_ += c.width == 0 ? '\n' : dialect_.separator;
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
    // A line that starts with '#' reads back as a comment: quote it.
    const bool linestart = pending_.empty() || pending_.back() == '\n';
    bool plain = !(linestart && text.starts_with('#'));
    for (const char c : text) plain = plain && !needsquotes_[static_cast<unsigned char>(c)];
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
    pending_ += last ? '\n' : dialect_.separator;
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

void ListWriter::start(bool, const std::optional<std::string>&, char separator) {
    started_ = true;
    separator_ = separator;
    if (!people_) open('.');
}

void ListWriter::row(const Row& row) {
    if (!writer_ && row.mark == 0 && waiting_.size() < patience) {
        waiting_.push_back(row);
        return;
    }
    if (!writer_) open(row.mark);
    writer_->row(row.channel, row.status);
}

bool ListWriter::finish() {
    if (!started_) return true;
    if (!writer_) open(0);
    return writer_->flush();
}

void ListWriter::open(char mark) {
    writer_.emplace(out_, form_, people_ ? Dialect::forpeople(separator_, mark) : Dialect{});
    writer_->header();
    for (const Row& row : waiting_) writer_->row(row.channel, row.status);
    waiting_.clear();
}

}  // namespace table
