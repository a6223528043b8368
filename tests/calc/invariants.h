// What must hold for every calccodes result, whatever the input: shared by
// the range tests and the fuzzer.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "calc/codes.h"

namespace calctest {

// The value of a nibble code text ("FCFFF4" -> 0x4FC), or nothing when the
// text is not "F" followed by an upper-case hex digit, pair after pair.
inline std::optional<int> decode(std::string_view code) {
    if (code.empty() || code.size() % 2 != 0) return std::nullopt;
    int value = 0;
    for (std::size_t i = code.size(); i >= 2; i -= 2) {
        const char d = code[i - 1];
        const bool hex = (d >= '0' && d <= '9') || (d >= 'A' && d <= 'F');
        if (code[i - 2] != 'F' || !hex) return std::nullopt;
        value = value * 16 + (d <= '9' ? d - '0' : d - 'A' + 10);
    }
    return value;
}

// N = 64 B + A decoded from a code set, or nothing when a code is malformed
// or of the wrong length.
inline std::optional<int> decoden(const calc::CodeSet& codes) {
    if (codes.acode.size() != 4 || codes.bcode.size() != 6 || codes.rcode.size() != 6) return std::nullopt;
    const auto a = decode(codes.acode), b = decode(codes.bcode);
    if (!a || !b || !decode(codes.rcode) || *a > 63) return std::nullopt;
    return 64 * *b + *a;
}

// An empty text when the result is consistent with its inputs, else what is wrong.
inline std::string checkresult(calc::Direction direction, std::string_view steptext, std::string_view freqtext,
                               const calc::Result& result) {
    const double f = calc::valnum(freqtext);
    const double step = calc::stepkhz(steptext);
    const bool inrange = f > calc::lowerkhz && f < calc::upperkhz;
    const bool nocodes = result.codes.acode.empty() && result.codes.bcode.empty() && result.codes.rcode.empty();
    switch (result.outcome) {
        case calc::Outcome::outofrange:
            if (inrange) return "outofrange for a frequency in range";
            return nocodes ? "" : "codes with outofrange";
        case calc::Outcome::offstep:
            if (!inrange) return "offstep for a frequency out of range";
            return nocodes ? "" : "codes with offstep";
        case calc::Outcome::codes:
            break;
    }
    if (!inrange) return "codes for a frequency out of range";
    const auto n = decoden(result.codes);
    if (!n) return "malformed codes";
    if (decode(result.codes.rcode) != static_cast<int>(750 / step)) return "R does not belong to the step";
    const double offset = direction == calc::Direction::receive ? calc::receiveoffsetkhz : 0;
    // On the raster to within the 10 Hz that the raster test rounds to.
    if (std::abs(*n * step + offset - f) > 0.0051) return "N does not give the frequency back";
    return "";
}

}  // namespace calctest
