// Feeds arbitrary bytes as step and frequency text to calccodes and aborts
// when a result breaks the invariants that every result must keep.
//
// The first byte picks the direction and, most of the time, one of the five
// step texts, so that the raster paths are reached often; otherwise the step
// text is the bytes up to the first NUL.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "calc/codes.h"
#include "invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto direction = (data[0] & 1) ? calc::Direction::receive : calc::Direction::transmit;
    const unsigned pick = (data[0] >> 1) % 8;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

    static constexpr std::string_view steps[] = {"5kHz", "6.25kHz", "10kHz", "12.5kHz", "25kHz"};
    std::string_view step;
    if (pick < 5) {
        step = steps[pick];
    } else {
        const auto nul = rest.find('\0');
        step = rest.substr(0, nul);
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }

    const auto result = calc::calccodes(direction, step, rest);
    const auto fault = calctest::checkresult(direction, step, rest, result);
    if (!fault.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
