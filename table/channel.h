// One channel's codes for both directions, with each outcome spelled out.
#pragma once

#include <string>

#include "calc/codes.h"

namespace table {

// One direction of a channel: the frequency as exact kHz text, and what
// calccodes made of it.
struct Side {
    std::string khz;  // empty when the channel has no such direction
    calc::Result result{calc::Outcome::outofrange, {}};
};

struct Channel {
    std::string location, name;
    std::string step;  // a step text calccodes knows, "12.5kHz"
    Side rx, tx;
    std::string problem;  // why the row could not be read, before any calculation
};

// Fills both sides' results from their kHz texts and the step.
void compute(Channel& channel);

// What calccodes made of one side, in words: "off the 12.5 kHz step raster",
// "outside 30000 to 500000 kHz", or empty for codes (or no such side).
std::string outcomewords(const Side& side, const std::string& step);

// The status of a channel that has codes for every side it has.
inline const std::string okstatus = "ok";

// okstatus, or what is wrong with the channel: "rx 145003: off the 12.5 kHz
// step raster; tx 29000: outside 30000 to 500000 kHz".
std::string status(const Channel& channel);

// "12.5kHz" -> "12.5 kHz", for messages.
std::string stepwords(const std::string& step);

}  // namespace table
