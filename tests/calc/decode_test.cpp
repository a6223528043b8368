// Codes read off a radio: what decodes, and a clear reason for what does not.
#include <gtest/gtest.h>

#include "calc/decode.h"

namespace {

using calc::Direction;

TEST(Decodecodes, ReadsWhatARadioHolds) {
    const struct {
        Direction direction;
        const char *a, *b, *r;
        const char* problem;  // "" when the codes decode
        long long hundredths;
        const char* step;
        int n;
    } cases[] = {
        {Direction::receive, "F0F1", "FCFFF4", "F6F9F0", "", 43000000, "5kHz", 81680},
        {Direction::transmit, "f0f3", "fff3f5", "f6f9f0", "", 43000000, "5kHz", 86000},   // lower case
        {Direction::transmit, "F1 F0", "F3 F3 F4", " F8\tF7 F0 ", "", 43000625, "6.25kHz", 68801},
        {Direction::receive, "F1F1", "F5F0F0", "FEF1F0", "", 3002500, "25kHz", 337},
        {Direction::transmit, "F0F0", "F0F0F0", "F6F9F0", "the codes give 0 kHz, outside 30000 to 500000 kHz", 0, "", 0},
        {Direction::receive, "F0F1", "FGFFF4", "F6F9F0", "B byte 1 'FG' is not F and a hex digit", 0, "", 0},
        {Direction::receive, "F0F1", "FCFFF4", "E6F9F0", "R byte 1 'E6' is not F and a hex digit", 0, "", 0},
        {Direction::receive, "F0F1F2", "FCFFF4", "F6F9F0", "A has 3 bytes, not 2", 0, "", 0},
        {Direction::receive, "F0", "FCFFF4", "F6F9F0", "A has 1 byte, not 2", 0, "", 0},
        {Direction::receive, "F0F1", "FCFFF", "F6F9F0", "B byte 3 'F' is not F and a hex digit", 0, "", 0},
        {Direction::receive, "F0F1", "FCFFF4", "F4F6F0", "R 100 is not one of the five steps", 0, "", 0},
        {Direction::receive, "F0F4", "FCFFF4", "F6F9F0", "A 64 is more than 63", 0, "", 0},
        {Direction::receive, "F0F1", "FCFFF4", "F6F9F\xC3", "R byte 3 'F\\xC3' is not F and a hex digit", 0, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b + " " + c.r);
        const auto decoded = calc::decodecodes(c.direction, c.a, c.b, c.r);
        EXPECT_EQ(decoded.problem.substr(0, std::string(c.problem).size()), c.problem);
        if (*c.problem != '\0') continue;
        EXPECT_EQ(decoded.problem, "");
        EXPECT_EQ(decoded.hundredths, c.hundredths);
        EXPECT_EQ(decoded.steptext, c.step);
        EXPECT_EQ(decoded.n, c.n);
    }
}

}  // namespace
