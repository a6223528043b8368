#include "table/readlist.h"

#include <algorithm>
#include <vector>

#include "table/census.h"
#include "table/csvreader.h"
#include "table/decimal.h"
#include "table/listformat.h"

namespace table {
namespace {

bool blank(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& field) { return trim(field).empty(); });
}

}  // namespace

ListEnd readlist(Source& source, const ListOptions& options, ListSink& sink) {
    ListEnd end;
    Summary& summary = end.summary;
    summary.decoding = options.decode;
    CsvReader reader(source);
    reader.oneline(true);  // the header row is one line
    std::vector<std::string> fields;
    auto first = reader.next(fields);
    for (;; first = reader.next(fields)) {
        if (first == CsvReader::Status::comment) ++summary.comments;
        else if (first == CsvReader::Status::record && blank(fields)) ++summary.blanks;
        else break;
    }
    if (first == CsvReader::Status::end) {
        end.kind = reader.error() != 0 ? ListEnd::Kind::readerror : ListEnd::Kind::empty;
        end.error = reader.error();
        return end;
    }
    end.line = reader.line();
    if (first == CsvReader::Status::bad) {
        end.kind = ListEnd::Kind::badheader;
        end.problem = "the header row: " + reader.problem() + "; is this a CSV file?";
        return end;
    }
    const auto format = ListFormat::fromheader(fields, reader.separator(), options.step, options.decode, end.problem);
    if (!format) {
        end.kind = ListEnd::Kind::badheader;
        return end;
    }
    Census census(*format, reader.separator());
    reader.oneline(false);
    reader.channelcheck([&census](std::string_view line) { return census.standsalone(line); });
    sink.start(options.decode || format->hasstepcolumn(), options.step, reader.separator());

    Row row;
    long nextline = reader.lastline() + 1;
    for (auto got = reader.next(fields); got != CsvReader::Status::end; got = reader.next(fields)) {
        // The census: no line is passed over, no line that a record took in
        // holds a channel, and a record whose first line holds one gives its
        // location and frequencies.
        if (reader.line() != nextline) {
            ++summary.unread;
            sink.named(nextline, "lines " + std::to_string(nextline) + " to " + std::to_string(reader.line() - 1) +
                                     " were not read");
        }
        nextline = reader.lastline() + 1;
        const auto& lines = reader.recordlines();
        std::string takenin;
        for (std::size_t k = 1; k < lines.size(); ++k) {
            if (!census.holdschannel(lines[k])) continue;
            const long number = reader.line() + static_cast<long>(k);
            sink.named(number, "holds a channel of its own, but a quote on line " + std::to_string(reader.line()) +
                                   " took it in");
            ++summary.unread;
            if (takenin.empty())
                takenin = "a quote on this line takes in line " + std::to_string(number) + ", which holds a channel of its own";
        }
        // A record of one line without a quote is that line read plainly,
        // the census's own first reading: only the others need its check.
        static const std::vector<ListFormat::Reading> none;
        const bool plain = lines.size() == 1 && got != CsvReader::Status::comment &&
                           lines.front().find('"') == std::string::npos;
        const auto& readings = plain ? none : census.of(lines.front());
        if (got == CsvReader::Status::comment) {
            ++summary.comments;
            if (!readings.empty()) {
                ++summary.commented;
                sink.named(reader.line(), "skipped as a comment, but it holds a channel; take out the '#' to use it");
            }
            continue;
        }
        if (row.mark == 0) row.mark = format->decimalmark(fields);
        std::optional<Channel> channel;
        if (got == CsvReader::Status::bad) channel = format->badrow(fields, reader.problem());
        else if (!takenin.empty()) channel = format->badrow(fields, takenin);
        else if (!blank(fields)) channel = format->channel(fields);
        if (!readings.empty() && (!channel || (channel->problem.empty() && !census.agrees(readings, *channel)))) {
            if (!channel) channel = format->badrow(fields, "");
            channel->problem = "read on its own, the line holds a channel that its quotes do not give; check them";
        }
        // A failed row that kept no location shows the one its line reads as.
        if (channel && channel->location.empty() && !channel->problem.empty() && !readings.empty())
            channel->location = readings.front().location;
        if (!channel) {
            ++(blank(fields) ? summary.blanks : summary.unused);
            continue;
        }
        row.line = reader.line();
        row.lastline = reader.lastline();
        row.channel = std::move(*channel);
        compute(row.channel);
        row.status = status(row.channel);
        sink.row(row);
        ++summary.channels;
        if (!row.status.computed()) {
            ++summary.failed;
            sink.named(row.line, row.status.words);
        }
    }
    summary.lines = reader.line() - 1;
    if (reader.error() != 0) {
        end.kind = ListEnd::Kind::readerror;
        end.error = reader.error();
    }
    return end;
}

}  // namespace table
