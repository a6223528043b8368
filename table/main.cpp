// freqcode-table: the synthesizer codes of one channel, or of a whole
// channel list in CSV, computed exactly as the window computes them.
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
constexpr int STDIN_FILENO = 0, STDOUT_FILENO = 1;
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "channel.h"
#include "csvreader.h"
#include "decimal.h"
#include "listformat.h"
#include "writer.h"

namespace {

constexpr int exitok = 0;
constexpr int exitfailed = 1;  // a channel could not be computed, or the list could not be read
constexpr int exitusage = 2;   // the command line is wrong

constexpr long mostmessages = 100;  // row messages on standard error before they are only counted

const char* const usage = R"(Usage: freqcode-table [OPTIONS] [FILE]
Computes the A, B and R synthesizer codes of VHF/UHF channels.

One channel:
  freqcode-table --step 12.5kHz --rx 145000 --tx 145600

A channel list: FILE, or standard input when FILE is absent or "-", in CSV
with a header row. Its columns are found by name:
  Location, Name, Frequency (MHz), Duplex, Offset (MHz), TStep (kHz), as
  radio programming software exports them (other columns are ignored); or
  rx_khz, tx_khz, step.

Options:
  --step STEP   channel step: 5, 6.25, 10, 12.5 or 25 kHz ("12.5kHz", "12.5");
                for a list, it stands in for the list's own step column
  --rx KHZ      receive frequency in kHz (one channel)
  --tx KHZ      transmit frequency in kHz (one channel)
  --csv         write CSV (the default when output is not a terminal)
  --table       write an aligned table (the default on a terminal)
  --help        show this help
  --version     show the version

Exit status: 0 all channels computed, 1 a channel or the list failed
(each failure is reported on standard error), 2 a wrong command line.
)";

struct Options {
    std::optional<std::string> step, rx, tx, file;
    std::optional<table::Writer::Form> form;
};

void complain(const std::string& message) { std::fprintf(stderr, "freqcode-table: %s\n", message.c_str()); }

int usageerror(const std::string& message) {
    complain(message);
    std::fputs("Try 'freqcode-table --help'.\n", stderr);
    return exitusage;
}

// Parses the command line; an exit status when the program is done already.
std::optional<int> parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::optional<std::string> inlinevalue;
        if (arg.size() > 2 && arg.substr(0, 2) == "--" && arg.find('=') != std::string_view::npos) {
            inlinevalue = std::string(arg.substr(arg.find('=') + 1));
            arg = arg.substr(0, arg.find('='));
        }
        const auto value = [&](std::optional<std::string>& into) -> bool {
            if (inlinevalue) into = inlinevalue;
            else if (i + 1 < argc) into = argv[++i];
            else return false;
            return true;
        };
        const bool flag = arg == "--help" || arg == "--version" || arg == "--csv" || arg == "--table";
        if (flag && inlinevalue) return usageerror(std::string(arg) + " takes no value");
        if (arg == "--help") {
            std::fputs(usage, stdout);
            return exitok;
        }
        if (arg == "--version") {
            std::printf("freqcode-table %s\n", FREQCODE_VERSION);
            return exitok;
        }
        if (arg == "--csv" || arg == "--table") {
            options.form = arg == "--csv" ? table::Writer::Form::csv : table::Writer::Form::table;
        } else if (arg == "--step" || arg == "--rx" || arg == "--tx") {
            auto& slot = arg == "--step" ? options.step : arg == "--rx" ? options.rx : options.tx;
            if (!value(slot)) return usageerror(std::string(arg) + " needs a value");
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return usageerror("unknown option " + std::string(arg));
        } else if (options.file) {
            return usageerror("one channel list at a time");
        } else {
            options.file = std::string(arg);
        }
    }
    if (options.step && !table::steptext(*options.step))
        return usageerror("--step " + *options.step + " is not one of 5, 6.25, 10, 12.5 and 25 kHz");
    if ((options.rx || options.tx) && options.file) return usageerror("give --rx/--tx or a channel list, not both");
    if ((options.rx || options.tx) && !options.step) return usageerror("give the channel's step with --step");
    if (!options.rx && !options.tx && !options.file && isatty(STDIN_FILENO))
        return usageerror("give a channel with --step, --rx and --tx, or a channel list");
    return std::nullopt;
}

