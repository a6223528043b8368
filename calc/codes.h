// The synthesizer code calculation: a direction, a channel step text and a
// frequency text in kHz become the three nibble codes A, B and R, or one of
// two quiet outcomes. This is the interface the window and the command-line
// program call.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversions.h"

namespace calc {

enum class Direction { receive, transmit };

// The three nibble code texts of one direction.
struct CodeSet {
    std::string acode;  // A = N mod 64, 4 characters
    std::string bcode;  // B = N div 64, 6 characters
    std::string rcode;  // R = 750 / step, 6 characters
};

enum class Outcome {
    codes,       // the frequency can be set; Result::codes holds its codes
    offstep,     // in range, but not a whole multiple of the step
    outofrange,  // not strictly between 30000 and 500000 kHz
};

struct Result {
    Outcome outcome;
    CodeSet codes;       // filled only for Outcome::codes
    std::int32_t n = 0;  // the division ratio N = 64 B + A, with codes
};

// Frequency limits in kHz, both exclusive.
inline constexpr double lowerkhz = 30000;
inline constexpr double upperkhz = 500000;
// The synthesizer runs this far below the frequency when receiving.
inline constexpr double receiveoffsetkhz = 21600;

// The five step texts calccodes knows, coarsest first.
inline constexpr std::array<std::string_view, 5> steptexts = {"25kHz", "12.5kHz", "10kHz", "6.25kHz", "5kHz"};

// The channel step in kHz for a step text: "5kHz", "6.25kHz", "10kHz",
// "12.5kHz" or "25kHz", compared exactly; any other text means 5 kHz.
double stepkhz(std::string_view steptext);

// The five steps of steptexts, in the same order, in hundredths of a kHz.
const std::array<std::int64_t, steptexts.size()>& stephundredths();

// Writes each character of stra, last first, preceded by "F":
// "4FC" -> "FCFFF4". The characters are taken as they are.
std::string strdd(std::string_view stra);

// The whole calculation for one direction. Pure: reads only its arguments.
// Texts are UTF-8 as the controls hold them.
Result calccodes(Direction direction, std::string_view steptext, std::string_view freqtext);

}  // namespace calc
