#include "table/cli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <tuple>

#include "table/census.h"
#include "table/channel.h"
#include "table/csvreader.h"
#include "table/decimal.h"
#include "table/encoding.h"
#include "table/files.h"
#include "table/listformat.h"
#include "table/writer.h"

namespace table {
namespace {

constexpr int exitok = 0;
constexpr int exitfailed = 1;  // a channel could not be computed, or the list could not be read
constexpr int exitusage = 2;   // the command line is wrong

constexpr long mostmessages = 100;  // row messages on standard error before they are only counted

const char* const usage = R"(Usage: freqcode-table [OPTIONS] [FILE]
Computes the A, B and R synthesizer codes of VHF/UHF channels.

One channel:
  freqcode-table --step 12.5kHz --rx 145000 --tx 145600
The frequencies of codes read off a radio:
  freqcode-table --decode --rx F0F1 FCFFF4 F6F9F0 --tx F0F3 FFF3F5 F6F9F0

A channel list: FILE, or standard input when FILE is absent or "-", in CSV
with a header row. Its columns are found by name, as radio programming
software exports them (other columns are ignored):
  Location, Name, Frequency (MHz), Duplex, Offset (MHz), TStep (kHz); or
  No. or Channel Number, Channel Name, Receive Frequency and Transmit
  Frequency (MHz; also Rx/Tx Frequency, RX/TX Freq), Rx Only; or
  rx_khz, tx_khz, step.
Fields are separated by ",", ";" or tab, as the header row shows; with ";"
or tab a decimal comma is read as a point. Lines starting with "#", blank
lines and unused memories are skipped and counted; every other line is
written as a row or named on standard error. With --decode, the list has
the columns rx_acode, rx_bcode, rx_rcode and/or tx_acode, tx_bcode,
tx_rcode, as this program writes them, and gets their frequencies.

Options:
  --step STEP   channel step: 5, 6.25, 10, 12.5 or 25 kHz ("12.5kHz", "12.5"),
                or "auto": for each channel the coarsest step that fits it;
                for a list, it stands in for the list's own step column;
                a list without one takes auto
  --rx KHZ      receive frequency in kHz (one channel)
  --tx KHZ      transmit frequency in kHz (one channel)
  --decode      read codes and give their frequencies, step and N; then
                --rx and --tx take the three codes A B R
  --csv         write CSV (the default when output is not a terminal)
  --table       write an aligned table (the default on a terminal)
  -h, --help    show this help
  --version     show the version
  --            end of options: a FILE starting with "-" follows

Exit status: 0 all channels computed, 1 a channel or the list failed
(each failure is reported on standard error), 2 a wrong command line.
)";

const char* const version = "freqcode-table (freqcode) " FREQCODE_VERSION R"(
Copyright (C) 2026 the freqcode authors.
License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
)";

std::string lowercase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

struct Options {
    std::optional<std::string> step, rx, tx, file;
    std::optional<Writer::Form> form;
    bool decode = false;
    std::optional<std::vector<std::string>> rxcodes, txcodes;  // with decode

    // One channel from the command line, rather than a list.
    bool single() const { return rx || tx || rxcodes || txcodes; }
};

class Program {
public:
    explicit Program(const Streams& streams) : io(streams) {}

    int run(const std::vector<std::string>& args) const {
        Options options;
        if (const auto done = parse(args, options)) return *done;
        const auto form = options.form.value_or(io.interactiveout ? Writer::Form::table : Writer::Form::csv);
        return options.single() ? onechannel(options, form) : channellist(options, form);
    }

    // Messages quote the user's lists and arguments: no control character
    // of theirs reaches the terminal.
    void complain(const std::string& message) const {
        std::fprintf(io.err, "freqcode-table: %s\n", terminaltext(message).c_str());
    }

private:
    int usageerror(const std::string& message) const {
        complain(message);
        std::fputs("Try 'freqcode-table --help'.\n", io.err);
        return exitusage;
    }

    std::optional<int> parse(const std::vector<std::string>& args, Options& options) const;
    int onechannel(const Options& options, Writer::Form form) const;
    int writeone(const Channel& channel, Writer::Form form) const;
    int channellist(const Options& options, Writer::Form form) const;

