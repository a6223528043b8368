#include "table/cli.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>
#include <tuple>

#include "table/channel.h"
#include "table/decimal.h"
#include "table/encoding.h"
#include "table/files.h"
#include "table/imagesink.h"
#include "table/messages.h"
#include "table/readlist.h"
#include "table/writer.h"

namespace table {
namespace {

constexpr int exitok = 0;
constexpr int exitfailed = 1;  // a channel could not be computed, or the list could not be read
constexpr int exitusage = 2;   // the command line is wrong

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
  --image FILE  also write the list's codes into a memory image for an EPROM
                programmer: FILE.bin raw, .hex/.ihx Intel HEX, .s19/.srec/.mot
                S-record; nothing is written if a channel fails, a location
                is no whole number or lies outside the chip, or blocks overlap
  --image-format bin|ihex|srec   the image's format, whatever FILE's name
  --chip CHIP   2708, 2716, 2732, 2764, 27128, 27256, 27512, 74S287, 82S129,
                82S131, 82S137, or a size (2048, 2K, 0x800); without it the
                smallest EPROM that holds every block
  --rx-at ADDR, --tx-at ADDR, --stride BYTES, --first N, --channels N
                the layout: a location's 8-byte block (A 2, B 3, R 3) lies at
                ADDR + (location - N) x BYTES (defaults 0, 8, 16, 0; as many
                locations as fit)
  --into DUMP   start the image from a chip's dump (.bin, .hex or .s19, told
                by content) and change only the list's blocks, keeping their
                high nibbles; each must be blank or codes in the dump
  --fill BYTE   the image's unused bytes, in hex (default FF)
  --high-nibble F|0   the high half of every code byte (default F)
  --find-layout DUMP  the layouts under which the most blocks of a chip's
                dump decode as codes, ranked, and the channels under the best
                With --decode, a FILE named .bin, .hex or .s19 (or any of
                these options) is a chip's dump: one row per location.
  --csv         write CSV (the default when output is not a terminal)
  --excel       write CSV for a spreadsheet to open: a UTF-8 byte order
                mark, and the list's own separator and decimal mark (a ";"
                list with decimal commas gives ";" and decimal commas)
  --table       write an aligned table (the default on a terminal)
  -h, --help    show this help
  --version     show the version
  --            end of options: a FILE starting with "-" follows

Exit status: 0 all channels computed, 1 a channel or the list failed
(each failure is reported on standard error), 2 a wrong command line.
)";

const char* const version = "freqcode-table (freqcode) " FREQCODE_VERSION "\n" FREQCODE_COPYRIGHT R"(.
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
    bool excel = false;  // CSV for a person's spreadsheet
    bool decode = false;
    bool findlayout = false;  // the file is a chip's dump whose layout to find
    std::optional<std::vector<std::string>> rxcodes, txcodes;  // with decode
    std::optional<ImageOptions> image;  // with --image

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
        FileSink err(io.err);
        say(err, message);
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

// An open file's bytes from where it stands, or nothing on a read error.
std::optional<std::string> readall(std::FILE* in) {
    std::string bytes;
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;) bytes.append(block, n);
    if (std::ferror(in)) return std::nullopt;
    return bytes;
}

// A file's bytes, or nothing with errno set.
std::optional<std::string> readwhole(const std::string& path) {
    std::FILE* in = openutf8(path, "rb");
    if (!in) return std::nullopt;
    auto bytes = readall(in);
    std::fclose(in);
    return bytes;
}

bool imageoption(std::string_view arg) {
    for (const char* name : {"--image", "--into", "--image-format", "--chip", "--rx-at", "--tx-at", "--stride", "--first", "--channels",
                             "--fill", "--high-nibble"})
        if (arg == name) return true;
    return false;
}

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
                          arg == "--decode" || arg == "--find-layout" || arg == "--excel";
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
        if (arg == "--find-layout") {
            options.findlayout = true;
            continue;
        }
        if (arg == "--excel") {
            options.excel = true;
        } else if (arg == "--csv" || arg == "--table") {
            options.form = arg == "--csv" ? Writer::Form::csv : Writer::Form::table;
        } else if (options.decode && (arg == "--rx" || arg == "--tx")) {
            auto& slot = arg == "--rx" ? options.rxcodes : options.txcodes;
            if (inlinevalue || i + 3 >= args.size())
                return usageerror(std::string(arg) + " with --decode needs three codes: A B R");
            slot = std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                            args.begin() + static_cast<std::ptrdiff_t>(i) + 4);
            i += 3;
        } else if (imageoption(arg)) {
            std::string value;
            if (inlinevalue) value = *inlinevalue;
            else if (i + 1 < args.size()) value = args[++i];
            else return usageerror(std::string(arg) + " needs a value");
            if (!options.image) options.image.emplace();
            if (const std::string problem = setimageoption(*options.image, arg, value); !problem.empty()) return usageerror(problem);
        } else if (arg == "--step" || arg == "--rx" || arg == "--tx") {
            auto& slot = arg == "--step" ? options.step : arg == "--rx" ? options.rx : options.tx;
            if (inlinevalue) slot = inlinevalue;
            else if (i + 1 < args.size()) slot = args[++i];
            else return usageerror(std::string(arg) + " needs a value");
        } else {
            return usageerror("unknown option " + std::string(arg));
        }
    }
    if (options.excel && options.form == Writer::Form::table) return usageerror("--excel writes CSV; leave out --table");
    if (options.excel) options.form = Writer::Form::csv;
    if (options.step && lowercase(*options.step) == autostep) options.step = autostep;
    if (options.decode && options.step) return usageerror("--decode reads the step from the R code; leave out --step");
    if (options.step && *options.step != autostep) {
        const auto known = steptext(*options.step);
        if (!known) return usageerror("--step " + *options.step + " is not one of " + stepsinwords() + ", or auto");
        options.step = *known;
    }
    if (options.single() && options.file) return usageerror("give --rx/--tx or a channel list, not both");
    if (options.findlayout && (!options.file || options.single() || options.decode || (options.image && !options.image->file.empty())))
        return usageerror("--find-layout takes a chip's dump, and neither --decode nor --image");
    if (options.image && options.image->file.empty() && !options.decode && !options.findlayout)
        return usageerror("the layout options go with --image FILE, or with --decode DUMP");
    if (options.image && !options.image->file.empty() && (options.single() || options.decode))
        return usageerror("--image takes a channel list");
    if (options.image && !options.image->into.empty() && options.image->file.empty())
        return usageerror("--into goes with --image FILE, the image to write");
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
            side->set(*khz);
        }
    }
    compute(channel);
    const Status rowstatus = status(channel);

    if (form == Writer::Form::csv) {
        Writer writer(io.out, form, options.excel ? Dialect::forpeople(',', 0) : Dialect{});
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
    if (rowstatus.computed()) return exitok;
    complain(rowstatus.words);
    return exitfailed;
}

