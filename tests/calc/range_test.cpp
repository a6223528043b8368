// Every raster frequency of every step in both directions, computed exactly
// in whole units of 10 Hz and written as a person would type it, and decoded
// back from its codes.
#include <gtest/gtest.h>

#include <string>

#include "calc/decode.h"
#include "invariants.h"

namespace {

// A frequency in units of 10 Hz as kHz text: 43000625 -> "430006.25".
std::string khztext(long centikhz) {
    std::string text = std::to_string(centikhz / 100) + ".";
    const long fraction = centikhz % 100;
    return text + static_cast<char>('0' + fraction / 10) + static_cast<char>('0' + fraction % 10);
}

TEST(Calccodes, EveryRasterFrequencyOfEveryStep) {
    const struct {
        const char* text;
        long centikhz;
        int r;
    } steps[] = {{"5kHz", 500, 150}, {"6.25kHz", 625, 120}, {"10kHz", 1000, 75}, {"12.5kHz", 1250, 60}, {"25kHz", 2500, 30}};
    const long lower = 3'000'000, upper = 50'000'000;

    for (const auto& step : steps) {
        for (const auto direction : {calc::Direction::receive, calc::Direction::transmit}) {
            const long offset = direction == calc::Direction::receive ? 2'160'000 : 0;
            long checked = 0;
            for (long f = lower + step.centikhz; f < upper; f += step.centikhz, ++checked) {
                const std::string text = khztext(f);
                const auto result = calc::calccodes(direction, step.text, text);
                ASSERT_EQ(result.outcome, calc::Outcome::codes) << step.text << " " << text;
                ASSERT_EQ(calctest::decoden(result.codes), (f - offset) / step.centikhz) << step.text << " " << text;
                ASSERT_EQ(result.n, calctest::decoden(result.codes)) << "N is what the codes encode";
                ASSERT_EQ(calctest::decode(result.codes.rcode), step.r) << step.text;
                // The way back gives the same frequency and step.
                const auto back = calc::decodecodes(direction, result.codes.acode, result.codes.bcode, result.codes.rcode);
                ASSERT_EQ(back.problem, "") << step.text << " " << text;
                ASSERT_EQ(back.hundredths, f) << step.text << " " << text;
                ASSERT_EQ(back.steptext, step.text);
                // 10 Hz beside the raster is off it.
                ASSERT_EQ(calc::calccodes(direction, step.text, khztext(f + 1)).outcome, calc::Outcome::offstep)
                    << step.text << " " << khztext(f + 1);
            }
            EXPECT_EQ(checked, (upper - lower) / step.centikhz - 1) << step.text;
            EXPECT_EQ(calc::calccodes(direction, step.text, khztext(lower)).outcome, calc::Outcome::outofrange);
            EXPECT_EQ(calc::calccodes(direction, step.text, khztext(upper)).outcome, calc::Outcome::outofrange);
        }
    }
}

}  // namespace
