// Feeds arbitrary bytes to the channel list reader as a CSV file and checks
// that every channel it accepts carries exactly calccodes' result for its
// own step and kHz texts, and that writing it as CSV and as a table works.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "channel.h"
#include "csvreader.h"
#include "decimal.h"
#include "listformat.h"
#include "writer.h"

namespace {

void check(const table::Side& side, calc::Direction direction, const std::string& step) {
    if (side.khz.empty()) return;
    const auto expected = calc::calccodes(direction, step, side.khz);
    if (expected.outcome != side.result.outcome || expected.codes.acode != side.result.codes.acode ||
        expected.codes.bcode != side.result.codes.bcode || expected.codes.rcode != side.result.codes.rcode) {
        std::fprintf(stderr, "codes differ from calccodes for %s at %s\n", side.khz.c_str(), step.c_str());
        std::abort();
    }
    if (!table::parsekhz(side.khz)) {
        std::fprintf(stderr, "kHz text %s does not read back\n", side.khz.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* in = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!in) return 0;
    std::FILE* out = std::fopen("/dev/null", "wb");
    table::CsvReader reader(in, 4096);
    std::vector<std::string> fields;
    std::string problem;
    if (reader.next(fields) == table::CsvReader::Status::record) {
        if (const auto format = table::ListFormat::fromheader(fields, std::nullopt, problem)) {
            table::Writer csv(out, table::Writer::Form::csv), aligned(out, table::Writer::Form::table);
            while (reader.next(fields) != table::CsvReader::Status::end) {
                table::Channel channel = format->channel(fields);
                table::compute(channel);
                if (channel.problem.empty()) {
                    check(channel.rx, calc::Direction::receive, channel.step);
                    check(channel.tx, calc::Direction::transmit, channel.step);
                }
                const std::string status = table::status(channel);
                csv.row(channel, status);
                aligned.row(channel, status);
            }
        }
    }
    std::fclose(out);
    std::fclose(in);
    return 0;
}
