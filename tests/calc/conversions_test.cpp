#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <random>
#include <string>

#include "calc/codes.h"

namespace {

using calc::valnum;

struct ValCase {
    std::string text;
    double value;
};

TEST(Valnum, ReadsTheLeadingNumeral) {
    const ValCase cases[] = {
        {"430000", 430000},      {"4.3E5", 430000},       {"145.5", 145.5},     {"-5", -5},
        {"+5", 5},               {"1 2 3", 123},          {" 430 000 ", 430000}, {"\t43\n0000", 430000},
        {"430000kHz", 430000},   {"430,000", 430},        {"", 0},              {"kHz", 0},
        {"abc", 0},              {".5", 0.5},             {"5.", 5},            {".", 0},
        {"1.2.3", 1.2},          {"4.3e5", 430000},       {"4.3E+5", 430000},   {"43E-1", 4.3},
        {"5E", 5},               {"5E+", 5},              {"5 E 2", 500},       {"- 5", -5},
        {"+-5", 0},              {"--5", 0},              {"1e400x", HUGE_VAL}, {"-1E400", -HUGE_VAL},
        {"1E-400", 0},           {"0E99999999999999", 0}, {"inf", 0},           {"nan", 0},
        {"0x10", 0},             {"1D2", 1},
        // Only space, tab and line feed are skipped; anything else ends the numeral.
        {"430\r000", 430},       {"430\xC2\xA0" "000", 430}, {"\xEF\xBC\x94\xEF\xBC\x93", 0},
        {std::string("43\0" "0", 4), 43},
        // Radix numerals: signed 16-bit when they fit in 16 bits, else signed 32-bit.
        {"&H10", 16},            {"&h7fff", 32767},       {"&HFFFF", -1},       {"&H8000", -32768},
        {"&H10000", 65536},      {"&HFFFFFFFF", -1},      {"&H80000000", -2147483648.0},
        {"&O17", 15},            {"&o177777", -1},        {"&O8", 0},           {"& H 1 0", 16},
        {"&H", 0},               {"&X10", 0},             {"-&H10", 0},         {"&H1G", 1},
        {"&H1FFFFFFFF", HUGE_VAL}, {"&O77777777777", HUGE_VAL},
        {"&H" + std::string(1000, '0') + "1", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(valnum(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(Valnum, LongNumeralsAreReadWhole) {
    EXPECT_EQ(valnum(std::string(400, '9')), HUGE_VAL);
    EXPECT_EQ(valnum("430000." + std::string(1'000'000, '0')), 430000);
    EXPECT_EQ(valnum(std::string(1'000'000, '0') + "430000"), 430000);
    EXPECT_EQ(valnum(std::string(1'000'000, ' ') + "430000"), 430000);
    EXPECT_EQ(valnum("4.3E" + std::string(1'000'000, '0') + "5"), 430000);
    EXPECT_EQ(valnum("1E" + std::string(1'000'000, '9')), HUGE_VAL);
    EXPECT_EQ(valnum("1E-" + std::string(1'000'000, '9')), 0);
}

// Plain numerals, most of them near the limits of the quick way of reading
// them (2^53 and 22 digits after the point), read to the very double that
// the C library's correctly rounded strtod gives.
TEST(Valnum, PlainNumeralsReadAsStrtodReadsThem) {
    std::mt19937_64 random(20261209);
    const std::string limits[] = {"9007199254740992", "9007199254740993", "0.9007199254740992", "1." + std::string(22, '1'),
                                  "1." + std::string(23, '1'), "0." + std::string(21, '0') + "1"};
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        if (i < static_cast<int>(std::size(limits))) {
            text = limits[i];
        } else {
            const auto digits = 1 + random() % 20;
            for (std::uint64_t d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
            if (random() % 4 != 0) text.insert(random() % (text.size() + 1), 1, '.');
        }
        ASSERT_EQ(valnum(text), std::strtod(text.c_str(), nullptr)) << '"' << text << '"';
    }
}

TEST(Valnum, DecimalPointIsADotInEveryLocale) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "WebAssembly's C library has one locale, whose decimal point is '.'";
#endif
    // Put back whatever locale the other tests run under, however this one ends.
    struct Restore {
        std::string saved = std::setlocale(LC_ALL, nullptr);
        ~Restore() { std::setlocale(LC_ALL, saved.c_str()); }
    } restore;
    const char* commalocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"};
    const char* chosen = nullptr;
    for (const char* name : commalocales)
        if ((chosen = std::setlocale(LC_ALL, name))) break;
    ASSERT_NE(chosen, nullptr) << "no locale with a decimal comma; generate de_DE.UTF-8";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    EXPECT_EQ(valnum("145.5"), 145.5);
    EXPECT_EQ(valnum("145,5"), 145);
    EXPECT_EQ(calc::calccodes(calc::Direction::transmit, "6.25kHz", "430006.25").codes.acode, "F1F0");
}

TEST(Roundeven, HalfGoesToEven) {
    const struct {
        double x;
        std::int32_t n;
    } cases[] = {
        {0.5, 0},   {1.5, 2},         {2.5, 2},        {3.5, 4},   {-0.5, 0},
        {-1.5, -2}, {-2.5, -2},       {2.4999, 2},     {2.5001, 3}, {43000000.5, 43000000},
        {43000001.5, 43000002},       {81680.0000001, 81680},       {-7.2, -7},
        {1e300, 2147483647},          {-1e300, -2147483647 - 1},    {std::nan(""), 0},
        {HUGE_VAL, 2147483647},
    };
    for (const auto& c : cases) EXPECT_EQ(calc::roundeven(c.x), c.n) << c.x;
}

TEST(Remround, RemainderOfRoundedOperands) {
    const struct {
        double a, b;
        std::int32_t r;
    } cases[] = {
        {43000200, 500, 200}, {43000625, 625, 0},    {43000625, 1250, 625}, {43000000.5, 500, 0},
        {43000001.5, 500, 2}, {-7, 3, -1},           {7, -3, 1},            {5, 0.4, 0},
        {-2147483648.0, -1, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(calc::remround(c.a, c.b), c.r) << c.a << " % " << c.b;
}

TEST(Divmod64, TruncatesTowardZero) {
    const struct {
        std::int32_t n, quot, rem;
    } cases[] = {{81680, 1276, 16}, {63, 0, 63}, {64, 1, 0}, {0, 0, 0}, {-65, -1, -1}, {100000, 1562, 32}};
    for (const auto& c : cases) {
        const auto qr = calc::divmod64(c.n);
        EXPECT_EQ(qr.quot, c.quot) << c.n;
        EXPECT_EQ(qr.rem, c.rem) << c.n;
    }
}

TEST(Hexstr, UpperCaseWithoutLeadingZeros) {
    EXPECT_EQ(calc::hexstr(0), "0");
    EXPECT_EQ(calc::hexstr(16), "10");
    EXPECT_EQ(calc::hexstr(150.0), "96");
    EXPECT_EQ(calc::hexstr(1276), "4FC");
    EXPECT_EQ(calc::hexstr(1562), "61A");
    EXPECT_EQ(calc::hexstr(2.5), "2");
    EXPECT_EQ(calc::hexstr(0x7FFFFFFF), "7FFFFFFF");
    EXPECT_EQ(calc::hexstr(-1), "FFFFFFFF");
}

}  // namespace
