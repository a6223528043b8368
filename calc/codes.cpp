#include "codes.h"

namespace calc {
namespace {

// R = 750 / step: the reference divider that fixes the channel step.
constexpr double referencekhz = 750;
// Frequency and step are tested against each other in whole units of 10 Hz,
// so that the 12.5 and 6.25 kHz steps are whole numbers too.
constexpr double rasterscale = 100;

// hexstr(value) with zeros in front up to the given number of digits.
std::string paddedhex(std::int32_t value, std::size_t digits) {
    std::string text = hexstr(value);
    if (text.size() < digits) text.insert(0, digits - text.size(), '0');
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
    std::string rtext(1, '0');  // R has two hex digits; its text three
    rtext += hexstr(r);
    return {Outcome::codes, {strdd(paddedhex(a, 2)), strdd(paddedhex(b, 3)), strdd(rtext)}, n, a, b, roundeven(r)};
}

}  // namespace calc
