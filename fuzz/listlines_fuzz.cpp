// Builds a valid channel list from the input, so that every line's location,
// name and frequencies are known: four header forms, three separators, names
// that must be quoted (a separator, a quote, a line break, a '#' first),
// values with units. Damages it as lists get damaged: stray quotes anywhere
// (the header too, line and field starts, beside units), line breaks,
// separators of another kind, byte order marks, lines cut short, tabs made
// spaces. Runs freqcode-table on it and checks the rule against the known
// values: every undamaged line that holds a channel yields exactly one row
// with its own location, name and frequencies, or is named on standard
// error by its own line number and the exit status is 1 (or the damaged
// header refuses the whole list); no row carries values of two lines, but
// for two lines that damage made one record. An
// undamaged list gives all its rows, and its output decodes back to them,
// as does its file for a person, in the list's separator and decimal mark.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "table/channel.h"
#include "table/cli.h"
#include "toolrun.h"

namespace {

// The damaged list and what the program made of it, shown when a check fails.
std::string shown;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "%s\n%s\n", what, shown.c_str());
        std::abort();
    }
}

// The input's bytes as choices; zeros once it is used up.
struct Choices {
    const std::uint8_t* data;
    std::size_t size, pos = 0;
    unsigned next(unsigned range) { return (pos < size ? data[pos++] : 0u) % range; }
};

enum class Kind { channel, comment, blank, unused };

struct Line {
    Kind kind;
    std::string location, name, rx, tx;  // as the output writes them
};

// Four list forms, each with the text of a channel line and of an unused
// memory.
const char* const headers[] = {"Location,Name,Frequency,Duplex,Offset,TStep",
                               "name,rx_khz,tx_khz,step",
                               "No.,Channel Name,Receive Frequency,Transmit Frequency,Rx Only",
                               "Location,Name,RX Freq,TX Freq"};

std::string mhz(long khz) { return std::to_string(khz / 1000) + "." + std::to_string(1000 + khz % 1000).substr(1); }

