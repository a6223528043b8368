#include "table/channel.h"

#include <tuple>

#include "calc/decode.h"
#include "table/decimal.h"

namespace table {
namespace {

constexpr std::int64_t receiveoffsethundredths = static_cast<std::int64_t>(calc::receiveoffsetkhz) * 100;

// "fits 6.25 or 5 kHz", "fits none of the five steps".
std::string fitwords(const std::vector<std::string_view>& steps) {
    if (steps.empty()) return "fits none of the five steps";
    std::string words = "fits ";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) words += i + 1 == steps.size() ? " or " : ", ";
        words += steps[i].substr(0, steps[i].size() - 3);  // without "kHz"
    }
    return words + " kHz";
}

std::string sideproblem(const char* direction, const Side& side, const std::string& step) {
    const std::string words = outcomewords(side, step);
    return words.empty() ? words : std::string(direction) + " " + side.khz + ": " + words;
}

}  // namespace

std::string outcomewords(const Side& side, const std::string& step) {
    if (side.khz.empty()) return "";
    switch (side.result.outcome) {
        case calc::Outcome::codes:
            return "";
        case calc::Outcome::offstep:
            return "off the " + stepwords(step) + " step raster";
        case calc::Outcome::outofrange:
            break;
    }
    return "outside " + std::to_string(static_cast<long>(calc::lowerkhz)) + " to " +
           std::to_string(static_cast<long>(calc::upperkhz)) + " kHz";
}

void compute(Channel& channel) {
    if (!channel.problem.empty()) return;
    if (channel.autostep) {
        const auto steps = fittingsteps(channel);
        if (steps.empty()) {
            for (auto [side, label] : {std::pair{&channel.rx, "rx "}, std::pair{&channel.tx, "tx "}})
                if (!side->khz.empty()) channel.problem += (channel.problem.empty() ? label : ", " + std::string(label)) + side->khz;
            channel.problem += ": " + fitwords(steps);
            return;
        }
        channel.step = steps.front();
    }
    for (auto [side, direction, label] : {std::tuple{&channel.rx, calc::Direction::receive, "rx "},
                                          std::tuple{&channel.tx, calc::Direction::transmit, "tx "}}) {
        if (side->khz.empty()) continue;
        side->result = calc::calccodes(direction, channel.step, side->khz);
        // A row's frequency must be the one its codes set, N steps above
        // the synthesizer's offset: calccodes rounds a frequency finer than
        // 10 Hz to its raster.
        if (side->result.outcome != calc::Outcome::codes) continue;
        const Microkhz set{(side->result.n * calc::stepof(channel.step).hundredths +
                            (direction == calc::Direction::receive ? receiveoffsethundredths : 0)) *
                           10'000};
        if (side->exact.value == set.value) continue;
        side->result = calc::Result{calc::Outcome::offstep, {}};
        if (channel.problem.empty())
            channel.problem = label + side->khz + ": its codes would set " + khztext(set) + " kHz; give the frequency to 10 Hz";
    }
}

std::vector<std::string_view> fittingsteps(const Channel& channel) {
    std::vector<std::string_view> steps;
    for (const calc::Step& known : calc::steps) {
        const std::string_view step = known.text;
        bool fits = true;
        for (auto [side, direction] : {std::pair{&channel.rx, calc::Direction::receive}, std::pair{&channel.tx, calc::Direction::transmit}})
            fits = fits && (side->khz.empty() || calc::calccodes(direction, step, side->khz).outcome != calc::Outcome::offstep);
        if (fits) steps.push_back(step);
    }
    return steps;
}

void fromcodes(Channel& channel, const std::optional<Codes>& rx, const std::optional<Codes>& tx) {
    std::string steps[2];
    for (auto [codes, side, direction, label, step] :
         {std::tuple{&rx, &channel.rx, calc::Direction::receive, "rx", &steps[0]},
          std::tuple{&tx, &channel.tx, calc::Direction::transmit, "tx", &steps[1]}}) {
        if (!*codes) continue;
        const auto decoded = calc::decodecodes(direction, (*codes)->acode, (*codes)->bcode, (*codes)->rcode);
        if (!decoded.problem.empty()) {
            channel.problem = std::string(label) + " codes: " + decoded.problem;
            return;
        }
        side->set(Microkhz{decoded.hundredths * 10'000});
        *step = decoded.steptext;
    }
    if (!steps[0].empty() && !steps[1].empty() && steps[0] != steps[1]) {
        channel.problem = "the rx codes are for the " + stepwords(steps[0]) + " step, the tx codes for " + stepwords(steps[1]);
        return;
    }
    channel.step = steps[0].empty() ? steps[1] : steps[0];
}

Status status(const Channel& channel) {
    if (!channel.problem.empty()) return {Status::Kind::failed, channel.problem};
    const std::string rx = sideproblem("rx", channel.rx, channel.step);
    const std::string tx = sideproblem("tx", channel.tx, channel.step);
    if (rx.empty() && tx.empty())
        return channel.receiveonly ? Status{Status::Kind::receiveonly, receiveonlystatus} : Status{Status::Kind::ok, okstatus};
    std::string words = rx.empty() || tx.empty() ? rx + tx : rx + "; " + tx;
    // Off the raster: say on which steps the channel would be.
    for (const Side* side : {&channel.rx, &channel.tx}) {
        if (!side->khz.empty() && side->result.outcome == calc::Outcome::offstep) {
            words += "; " + fitwords(fittingsteps(channel));
            break;
        }
    }
    return {Status::Kind::failed, words};
}

std::string stepsinwords() {
    std::string words;
    for (std::size_t i = calc::steps.size(); i-- > 0;) {
        const std::string_view text = calc::steps[i].text;
        words += text.substr(0, text.size() - 3);  // without "kHz"
        words += i == 0 ? " kHz" : i == 1 ? " and " : ", ";
    }
    return words;
}

std::string stepwords(const std::string& step) {
    constexpr std::string_view unit = "kHz";
    if (step.size() <= unit.size() || !step.ends_with(unit)) return step;
    return step.substr(0, step.size() - unit.size()) + " kHz";
}

}  // namespace table
