#include "table/encoding.h"

#include <array>
#include <cstdint>
#include <cstring>

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

std::string terminaltext(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if ((c < 0x20 && c != '\t') || c == 0x7F || c1) {
            constexpr char hex[] = "0123456789ABCDEF";
            const unsigned value = c1 ? static_cast<unsigned char>(text[++i]) : c;
            out += "\\x";
            out += hex[value >> 4];
            out += hex[value & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
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