// A name as a field: quoted where it must be, or always.
std::string namefield(const std::string& name, bool first, bool always, char sep) {
    const bool must = name.find_first_of(std::string("\"\r\n") + sep) != std::string::npos || (first && name[0] == '#');
    if (!must && !always) return name;
    std::string out = "\"";
    for (const char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string channeltext(int form, const Line& line, long rx, long tx, char sep, bool units) {
    const std::string s(1, sep);
    const std::string unit = units ? " MHz" : "";
    if (form == 0) {
        const char* duplex = tx == rx ? "" : tx > rx ? "+" : "-";
        return namefield(line.location, true, false, sep) + s + namefield(line.name, false, false, sep) + s + mhz(rx) +
               "000" + unit + s + duplex + s + "0.600000" + s + "12.50";
    }
    if (form == 1) return namefield(line.name, true, false, sep) + s + std::to_string(rx) + s + std::to_string(tx) + s + "12.5kHz";
    if (form == 2)
        return line.location + s + namefield(line.name, false, true, sep) + s + mhz(rx) + "00" + s + mhz(tx) + "00" + s + "No";
    return namefield(line.location, true, false, sep) + s + namefield(line.name, false, false, sep) + s + mhz(rx) + unit + s +
           mhz(tx) + unit;
}

std::string unusedtext(int form, const Line& line, char sep) {
    const std::string s(1, sep);
    if (form == 0) return line.location + s + s + s + s + "0.000000" + s + "12.50";
    if (form == 1) return s + s + s + "12.5kHz";
    if (form == 2) return line.location + s + s + s + s + "No";
    return line.location + s + s + s;
}

// The lines that standard error names: "...: line N: ...".
std::set<long> namedlines(const std::string& err) {
    std::set<long> named;
    const std::string mark = ": line ";
    for (std::size_t at = err.find(mark); at != std::string::npos; at = err.find(mark, at + 1))
        named.insert(std::strtol(err.c_str() + at + mark.size(), nullptr, 10));
    return named;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Choices choose{data, size};
    const int form = static_cast<int>(choose.next(4));
    const char sep = ",;\t"[choose.next(3)];
    const std::string ending = choose.next(2) == 0 ? "\n" : "\r\n";
    const bool units = choose.next(2) == 0;
    const bool comma = sep != ',' && choose.next(2) == 0;  // decimal commas

    // The list: values unique to their line, and no value a piece of another.
    std::vector<Line> lines;
    std::string text = (choose.next(4) == 0 ? "\xEF\xBB\xBF" : "") + std::string(headers[form]);
    for (char& c : text) if (c == ',') c = sep;
    text += ending;
    std::vector<int> owner(text.size(), -1);  // the list line each byte belongs to; -1 the header
    const int count = 1 + static_cast<int>(choose.next(12));
    for (int i = 0; i < count; ++i) {
        Line line{static_cast<Kind>(choose.next(8) < 5 ? 0 : 1 + choose.next(3)), "", "", "", ""};
        const std::string pair{static_cast<char>('a' + i), static_cast<char>('a' + i)};
        line.location = form == 1 ? "" : std::to_string(101 + i);
        switch (choose.next(6)) {
            case 0: line.name = "Ch" + std::string(1, sep) + " " + pair; break;
            case 1: line.name = "Ch\"" + pair; break;
            case 2: line.name = "North" + ending + pair + "hill"; break;
            case 3: line.name = "#" + pair; break;
            default: line.name = "Ch" + pair; break;
        }
        if (form == 0 && choose.next(8) == 0) line.location = "#" + line.location;
        const long rx = 144025 + 1000L * i;
        const long tx = rx + 600L * (static_cast<long>(choose.next(3)) - 1);
        std::string body;
        switch (line.kind) {
            case Kind::channel:
                line.rx = std::to_string(rx);
                line.tx = std::to_string(tx);
                body = channeltext(form, line, rx, tx, sep, units);
                break;
            case Kind::comment: body = "# note " + std::to_string(i); break;
            case Kind::blank: body = choose.next(2) == 0 ? "" : "  "; break;
            case Kind::unused: body = unusedtext(form, line, sep); break;
        }
        // Only numbers hold a point.
        if (comma && line.kind != Kind::comment) std::replace(body.begin(), body.end(), '.', ',');
        if (line.kind != Kind::channel) line.name.clear();
        if (line.kind != Kind::channel && !line.location.empty() && line.location[0] == '#') line.location.erase(0, 1);
        text += body + ending;
        owner.resize(text.size(), i);
        lines.push_back(line);
    }

    // The damage: each damages the line of the byte where it happens (the
    // header is line -1). Quotes go anywhere, or where they do most harm:
    // at a line's start, a field's start, a line's end.
    const auto lineof = [&](std::size_t at) { return at < owner.size() ? owner[at] : owner.back(); };
    std::vector<bool> damaged(lines.size(), false);
    bool header = false;
    const auto mark = [&](int line) {
        if (line < 0) header = true;
        else damaged[static_cast<std::size_t>(line)] = true;
    };
    const unsigned howmany = choose.next(4);
    for (unsigned d = 0; d < howmany; ++d) {
        std::size_t at = (choose.next(256) * 256 + choose.next(256)) % text.size();
        switch (choose.next(4)) {  // move to a place of a kind
            case 0: while (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r') --at; break;
            case 1: while (at > 0 && text[at - 1] != sep) --at; break;
            case 2: while (at < text.size() && text[at] != '\n' && text[at] != '\r') ++at; break;
            default: break;
        }
        const int line = lineof(at);
        const unsigned which = choose.next(10);
        // The header gets stray quotes only: other damage there makes
        // another header, whose columns say other things.
        if (line < 0 && which != 9 && which > 2) continue;
        if (which == 7) {  // the line cut short here
            std::size_t end = at;
            while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
            text.erase(at, end - at);
            owner.erase(owner.begin() + static_cast<std::ptrdiff_t>(at), owner.begin() + static_cast<std::ptrdiff_t>(end));
            mark(line);
            continue;
        }
        if (which == 8) {  // a separator of another kind, or tabs made spaces
            std::size_t start = at, end = at;
            while (start > 0 && text[start - 1] != '\n' && text[start - 1] != '\r') --start;
            while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
            const std::size_t found = text.find(sep, start);
            if (found == std::string::npos || found >= end) continue;
            if (sep == '\t') {
                text.replace(found, 1, "    ");
                owner.insert(owner.begin() + static_cast<std::ptrdiff_t>(found), 3, lineof(found));
            } else {
                text[found] = sep == ',' ? ';' : ',';
            }
            mark(lineof(found));
            continue;
        }
        const char* const damages[] = {"\"", "\"", "\"", "\n", "\r", "\r\n", "\xEF\xBB\xBF"};
        const std::string insert = which < 7 ? damages[which] : std::string(1, which == 9 ? '"' : sep);
        mark(line);
        text.insert(at, insert);
        owner.insert(owner.begin() + static_cast<std::ptrdiff_t>(at), insert.size(), line);
    }

    // Each list line's number in the damaged text: where its first byte is.
    std::vector<long> number(lines.size(), 0);
    long current = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (owner[i] >= 0 && number[static_cast<std::size_t>(owner[i])] == 0) number[static_cast<std::size_t>(owner[i])] = current;
        current += text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
    }

    // The program's own work on a list, in memory.
    const auto run = [](const std::string& list, bool decode, std::string& output, std::string& messages, bool people = false) {
        table::MemorySource in(list);
        table::StringSink out, err;
        const int status =
            table::listcodes(in, "standard input", {std::nullopt, decode}, table::Writer::Form::csv, out, err, people);
        output = out.text();
        messages = err.text();
        return status;
    };
    std::string output, messages;
    const int status = run(text, false, output, messages);
    shown = "list:\n" + text + "\noutput:\n" + output + "\nmessages:\n" + messages;

    const auto rows = records(output);

    // Which line each known value belongs to.
    std::map<std::string, std::size_t> whose;
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (const std::string* value : {&lines[i].location, &lines[i].name, &lines[i].rx, &lines[i].tx})
            if (!value->empty()) whose[*value] = i;
    bool anyfailed = false;
    for (const auto& row : rows) {
        std::set<std::size_t> from;
        for (const char* column : {"location", "name", "rx_khz", "tx_khz"})
            if (const auto found = whose.find(row.at(column)); found != whose.end()) from.insert(found->second);
        // Damage that cuts one line short and takes away the start of the
        // next can leave a record as whole as any: a location, a quoted
        // name over both lines' rest, a frequency. Only lines that are
        // both damaged may end up so; an undamaged line never.
        require(from.size() <= 1 || std::all_of(from.begin(), from.end(), [&](std::size_t i) { return damaged[i]; }),
                "a row carries values of two lines");
        anyfailed = anyfailed || !computed(row.at("status"));
    }
    require(!anyfailed || status == 1, "a failed row, but the exit status is not 1");

    // A damaged header may refuse the whole list, by its line.
    if (header && status == 1 && rows.empty() && messages.find("the header row") != std::string::npos) return 0;

    const std::set<long> named = namedlines(messages);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind != Kind::channel || damaged[i]) continue;
        int found = 0;
        for (const auto& row : rows)
            found += row.at("location") == line.location && row.at("name") == line.name && row.at("rx_khz") == line.rx &&
                     row.at("tx_khz") == line.tx && computed(row.at("status"));
        require(found <= 1, "a line's channel is written twice");
        require(found == 1 || (named.count(number[i]) == 1 && status == 1), "a line's channel is lost without a word");
    }
    if (howmany == 0) {
        require(status == 0, "an undamaged list fails");
        require(rows.size() == static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const Line& l) {
                                   return l.kind == Kind::channel;
                               })),
                "an undamaged list gives another number of rows");
        // What the program writes reads back: the codes give the same
        // channels under the same locations and names.
        std::string decoded, said;
        const int back = run(output, true, decoded, said);
        const auto again = records(decoded);
        require(back == 0 && again.size() == rows.size(), "the output does not decode back");
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (const char* column : {"location", "name", "rx_khz", "tx_khz", "step", "status"})
                require(again[i].at(column) == rows[i].at(column), "a decoded row differs from its list's row");
        // The file for a person: a byte order mark, the list's separator
        // and decimal mark, and the same codes read back.
        std::string people, peoplesaid, peopledecoded;
        require(run(text, false, people, peoplesaid, true) == 0, "the file for a person fails where the list does not");
        require(people.starts_with("\xEF\xBB\xBFlocation" + std::string(1, sep)), "the file for a person starts otherwise");
        // (Beside ';' or tab, only a number can hold either mark.)
        require(sep == ',' || people.find(comma ? '.' : ',') == std::string::npos,
                "the file for a person has another decimal mark than its list");
        require(run(people, true, peopledecoded, said) == 0 && peopledecoded == decoded,
                "the file for a person does not decode back as the output does");
    }
    return 0;
}
