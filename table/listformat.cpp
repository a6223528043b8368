#include "table/listformat.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "calc/decode.h"
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

// A header name split into the name and the note in brackets after it,
// both trimmed: "Frequency (MHz)" -> {"Frequency", "MHz"}. Byte order marks
// before the name (a file saved twice with one) are dropped.
std::pair<std::string_view, std::string_view> nameandnote(std::string_view header) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    header = trim(header);
    while (header.starts_with(bom)) header = trim(header.substr(bom.size()));
    if (header.size() >= 2 && (header.back() == ')' || header.back() == ']')) {
        const std::size_t at = header.rfind(header.back() == ')' ? '(' : '[');
        if (at != std::string_view::npos)
            return {trim(header.substr(0, at)), trim(header.substr(at + 1, header.size() - at - 2))};
    }
    return {header, ""};
}

std::optional<Unit> unitnamed(const std::string& unit) {
    if (unit == "mhz") return Unit::mhz;
    if (unit == "khz") return Unit::khz;
    if (unit == "hz") return Unit::hz;
    return std::nullopt;
}

// For a column name, in lower case, that speaks of a receive or transmit
// frequency ("transmit freq", "tx frequency 2", "rxfreq"), the names to
// give it instead; nothing for any other name (nor for a tone's frequency).
const char* frequencylike(std::string_view name) {
    const auto has = [&](std::string_view word) { return name.find(word) != std::string_view::npos; };
    // Tone frequencies are no channel's.
    if (!has("freq") || has("tone") || has("ctcss") || has("dcs")) return nullptr;
    if (has("tx") || has("transmit") || has("send")) return "Transmit Frequency or tx_khz";
    if (has("rx") || has("receive")) return "Receive Frequency or rx_khz";
    return nullptr;
}

