// Where a channel's codes lie in a chip: the layout that maps a location to
// the addresses of its receive and transmit blocks, and the chips that hold
// them. A block is 8 bytes, one nibble of code each in its low half: A (2),
// B (3), R (3), least significant digit first, exactly the bytes of the code
// texts ("F0F1" is the bytes F0 F1).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/codes.h"
#include "image/image.h"

namespace image {

struct Chip {
    std::string_view name;
    std::size_t size;
    bool fourbit;  // a bipolar PROM of nibbles
};

// The chips known by name, the EPROMs smallest first, then the PROMs.
extern const std::array<Chip, 11> chips;

// The chip a name or a size names: "2716", "82S131", or a byte count
// ("2048", "2K", "0x800"); nothing for any other.
std::optional<Chip> chipnamed(std::string_view name);
// Whether a chip of the list has that many bytes.
bool chipsized(std::size_t size);
// The smallest 27-series EPROM of at least size bytes, or nothing.
std::optional<Chip> smallestfor(std::size_t size);

// A chip's dump, of the chip's size: with a chip given, its size; else a
// binary dump's own, which must be a chip's, and a text dump's smallest
// EPROM that holds its data.
Read readchip(std::string_view file, const std::optional<Chip>& chip, std::uint8_t fill);

constexpr std::size_t blocksize = 8;

struct Layout {
    std::size_t rxat = 0, txat = 8, stride = 16;
    long first = 0;                  // the location stored at the base addresses
    std::optional<long> channels;    // how many locations it holds; as many as fit without
    std::size_t size = 0;            // the chip's
    std::uint8_t fill = 0xFF;        // the bytes no channel uses
    std::uint8_t highnibble = 0xF;   // the high half of every code byte

    // How many locations the layout holds.
    long count() const;
    // The address of a location's block, or nothing when it lies outside
    // the layout or the chip.
    std::optional<std::size_t> block(long location, bool transmit) const;
};

// Puts one direction's codes into a block's 8 bytes.
void putcodes(Bytes& bytes, std::size_t at, const calc::CodeSet& codes, std::uint8_t highnibble);
// The code texts a block's bytes spell, whatever their high nibbles.
calc::CodeSet codesat(const Bytes& bytes, std::size_t at);
// Whether a block holds nothing but fill.
bool blank(const Bytes& bytes, std::size_t at, std::uint8_t fill);

}  // namespace image

namespace image {

// A layout that a dump may have been made with, and how well it fits: the
// locations whose receive and transmit blocks both decode as codes of one
// step (a plausible R), and those with one side so.
struct Candidate {
    Layout layout;
    long both = 0, one = 0;
};

// The layouts under which the most blocks of a chip decode as codes, best
// first: strides of 16 to 256 bytes, the receive and transmit blocks at any
// two offsets within one stride, the first location 0.
std::vector<Candidate> findlayouts(const Bytes& bytes, std::uint8_t fill, std::size_t most);

}  // namespace image
