#include <gtest/gtest.h>

#include <string>

#include "calc/codes.h"

namespace {

using calc::Direction;
using calc::Outcome;

constexpr Direction rx = Direction::receive;
constexpr Direction tx = Direction::transmit;

TEST(Strdd, LastDigitFirstEachAfterF) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"", ""},         {"7", "F7"},          {"00B", "FBF0F0"}, {"4FC", "FCFFF4"},
        {"10", "F0F1"},   {"096", "F6F9F0"},    {"0B5", "F5FBF0"}, {"ab", "FbFa"},
        {"xyz1", "F1FzFyFx"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(calc::strdd(c.in), c.out) << c.in;
        EXPECT_EQ(calc::strdd(c.in).size(), 2 * c.in.size());
    }
}

TEST(Stepkhz, ExactTextsElseFiveKilohertz) {
    const struct {
        std::string text;
        double khz;
        std::string rcode;
    } cases[] = {
        {"25kHz", 25, "FEF1F0"},  {"12.5kHz", 12.5, "FCF3F0"}, {"10kHz", 10, "FBF4F0"},
        {"6.25kHz", 6.25, "F8F7F0"}, {"5kHz", 5, "F6F9F0"},    {"", 5, "F6F9F0"},
        {"5KHZ", 5, "F6F9F0"},    {" 5kHz", 5, "F6F9F0"},     {"25kHz ", 5, "F6F9F0"},
        {"25", 5, "F6F9F0"},      {"12,5kHz", 5, "F6F9F0"},   {std::string("25kHz\0", 6), 5, "F6F9F0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(calc::stepkhz(c.text), c.khz) << '"' << c.text << '"';
        EXPECT_EQ(calc::calccodes(tx, c.text, "150000").codes.rcode, c.rcode) << '"' << c.text << '"';
    }
}

struct CodesCase {
    Direction direction;
    std::string step, freq;
    std::string acode, bcode, rcode;
};

TEST(Calccodes, WorkedResults) {
    const CodesCase cases[] = {
        {rx, "5kHz", "430000", "F0F1", "FCFFF4", "F6F9F0"},
        {tx, "5kHz", "430000", "F0F3", "FFF3F5", "F6F9F0"},
        {tx, "12.5kHz", "145000", "F0F1", "F5FBF0", "FCF3F0"},
        {rx, "12.5kHz", "145000", "F0F1", "FAF9F0", "FCF3F0"},
        {tx, "6.25kHz", "430006.25", "F1F0", "F3F3F4", "F8F7F0"},
        {tx, "10kHz", "438500", "FAF0", "FDFAF2", "FBF4F0"},
        {rx, "25kHz", "145000", "F8F0", "FDF4F0", "FEF1F0"},
        {rx, "25kHz", "40000", "F0F2", "FBF0F0", "FEF1F0"},
        {rx, "", "430000", "F0F1", "FCFFF4", "F6F9F0"},
        // Edges: just inside the bounds, one-digit B, lenient numerals.
        {rx, "5kHz", "30005", "F1F1", "FAF1F0", "F6F9F0"},         // N = 1681
        {rx, "25kHz", "30025", "F1F1", "F5F0F0", "FEF1F0"},        // N = 337
        {tx, "5kHz", "499995", "FFF1", "FAF1F6", "F6F9F0"},        // N = 99999
        {rx, "5kHz", "430000kHz", "F0F1", "FCFFF4", "F6F9F0"},
        {rx, "5kHz", " 430 000", "F0F1", "FCFFF4", "F6F9F0"},
        {rx, "5kHz", "4.3E5", "F0F1", "FCFFF4", "F6F9F0"},
        {rx, "5kHz", "&H68FB0", "F0F1", "FCFFF4", "F6F9F0"},       // 430000 in hexadecimal
        {rx, "5kHz", "430000.004", "F0F1", "FCFFF4", "F6F9F0"},    // within 10 Hz rounding
    };
    for (const auto& c : cases) {
        const auto result = calc::calccodes(c.direction, c.step, c.freq);
        SCOPED_TRACE(c.step + " " + c.freq);
        ASSERT_EQ(result.outcome, Outcome::codes);
        EXPECT_EQ(result.codes.acode, c.acode);
        EXPECT_EQ(result.codes.bcode, c.bcode);
        EXPECT_EQ(result.codes.rcode, c.rcode);
    }
}

TEST(Calccodes, QuietOutcomes) {
    const struct {
        Direction direction;
        std::string step, freq;
        Outcome outcome;
    } cases[] = {
        {rx, "5kHz", "30000", Outcome::outofrange},     {tx, "5kHz", "500000", Outcome::outofrange},
        {tx, "5kHz", "29000", Outcome::outofrange},     {tx, "5kHz", "", Outcome::outofrange},
        {rx, "5kHz", "abc", Outcome::outofrange},       {rx, "5kHz", "-430000", Outcome::outofrange},
        {rx, "5kHz", "1E400", Outcome::outofrange},     {rx, "5kHz", "&H1FFFFFFFF", Outcome::outofrange},
        {rx, "5kHz", std::string(400, '4'), Outcome::outofrange},
        {rx, "5kHz", "430,000", Outcome::outofrange},   {tx, "5kHz", "&HFFFF", Outcome::outofrange},
        {rx, "5kHz", "430002", Outcome::offstep},       {tx, "12.5kHz", "430006.25", Outcome::offstep},
        {tx, "5kHz", "30000.01", Outcome::offstep},     {tx, "25kHz", "499999.99", Outcome::offstep},
        {rx, "5kHz", "430000.006", Outcome::offstep},   {rx, "", "430001", Outcome::offstep},
    };
    for (const auto& c : cases) {
        const auto result = calc::calccodes(c.direction, c.step, c.freq);
        EXPECT_EQ(result.outcome, c.outcome) << c.step << " " << c.freq.substr(0, 20);
        EXPECT_TRUE(result.codes.acode.empty() && result.codes.bcode.empty() && result.codes.rcode.empty());
    }
}

TEST(Calccodes, DirectionsShareOnlyR) {
    for (const char* step : {"5kHz", "6.25kHz", "10kHz", "12.5kHz", "25kHz"}) {
        const auto r = calc::calccodes(rx, step, "145000").codes;
        const auto t = calc::calccodes(tx, step, "145000").codes;
        EXPECT_EQ(r.rcode, t.rcode) << step;
        EXPECT_NE(r.acode + r.bcode, t.acode + t.bcode) << step;
    }
}

}  // namespace
