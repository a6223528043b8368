#include "decode.h"

namespace calc {
namespace {


int hexdigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A byte of a message-bound text: printable ASCII as it is, anything else
// as \xHH, so that the message stays readable and valid UTF-8.
std::string shown(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += hexdigits[byte >> 4];
            out += hexdigits[byte & 0xF];
        }
    }
    return out;
}

// Hundredths of a kHz as the shortest kHz text: 43000625 -> "430006.25".
std::string khztext(std::int64_t hundredths) {
    std::string text = std::to_string(hundredths / 100);
    if (const std::int64_t fraction = hundredths % 100; fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

// The value of one code text of the given number of bytes, or a problem.
bool readcode(std::string_view text, const char* name, std::size_t bytes, std::int32_t& value, std::string& problem) {
    value = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        const std::string_view byte = text.substr(i, 2);
        const int digit = byte.size() == 2 && (byte[0] == 'F' || byte[0] == 'f') ? hexdigit(byte[1]) : -1;
        if (digit < 0) {
            problem = std::string(name) + " byte " + std::to_string(count + 1) + " '" + shown(byte) +
                      "' is not F and a hex digit";
            return false;
        }
        if (++count <= bytes) value |= digit << (4 * (count - 1));
        i += 2;
    }
    if (count != bytes) {
        problem = std::string(name) + " has " + std::to_string(count) + (count == 1 ? " byte" : " bytes") + ", not " +
                  std::to_string(bytes);
        return false;
    }
    return true;
}

}  // namespace

Decoded decodecodes(Direction direction, std::string_view acode, std::string_view bcode, std::string_view rcode) {
    Decoded decoded;
    std::int32_t a = 0, b = 0, r = 0;
    if (!readcode(acode, "A", 2, a, decoded.problem) || !readcode(bcode, "B", 3, b, decoded.problem) ||
        !readcode(rcode, "R", 3, r, decoded.problem))
        return decoded;
    if (a > 63) {
        decoded.problem = "A " + std::to_string(a) + " is more than 63";
        return decoded;
    }
    // R = 750 / step: the step whose R this is, in hundredths of a kHz.
    std::int64_t step = 0;
    for (const Step& known : steps) {
        if (known.r == r) {
            decoded.steptext = known.text;
            step = known.hundredths;
        }
    }
    if (step == 0) {
        decoded.problem = "R " + std::to_string(r) + " is not one of the five steps (";
        for (const Step& known : steps) decoded.problem += std::to_string(known.r) + (&known == &steps.back() ? ")" : ", ");
        return decoded;
    }
    decoded.n = 64 * b + a;
    const std::int64_t offset = direction == Direction::receive ? static_cast<std::int64_t>(receiveoffsetkhz) * 100 : 0;
    decoded.hundredths = decoded.n * step + offset;
    const auto lower = static_cast<std::int64_t>(lowerkhz) * 100, upper = static_cast<std::int64_t>(upperkhz) * 100;
    if (decoded.hundredths <= lower || decoded.hundredths >= upper)
        decoded.problem = "the codes give " + khztext(decoded.hundredths) + " kHz, outside " +
                          std::to_string(lower / 100) + " to " + std::to_string(upper / 100) + " kHz";
    return decoded;
}

}  // namespace calc
