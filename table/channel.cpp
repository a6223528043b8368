#include "channel.h"

namespace table {
namespace {

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
    if (!channel.rx.khz.empty())
        channel.rx.result = calc::calccodes(calc::Direction::receive, channel.step, channel.rx.khz);
    if (!channel.tx.khz.empty())
        channel.tx.result = calc::calccodes(calc::Direction::transmit, channel.step, channel.tx.khz);
}

std::string status(const Channel& channel) {
    if (!channel.problem.empty()) return channel.problem;
    const std::string rx = sideproblem("rx", channel.rx, channel.step);
    const std::string tx = sideproblem("tx", channel.tx, channel.step);
    if (rx.empty() && tx.empty()) return okstatus;
    if (rx.empty() || tx.empty()) return rx + tx;
    return rx + "; " + tx;
}

std::string stepwords(const std::string& step) {
    constexpr std::string_view unit = "kHz";
    if (step.size() <= unit.size() || !step.ends_with(unit)) return step;
    return step.substr(0, step.size() - unit.size()) + " kHz";
}

}  // namespace table