    Streams io;
};

// Parses the command line; an exit status when the program is done already.
std::optional<int> Program::parse(const std::vector<std::string>& args, Options& options) const {
    // --decode changes what --rx and --tx take, wherever it stands.
    for (const std::string& arg : args) {
        if (arg == "--") break;
        options.decode = options.decode || arg == "--decode";
    }
    bool optionsended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        const bool isoption = !optionsended && arg.size() > 1 && arg[0] == '-';
        if (!isoption) {
            if (options.file) return usageerror("one channel list at a time");
            options.file = std::string(arg);
            continue;
        }
        if (arg == "--") {
            optionsended = true;
            continue;
        }
        std::optional<std::string> inlinevalue;
        if (arg.substr(0, 2) == "--" && arg.find('=') != std::string_view::npos) {
            inlinevalue = std::string(arg.substr(arg.find('=') + 1));
            arg = arg.substr(0, arg.find('='));
        }
        const bool flag = arg == "--help" || arg == "-h" || arg == "--version" || arg == "--csv" || arg == "--table" ||
                          arg == "--decode";
        if (flag && inlinevalue) return usageerror(std::string(arg) + " takes no value");
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, io.out);
            return exitok;
        }
        if (arg == "--version") {
            std::fputs(version, io.out);
            return exitok;
        }
        if (arg == "--decode") continue;
        if (arg == "--csv" || arg == "--table") {
            options.form = arg == "--csv" ? Writer::Form::csv : Writer::Form::table;
        } else if (options.decode && (arg == "--rx" || arg == "--tx")) {
            auto& slot = arg == "--rx" ? options.rxcodes : options.txcodes;
            if (inlinevalue || i + 3 >= args.size())
                return usageerror(std::string(arg) + " with --decode needs three codes: A B R");
            slot = std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                            args.begin() + static_cast<std::ptrdiff_t>(i) + 4);
            i += 3;
        } else if (arg == "--step" || arg == "--rx" || arg == "--tx") {
            auto& slot = arg == "--step" ? options.step : arg == "--rx" ? options.rx : options.tx;
            if (inlinevalue) slot = inlinevalue;
            else if (i + 1 < args.size()) slot = args[++i];
            else return usageerror(std::string(arg) + " needs a value");
        } else {
            return usageerror("unknown option " + std::string(arg));
        }
    }
    if (options.step && lowercase(*options.step) == autostep) options.step = autostep;
    if (options.decode && options.step) return usageerror("--decode reads the step from the R code; leave out --step");
    if (options.step && *options.step != autostep) {
        const auto known = steptext(*options.step);
        if (!known) return usageerror("--step " + *options.step + " is not one of 5, 6.25, 10, 12.5 and 25 kHz, or auto");
        options.step = *known;
    }
    if (options.single() && options.file) return usageerror("give --rx/--tx or a channel list, not both");
    if ((options.rx || options.tx) && !options.step) return usageerror("give the channel's step with --step (or auto)");
    if (!options.single() && !options.file && io.interactivein)
        return usageerror("give a channel with --step, --rx and --tx, or a channel list");
    return std::nullopt;
}

