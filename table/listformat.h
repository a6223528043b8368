// The columns of a channel list, found by name in its header row, and the
// conversion of one row into a Channel. The forms known:
//  - the export of common radio programming software: Location, Name,
//    Frequency (MHz), Duplex ("", "+", "-", "split", "off"), Offset (MHz),
//    TStep (kHz); other columns are ignored;
//  - a receive and a transmit column of their own: rx_khz and tx_khz (kHz),
//    or as other programming software names them, Receive Frequency, Rx
//    Frequency or RX Freq and Transmit Frequency, Tx Frequency or TX Freq
//    (MHz), with No. or Channel Number, Channel Name, and Rx Only (Yes/No);
//  - for decoding, codes as this program writes them: rx_acode, rx_bcode,
//    rx_rcode and/or tx_acode, tx_bcode, tx_rcode.
// Names are matched whatever their case and may carry a note in brackets:
// for a value with a unit, the unit ("Frequency (MHz)", "Offset [kHz]"); a
// value may carry its own ("145.5 MHz"). With ';' or tab as the separator, a
// decimal comma in a number ("145,500000") is a decimal point.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/channel.h"
#include "table/decimal.h"

namespace table {

class ListFormat {
public:
    // The format of a header row, or nothing with the reason in problem.
    // stepoverride, a step text calccodes knows ("12.5kHz") or autostep,
    // stands in for the list's own steps; a list without a step column
    // takes it, and without it autostep. With decoding, the rows hold codes
    // rather than frequencies.
    static std::optional<ListFormat> fromheader(const std::vector<std::string>& header, char separator,
                                                const std::optional<std::string>& stepoverride, bool decoding,
                                                std::string& problem);

    // How many columns a reading needs: up to the last of location,
    // frequencies and codes.
    std::size_t columnsread() const;

    // Whether the list has a location column.
    bool haslocation() const { return location != none; }

    // Whether the list has a step column of its own.
    bool hasstepcolumn() const { return step != none; }

    // A channel as one way of reading a line gives it: its location and the
    // frequencies in its frequency columns (decoding: the ones its codes
    // set, where they are codes).
    struct Reading {
        std::string_view location;
        std::optional<Microkhz> rx, tx;
    };
    // What a line's fields, read one way, hold: a reading when a frequency
    // column (decoding: a code column) holds a value. Where the line has a
    // quote, a reading whose location is neither empty nor a whole number
    // is none: it is the tail of a quoted value, not a row's start.
    std::optional<Reading> reading(const std::vector<std::string_view>& fields, bool quoted) const;
    // Whether a line's fields, read plainly, start with a location that is
    // a whole number, as a memory's row does.
    bool startsmemory(const std::vector<std::string_view>& fields) const {
        return location < fields.size() && wholenumber(trim(fields[location]));
    }

    // Whether a row gives the location and frequencies of a reading.
    bool agrees(const Reading& reading, const Channel& row) const;

    // One data row as a channel (Channel::problem says what is wrong with
    // it), or nothing for an unused memory: a row with no frequency whose
    // only values are its location and defaults.
    std::optional<Channel> channel(const std::vector<std::string>& fields) const;

    // The decimal mark ('.' or ',') that a row's frequencies, offset and
    // step show, or 0 when none holds one. In a list separated by commas a
    // number's mark is a point.
    char decimalmark(const std::vector<std::string>& fields) const;

    // A row that cannot be used, with the location and name it kept.
    Channel badrow(const std::vector<std::string>& fields, const std::string& problem) const;

private:
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    struct Frequencies {
        std::size_t column = none;
        Unit unit = Unit::mhz;
        std::string label;  // the column's name, as messages give it
    };

    bool decoding = false;
    bool decimalcomma = false;
    std::size_t width = 0;  // fields in the header
    std::size_t location = none, name = none, duplex = none, step = none, rxonly = none;
    Frequencies frequency{none, Unit::mhz, "Frequency"}, offset{none, Unit::mhz, "Offset"};
    Frequencies rx{none, Unit::khz, "rx_khz"}, tx{none, Unit::khz, "tx_khz"};
    std::size_t rxcodes[3] = {none, none, none}, txcodes[3] = {none, none, none};  // A, B, R
    std::string stepgiven;  // the step every channel takes, without a step column or with --step

    std::string field(const std::vector<std::string>& fields, std::size_t column) const;
    std::string number(const std::vector<std::string>& fields, std::size_t column) const;
    std::optional<Microkhz> value(const std::vector<std::string>& fields, const Frequencies& column) const;
    bool unused(const std::vector<std::string>& fields) const;
    std::string separatorhint(const std::vector<std::string>& fields) const;
    void fill(const std::vector<std::string>& fields, std::optional<Channel>& row) const;
    void fillexported(const std::vector<std::string>& fields, Channel& channel) const;
    void fillsides(const std::vector<std::string>& fields, Channel& channel) const;
    std::optional<Codes> sidecodes(const std::vector<std::string>& fields, const std::size_t (&columns)[3]) const;
};

}  // namespace table
