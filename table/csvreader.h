// Reads CSV records (RFC 4180: quoted fields, doubled quotes, line breaks
// inside quotes, LF or CRLF line ends) from a stream, one record at a time,
// in bounded memory whatever the input's size.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace table {

class CsvReader {
public:
    enum class Status {
        record,  // fields hold the next record
        bad,     // the record cannot be used; problem() says why
        end,     // no more input
    };

    // A record longer than maxrecord bytes is reported bad and skipped.
    explicit CsvReader(std::FILE* in, std::size_t maxrecord = 64 * 1024);

    Status next(std::vector<std::string>& fields);

    // The line on which the last record started, counting from 1.
    long line() const { return recordline_; }
    const std::string& problem() const { return problem_; }
    // A read error of the stream (not the end of the input).
    bool failed() const { return std::ferror(in_) != 0; }

private:
    int get();
    void unget(int c) {
        if (c != EOF) pushback_.push_back(static_cast<char>(c));
    }

    std::FILE* in_;
    std::size_t maxrecord_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0, size_ = 0;
    std::string pushback_;  // characters given back, the last one first
    long line_ = 1, recordline_ = 0;
    bool started_ = false;
    std::string problem_;
};

}  // namespace table
