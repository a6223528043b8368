// The way back: the three codes of one direction, as they are read off a
// radio that someone else programmed, become the channel step, the division
// ratio N and the frequency they set, exactly as calccodes would have made
// them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "codes.h"

namespace calc {

struct Decoded {
    // Why the texts are not codes that calccodes gives, in words; empty
    // when they are. The numbers below are filled whenever the three texts
    // could be read, so an out-of-range frequency can be shown too.
    std::string problem;
    std::string steptext;         // the step text calccodes takes: "12.5kHz"
    std::int32_t n = 0;           // 64 B + A
    std::int64_t hundredths = 0;  // the frequency in hundredths of a kHz (10 Hz), exactly
};

// Reads each text as bytes "F" and a hex digit, least significant digit
// first: 2 bytes for acode, 3 for bcode and rcode. Either case is taken, and
// spaces or tabs between bytes. R must be one of 30, 60, 75, 120 and 150
// (750 / step), and A at most 63.
Decoded decodecodes(Direction direction, std::string_view acode, std::string_view bcode, std::string_view rcode);

}  // namespace calc
