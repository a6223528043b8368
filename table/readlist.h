// The list library: a channel list's bytes in, its rows out, every line
// accounted for. It reads the header row, then every record (CsvReader),
// turns each into a channel (ListFormat), checks it against the census of
// its lines (Census), computes its codes, and hands the sink, in order, each
// row and each line it names. The front ends (the command line, the Windows
// drop, the web page) only choose a source and a sink and put words to
// what it reports.
#pragma once

#include <optional>
#include <string>

#include "table/bytes.h"
#include "table/channel.h"

namespace table {

struct ListOptions {
    // A step text calccodes knows ("12.5kHz") or autostep, standing in for
    // the list's own steps; a list without a step column takes it, and
    // without it autostep.
    std::optional<std::string> step;
    bool decode = false;  // the list holds codes: give their frequencies
};

// One record that became a row: its physical lines, its channel and codes,
// and its status.
struct Row {
    long line = 0, lastline = 0;
    Channel channel;
    Status status;
    // The decimal mark of the list's numbers ('.' or ','), once a row's
    // frequency, offset or step has shown one; 0 until then.
    char mark = 0;
};

// The lines skipped by design, and how the others went.
struct Summary {
    long comments = 0, blanks = 0, unused = 0;  // skipped by design
    long channels = 0, failed = 0;              // rows written, and those failed
    long commented = 0;  // comment lines that hold a channel
    long unread = 0;     // lines passed over, or taken into another record though they hold a channel
    long lines = 0;      // the physical lines read, the header's and those before it too
    bool decoding = false;  // then an unused memory is a row without codes

    // Whether every line that holds a channel gave a computed row.
    bool allcomputed() const { return failed == 0 && commented == 0 && unread == 0; }
};

// How reading a list ended.
struct ListEnd {
    enum class Kind {
        read,       // the list was read to its end (rows may have failed)
        empty,      // no header row: nothing but blank and comment lines
        badheader,  // the header row cannot be read, or names no columns to use
        readerror,  // the input could not be read (error)
    } kind = Kind::read;
    long line = 0;        // the header's line, for badheader
    std::string problem;  // why, for badheader
    int error = 0;        // an errno value, for readerror
    Summary summary;
};

class ListSink {
public:
    virtual ~ListSink() = default;
    // Once the header row is read: whether the list has a step column of
    // its own, the step given in its place, and the list's field separator.
    virtual void start(bool stepcolumn, const std::optional<std::string>& step, char separator) {
        (void)stepcolumn;
        (void)step;
        (void)separator;
    }
    // Each row, in the list's order.
    virtual void row(const Row& row) = 0;
    // Each line named, with what is wrong with it, in the list's order: a
    // failed row's status, or a line that is no row.
    virtual void named(long line, const std::string& words) {
        (void)line;
        (void)words;
    }
};

ListEnd readlist(Source& source, const ListOptions& options, ListSink& sink);

}  // namespace table