// A whole list, row by row. Every line is accounted for: written as a row,
// named on standard error, or counted among the lines skipped by design.
int Program::channellist(const Options& options, Writer::Form form) const {
    const bool fromstdin = !options.file || *options.file == "-";
    const std::string name = fromstdin ? "standard input" : *options.file;
    std::FILE* in = fromstdin ? io.in : openutf8(*options.file, "rb");
    if (!in) {
        complain("cannot open " + name + ": " + std::strerror(errno));
        return exitfailed;
    }
    struct Closer {
        std::FILE* file;
        bool owned;
        ~Closer() {
            if (owned) std::fclose(file);
        }
    } closer{in, !fromstdin};

    FileSource source(in);
    FileSink out(io.out), err(io.err);
    if (options.findlayout || (options.decode && !fromstdin && (options.image || image::formatof(*options.file)))) {
        // A chip's dump, read whole: it is 64 KiB at the most.
        const auto whole = readall(in);
        if (!whole) {
            complain("cannot read " + name + ": " + std::strerror(errno));
            return exitfailed;
        }
        const std::string& dump = *whole;
        ImageOptions layout = options.image.value_or(ImageOptions{});
        if (options.findlayout) {
            std::string problem;
            const auto found = findlayouts(dump, layout, problem);
            if (found.empty()) {
                complain(name + ": " + problem);
                return exitfailed;
            }
            std::string ranked = "layouts, best first (locations with both blocks codes of one step, and with one):\n";
            for (const auto& c : found)
                ranked += "  --rx-at " + std::to_string(c.layout.rxat) + " --tx-at " + std::to_string(c.layout.txat) +
                          " --stride " + std::to_string(c.layout.stride) + " --first 0: " + std::to_string(c.both) + " and " +
                          std::to_string(c.one) + "\n";
            err.write(ranked + "the channels under the first, to check against the radio's known ones:\n");
            layout.layout = found.front().layout;
        }
        ListWriter rows(out, form, options.excel);
        ListMessages messages(err, name, rows, "location");
        const ListEnd end = readdump(dump, layout, messages);
        if (end.kind == ListEnd::Kind::read && !rows.finish()) return exitfailed;
        return messages.finish(end);
    }
    if (!options.image) return listcodes(source, name, {options.step, options.decode}, form, out, err, options.excel);
    ListWriter rows(out, form, options.excel);
    ImageSink image(rows);
    ListMessages messages(err, name, image);
    const ListEnd end = readlist(source, {options.step, false}, messages);
    if (end.kind == ListEnd::Kind::read && !rows.finish()) return exitfailed;
    const int status = messages.finish(end);
    if (end.kind != ListEnd::Kind::read) return status;
    const ImageOptions& wanted = *options.image;
    std::optional<std::string> dump;
    if (!wanted.into.empty()) {
        dump = readwhole(wanted.into);
        if (!dump) {
            complain("cannot read " + wanted.into + ": " + std::strerror(errno));
            complain("no image written");
            return exitfailed;
        }
    }
    const auto bytes = image.build(wanted, dump ? &*dump : nullptr, status == exitok, err);
    if (!bytes) return exitfailed;
    const std::string text = image::write(*bytes, imageformat(wanted));
    std::FILE* file = openutf8(wanted.file, "wb");
    const bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (!file || std::fclose(file) != 0 || !written) {
        if (file) removeutf8(wanted.file);  // no half-written image to burn
        complain("cannot write " + wanted.file);
        return exitfailed;
    }
    complain("wrote " + wanted.file);
    return status;
}

}  // namespace

int listcodes(Source& in, const std::string& name, const ListOptions& options, Writer::Form form, Sink& out, Sink& err,
              bool forpeople) {
    ListWriter rows(out, form, forpeople);
    ListMessages messages(err, name, rows);
    const ListEnd end = readlist(in, options, messages);
    if (end.kind == ListEnd::Kind::read && !rows.finish()) return exitfailed;  // reported once, by the caller
    return messages.finish(end);
}

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
