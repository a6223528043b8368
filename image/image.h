// Memory images: a chip's bytes by address, read and written as raw binary,
// Intel HEX and Motorola S-record, the files EPROM programmers take, and the
// checksums technicians compare dumps by. Standard C++ only; nothing here
// knows of channels (layout.h maps those to addresses).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace image {

using Bytes = std::vector<std::uint8_t>;

enum class Format { bin, ihex, srec };

// The format a file name's extension names: .bin; .hex or .ihx; .s19,
// .s28, .s37, .srec or .mot (any case). Nothing for any other.
std::optional<Format> formatof(std::string_view path);
// The format a word names: "bin", "ihex" or "srec".
std::optional<Format> formatnamed(std::string_view word);

// The file of an image: raw binary as it is; Intel HEX in records of 16
// data bytes from address 0, types 00 and 01 only, upper case, CRLF;
// S-record as S0 (header "freqcode"), S1 records of 16 data bytes, S5
// (their count) and S9, upper case, CRLF. Images up to 64 KiB.
std::string write(const Bytes& bytes, Format format);

struct Read {
    Bytes bytes;          // size bytes: what the file gives, fill elsewhere
    Format format = Format::bin;
    std::string problem;  // why the file is refused; empty when it is read
    long line = 0;        // the line of a text file's problem
    std::size_t extent = 0;  // one past the highest address the file gives
};

// Reads a file of any of the three formats, told by its content: a text
// of Intel HEX (":" records) or S-records ("S" and a digit), or else raw
// binary, which must be exactly size bytes. A record with a bad checksum,
// a bad form or data beyond size refuses the file, naming its line.
Read read(std::string_view file, std::size_t size, std::uint8_t fill);

// The 16-bit sum of all bytes, as chips were labelled, and the CRC-32
// (IEEE 802.3, as zip and cksum -a crc32b give it) of the whole image.
std::uint16_t bytesum(const Bytes& bytes);
std::uint32_t crc32(const Bytes& bytes);

}  // namespace image
