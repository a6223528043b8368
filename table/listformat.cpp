#include "table/listformat.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "table/encoding.h"

namespace table {
namespace {

// Trimmed and in lower case, for matching names and keywords.
std::string lower(std::string_view text) {
    std::string out(trim(text));
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A header name split into the name and the unit in brackets after it:
// "Frequency (MHz)" -> {"frequency", "mhz"}.
std::pair<std::string, std::string> nameandunit(std::string_view header) {
    std::string name = lower(header);
    if (name.size() >= 2 && (name.back() == ')' || name.back() == ']')) {
        const char open = name.back() == ')' ? '(' : '[';
        const std::size_t at = name.rfind(open);
        if (at != std::string::npos) {
            std::string unit = lower(std::string_view(name).substr(at + 1, name.size() - at - 2));
            name = lower(std::string_view(name).substr(0, at));
            return {name, unit};
        }
    }
    return {name, ""};
}

std::optional<Unit> unitnamed(const std::string& unit) {
    if (unit == "mhz") return Unit::mhz;
    if (unit == "khz") return Unit::khz;
    if (unit == "hz") return Unit::hz;
    return std::nullopt;
}

const char* unitname(Unit unit) { return unit == Unit::mhz ? "MHz" : unit == Unit::khz ? "kHz" : "Hz"; }

std::string columnnumbers(std::size_t first, std::size_t second) {
    return std::to_string(first + 1) + " and " + std::to_string(second + 1);
}

}  // namespace

std::optional<ListFormat> ListFormat::fromheader(const std::vector<std::string>& header, char separator,
                                                 const std::optional<std::string>& stepoverride, bool decoding,
                                                 std::string& problem) {
    ListFormat format;
    format.decoding = decoding;
    format.width = header.size();
    format.decimalcomma = separator == ';' || separator == '\t';
    format.stepoverride = stepoverride;

    const std::array known = {
        std::tuple{"location", &format.location, false}, std::tuple{"name", &format.name, false},
        std::tuple{"frequency", &format.frequency, true}, std::tuple{"duplex", &format.duplex, false},
        std::tuple{"offset", &format.offset, true},      std::tuple{"tstep", &format.tstep, true},
        std::tuple{"rx_khz", &format.rxkhz, true},       std::tuple{"tx_khz", &format.txkhz, true},
        std::tuple{"step", &format.step, true},
        std::tuple{"rx_acode", &format.rxcodes[0], false}, std::tuple{"rx_bcode", &format.rxcodes[1], false},
        std::tuple{"rx_rcode", &format.rxcodes[2], false}, std::tuple{"tx_acode", &format.txcodes[0], false},
        std::tuple{"tx_bcode", &format.txcodes[1], false}, std::tuple{"tx_rcode", &format.txcodes[2], false},
    };
    for (std::size_t i = 0; i < header.size(); ++i) {
        const auto [column, unittext] = nameandunit(header[i]);
        for (const auto& [knownname, slot, measured] : known) {
            if (column != knownname || (!measured && !unittext.empty())) continue;
            if (*slot != none) {
                problem = "the header row has two " + header[i] + " columns (" + columnnumbers(*slot, i) +
                          "); which one holds the channels?";
                return std::nullopt;
            }
            *slot = i;
            if (unittext.empty()) break;
            const auto unit = unitnamed(unittext);
            const bool steporkhz = slot != &format.frequency && slot != &format.offset;
            if (!unit || (steporkhz && *unit != Unit::khz)) {
                problem = "the unit of " + quote(header[i]) + " is not " + (steporkhz ? "kHz" : "MHz, kHz or Hz");
                return std::nullopt;
            }
            if (slot == &format.frequency) format.frequencyunit = *unit;
            if (slot == &format.offset) format.offsetunit = *unit;
            break;
        }
    }
    if (decoding) {
        bool anyside = false;
        for (const auto* columns : {&format.rxcodes, &format.txcodes}) {
            const std::size_t found = static_cast<std::size_t>(std::count_if(
                std::begin(*columns), std::end(*columns), [](std::size_t column) { return column != none; }));
            if (found != 0 && found != 3) {
                problem = std::string("the header row has only some of the ") + (columns == &format.rxcodes ? "rx" : "tx") +
                          "_acode, _bcode and _rcode columns";
                return std::nullopt;
            }
            anyside = anyside || found == 3;
        }
        if (!anyside) {
            problem = "the header row has no code columns (rx_acode, rx_bcode, rx_rcode or tx_acode, tx_bcode, tx_rcode)";
            return std::nullopt;
        }
        return format;
    }
    format.exported = format.frequency != none;
    if (format.exported && (format.rxkhz != none || format.txkhz != none)) {
        problem = "the header row has both " + header[format.frequency] + " and " +
                  header[format.rxkhz != none ? format.rxkhz : format.txkhz] +
                  " columns; keep either the exported columns or rx_khz, tx_khz and step";
        return std::nullopt;
    }
    if (!format.exported && format.rxkhz == none && format.txkhz == none) {
        problem = "the header row has no frequency column (Frequency in MHz, or rx_khz and tx_khz); is this a channel list?";
        return std::nullopt;
    }
    if (!stepoverride && (format.exported ? format.tstep : format.step) == none) {
        problem = std::string("the header row has no ") + (format.exported ? "TStep" : "step") +
                  " column; give the step with --step";
        return std::nullopt;
    }
    return format;
}

std::string ListFormat::field(const std::vector<std::string>& fields, std::size_t column) const {
    return column < fields.size() ? fields[column] : std::string();
}

// A number field's text, its decimal comma made a point where the list
// separates fields otherwise.
std::string ListFormat::number(const std::vector<std::string>& fields, std::size_t column) const {
    std::string text = field(fields, column);
    if (decimalcomma) std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

Channel ListFormat::badrow(const std::vector<std::string>& fields, const std::string& problem) const {
    Channel channel;
    channel.location = field(fields, location);
    channel.name = field(fields, name);
    channel.problem = problem;
    return channel;
}

std::optional<Codes> ListFormat::sidecodes(const std::vector<std::string>& fields,
                                           const std::size_t (&columns)[3]) const {
    if (columns[0] == none) return std::nullopt;
    const auto text = [&](std::size_t i) { return columns[i] < fields.size() ? std::string_view(fields[columns[i]]) : ""; };
    if (trim(text(0)).empty() && trim(text(1)).empty() && trim(text(2)).empty()) return std::nullopt;
    return Codes{text(0), text(1), text(2)};
}

std::optional<Channel> ListFormat::channel(const std::vector<std::string>& fields) const {
    const auto rx = decoding ? sidecodes(fields, rxcodes) : std::nullopt;
    const auto tx = decoding ? sidecodes(fields, txcodes) : std::nullopt;
    if (decoding ? !rx && !tx
                 : exported ? trim(field(fields, frequency)).empty()
                            : trim(field(fields, rxkhz)).empty() && trim(field(fields, txkhz)).empty())
        return std::nullopt;  // an unused memory

    Channel channel;
    channel.location = field(fields, location);
    channel.name = field(fields, name);
    // Spreadsheets drop empty fields at a row's end; extra fields must be empty.
    const bool extra = std::any_of(fields.begin() + static_cast<std::ptrdiff_t>(std::min(width, fields.size())),
                                   fields.end(), [](const std::string& f) { return !trim(f).empty(); });
    if (extra) {
        channel.problem = std::to_string(fields.size()) + " fields where the header has " + std::to_string(width);
        return channel;
    }

    if (decoding) {
        fromcodes(channel, rx, tx);
        return channel;
    }
    if (exported)
        fillexported(fields, channel);
    else
        fillplain(fields, channel);
    if (!channel.problem.empty()) return channel;

    if (stepoverride) {
        channel.autostep = *stepoverride == autostep;
        if (!channel.autostep) channel.step = *stepoverride;
        return channel;
    }
    const std::string given = number(fields, exported ? tstep : step);
    if (const auto known = steptext(given))
        channel.step = *known;
    else
        channel.problem = "step " + quote(field(fields, exported ? tstep : step)) +
                          " is not one of 5, 6.25, 10, 12.5 and 25 kHz";
    return channel;
}

void ListFormat::fillexported(const std::vector<std::string>& fields, Channel& channel) const {
    const auto rx = parsefrequency(number(fields, frequency), frequencyunit);
    if (!rx) {
        channel.problem = "Frequency " + quote(fields[frequency]) + " is not a number of " + unitname(frequencyunit);
        return;
    }
    channel.rx.khz = khztext(*rx);

    const std::string kind = lower(field(fields, duplex));
    if (kind == "off") return;  // receive only
    if (kind.empty()) {
        channel.tx.khz = channel.rx.khz;
        return;
    }
    if (kind != "+" && kind != "-" && kind != "split") {
        channel.problem = "Duplex " + quote(fields[duplex]) + " is not '', '+', '-', 'split' or 'off'";
        return;
    }
    const auto value = parsefrequency(number(fields, offset), offsetunit);
    if (!value) {
        channel.problem = "Offset " + quote(field(fields, offset)) + " is not a number of " + unitname(offsetunit);
        return;
    }
    channel.tx.khz = khztext(kind == "split" ? *value : kind == "+" ? *rx + *value : *rx - *value);
}

void ListFormat::fillplain(const std::vector<std::string>& fields, Channel& channel) const {
    for (auto [column, side, label] : {std::tuple{rxkhz, &channel.rx, "rx_khz"}, std::tuple{txkhz, &channel.tx, "tx_khz"}}) {
        if (trim(field(fields, column)).empty()) continue;
        const auto value = parsefrequency(number(fields, column), Unit::khz);
        if (!value) {
            channel.problem = std::string(label) + " " + quote(fields[column]) + " is not a number of kHz";
            return;
        }
        side->khz = khztext(*value);
    }
}

}  // namespace table