// One channel from the command line.
int onechannel(const Options& options, table::Writer::Form form) {
    table::Channel channel;
    channel.step = *table::steptext(*options.step);
    for (auto [text, side, label] : {std::tuple{&options.rx, &channel.rx, "--rx"}, std::tuple{&options.tx, &channel.tx, "--tx"}}) {
        if (!*text) continue;
        const auto khz = table::parsekhz(**text);
        if (!khz) return usageerror(std::string(label) + " " + **text + " is not a number of kHz");
        side->khz = table::khztext(*khz);
    }
    table::compute(channel);
    const std::string status = table::status(channel);

    if (form == table::Writer::Form::csv) {
        table::Writer writer(stdout, form);
        writer.header();
        writer.row(channel, status);
    } else {
        std::printf("step %s\n", table::stepwords(channel.step).c_str());
        for (auto [side, label] : {std::pair{&channel.rx, "rx"}, std::pair{&channel.tx, "tx"}}) {
            if (side->khz.empty()) continue;
            const auto& codes = side->result.codes;
            const std::string words = table::outcomewords(*side, channel.step);
            if (words.empty())
                std::printf("%s %s kHz: A %s  B %s  R %s\n", label, side->khz.c_str(), codes.acode.c_str(),
                            codes.bcode.c_str(), codes.rcode.c_str());
            else
                std::printf("%s %s: %s\n", label, side->khz.c_str(), words.c_str());
        }
    }
    if (std::fflush(stdout) != 0) {
        complain("cannot write the output");
        return exitfailed;
    }
    return status == table::okstatus ? exitok : exitfailed;
}

// A whole list, row by row.
int channellist(const Options& options, table::Writer::Form form) {
    const bool fromstdin = !options.file || *options.file == "-";
    const std::string source = fromstdin ? "standard input" : *options.file;
    std::FILE* in = fromstdin ? stdin : std::fopen(options.file->c_str(), "rb");
    if (!in) {
        complain("cannot open " + source + ": " + std::strerror(errno));
        return exitfailed;
    }
    struct Closer {
        std::FILE* file;
        ~Closer() {
            if (file != stdin) std::fclose(file);
        }
    } closer{in};

    table::CsvReader reader(in);
    std::vector<std::string> fields;
    const auto first = reader.next(fields);
    if (first == table::CsvReader::Status::end) {
        complain(source + " is empty; a channel list starts with a header row");
        return exitfailed;
    }
    if (first == table::CsvReader::Status::bad) {
        complain(source + ": line 1: " + reader.problem() + "; is this a CSV file?");
        return exitfailed;
    }
    std::string problem;
    const auto step = options.step ? table::steptext(*options.step) : std::nullopt;
    const auto format = table::ListFormat::fromheader(fields, step, problem);
    if (!format) {
        complain(source + ": line 1: " + problem);
        return exitfailed;
    }

    table::Writer writer(stdout, form);
    writer.header();
    long channels = 0, failed = 0;
    for (auto status = reader.next(fields); status != table::CsvReader::Status::end; status = reader.next(fields)) {
        if (status == table::CsvReader::Status::record && fields.size() == 1 && fields[0].empty()) continue;
        table::Channel channel;
        if (status == table::CsvReader::Status::bad)
            channel.problem = reader.problem();
        else
            channel = format->channel(fields);
        table::compute(channel);
        const std::string rowstatus = table::status(channel);
        writer.row(channel, rowstatus);
        ++channels;
        if (rowstatus != table::okstatus && ++failed <= mostmessages)
            complain(source + ": line " + std::to_string(reader.line()) + ": " + rowstatus);
    }
    if (reader.failed()) {
        complain("cannot read " + source);
        return exitfailed;
    }
    if (!writer.flush()) {
        complain("cannot write the output");
        return exitfailed;
    }
    if (failed > 0) {
        complain(std::to_string(failed) + " of " + std::to_string(channels) + " channels failed");
        return exitfailed;
    }
    return exitok;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const auto done = parse(argc, argv, options)) return *done;
    const auto form = options.form.value_or(isatty(STDOUT_FILENO) ? table::Writer::Form::table : table::Writer::Form::csv);
    return options.rx || options.tx ? onechannel(options, form) : channellist(options, form);
}
