// The columns of a channel list, found by name in its header row, and the
// conversion of one row into a Channel. Two forms are known:
//  - the export of common radio programming software: Location, Name,
//    Frequency (MHz), Duplex ("", "+", "-", "split", "off"), Offset (MHz),
//    TStep (kHz); other columns are ignored;
//  - the plain form: rx_khz, tx_khz, step;
//  - for decoding, codes as this program writes them: rx_acode, rx_bcode,
//    rx_rcode and/or tx_acode, tx_bcode, tx_rcode.
// A name may carry its unit in brackets ("Frequency (MHz)", "Offset [kHz]"),
// and a value its own ("145.5 MHz"). With ';' or tab as the separator, a
// decimal comma in a number ("145,500000") is a decimal point.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "table/channel.h"
#include "table/decimal.h"

namespace table {

class ListFormat {
public:
    // The format of a header row, or nothing with the reason in problem.
    // A step column is needed unless stepoverride, a step text calccodes
    // knows ("12.5kHz") or autostep, stands in for it. With decoding, the
    // rows hold codes rather than frequencies.
    static std::optional<ListFormat> fromheader(const std::vector<std::string>& header, char separator,
                                                const std::optional<std::string>& stepoverride, bool decoding,
                                                std::string& problem);

    // One data row as a channel (Channel::problem says what is wrong with
    // it), or nothing for an unused memory: a row without any frequency.
    std::optional<Channel> channel(const std::vector<std::string>& fields) const;

    // A row the reader could not use, with the location and name it kept.
    Channel badrow(const std::vector<std::string>& fields, const std::string& problem) const;

private:
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    bool exported = false;  // the programming-software form, else the plain one
    bool decoding = false;
    bool decimalcomma = false;
    std::size_t width = 0;  // fields in the header
    std::size_t location = none, name = none, frequency = none, duplex = none, offset = none, tstep = none;
    std::size_t rxkhz = none, txkhz = none, step = none;
    std::size_t rxcodes[3] = {none, none, none}, txcodes[3] = {none, none, none};  // A, B, R
    Unit frequencyunit = Unit::mhz, offsetunit = Unit::mhz;
    std::optional<std::string> stepoverride;

    std::string field(const std::vector<std::string>& fields, std::size_t column) const;
    std::string number(const std::vector<std::string>& fields, std::size_t column) const;
    void fillexported(const std::vector<std::string>& fields, Channel& channel) const;
    void fillplain(const std::vector<std::string>& fields, Channel& channel) const;
    std::optional<Codes> sidecodes(const std::vector<std::string>& fields, const std::size_t (&columns)[3]) const;
};

}  // namespace table
