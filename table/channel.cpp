#include "channel.h"

namespace table {
namespace {

std::string sideproblem(const char* direction, const Side& side, const std::string& step) {
    if (side.khz.empty() || side.result.outcome == calc::Outcome::codes) return "";
    const std::string what = side.result.outcome == calc::Outcome::offstep
                                 ? "off the " + stepwords(step) + " step raster"
                                 : "outside 30000 to 500000 kHz";
    return std::string(direction) + " " + side.khz + ": " + what;
}

}  // namespace

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
    if (rx.empty() && tx.empty()) return "ok";
    if (rx.empty() || tx.empty()) return rx + tx;
    return rx + "; " + tx;
}

bool good(const Channel& channel) { return status(channel) == "ok"; }

std::string stepwords(const std::string& step) {
    std::string words = step;
    if (words.size() > 3 && words.compare(words.size() - 3, 3, "kHz") == 0) words.insert(words.size() - 3, " ");
    return words;
}

}  // namespace table
