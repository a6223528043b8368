// Number and text conversions that the code calculation depends on.
//
// The codes a radio receives depend on exactly how a text becomes a number,
// how a real number becomes an integer, how a remainder is taken and how an
// integer becomes hexadecimal text. These operations fix those rules; nothing
// else in the tool converts numbers. None of them depends on the C locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

// Reads the longest leading numeral of a text.
//  - Space, tab and line feed are skipped wherever they stand: " 430 000 " is 430000.
//  - "&H"/"&O" (either case) start a hexadecimal/octal integer. A value that
//    fits in 16 bits is taken as signed 16-bit ("&HFFFF" is -1), a larger one
//    as signed 32-bit.
//  - Otherwise: optional sign, decimal digits with at most one ".", optional
//    exponent "E" (either case) with optional sign and digits. The decimal
//    point is always "."; a "," ends the numeral.
//  - Reading stops at the first character that cannot continue the numeral;
//    a text without a leading numeral reads as 0.
// A numeral too large for a double, or a radix numeral beyond 32 bits, reads
// as +infinity (-infinity for a negative decimal one), which every range test
// rejects. A decimal numeral too small for a double reads as 0.
double valnum(std::string_view text);

// The nearest integer; a value exactly halfway goes to the even one
// (2.5 -> 2, 3.5 -> 4). A value beyond the signed 32-bit range saturates at
// its end and NaN gives 0, so that no input is undefined behaviour.
std::int32_t roundeven(double x);

// roundeven(a) modulo roundeven(b), the remainder taking the sign of the
// dividend. A divisor that rounds to 0 gives 0.
std::int32_t remround(double a, double b);

// Quotient (truncated toward zero) and remainder of n by 64.
struct QuotRem {
    std::int32_t quot;
    std::int32_t rem;
};
QuotRem divmod64(std::int32_t n);

// roundeven(x) in upper-case hexadecimal without leading zeros; 0 is "0".
// A negative value is written as its 32-bit two's complement ("FFFFFFFF").
// The hexadecimal digits, upper case, by value.
inline constexpr std::string_view hexdigits = "0123456789ABCDEF";

std::string hexstr(std::int32_t x);
std::string hexstr(double x);

}  // namespace calc
