// Feeds arbitrary bytes as step and frequency text to calccodes and aborts
// when a result breaks the invariants that every result must keep; and the
// same bytes, split at NULs, as three code texts to decodecodes, whose every
// success must encode back to the same codes.
//
// The first byte picks the direction and, most of the time, one of the five
// step texts, so that the raster paths are reached often; otherwise the step
// text is the bytes up to the first NUL.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/codes.h"
#include "calc/decode.h"
#include "invariants.h"

namespace {

void fail(const std::string& fault) {
    std::fprintf(stderr, "invariant broken: %s\n", fault.c_str());
    std::abort();
}

// A code text as calccodes writes it: upper case, no spaces.
std::string canonical(std::string_view code) {
    std::string out;
    for (const char c : code) {
        if (c == ' ' || c == '\t') continue;
        out += (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

void checkdecode(calc::Direction direction, std::string_view bytes) {
    std::string_view texts[3];
    for (auto& text : texts) {
        const auto nul = bytes.find('\0');
        text = bytes.substr(0, nul);
        bytes = nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);
    }
    const auto decoded = calc::decodecodes(direction, texts[0], texts[1], texts[2]);
    if (!decoded.problem.empty()) return;
    const std::string khz = std::to_string(decoded.hundredths / 100) + "." + std::to_string(decoded.hundredths % 100 / 10) +
                            std::to_string(decoded.hundredths % 10);
    const auto again = calc::calccodes(direction, decoded.steptext, khz);
    if (again.outcome != calc::Outcome::codes) fail("a decoded frequency gives no codes: " + khz);
    if (again.codes.acode != canonical(texts[0]) || again.codes.bcode != canonical(texts[1]) ||
        again.codes.rcode != canonical(texts[2]))
        fail("a decoded frequency encodes to other codes: " + khz);
}

}  // namespace

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
    if (const auto fault = calctest::checkresult(direction, step, rest, result); !fault.empty()) fail(fault);
    checkdecode(direction, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
}
