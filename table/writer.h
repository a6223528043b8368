// Writes channels as CSV, for programs and spreadsheets, or as an aligned
// table, for a person at a terminal. Output is buffered and written in large
// pieces, so that long lists go out quickly.
#pragma once

#include <cstdio>
#include <string>

#include "table/channel.h"

namespace table {

class Writer {
public:
    enum class Form { csv, table };
    Writer(std::FILE* out, Form form) : out_(out), form_(form) {}
    ~Writer() { flush(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void header();
    void row(const Channel& channel, const std::string& status);
    // False when the output could not be written (a full disk, a closed pipe).
    bool flush();

private:
    void csvfield(const std::string& text, bool last = false);
    void plainfield(const std::string& text);
    void cell(const std::string& text, std::size_t width);

    std::FILE* out_;
    Form form_;
    std::string pending_;
};

}  // namespace table
