#include "table/encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "calc/conversions.h"

namespace table {
namespace {

constexpr char32_t replacement = 0xFFFD;

// The code points of bytes 0x80 to 0x9F in Windows-1252; zero where the code
// page defines none. The rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> cp1252high = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

bool validutf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Most text is ASCII: eight bytes at a time while no high bit is set.
        std::uint64_t eight = 0;
        if (i + 8 <= text.size() && (std::memcpy(&eight, text.data() + i, 8), (eight & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t value = 0, least = 0;
        if ((c & 0xE0) == 0xC0) length = 2, value = c & 0x1Fu, least = 0x80;
        else if ((c & 0xF0) == 0xE0) length = 3, value = c & 0x0Fu, least = 0x800;
        else if ((c & 0xF8) == 0xF0) length = 4, value = c & 0x07u, least = 0x10000;
        else return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (!continuation(next)) return false;
            value = (value << 6) | (next & 0x3Fu);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

void appendutf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = replacement;
    const auto byte = [&](char32_t bits) { out += static_cast<char>(bits); };
    if (cp < 0x80) {
        byte(cp);
    } else if (cp < 0x800) {
        byte(0xC0 | (cp >> 6));
        byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        byte(0xE0 | (cp >> 12));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    } else {
        byte(0xF0 | (cp >> 18));
        byte(0x80 | ((cp >> 12) & 0x3F));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    }
}

std::string cp1252toutf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && c < 0xA0) {
            const char16_t mapped = cp1252high[c - 0x80u];
            appendutf8(out, mapped ? mapped : replacement);
        } else {
            appendutf8(out, c);
        }
    }
    return out;
}

std::string_view utf8prefix(std::string_view text, std::size_t maxbytes) {
    if (text.size() <= maxbytes) return text;
    std::size_t end = maxbytes;
    while (end > 0 && continuation(static_cast<unsigned char>(text[end]))) --end;
    return text.substr(0, end);
}

std::size_t utf8complete(std::string_view text) {
    // The last character's first byte is at most three bytes back.
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto c = static_cast<unsigned char>(text[text.size() - back]);
        if (continuation(c)) continue;
        const std::size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

namespace {

// The code point that starts at text[i] and its length in bytes; a byte
// that starts no well-formed character stands for itself, one byte long.
std::pair<char32_t, std::size_t> decodeat(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size() || !validutf8(text.substr(i, length))) return {c, 1};
    char32_t value = length == 1 ? c : length == 2 ? c & 0x1Fu : length == 3 ? c & 0x0Fu : c & 0x07u;
    for (std::size_t k = 1; k < length; ++k) value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    return {value, length};
}

struct Range {
    char32_t first, last;
};
bool within(char32_t c, const Range* begin, const Range* end) {
    for (const Range* r = begin; r != end; ++r)
        if (c >= r->first && c <= r->last) return true;
    return false;
}

// Characters a terminal shows as nothing, or as a space that is no space,
// or that turn the text's direction: shown by their number instead.
constexpr Range unseen[] = {{0x00A0, 0x00A0}, {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x061C, 0x061C},
                            {0x115F, 0x1160}, {0x180E, 0x180E}, {0x2000, 0x200F}, {0x2028, 0x202F},
                            {0x205F, 0x206F}, {0x3164, 0x3164}, {0xFEFF, 0xFEFF}, {0xFFF9, 0xFFFB}};
// Marks that combine with the character before them: no column of their own.
constexpr Range combining[] = {{0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x0610, 0x061A},
                               {0x064B, 0x065F}, {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},
                               {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE00, 0xFE0F},
                               {0xFE20, 0xFE2F}};
// East Asian wide and full-width characters, and emoji: two columns.
constexpr Range wide[] = {{0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
                          {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
                          {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
                          {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}};

}  // namespace

std::string terminaltext(std::string_view text) {
    std::string out;
    appendterminaltext(out, text);
    return out;
}

void appendterminaltext(std::string& out, std::string_view text) {
    constexpr std::string_view hex = calc::hexdigits;
    // Most texts are printable ASCII, which stays as it is.
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
        out.append(text);
        return;
    }
    for (std::size_t i = 0; i < text.size();) {
        const auto [c, length] = decodeat(text, i);
        const bool control = (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F && (length > 1 || c == 0x7F));
        if (control) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else if (within(c, std::begin(unseen), std::end(unseen))) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out += hex[(c >> shift) & 0xF];
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
}

std::size_t textwidth(std::string_view text) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto [c, length] = decodeat(text, i);
        i += length;
        if (within(c, std::begin(combining), std::end(combining))) continue;
        columns += within(c, std::begin(wide), std::end(wide)) ? 2u : 1u;
    }
    return columns;
}

std::string quote(std::string_view text) {
    constexpr std::size_t longest = 40;
    const std::string_view shown = utf8prefix(text, longest);
    std::string out = "'";
    for (const char c : shown) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    out += shown.size() < text.size() ? "...'" : "'";
    return out;
}

}  // namespace table
