#include "listformat.h"

#include <tuple>

#include "decimal.h"

namespace table {
namespace {

// Trimmed and in lower case, for matching names and keywords.
std::string lower(std::string_view text) {
    std::string out(trim(text));
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Quoted for a message, cut short when long.
std::string quote(const std::string& text) {
    return "'" + (text.size() > 40 ? text.substr(0, 40) + "..." : text) + "'";
}

}  // namespace

std::optional<ListFormat> ListFormat::fromheader(const std::vector<std::string>& header,
                                                 const std::optional<std::string>& stepoverride, std::string& problem) {
    ListFormat format;
    format.width = header.size();
    format.stepoverride = stepoverride;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string column = lower(header[i]);
        std::size_t* slot = column == "location"    ? &format.location
                            : column == "name"      ? &format.name
                            : column == "frequency" ? &format.frequency
                            : column == "duplex"    ? &format.duplex
                            : column == "offset"    ? &format.offset
                            : column == "tstep"     ? &format.tstep
                            : column == "rx_khz"    ? &format.rxkhz
                            : column == "tx_khz"    ? &format.txkhz
                            : column == "step"      ? &format.step
                                                    : nullptr;
        if (slot && *slot == none) *slot = i;
    }
    format.exported = format.frequency != none;
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

Channel ListFormat::channel(const std::vector<std::string>& fields) const {
    Channel channel;
    const auto field = [&](std::size_t column) { return column < fields.size() ? fields[column] : std::string(); };
    channel.location = field(location);
    channel.name = field(name);
    if (fields.size() != width) {
        channel.problem = std::to_string(fields.size()) + " fields where the header has " + std::to_string(width);
        return channel;
    }

    if (exported)
        fillexported(fields, channel);
    else
        fillplain(fields, channel);
    if (!channel.problem.empty()) return channel;

    if (stepoverride) {
        channel.step = *stepoverride;
        return channel;
    }
    const std::string given = field(exported ? tstep : step);
    if (const auto known = steptext(given))
        channel.step = *known;
    else
        channel.problem = "step " + quote(given) + " is not one of 5, 6.25, 10, 12.5 and 25 kHz";
    return channel;
}

void ListFormat::fillexported(const std::vector<std::string>& fields, Channel& channel) const {
    const auto rx = parsemhz(fields[frequency]);
    if (!rx) {
        channel.problem = "Frequency " + quote(fields[frequency]) + " is not a number of MHz";
        return;
    }
    channel.rx.khz = khztext(*rx);

    const std::string kind = duplex == none ? "" : lower(fields[duplex]);
    if (kind == "off") return;  // receive only
    if (kind.empty()) {
        channel.tx.khz = channel.rx.khz;
        return;
    }
    if (kind != "+" && kind != "-" && kind != "split") {
        channel.problem = "Duplex " + quote(fields[duplex]) + " is not '', '+', '-', 'split' or 'off'";
        return;
    }
    const std::string offsettext = offset == none ? "" : fields[offset];
    const auto value = parsemhz(offsettext);
    if (!value) {
        channel.problem = "Offset " + quote(offsettext) + " is not a number of MHz";
        return;
    }
    channel.tx.khz = khztext(kind == "split" ? *value : kind == "+" ? *rx + *value : *rx - *value);
}

void ListFormat::fillplain(const std::vector<std::string>& fields, Channel& channel) const {
    for (auto [column, side, label] : {std::tuple{rxkhz, &channel.rx, "rx_khz"}, std::tuple{txkhz, &channel.tx, "tx_khz"}}) {
        if (column == none || lower(fields[column]).empty()) continue;
        const auto value = parsekhz(fields[column]);
        if (!value) {
            channel.problem = std::string(label) + " " + quote(fields[column]) + " is not a number of kHz";
            return;
        }
        side->khz = khztext(*value);
    }
    if (channel.rx.khz.empty() && channel.tx.khz.empty()) channel.problem = "no frequency in rx_khz or tx_khz";
}

}  // namespace table
