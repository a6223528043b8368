// Exact decimal arithmetic on frequency texts. Channel lists give MHz with
// up to six decimals; turning that into kHz through binary floating point
// could move a channel by a rounding error, so values are kept as whole
// numbers of millionths of a kHz (millihertz) from text to text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace table {

// A frequency in millionths of a kHz.
struct Microkhz {
    std::int64_t value;
};

// "145612.5" kHz: digits with at most one ".", spaces around allowed, no
// sign. Nothing for any other text, for digits finer than the unit allows
// (1 mHz), or for values beyond 10^12 kHz.
std::optional<Microkhz> parsekhz(std::string_view text);

// The same for a frequency that may name its unit: "145.5 MHz",
// "145500kHz", "145500000 Hz" (the unit's case does not matter); without
// one it is in the given unit.
enum class Unit { hz, khz, mhz };
std::optional<Microkhz> parsefrequency(std::string_view text, Unit unit);

Microkhz operator+(Microkhz a, Microkhz b);
Microkhz operator-(Microkhz a, Microkhz b);

// The shortest exact kHz text: 145612500000 -> "145612.5", -1000000 -> "-1".
std::string khztext(Microkhz khz);

// Whether a text is digits only, and some.
bool wholenumber(std::string_view text);

// The text without the spaces, tabs and no-break spaces around it.
std::string_view trim(std::string_view text);

// The channel step text that calccodes knows ("12.5kHz") for a step given as
// kHz with or without the unit ("12.5kHz", "12.50", "12.5 kHz"), or nothing
// when it is not one of 5, 6.25, 10, 12.5 and 25 kHz.
std::optional<std::string> steptext(std::string_view text);

}  // namespace table
