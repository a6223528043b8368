// Feeds arbitrary bytes to the list library as a channel list and checks
// that every line of the input is read, each row's once and in order, that
// every text is UTF-8,
// that every channel it accepts carries exactly calccodes' result for its
// own step and kHz texts, and that writing it as CSV and as a table works.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "table/bytes.h"
#include "table/channel.h"
#include "table/decimal.h"
#include "table/encoding.h"
#include "table/readlist.h"
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

// Checks each row as the list library hands it on, and writes it both ways.
class Check : public table::ListSink {
public:
    void row(const table::Row& row) override {
        require(row.line > lastline_ && row.lastline >= row.line, "a line is read twice, or out of order");
        lastline_ = row.lastline;
        const table::Channel& channel = row.channel;
        for (const std::string* text : {&channel.location, &channel.name, &row.status.words})
            require(table::validutf8(*text), "a row's text is not UTF-8");
        if (channel.problem.empty()) {
            check(channel.rx, calc::Direction::receive, channel.step);
            check(channel.tx, calc::Direction::transmit, channel.step);
        }
        csv_.row(channel, row.status);
        aligned_.row(channel, row.status);
    }
    void named(long line, const std::string& words) override {
        require(line >= 1 && table::validutf8(words), "a line is named wrongly");
    }

private:
    long lastline_ = 0;
    table::StringSink out_;
    table::Writer csv_{out_, table::Writer::Form::csv}, aligned_{out_, table::Writer::Form::table};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A list of frequencies, or else one of codes to decode.
    for (const bool decode : {false, true}) {
        table::MemorySource source(bytes);
        Check check;
        const table::ListEnd end = table::readlist(source, {std::nullopt, decode}, check);
        if (end.kind == table::ListEnd::Kind::badheader) continue;
        // Without a UTF-16 mark the reader's lines are the bytes' own.
        const bool utf16 = size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
        if (end.kind == table::ListEnd::Kind::read && !utf16)
            require(end.summary.lines == linesof(data, size), "the lines do not add up to the input's");
        break;
    }
    return 0;
}
