#include "csvreader.h"

namespace table {

CsvReader::CsvReader(std::FILE* in, std::size_t maxrecord) : in_(in), maxrecord_(maxrecord), buffer_(64 * 1024) {}

int CsvReader::get() {
    if (!pushback_.empty()) {
        const char c = pushback_.back();
        pushback_.pop_back();
        return static_cast<unsigned char>(c);
    }
    if (pos_ == size_) {
        size_ = std::fread(buffer_.data(), 1, buffer_.size(), in_);
        pos_ = 0;
        if (size_ == 0) return EOF;
    }
    return static_cast<unsigned char>(buffer_[pos_++]);
}

CsvReader::Status CsvReader::next(std::vector<std::string>& fields) {
    fields.clear();
    problem_.clear();
    recordline_ = line_;

    int c = get();
    if (!started_) {
        started_ = true;
        // A UTF-8 byte order mark, as spreadsheet programs write, is not data.
        if (c == 0xEF) {
            const int b = get(), o = get();
            if (b == 0xBB && o == 0xBF) {
                c = get();
            } else {
                unget(o);
                unget(b);
            }
        }
    }
    if (c == EOF) return Status::end;

    std::size_t size = 0;
    bool toolong = false, binary = false;
    fields.emplace_back();
    const auto keep = [&](char ch) {
        if (++size > maxrecord_) toolong = true;
        if (ch == '\0') binary = true;
        if (!toolong) fields.back() += ch;
    };

    bool quoted = false;
    for (;; c = get()) {
        if (c == EOF) {
            if (quoted) problem_ = "a quoted field is not closed before the end of the input";
            break;
        }
        if (quoted) {
            if (c == '"') {
                const int after = get();
                if (after == '"') {
                    keep('"');
                } else {
                    quoted = false;
                    unget(after);
                }
            } else {
                if (c == '\n') ++line_;
                keep(static_cast<char>(c));
            }
            continue;
        }
        if (c == '"' && fields.back().empty()) {
            quoted = true;
        } else if (c == ',') {
            if (!toolong) fields.emplace_back();
        } else if (c == '\n') {
            ++line_;
            break;
        } else if (c == '\r') {
            const int after = get();
            if (after != '\n') unget(after);  // a lone CR ends a line too
            ++line_;
            break;
        } else {
            keep(static_cast<char>(c));
        }
    }

    if (toolong) problem_ = "the record is longer than " + std::to_string(maxrecord_) + " bytes";
    else if (binary && problem_.empty()) problem_ = "binary data (a NUL byte)";
    return problem_.empty() ? Status::record : Status::bad;
}

}  // namespace table
