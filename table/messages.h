// What the command line and the Windows drop say of a list, on standard
// error: each named line with the list's name and its number (the first
// hundred, then a count, unless asked for all), the step a list without a step column takes, and
// at the end what was skipped and how many channels failed. Rows go on to
// another sink.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "table/bytes.h"
#include "table/readlist.h"

namespace table {

// Who a message speaks for. The command line names itself and its options;
// a front end without a command line speaks of its own controls instead,
// and a web page, where the program's name means nothing, names nothing.
struct Voice {
    std::string program = "freqcode-table";  // empty: messages without a name
    // What each option a message names is called in the front end; empty
    // for the command line, which speaks of its options as they are.
    std::vector<std::pair<std::string_view, std::string_view>> options;

    bool commandline() const { return options.empty(); }
};

// The words as the voice says them: each option named as its front end
// calls it.
std::string spoken(std::string words, const Voice& voice);

// The program's name (if the voice has one) and the words, as a terminal
// may show them.
void say(Sink& err, const std::string& words, const Voice& voice = {});

class ListMessages : public ListSink {
public:
    // Each named place is a "line" of a list, or the unit given ("location").
    // Past most named lines, the rest are only counted; 0 names them all.
    ListMessages(Sink& err, std::string source, ListSink& rows, std::string unit = "line", Voice voice = {},
                 long most = 100)
        : err_(err), source_(std::move(source)), rows_(rows), unit_(std::move(unit)), voice_(std::move(voice)), most_(most) {}

    void start(bool stepcolumn, const std::optional<std::string>& step, char separator) override;
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
    Voice voice_;
    long most_;
    long messages_ = 0;
};

}  // namespace table
