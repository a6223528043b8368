#include "image/layout.h"

#include <array>
#include <charconv>

namespace image {

const std::array<Chip, 11> chips = {{
    {"2708", 1024, false}, {"2716", 2048, false}, {"2732", 4096, false}, {"2764", 8192, false},
    {"27128", 16384, false}, {"27256", 32768, false}, {"27512", 65536, false},
    {"74S287", 256, true}, {"82S129", 256, true}, {"82S131", 512, true}, {"82S137", 1024, true},
}};

std::optional<Chip> chipnamed(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const Chip& chip : chips)
        if (chip.name == upper) return chip;
    // A byte count: decimal, 0x hexadecimal, or K for 1024.
    std::string_view digits = upper;
    int base = 10;
    std::size_t unit = 1;
    if (digits.starts_with("0X")) digits.remove_prefix(2), base = 16;
    else if (digits.ends_with("K")) digits.remove_suffix(1), unit = 1024;
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value == 0 ||
        value > 65536 / unit)
        return std::nullopt;
    return Chip{"", value * unit, false};
}

bool chipsized(std::size_t size) {
    for (const Chip& chip : chips)
        if (chip.size == size) return true;
    return false;
}

std::optional<Chip> smallestfor(std::size_t size) {
    for (const Chip& chip : chips)
        if (!chip.fourbit && chip.size >= size) return chip;
    return std::nullopt;
}

Read readchip(std::string_view file, const std::optional<Chip>& chip, std::uint8_t fill) {
    if (chip) return read(file, chip->size, fill);
    Read dump = read(file, file.size(), fill);
    if (dump.format == Format::bin) {
        if (dump.problem.empty() && !chipsized(file.size()))
            dump.problem = "a binary dump of " + std::to_string(file.size()) + " bytes is no chip's size; give --chip";
        return dump;
    }
    dump = read(file, 65536, fill);
    if (dump.problem.empty()) dump.bytes.resize(smallestfor(dump.extent)->size);
    return dump;
}

long Layout::count() const {
    if (channels) return *channels;
    const std::size_t last = std::max(rxat, txat) + blocksize;
    if (stride == 0 || size < last) return 0;
    return static_cast<long>((size - last) / stride) + 1;
}

std::optional<std::size_t> Layout::block(long location, bool transmit) const {
    if (location < first || location - first >= count()) return std::nullopt;
    const std::size_t at = (transmit ? txat : rxat) + static_cast<std::size_t>(location - first) * stride;
    if (at + blocksize > size) return std::nullopt;
    return at;
}

void putcodes(Bytes& bytes, std::size_t at, const calc::CodeSet& codes, std::uint8_t highnibble) {
    std::size_t k = at;
    for (const std::string* text : {&codes.acode, &codes.bcode, &codes.rcode})
        for (std::size_t i = 1; i < text->size(); i += 2) {
            const char c = (*text)[i];
            const unsigned digit = c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>(c - 'A' + 10);
            bytes[k++] = static_cast<std::uint8_t>((static_cast<unsigned>(highnibble) << 4) | digit);
        }
}

calc::CodeSet codesat(const Bytes& bytes, std::size_t at) {
    calc::CodeSet codes;
    std::size_t k = at;
    for (auto [text, length] : {std::pair{&codes.acode, 2}, std::pair{&codes.bcode, 3}, std::pair{&codes.rcode, 3}})
        for (int i = 0; i < length; ++i) {
            *text += 'F';
            *text += calc::hexdigits[bytes[k++] & 0xF];
        }
    return codes;
}

bool blank(const Bytes& bytes, std::size_t at, std::uint8_t fill) {
    for (std::size_t k = at; k < at + blocksize; ++k)
        if (bytes[k] != fill) return false;
    return true;
}

}  // namespace image

#include <algorithm>
#include <vector>

#include "calc/decode.h"

namespace image {

std::vector<Candidate> findlayouts(const Bytes& bytes, std::uint8_t fill, std::size_t most) {
    // Per address, the step whose codes an 8-byte block there decodes as in
    // each direction, or nothing (an empty text).
    std::vector<std::string_view> steps[2];
    for (int t = 0; t < 2; ++t) {
        steps[t].assign(bytes.size(), {});
        for (std::size_t at = 0; at + blocksize <= bytes.size(); ++at) {
            if (blank(bytes, at, fill)) continue;
            const calc::CodeSet codes = codesat(bytes, at);
            const auto decoded = calc::decodecodes(t == 0 ? calc::Direction::receive : calc::Direction::transmit,
                                                   codes.acode, codes.bcode, codes.rcode);
            if (decoded.problem.empty()) steps[t][at] = calc::stepof(decoded.steptext).text;  // the table's own text
        }
    }
    std::vector<Candidate> found;
    for (std::size_t stride = 16; stride <= 256 && stride <= bytes.size(); stride *= 2) {
        for (std::size_t rx = 0; rx + blocksize <= stride; ++rx) {
            for (std::size_t tx = 0; tx + blocksize <= stride; ++tx) {
                if (rx < tx + blocksize && tx < rx + blocksize) continue;  // overlapping blocks
                Candidate c;
                c.layout.rxat = rx;
                c.layout.txat = tx;
                c.layout.stride = stride;
                c.layout.size = bytes.size();
                c.layout.fill = fill;
                for (std::size_t base = 0; base + std::max(rx, tx) + blocksize <= bytes.size(); base += stride) {
                    const std::string_view r = steps[0][base + rx], t = steps[1][base + tx];
                    if (!r.empty() && r == t) ++c.both;
                    else if (!r.empty() || !t.empty()) ++c.one;
                }
                if (c.both + c.one > 0) found.push_back(c);
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        return a.both != b.both ? a.both > b.both : a.one > b.one;
    });
    if (found.size() > most) found.resize(most);
    return found;
}

}  // namespace image