// One channel from the command line.
int Program::onechannel(const Options& options, Writer::Form form) const {
    Channel channel;
    if (options.decode) {
        const auto codes = [](const std::optional<std::vector<std::string>>& texts) -> std::optional<Codes> {
            if (!texts) return std::nullopt;
            return Codes{(*texts)[0], (*texts)[1], (*texts)[2]};
        };
        fromcodes(channel, codes(options.rxcodes), codes(options.txcodes));
    } else {
        channel.autostep = *options.step == autostep;
        if (!channel.autostep) channel.step = *options.step;
        for (auto [text, side, label] :
             {std::tuple{&options.rx, &channel.rx, "--rx"}, std::tuple{&options.tx, &channel.tx, "--tx"}}) {
            if (!*text) continue;
            const auto khz = parsekhz(**text);
            if (!khz) return usageerror(std::string(label) + " " + **text + " is not a number of kHz");
            side->khz = khztext(*khz);
        }
    }
    compute(channel);
    const std::string rowstatus = status(channel);

    if (form == Writer::Form::csv) {
        Writer writer(io.out, form);
        writer.header();
        writer.row(channel, rowstatus);
    } else if (channel.problem.empty()) {
        std::fprintf(io.out, "step %s\n", stepwords(channel.step).c_str());
        for (auto [side, label] : {std::pair{&channel.rx, "rx"}, std::pair{&channel.tx, "tx"}}) {
            if (side->khz.empty()) continue;
            const auto& codes = side->result.codes;
            const std::string words = outcomewords(*side, channel.step);
            if (words.empty())
                std::fprintf(io.out, "%s %s kHz: A %s  B %s  R %s  N %ld\n", label, side->khz.c_str(),
                             codes.acode.c_str(), codes.bcode.c_str(), codes.rcode.c_str(), static_cast<long>(side->result.n));
            else
                std::fprintf(io.out, "%s %s: %s\n", label, side->khz.c_str(), words.c_str());
        }
    }
    if (computed(rowstatus)) return exitok;
    complain(rowstatus);
    return exitfailed;
}

bool blank(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& field) { return trim(field).empty(); });
}

