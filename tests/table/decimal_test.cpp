#include <gtest/gtest.h>

#include <string>

#include "table/decimal.h"

namespace {

// A frequency as channel lists give it, in MHz.
std::optional<table::Microkhz> frommhz(std::string_view text) { return table::parsefrequency(text, table::Unit::mhz); }

TEST(Decimal, MhzBecomesExactKhzText) {
    const struct {
        const char* mhz;
        const char* khz;  // nullptr: not a frequency
    } cases[] = {
        {"145.500000", "145500"},   {"430.006250", "430006.25"}, {"145.6125", "145612.5"}, {" 438.5 ", "438500"},
        {"0.0125", "12.5"},         {"145", "145000"},           {"145.", "145000"},       {".5", "500"},
        {"0.000000001", "0.000001"}, {"145.5000000000000", "145500"},
        {"145.0000000001", nullptr}, {"", nullptr},  {".", nullptr},     {"-145.5", nullptr}, {"+145.5", nullptr},
        {"145,5", nullptr},          {"1.4e2", nullptr}, {"145.5.0", nullptr}, {"145 500", nullptr},
        {"999999999", "999999999000"}, {"1000000001", nullptr},
    };
    for (const auto& c : cases) {
        const auto khz = frommhz(c.mhz);
        if (c.khz) {
            ASSERT_TRUE(khz.has_value()) << c.mhz;
            EXPECT_EQ(table::khztext(*khz), c.khz) << c.mhz;
        } else {
            EXPECT_FALSE(khz.has_value()) << c.mhz;
        }
    }
}

TEST(Decimal, OffsetsAddAndSubtractExactly) {
    const auto rx = *frommhz("145.600000"), offset = *frommhz("0.600000");
    EXPECT_EQ(table::khztext(rx - offset), "145000");
    EXPECT_EQ(table::khztext(rx + offset), "146200");
    EXPECT_EQ(table::khztext(offset - rx), "-145000");
    EXPECT_EQ(table::khztext(*frommhz("0.1") + *frommhz("0.2")), "300");
    EXPECT_EQ(table::khztext(*table::parsekhz("145012.5") - *table::parsekhz("145012.75")), "-0.25");
}

// Every 6.25 kHz raster frequency, written in MHz as a channel list holds it,
// comes back as the kHz text a person would type.
TEST(Decimal, EveryRasterFrequencyRoundTrips) {
    for (long hz = 30'006'250; hz < 500'000'000; hz += 6250) {
        char mhz[32], khz[32];
        std::snprintf(mhz, sizeof mhz, "%ld.%06ld", hz / 1'000'000, hz % 1'000'000);
        std::snprintf(khz, sizeof khz, "%ld.%03ld", hz / 1000, hz % 1000);
        std::string expected = khz;
        while (expected.back() == '0') expected.pop_back();
        if (expected.back() == '.') expected.pop_back();
        ASSERT_EQ(table::khztext(*frommhz(mhz)), expected) << mhz;
    }
}

TEST(Decimal, StepTexts) {
    const struct {
        const char* text;
        const char* step;
    } cases[] = {
        {"12.50", "12.5kHz"}, {"12.5kHz", "12.5kHz"}, {"12.5 KHZ", "12.5kHz"}, {"5.00", "5kHz"},
        {"6.25", "6.25kHz"},  {"10", "10kHz"},        {"25.000", "25kHz"},     {" 5kHz ", "5kHz"},
        {"8.33", nullptr},    {"2.50", nullptr},      {"", nullptr},           {"kHz", nullptr},
        {"12.5MHz", nullptr}, {"12,5", nullptr},      {"6.251", nullptr},      {"50", nullptr},
    };
    for (const auto& c : cases) {
        const auto step = table::steptext(c.text);
        EXPECT_EQ(step.value_or("none"), c.step ? c.step : "none") << '"' << c.text << '"';
    }
}

}  // namespace
