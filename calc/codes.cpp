#include "codes.h"

namespace calc {
namespace {

// R = 750 / step: the reference divider that fixes the channel step.
constexpr double referencekhz = 750;
// Frequency and step are tested against each other in whole units of 10 Hz,
// so that the 12.5 and 6.25 kHz steps are whole numbers too.
constexpr double rasterscale = 100;

// strdd(hexstr(value) with zeros in front up to the given number of
// digits), for a value of at most that many digits: each digit, least
// significant first, after an "F".
std::string nibbles(std::int32_t value, std::size_t digits) {
    std::string text(2 * digits, 'F');
    auto rest = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < digits; ++i, rest /= 16) text[2 * i + 1] = hexdigits[rest % 16];
    return text;
}

}  // namespace

const Step& stepof(std::string_view steptext) {
    for (const Step& step : steps)
        if (step.text == steptext) return step;
    return steps.back();  // "5kHz", and any other text, the empty one included
}

double stepkhz(std::string_view steptext) { return static_cast<double>(stepof(steptext).hundredths) / rasterscale; }

std::string strdd(std::string_view stra) {
    std::string result(2 * stra.size(), 'F');
    for (std::size_t i = 0; i < stra.size(); ++i) result[2 * i + 1] = stra[stra.size() - 1 - i];
    return result;
}

Result calccodes(Direction direction, std::string_view steptext, std::string_view freqtext) {
    const double step = stepkhz(steptext);
    const double r = referencekhz / step;
    const double f = valnum(freqtext);

    // The range test comes first: it keeps every later product and rounding
    // inside 32 bits (NaN and the infinities fail it too).
    if (!(f > lowerkhz && f < upperkhz)) return {Outcome::outofrange, {}};
    if (remround(f * rasterscale, step * rasterscale) > 0) return {Outcome::offstep, {}};

    const double base = direction == Direction::receive ? f - receiveoffsetkhz : f;
    const std::int32_t n = roundeven(base / step);
    const auto [b, a] = divmod64(n);
    // R has two hex digits, its text three with a "0" in front; A has at
    // most two and B three within the range. So each text is strdd's of
    // its padded hex digits, written here without building them first.
    const std::int32_t rvalue = roundeven(r);
    return {Outcome::codes, {nibbles(a, 2), nibbles(b, 3), nibbles(rvalue, 3)}, n, a, b, rvalue};
}

}  // namespace calc