// "1 comment line", "12 unused memories".
std::string counted(long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The lines a list skips by design, in words: "skipped 3 comment lines and
// 12 unused memories", or empty when it skipped none.
struct Skipped {
    long comments = 0, blanks = 0, unused = 0;
    bool decoding = false;  // then an unused memory is a row without codes

    std::string words() const {
        std::vector<std::string> parts;
        if (comments > 0) parts.push_back(counted(comments, "comment line", "comment lines"));
        if (blanks > 0) parts.push_back(counted(blanks, "blank line", "blank lines"));
        if (unused > 0)
            parts.push_back(decoding ? counted(unused, "row without codes", "rows without codes")
                                     : counted(unused, "unused memory", "unused memories"));
        std::string text;
        for (std::size_t i = 0; i < parts.size(); ++i)
            text += (i == 0 ? "skipped " : i + 1 == parts.size() ? " and " : ", ") + parts[i];
        return text;
    }
};

// A whole list, row by row. Every line is accounted for: written as a row,
// named on standard error, or counted among the lines skipped by design.
int Program::channellist(const Options& options, Writer::Form form) const {
    const bool fromstdin = !options.file || *options.file == "-";
    const std::string source = fromstdin ? "standard input" : *options.file;
    std::FILE* in = fromstdin ? io.in : openutf8(*options.file, "rb");
    if (!in) {
        complain("cannot open " + source + ": " + std::strerror(errno));
        return exitfailed;
    }
    struct Closer {
        std::FILE* file;
        bool owned;
        ~Closer() {
            if (owned) std::fclose(file);
        }
    } closer{in, !fromstdin};

    CsvReader reader(in);
    reader.oneline(true);  // the header row is one line
    std::vector<std::string> fields;
    Skipped skipped;
    skipped.decoding = options.decode;
    auto first = reader.next(fields);
    for (;; first = reader.next(fields)) {
        if (first == CsvReader::Status::comment) ++skipped.comments;
        else if (first == CsvReader::Status::record && blank(fields)) ++skipped.blanks;
        else break;
    }
    if (first == CsvReader::Status::end) {
        if (reader.error() != 0) complain("cannot read " + source + ": " + std::strerror(reader.error()));
        else complain(source + " is empty; a channel list starts with a header row");
        return exitfailed;
    }
    const std::string where = source + ": line ";
    if (first == CsvReader::Status::bad) {
        complain(where + std::to_string(reader.line()) + ": the header row: " + reader.problem() + "; is this a CSV file?");
        return exitfailed;
    }
    std::string problem;
    const auto format = ListFormat::fromheader(fields, reader.separator(), options.step, options.decode, problem);
    if (!format) {
        complain(where + std::to_string(reader.line()) + ": " + problem);
        return exitfailed;
    }
    Census census(*format, reader.separator());
    reader.oneline(false);
    reader.channelcheck([&census](std::string_view line) { return census.holdschannel(line); });
    if (!options.decode && !format->hasstepcolumn())
        complain(source + " has no step column: " +
                 (options.step && *options.step != autostep
                      ? "every channel takes --step " + stepwords(*options.step)
                      : "each channel takes the coarsest of the five steps that fits it (--step auto)"));

    long messages = 0;
    const auto report = [&](long line, const std::string& message) {
        if (++messages <= mostmessages) complain(where + std::to_string(line) + ": " + message);
    };
    Writer writer(io.out, form);
    writer.header();
    long channels = 0, failed = 0, commented = 0, unread = 0;
    long nextline = reader.lastline() + 1;
    for (auto status = reader.next(fields); status != CsvReader::Status::end; status = reader.next(fields)) {
        // The census: no line is passed over, no line that a record took in
        // holds a channel, and a record whose first line holds one gives its
        // location and frequencies.
        if (reader.line() != nextline) {
            ++unread;
            report(nextline, "lines " + std::to_string(nextline) + " to " + std::to_string(reader.line() - 1) + " were not read");
        }
        nextline = reader.lastline() + 1;
        const auto& lines = reader.recordlines();
        std::string takenin;
        for (std::size_t k = 1; k < lines.size(); ++k) {
            if (!census.holdschannel(lines[k])) continue;
            const long number = reader.line() + static_cast<long>(k);
            report(number, "holds a channel of its own, but a quote on line " + std::to_string(reader.line()) + " took it in");
            ++unread;
            if (takenin.empty()) takenin = "a quote on this line takes in line " + std::to_string(number) + ", which holds a channel of its own";
        }
        const auto& readings = census.of(lines.front());
        if (status == CsvReader::Status::comment) {
            ++skipped.comments;
            if (!readings.empty()) {
                ++commented;
                report(reader.line(), "skipped as a comment, but it holds a channel; take out the '#' to use it");
            }
            continue;
        }
        std::optional<Channel> row;
        if (status == CsvReader::Status::bad) row = format->badrow(fields, reader.problem());
        else if (!takenin.empty()) row = format->badrow(fields, takenin);
        else if (!blank(fields)) row = format->channel(fields);
        if (!readings.empty() && (!row || (row->problem.empty() && !census.agrees(readings, *row)))) {
            if (!row) row = format->badrow(fields, "");
            row->problem = "read on its own, the line holds a channel that its quotes do not give; check them";
        }
        // A failed row that kept no location shows the one its line reads as.
        if (row && row->location.empty() && !row->problem.empty() && !readings.empty())
            row->location = readings.front().location;
        if (!row) {
            ++(blank(fields) ? skipped.blanks : skipped.unused);
            continue;
        }
        Channel& channel = *row;
        compute(channel);
        const std::string rowstatus = table::status(channel);
        writer.row(channel, rowstatus);
        ++channels;
        if (!computed(rowstatus)) {
            ++failed;
            report(reader.line(), rowstatus);
        }
    }
    if (reader.error() != 0) {
        complain("cannot read " + source + ": " + std::strerror(reader.error()));
        return exitfailed;
    }
    if (!writer.flush()) return exitfailed;  // reported once, by the caller
    if (messages > mostmessages) complain(std::to_string(messages - mostmessages) + " more lines not shown");
    if (const std::string words = skipped.words(); !words.empty()) complain(words);
    if (commented > 0) complain(counted(commented, "comment line holds", "comment lines hold") + " a channel");
    if (failed > 0) complain(std::to_string(failed) + " of " + std::to_string(channels) + " channels failed");
    return failed > 0 || commented > 0 || unread > 0 ? exitfailed : exitok;
}

}  // namespace

int freqcodetable(const std::vector<std::string>& args, const Streams& streams) {
    const Program program(streams);
    const int status = program.run(args);
    // Whatever was asked, output that did not reach its place is a failure.
    if (std::fflush(streams.out) != 0 || std::ferror(streams.out)) {
        program.complain("cannot write the output");
        return status == exitok ? exitfailed : status;
    }
    return status;
}

}  // namespace table