// Rx Only's yes, as exports write it.
bool saysyes(std::string_view text) {
    const std::string said = lower(text);
    return said == "yes" || said == "y" || said == "true" || said == "1";
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

    // Each name a column may have; a measured one takes a unit in brackets
    // (kHz only where khzonly), any other a note that is ignored.
    struct Known {
        std::string_view name;
        std::size_t* column;
        Frequencies* measured = nullptr;
        Unit unit = Unit::khz;
        bool khzonly = false;
    };
    auto& f = format;
    const Known known[] = {
        {"location", &f.location}, {"no.", &f.location}, {"channel number", &f.location},
        {"name", &f.name}, {"channel name", &f.name},
        {"duplex", &f.duplex}, {"rx only", &f.rxonly},
        {"tstep", &f.step, nullptr, Unit::khz, true}, {"step", &f.step, nullptr, Unit::khz, true},
        {"frequency", &f.frequency.column, &f.frequency, Unit::mhz},
        {"offset", &f.offset.column, &f.offset, Unit::mhz},
        {"rx_khz", &f.rx.column, &f.rx, Unit::khz, true},
        {"receive frequency", &f.rx.column, &f.rx, Unit::mhz},
        {"rx frequency", &f.rx.column, &f.rx, Unit::mhz},
        {"rx freq", &f.rx.column, &f.rx, Unit::mhz},
        {"tx_khz", &f.tx.column, &f.tx, Unit::khz, true},
        {"transmit frequency", &f.tx.column, &f.tx, Unit::mhz},
        {"tx frequency", &f.tx.column, &f.tx, Unit::mhz},
        {"tx freq", &f.tx.column, &f.tx, Unit::mhz},
        {"rx_acode", &f.rxcodes[0]}, {"rx_bcode", &f.rxcodes[1]}, {"rx_rcode", &f.rxcodes[2]},
        {"tx_acode", &f.txcodes[0]}, {"tx_bcode", &f.txcodes[1]}, {"tx_rcode", &f.txcodes[2]},
    };
    for (std::size_t i = 0; i < header.size(); ++i) {
        // A quote inside a name is a stray one: the names may be wrong.
        if (header[i].find('"') != std::string::npos) {
            problem = "the header row's column " + std::to_string(i + 1) + ", " + quote(header[i]) + ", holds a stray quote; is this a channel list?";
            return std::nullopt;
        }
        const auto [shown, note] = nameandnote(header[i]);
        const std::string column = lower(shown);
        if (const char* names = frequencylike(column);
            names && std::none_of(std::begin(known), std::end(known), [&](const Known& k) { return column == k.name; })) {
            problem = "the header row's column " + std::to_string(i + 1) + ", " + quote(header[i]) +
                      ", looks like a frequency, but it is none this program knows; name it " + names;
            return std::nullopt;
        }
        for (const Known& k : known) {
            if (column != k.name) continue;
            if (*k.column != none) {
                const std::string first(nameandnote(header[*k.column]).first);
                problem = "the header row has " +
                          (lower(first) == column ? "two " + first : "both " + first + " and " + std::string(shown)) +
                          " columns (" + columnnumbers(*k.column, i) + "); which one holds the channels?";
                return std::nullopt;
            }
            *k.column = i;
            if (k.measured) {
                k.measured->unit = k.unit;
                k.measured->label = std::string(shown);
            }
            if (note.empty() || (!k.measured && !k.khzonly)) break;
            const auto unit = unitnamed(lower(note));
            if (!unit || (k.khzonly && *unit != Unit::khz)) {
                problem = "the unit of " + quote(header[i]) + " is not " + (k.khzonly ? "kHz" : "MHz, kHz or Hz");
                return std::nullopt;
            }
            if (k.measured) k.measured->unit = *unit;
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
    const bool sides = format.rx.column != none || format.tx.column != none;
    if (format.frequency.column != none && sides) {
        problem = "the header row has both " + format.frequency.label + " and " +
                  (format.rx.column != none ? format.rx.label : format.tx.label) +
                  " columns; keep either Frequency with Duplex and Offset, or a receive and a transmit column";
        return std::nullopt;
    }
    if (format.frequency.column == none && !sides) {
        problem = "the header row has no frequency column (Frequency in MHz, Receive and Transmit Frequency, or "
                  "rx_khz and tx_khz); is this a channel list?";
        return std::nullopt;
    }
    format.stepgiven = stepoverride ? *stepoverride : format.step == none ? autostep : "";
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

char ListFormat::decimalmark(const std::vector<std::string>& fields) const {
    for (const std::size_t column : {frequency.column, offset.column, rx.column, tx.column, step}) {
        if (column >= fields.size()) continue;
        const std::string_view text = trim(fields[column]);
        if (decimalcomma && text.find(',') != std::string_view::npos) return ',';
        if (text.find('.') != std::string_view::npos) return '.';
    }
    return 0;
}

std::optional<Microkhz> ListFormat::value(const std::vector<std::string>& fields, const Frequencies& column) const {
    if (column.column == none) return std::nullopt;
    if (!decimalcomma) return parsefrequency(column.column < fields.size() ? std::string_view(fields[column.column]) : "", column.unit);
    return parsefrequency(number(fields, column.column), column.unit);
}

std::optional<ListFormat::Reading> ListFormat::reading(const std::vector<std::string_view>& fields, bool quoted) const {
    const auto at = [&](std::size_t column) { return column < fields.size() ? trim(fields[column]) : std::string_view(); };
    Reading found{at(location), std::nullopt, std::nullopt};
    if (quoted && location != none && !found.location.empty() && !wholenumber(found.location)) return std::nullopt;
    if (decoding) {
        bool any = false;
        for (auto [columns, side, direction] : {std::tuple{&rxcodes, &found.rx, calc::Direction::receive},
                                                std::tuple{&txcodes, &found.tx, calc::Direction::transmit}}) {
            if ((*columns)[0] == none) continue;
            const std::string_view a = at((*columns)[0]), b = at((*columns)[1]), r = at((*columns)[2]);
            if (a.empty() && b.empty() && r.empty()) continue;
            any = true;
            const auto decoded = calc::decodecodes(direction, a, b, r);
            if (decoded.problem.empty()) *side = Microkhz{decoded.hundredths * 10'000};
        }
        return any ? std::optional(found) : std::nullopt;
    }
    const auto parsed = [&](const Frequencies& column) -> std::optional<Microkhz> {
        if (column.column == none) return std::nullopt;
        if (!decimalcomma) return parsefrequency(at(column.column), column.unit);
        std::string text(at(column.column));
        std::replace(text.begin(), text.end(), ',', '.');
        return parsefrequency(text, column.unit);
    };
    if (frequency.column != none) {
        found.rx = parsed(frequency);
    } else {
        found.rx = parsed(rx);
        found.tx = parsed(tx);
    }
    if (!found.rx && !found.tx) return std::nullopt;
    return found;
}

std::size_t ListFormat::columnsread() const {
    std::size_t last = 0;
    for (const std::size_t column : {location, frequency.column, rx.column, tx.column, rxcodes[0], rxcodes[1], rxcodes[2],
                                     txcodes[0], txcodes[1], txcodes[2]})
        if (column != none) last = std::max(last, column + 1);
    return last;
}

bool ListFormat::agrees(const Reading& reading, const Channel& row) const {
    const std::string_view given = trim(row.location);
    if (validutf8(reading.location) ? given != reading.location : given != cp1252toutf8(reading.location))
        return false;
    const auto same = [](const std::optional<Microkhz>& value, const Side& side) {
        return value ? !side.khz.empty() && side.exact.value == value->value : side.khz.empty();
    };
    if (!same(reading.rx, row.rx)) return false;
    // The exported form's transmit frequency comes from Duplex and Offset.
    return (frequency.column != none && !decoding) || row.receiveonly || same(reading.tx, row.tx);
}

// An unused memory: its location a whole number or empty, no frequency, no
// name, and defaults only in the other columns read: duplex empty, offset
// zero, a step of the five, Rx Only no; nothing past the header's columns.
bool ListFormat::unused(const std::vector<std::string>& fields) const {
    const auto empty = [&](std::size_t column) { return trim(field(fields, column)).empty(); };
    const std::string place(trim(field(fields, location)));
    const auto offsetvalue = value(fields, offset);
    return (place.empty() || wholenumber(place)) && empty(frequency.column) && empty(rx.column) && empty(tx.column) &&
           empty(name) && empty(duplex) && (empty(offset.column) || (offsetvalue && offsetvalue->value == 0)) &&
           (empty(step) || steptext(number(fields, step))) && (empty(rxonly) || !saysyes(field(fields, rxonly))) &&
           std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(std::min(width, fields.size())), fields.end(),
                       [](const std::string& f) { return trim(f).empty(); });
}

// A row of one field under a header of more, whose field holds another
// separator (or the spaces an editor made of tabs): the words that say so.
std::string ListFormat::separatorhint(const std::vector<std::string>& fields) const {
    if (fields.size() != 1 || width < 2) return "";
    const std::string& text = fields[0];
    std::string words = "1 field where the header has " + std::to_string(width);
    for (const auto& [c, shown] : {std::pair{';', "';'"}, std::pair{',', "','"}, std::pair{'\t', "a tab"}})
        if (text.find(c) != std::string::npos) return words + ": is the separator " + shown + "?";
    if (text.find("  ") != std::string::npos) return words + ": were its tabs turned into spaces?";
    return "";
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
    std::optional<Channel> row;  // one object, returned as it is: a Channel is a dozen strings to move
    fill(fields, row);
    return row;
}

void ListFormat::fill(const std::vector<std::string>& fields, std::optional<Channel>& row) const {
    const auto rxside = decoding ? sidecodes(fields, rxcodes) : std::nullopt;
    const auto txside = decoding ? sidecodes(fields, txcodes) : std::nullopt;
    if (const std::string hint = separatorhint(fields); !hint.empty()) {
        row = badrow(fields, hint);
        return;
    }
    if (decoding && !rxside && !txside) return;  // an unused memory
    const auto given = [&](std::size_t column) { return !trim(field(fields, column)).empty(); };
    if (!decoding && !given(frequency.column) && !given(rx.column) && !given(tx.column)) {
        if (!unused(fields)) row = badrow(fields, "no frequency");
        return;
    }

    Channel& channel = row.emplace();
    channel.location = field(fields, location);
    channel.name = field(fields, name);
    // Spreadsheets drop empty fields at a row's end; extra fields must be empty.
    const bool extra = std::any_of(fields.begin() + static_cast<std::ptrdiff_t>(std::min(width, fields.size())),
                                   fields.end(), [](const std::string& f) { return !trim(f).empty(); });
    if (extra) {
        channel.problem = std::to_string(fields.size()) + " fields where the header has " + std::to_string(width);
        return;
    }

    if (decoding) {
        fromcodes(channel, rxside, txside);
        return;
    }
    if (frequency.column != none)
        fillexported(fields, channel);
    else
        fillsides(fields, channel);
    if (!channel.problem.empty()) return;

    if (!stepgiven.empty()) {
        channel.autostep = stepgiven == autostep;
        if (!channel.autostep) channel.step = stepgiven;
        return;
    }
    if (const auto known = steptext(number(fields, step)))
        channel.step = *known;
    else
        channel.problem = "step " + quote(field(fields, step)) + " is not one of " + stepsinwords();
}

void ListFormat::fillexported(const std::vector<std::string>& fields, Channel& channel) const {
    const auto rxvalue = value(fields, frequency);
    if (!rxvalue) {
        channel.problem = frequency.label + " " + quote(fields[frequency.column]) + " is not a number of " +
                          unitname(frequency.unit);
        return;
    }
    channel.rx.set(*rxvalue);

    const std::string kind = lower(field(fields, duplex));
    if (kind == "off") {
        channel.receiveonly = true;
        return;
    }
    if (kind.empty()) {
        channel.tx = channel.rx;
        return;
    }
    if (kind != "+" && kind != "-" && kind != "split") {
        channel.problem = "Duplex " + quote(fields[duplex]) + " is not '', '+', '-', 'split' or 'off'";
        return;
    }
    const auto offsetvalue = value(fields, offset);
    if (!offsetvalue) {
        channel.problem = offset.label + " " + quote(field(fields, offset.column)) + " is not a number of " +
                          unitname(offset.unit);
        return;
    }
    channel.tx.set(kind == "split" ? *offsetvalue : kind == "+" ? *rxvalue + *offsetvalue : *rxvalue - *offsetvalue);
}

void ListFormat::fillsides(const std::vector<std::string>& fields, Channel& channel) const {
    for (auto [column, side] : {std::pair{&rx, &channel.rx}, std::pair{&tx, &channel.tx}}) {
        if (trim(field(fields, column->column)).empty()) continue;
        const auto khz = value(fields, *column);
        if (!khz) {
            channel.problem = column->label + " " + quote(fields[column->column]) + " is not a number of " +
                              unitname(column->unit);
            return;
        }
        side->set(*khz);
    }
    const std::string said = lower(field(fields, rxonly));
    if (saysyes(said)) {
        channel.receiveonly = true;
        channel.tx.khz.clear();
        if (channel.rx.khz.empty()) channel.problem = "receive only, but no receive frequency";
    } else if (!said.empty() && said != "no" && said != "n" && said != "false" && said != "0") {
        channel.problem = "Rx Only " + quote(fields[rxonly]) + " is not Yes or No";
    } else if (rxonly != none && channel.tx.khz.empty()) {
        channel.problem = "no transmit frequency, and Rx Only is not Yes";
    }
}

}  // namespace table
