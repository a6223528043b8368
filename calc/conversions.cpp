#include "conversions.h"

#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <limits>
#include <optional>
#include <system_error>

namespace calc {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

bool isdigit10(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit of the radix (8 or 16), or -1.
int radixdigit(char c, unsigned radix) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    return d >= 0 && static_cast<unsigned>(d) < radix ? d : -1;
}

// Walks a text, passing over the characters that a numeral ignores wherever
// they stand. peek() gives '\0' at the end; a NUL in the text ends a numeral
// just the same.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    char peek() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n'))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void next() { ++pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The characters of a decimal numeral with the ignored ones taken out, kept
// on the stack unless the numeral is long.
class NumeralText {
public:
    void push(char c) {
        if (size_ < capacity) {
            small_[size_++] = c;
            small_[size_] = '\0';
            return;
        }
        if (size_ == capacity) big_.assign(small_, size_);
        big_.push_back(c);
        ++size_;
    }
    const char* begin() const { return size_ <= capacity ? small_ : big_.data(); }
    const char* end() const { return begin() + size_; }
    const char* c_str() const { return begin(); }  // the small buffer always has a NUL after the text

private:
    static constexpr std::size_t capacity = 64;
    char small_[capacity + 1] = {'\0'};
    std::string big_;
    std::size_t size_ = 0;
};

// "&H" / "&O" numeral after its prefix.
double readradix(Reader& in, unsigned radix) {
    std::uint64_t value = 0;
    for (int d = radixdigit(in.peek(), radix); d >= 0; d = radixdigit(in.peek(), radix)) {
        value = value * radix + static_cast<unsigned>(d);
        if (value > 0xFFFFFFFFu) return infinity;
        in.next();
    }
    if (value <= 0xFFFFu) return static_cast<std::int16_t>(value);
    return static_cast<std::int32_t>(value);
}

double readdecimal(Reader& in) {
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.next();
    }

    NumeralText numeral;
    bool anydigit = false;
    bool point = false;
    // Decimal order of the first non-zero digit, to tell an overflow from an
    // underflow: "123" has order 3, "0.05" has order -1.
    long long order = 0;
    bool nonzero = false;
    for (char c = in.peek();; c = in.peek()) {
        if (isdigit10(c)) {
            anydigit = true;
            if (c != '0') nonzero = true;
            if (!point && nonzero) ++order;
            if (point && !nonzero) --order;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        numeral.push(c);
        in.next();
    }
    if (!anydigit) return 0.0;

    // An exponent counts only with at least one digit.
    long long exponent = 0;
    if (in.peek() == 'E' || in.peek() == 'e') {
        in.next();
        bool expnegative = false;
        if (in.peek() == '+' || in.peek() == '-') {
            expnegative = in.peek() == '-';
            in.next();
        }
        if (isdigit10(in.peek())) {
            numeral.push('e');
            if (expnegative) numeral.push('-');
            for (char c = in.peek(); isdigit10(c); c = in.peek()) {
                numeral.push(c);
                // Saturate: far beyond any double, and never overflowing.
                if (exponent < 1'000'000'000) exponent = exponent * 10 + (c - '0');
                in.next();
            }
            if (expnegative) exponent = -exponent;
        }
    }

    double value = 0.0;
#if defined(__cpp_lib_to_chars)
    const std::errc error = std::from_chars(numeral.begin(), numeral.end(), value).ec;
    const bool outofrange = error == std::errc::result_out_of_range;
    if (error != std::errc() && !outofrange) value = 0.0;
#else
    // A library without from_chars for doubles (libc++ 14, in WebAssembly):
    // that C library's strtod has no locale but "C", so it reads "." too.
    errno = 0;
    value = std::strtod(numeral.c_str(), nullptr);
    const bool outofrange = errno == ERANGE;
#endif
    if (outofrange) value = order + exponent > 0 ? infinity : 0.0;
    return negative ? -value : value;
}

// A text of digits with at most one point and nothing else, whose digits
// make an integer m of at most 2^53 and which has at most 22 digits after
// its point: m / 10^p, both of them doubles held exactly, so that the one
// division rounds the numeral's value as a full conversion does. Most
// frequencies and steps are such texts, and this is much quicker than a
// C library's strtod, which works in long double (done in software in
// WebAssembly). Any other text gives nothing.
std::optional<double> plaindecimal(std::string_view text) {
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::uint64_t largest = std::uint64_t{1} << 53;
    std::uint64_t m = 0;
    int after = -1;  // digits after the point; -1 before a point
    bool anydigit = false;
    for (const char c : text) {
        if (isdigit10(c)) {
            const auto d = static_cast<std::uint64_t>(c - '0');
            if (m > (largest - d) / 10) return std::nullopt;
            m = m * 10 + d;
            anydigit = true;
            if (after >= 0 && ++after > 22) return std::nullopt;
        } else if (c == '.' && after < 0) {
            after = 0;
        } else {
            return std::nullopt;
        }
    }
    if (!anydigit) return std::nullopt;
    return static_cast<double>(m) / powers[after < 0 ? 0 : after];
}

}  // namespace

double valnum(std::string_view text) {
    if (const std::optional<double> value = plaindecimal(text)) return *value;
    Reader in(text);
    if (in.peek() == '&') {
        in.next();
        const char kind = in.peek();
        if (kind == 'H' || kind == 'h') {
            in.next();
            return readradix(in, 16);
        }
        if (kind == 'O' || kind == 'o') {
            in.next();
            return readradix(in, 8);
        }
        return 0.0;
    }
    return readdecimal(in);
}

std::int32_t roundeven(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (x <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    // The floor by truncation, which compiles inline, unlike std::floor.
    auto n = static_cast<std::int64_t>(x);
    if (static_cast<double>(n) > x) --n;
    const double fraction = x - static_cast<double>(n);  // exact for every double in range
    if (fraction > 0.5 || (fraction == 0.5 && (n & 1) != 0)) ++n;
    return static_cast<std::int32_t>(n);
}

std::int32_t remround(double a, double b) {
    const std::int64_t dividend = roundeven(a);
    const std::int64_t divisor = roundeven(b);
    if (divisor == 0) return 0;
    // 64-bit, so that INT32_MIN by -1 stays defined; C++ % truncates.
    return static_cast<std::int32_t>(dividend % divisor);
}

QuotRem divmod64(std::int32_t n) {
    const std::int32_t quot = n / 64;
    return {quot, n - 64 * quot};
}

std::string hexstr(std::int32_t x) {
    char digits[8];
    char* first = digits + sizeof digits;
    auto value = static_cast<std::uint32_t>(x);
    do {
        *--first = hexdigits[value % 16];
        value /= 16;
    } while (value != 0);
    return std::string(first, digits + sizeof digits);
}

std::string hexstr(double x) { return hexstr(roundeven(x)); }

}  // namespace calc
