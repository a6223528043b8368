// Writes channels as CSV, for programs and spreadsheets, or as an aligned
// table, for a person at a terminal, in the columns of table/columns.h.
// Output is buffered and written in large pieces, so that long lists go out
// quickly.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "table/bytes.h"
#include "table/channel.h"

namespace table {

class Writer {
public:
    enum class Form { csv, table };
    Writer(Sink& out, Form form) : out_(&out), form_(form) {}
    // An open file; the caller closes it.
    Writer(std::FILE* out, Form form) : file_(std::make_unique<FileSink>(out)), out_(file_.get()), form_(form) {}
    ~Writer() { flush(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void header();
    void row(const Channel& channel, const Status& status);
    // False when the output could not be written (a full disk, a closed pipe).
    bool flush();

private:
    void csvfield(const std::string& text, bool last);
    void cell(const std::string& text, std::size_t width);

    std::unique_ptr<FileSink> file_;  // with a FILE*
    Sink* out_;
    Form form_;
    std::string pending_, scratch_;
    bool ok_ = true;
};

}  // namespace table
