// What the command line and the Windows drop say of a list, on standard
// error: each named line with the list's name and its number (the first
// hundred, then a count), the step a list without a step column takes, and
// at the end what was skipped and how many channels failed. Rows go on to
// another sink.
#pragma once

#include <string>

#include "table/bytes.h"
#include "table/readlist.h"

namespace table {

// "freqcode-table: " and the words, as a terminal may show them.
void say(Sink& err, const std::string& words);

class ListMessages : public ListSink {
public:
    // Each named place is a "line" of a list, or the unit given ("location").
    ListMessages(Sink& err, std::string source, ListSink& rows, std::string unit = "line")
        : err_(err), source_(std::move(source)), rows_(rows), unit_(std::move(unit)) {}

    void start(bool stepcolumn, const std::optional<std::string>& step) override;
    void row(const Row& row) override { rows_.row(row); }
    void named(long line, const std::string& words) override;

    // Says how the list ended; the exit status: 0 when every channel was
    // computed, 1 otherwise.
    int finish(const ListEnd& end);

private:
    Sink& err_;
    std::string source_;
    ListSink& rows_;
    std::string unit_;
    long messages_ = 0;
};

}  // namespace table
