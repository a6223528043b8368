// Feeds arbitrary bytes to the channel list reader as a CSV file and checks
// that every line of the input is accounted for exactly once (each record
// starts on the line after the last one ended), that every field is UTF-8,
// that every channel it accepts carries exactly calccodes' result for its
// own step and kHz texts, and that writing it as CSV and as a table works.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "table/channel.h"
#include "table/census.h"
#include "table/csvreader.h"
#include "table/decimal.h"
#include "table/encoding.h"
#include "table/listformat.h"
#include "table/writer.h"

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

void check(const table::Side& side, calc::Direction direction, const std::string& step) {
    if (side.khz.empty()) return;
    const auto expected = calc::calccodes(direction, step, side.khz);
    require(expected.outcome == side.result.outcome && expected.codes.acode == side.result.codes.acode &&
                expected.codes.bcode == side.result.codes.bcode && expected.codes.rcode == side.result.codes.rcode,
            "codes differ from calccodes");
    require(table::parsekhz(side.khz).has_value(), "a kHz text does not read back");
}

// The lines of the bytes as they stand: a CR, a LF or a CRLF pair ends one,
// and the text after the last line end is one more.
long linesof(const std::uint8_t* data, std::size_t size) {
    const std::size_t start = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    long lines = 0;
    for (std::size_t i = start; i < size; ++i)
        lines += data[i] == '\r' || (data[i] == '\n' && (i == start || data[i - 1] != '\r'));
    return lines + (size > start && data[size - 1] != '\r' && data[size - 1] != '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* in = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!in) return 0;
    std::FILE* out = std::fopen("/dev/null", "wb");
    table::CsvReader reader(in, 4096);
    std::optional<table::ListFormat> format;
    std::optional<table::Census> census;
    table::Writer csv(out, table::Writer::Form::csv), aligned(out, table::Writer::Form::table);
    std::vector<std::string> fields;
    std::string problem;
    long expectedline = 1;
    for (auto status = reader.next(fields); status != table::CsvReader::Status::end; status = reader.next(fields)) {
        require(reader.line() == expectedline && reader.lastline() >= reader.line(), "a line is read twice or never");
        expectedline = reader.lastline() + 1;
        for (const auto& field : fields) require(table::validutf8(field), "a field is not UTF-8");
        if (status == table::CsvReader::Status::comment) continue;
        if (!format) {
            if (status == table::CsvReader::Status::record)
                // A list of frequencies, or else one of codes to decode.
                for (const bool decoding : {false, true})
                    if (!format) format = table::ListFormat::fromheader(fields, reader.separator(), std::nullopt, decoding, problem);
            if (!format) break;
            census.emplace(*format, reader.separator());
            reader.channelcheck([&census](std::string_view line) { return census->holdschannel(line); });
            continue;
        }
        std::optional<table::Channel> channel =
            status == table::CsvReader::Status::bad ? format->badrow(fields, reader.problem()) : format->channel(fields);
        if (!channel) continue;
        table::compute(*channel);
        if (channel->problem.empty()) {
            check(channel->rx, calc::Direction::receive, channel->step);
            check(channel->tx, calc::Direction::transmit, channel->step);
        }
        const std::string status_text = table::status(*channel);
        require(table::validutf8(status_text), "a status is not UTF-8");
        csv.row(*channel, status_text);
        aligned.row(*channel, status_text);
    }
    // Without a UTF-16 mark the reader's lines are the bytes' own.
    const bool utf16 = size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
    if (format && !utf16) require(reader.line() == linesof(data, size) + 1, "the lines do not add up to the input's");
    csv.flush();
    aligned.flush();
    std::fclose(out);
    std::fclose(in);
    return 0;
}
