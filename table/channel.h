// One channel's codes for both directions, with each outcome spelled out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/codes.h"
#include "table/decimal.h"

namespace table {

// One direction of a channel: the frequency as exact kHz text, and what
// calccodes made of it.
struct Side {
    std::string khz;  // empty when the channel has no such direction
    Microkhz exact{0};  // the same frequency as a number, where khz is given
    calc::Result result{calc::Outcome::outofrange, {}};

    void set(Microkhz value) {
        exact = value;
        khz = khztext(value);
    }
};

struct Channel {
    std::string location, name;
    std::string step;       // a step text calccodes knows, "12.5kHz"
    bool autostep = false;  // compute chooses the step
    bool receiveonly = false;  // the list marks it so: it has no transmit side
    Side rx, tx;
    std::string problem;  // why the row could not be read, before any calculation
};

// The step that stands for "the coarsest step that fits" where a step is given.
inline const std::string autostep = "auto";

// Fills both sides' results and N from their kHz texts and the step; with
// autostep, first chooses the coarsest of the five steps on which every
// frequency of the channel lies.
void compute(Channel& channel);

// The steps, coarsest first, on which every frequency of the channel that is
// in range lies.
std::vector<std::string_view> fittingsteps(const Channel& channel);

// The codes of one side, as read off a radio.
struct Codes {
    std::string_view acode, bcode, rcode;
};

// Fills a channel's frequencies and step from the codes of its sides (either
// may be absent), or its problem: codes that are not codes, or sides on two
// different steps.
void fromcodes(Channel& channel, const std::optional<Codes>& rx, const std::optional<Codes>& tx);

// What calccodes made of one side, in words: "off the 12.5 kHz step raster",
// "outside 30000 to 500000 kHz", or empty for codes (or no such side).
std::string outcomewords(const Side& side, const std::string& step);

// How a channel went, with the words that say so: "ok" when it has codes
// for every side it has, "ok, receive only" when its list marks it so, or
// what is wrong with it: "rx 145003: off the 12.5 kHz step raster; tx
// 29000: outside 30000 to 500000 kHz".
struct Status {
    enum class Kind { ok, receiveonly, failed } kind = Kind::failed;
    std::string words;
    bool computed() const { return kind != Kind::failed; }
};
inline const std::string okstatus = "ok";
inline const std::string receiveonlystatus = "ok, receive only";

Status status(const Channel& channel);

// The five steps in words, finest first: "5, 6.25, 10, 12.5 and 25 kHz".
std::string stepsinwords();

// "12.5kHz" -> "12.5 kHz", for messages.
std::string stepwords(const std::string& step);

}  // namespace table
