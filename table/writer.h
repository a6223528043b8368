// Writes channels as CSV, for programs and spreadsheets, or as an aligned
// table, for a person at a terminal, in the columns of table/columns.h.
// Output is buffered and written in large pieces, so that long lists go out
// quickly.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "table/bytes.h"
#include "table/channel.h"
#include "table/readlist.h"

namespace table {

// How CSV is spelled. Programs read the default. A file for a person keeps
// the field separator and decimal mark of the list it came from and starts
// with a UTF-8 byte order mark: a spreadsheet then opens it in that list's
// locale, each value in its own column and every name whole.
struct Dialect {
    char separator = ',';
    char decimal = '.';
    bool bom = false;

    // A person's file beside a list of that separator whose numbers show
    // that decimal mark; 0 for none seen, then the separator's usual mark:
    // a comma beside ';' or tab, else a point.
    static Dialect forpeople(char separator, char mark) {
        return {separator, mark != 0 ? mark : separator == ',' ? '.' : ',', true};
    }
};

class Writer {
public:
    enum class Form { csv, table };
    Writer(Sink& out, Form form, Dialect dialect = {}) : out_(&out), form_(form), dialect_(dialect) { quoting(); }
    // An open file; the caller closes it.
    Writer(std::FILE* out, Form form, Dialect dialect = {})
        : file_(std::make_unique<FileSink>(out)), out_(file_.get()), form_(form), dialect_(dialect) {
        quoting();
    }
    ~Writer() { flush(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void header();
    void row(const Channel& channel, const Status& status);
    // False when the output could not be written (a full disk, a closed pipe).
    bool flush();

private:
    void quoting();
    void csvfield(const std::string& text, bool last);
    void cell(const std::string& text, std::size_t width);

    std::unique_ptr<FileSink> file_;  // with a FILE*
    Sink* out_;
    Form form_;
    Dialect dialect_;
    std::array<bool, 256> needsquotes_{};
    std::string pending_, scratch_;
    bool ok_ = true;
};

// A list's rows through a writer: the header once the list's header row is
// read, then each row. For a person (forpeople), CSV in the list's own
// dialect. Its decimal mark is the first a row's numbers show, so the rows
// wait for it; after a thousand rows without one, the separator's usual
// mark serves (Dialect::forpeople). One file never mixes two marks.
class ListWriter : public ListSink {
public:
    ListWriter(Sink& out, Writer::Form form, bool forpeople = false) : out_(out), form_(form), people_(forpeople) {}
    // Rows still waiting go out even when reading ended early.
    ~ListWriter() override { finish(); }
    ListWriter(const ListWriter&) = delete;
    ListWriter& operator=(const ListWriter&) = delete;

    void start(bool stepcolumn, const std::optional<std::string>& step, char separator) override;
    void row(const Row& row) override;
    // Writes the rows still waiting; false when the output could not be
    // written (a full disk, a closed pipe).
    bool finish();

private:
    void open(char mark);

    Sink& out_;
    Writer::Form form_;
    bool people_;
    bool started_ = false;
    char separator_ = ',';
    std::optional<Writer> writer_;
    std::vector<Row> waiting_;
};

}  // namespace table
