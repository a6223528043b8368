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
    std::int32_t a = 0, b = 0, r = 0;  // the values the codes encode, with codes
};

// Frequency limits in kHz, both exclusive.
inline constexpr double lowerkhz = 30000;
inline constexpr double upperkhz = 500000;
// The synthesizer runs this far below the frequency when receiving.
inline constexpr double receiveoffsetkhz = 21600;

// A channel step: its text as calccodes knows it, its size in hundredths of
// a kHz (10 Hz, the raster's unit), and R = 750 / step.
struct Step {
    std::string_view text;
    std::int64_t hundredths;
    std::int32_t r;
};

namespace detail {
constexpr Step step(std::string_view text, std::int64_t hundredths) {
    return {text, hundredths, static_cast<std::int32_t>(75'000 / hundredths)};
}
}  // namespace detail

// The five steps calccodes knows, coarsest first.
inline constexpr std::array<Step, 5> steps = {detail::step("25kHz", 2500), detail::step("12.5kHz", 1250),
                                              detail::step("10kHz", 1000), detail::step("6.25kHz", 625),
                                              detail::step("5kHz", 500)};
static_assert([] {
    for (const Step& s : steps)
        if (75'000 % s.hundredths != 0) return false;
    return true;
}(), "R is a whole number for every step");

// The step a step text means: "5kHz", "6.25kHz", "10kHz", "12.5kHz" or
// "25kHz", compared exactly; any other text, the empty one included, means
// 5 kHz.
const Step& stepof(std::string_view steptext);

// The channel step in kHz for a step text, as stepof.
double stepkhz(std::string_view steptext);

// Writes each character of stra, last first, preceded by "F":
// "4FC" -> "FCFFF4". The characters are taken as they are.
std::string strdd(std::string_view stra);

// The whole calculation for one direction. Pure: reads only its arguments.
// Texts are UTF-8 as the controls hold them.
Result calccodes(Direction direction, std::string_view steptext, std::string_view freqtext);

}  // namespace calc
