#include "table/decimal.h"

#include <algorithm>
#include <charconv>

#include "calc/codes.h"

namespace table {
namespace {

constexpr std::int64_t limit = 1'000'000'000'000'000'000;  // 10^18 millionths = 10^12 kHz

// The text's value times 10^scale, exactly, or nothing.
std::optional<std::int64_t> parsescaled(std::string_view text, int scale) {
    text = trim(text);
    std::int64_t value = 0;
    bool digits = false, point = false;
    int decimals = 0;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        digits = true;
        if (point && ++decimals > scale) {
            if (c != '0') return std::nullopt;  // finer than the unit
            continue;
        }
        if (value > (limit - 9) / 10) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (!digits) return std::nullopt;
    for (int i = point ? decimals : 0; i < scale; ++i) {
        if (value > limit / 10) return std::nullopt;
        value *= 10;
    }
    return value;
}

// Cuts a unit, given in lower case, from the end of a text, whatever its
// case there: "12.5 KHZ" -> "12.5 ". False when the text does not end so.
bool cutunit(std::string_view& text, std::string_view unit) {
    if (text.size() < unit.size()) return false;
    for (std::size_t i = 0; i < unit.size(); ++i) {
        char c = text[text.size() - unit.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != unit[i]) return false;
    }
    text.remove_suffix(unit.size());
    return true;
}

}  // namespace

std::optional<Microkhz> parsekhz(std::string_view text) {
    const auto value = parsescaled(text, 6);
    if (!value) return std::nullopt;
    return Microkhz{*value};
}

std::optional<Microkhz> parsefrequency(std::string_view text, Unit unit) {
    text = trim(text);
    if (cutunit(text, "mhz")) unit = Unit::mhz;
    else if (cutunit(text, "khz")) unit = Unit::khz;
    else if (cutunit(text, "hz")) unit = Unit::hz;
    const auto value = parsescaled(text, unit == Unit::mhz ? 9 : unit == Unit::khz ? 6 : 3);
    if (!value) return std::nullopt;
    return Microkhz{*value};
}

bool wholenumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view trim(std::string_view text) {
    // Spaces, tabs, and the no-break spaces U+00A0 and U+202F that a
    // spreadsheet puts before a unit.
    constexpr std::string_view nbsp = "\xC2\xA0", narrow = "\xE2\x80\xAF";
    const auto edge = [](char c) { return c == ' ' || c == '\t' || c == '\xC2' || c == '\xE2' || c == '\xA0' || c == '\xAF'; };
    if (text.empty() || (!edge(text.front()) && !edge(text.back()))) return text;  // most texts
    for (;;) {
        if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
        else if (text.starts_with(nbsp)) text.remove_prefix(nbsp.size());
        else if (text.starts_with(narrow)) text.remove_prefix(narrow.size());
        else break;
    }
    for (;;) {
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
        else if (text.ends_with(nbsp)) text.remove_suffix(nbsp.size());
        else if (text.ends_with(narrow)) text.remove_suffix(narrow.size());
        else break;
    }
    return text;
}

Microkhz operator+(Microkhz a, Microkhz b) { return {a.value + b.value}; }
Microkhz operator-(Microkhz a, Microkhz b) { return {a.value - b.value}; }

std::string khztext(Microkhz khz) {
    const bool negative = khz.value < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(khz.value + 1)) + 1 : static_cast<std::uint64_t>(khz.value);
    char text[48];
    char* end = text;
    if (negative) *end++ = '-';
    end = std::to_chars(end, text + sizeof text, magnitude / 1'000'000).ptr;
    if (const std::uint64_t fraction = magnitude % 1'000'000; fraction != 0) {
        // Six decimals with the trailing zeros dropped.
        char* const point = end;
        end = std::to_chars(point, text + sizeof text, fraction + 1'000'000).ptr;  // "1xxxxxx"
        *point = '.';
        while (end[-1] == '0') --end;
    }
    return std::string(text, end);
}

std::optional<std::string> steptext(std::string_view text) {
    text = trim(text);
    cutunit(text, "khz");
    const auto hundredths = parsescaled(text, 2);
    if (!hundredths) return std::nullopt;
    for (const calc::Step& step : calc::steps)
        if (step.hundredths == *hundredths) return std::string(step.text);
    return std::nullopt;
}

}  // namespace table
