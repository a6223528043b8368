#include "form1texts.h"

#include "calc/codes.h"
#include "calc/conversions.h"
#include "form1events.h"

namespace form {
namespace {

// The nibble codes of 0..last written with the given number of hex digits.
std::vector<std::string> codes(int last, std::size_t digits, std::string_view placeholder) {
    std::vector<std::string> texts{std::string(placeholder)};
    for (int value = 0; value <= last; ++value) {
        std::string hex = calc::hexstr(value);
        if (hex.size() < digits) hex.insert(0, digits - hex.size(), '0');
        texts.push_back(calc::strdd(hex));
    }
    return texts;
}

}  // namespace

std::vector<std::string> textsof(const Control& control) {
    // The largest N is just below the upper bound on the finest step; its
    // B = N div 64.
    const int lastb = static_cast<int>(calc::upperkhz / 5) / 64;
    for (const Side& side : {receiveside, transmitside}) {
        if (control.name == side.abox) return codes(63, 2, aplaceholder);
        if (control.name == side.bbox) return codes(lastb, 3, bplaceholder);
        if (control.name == side.rbox) {
            std::vector<std::string> texts{std::string(bplaceholder)};
            for (const std::string_view step : steplist)
                texts.push_back(calc::calccodes(calc::Direction::transmit, step, "150000").codes.rcode);
            return texts;
        }
    }
    if (control.kind == Kind::combobox) return {steplist.begin(), steplist.end()};
    // A frequency box: its first text, and a frequency given to 10 Hz, the
    // finest a step's raster needs (6.25 kHz), with the most digits.
    if (control.kind == Kind::textbox && !control.readonly)
        return {std::string(control.text), std::to_string(static_cast<long>(calc::upperkhz) - 1) + ".75", "430006.25"};
    return {std::string(control.text)};
}

}  // namespace form
