// The memory image readers, on two kinds of input made from the fuzzer's
// bytes: an image of known bytes written in a format, which must read back
// to the same bytes; and the bytes taken as a file, which must read as an
// image of the chip's size or be refused with a reason (and a line, for a
// text file), and what it reads as must survive being written and read again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "image/image.h"

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    constexpr std::size_t sizes[] = {16, 33, 256, 2048};
    const std::size_t chip = sizes[data[0] % 4];
    const auto format = static_cast<image::Format>(data[1] % 3);
    const std::uint8_t fill = data[0] & 0x80 ? 0xFF : 0x00;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);

    image::Bytes known(chip, fill);
    for (std::size_t i = 0; i < chip && i < rest.size(); ++i) known[i] = static_cast<std::uint8_t>(rest[i]);
    const image::Read back = image::read(image::write(known, format), chip, static_cast<std::uint8_t>(~fill));
    // Raw bytes that are all text of a record's start read as that text: no
    // chip of codes looks so.
    const bool textlike = std::all_of(known.begin(), known.end(), [](std::uint8_t b) {
        return (b >= 0x20 && b <= 0x7E) || b == '\r' || b == '\n' || b == '\t';
    });
    if (!(format == image::Format::bin && textlike))
        require(back.problem.empty() && back.format == format && back.bytes == known, "a written image does not read back");

    const image::Read read = image::read(rest, chip, fill);
    require(read.bytes.size() == chip, "an image of another size");
    if (!read.problem.empty()) {
        require(read.format == image::Format::bin || read.line > 0, "a text file refused without its line");
        return 0;
    }
    for (const auto again : {image::Format::bin, image::Format::ihex, image::Format::srec})
        require(image::read(image::write(read.bytes, again), chip, fill).bytes == read.bytes, "a read image does not survive");
    return 0;
}
