// Memory image files: our writer against lines Debian's srecord tools wrote
// for the same bytes (a checksum bug the same both ways would pass a round
// trip), and the refusals of damaged files, each naming its line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/layout.h"

namespace {

// A receive and a transmit block, then fill: 32 bytes.
image::Bytes sample() {
    const std::uint8_t rx[] = {0xF0, 0xF1, 0xFC, 0xFF, 0xF4, 0xF6, 0xF9, 0xF0};
    const std::uint8_t tx[] = {0xF0, 0xF3, 0xFF, 0xF3, 0xF5, 0xF6, 0xF9, 0xF0};
    image::Bytes bytes(32, 0xFF);
    std::copy(std::begin(rx), std::end(rx), bytes.begin());
    std::copy(std::begin(tx), std::end(tx), bytes.begin() + 16);
    return bytes;
}

TEST(ImageFiles, WrittenAsSrecordWritesThem) {
    // srec_cat g32.bin -binary -o - -intel -crlf -output_block_size=16 (and -motorola).
    EXPECT_EQ(image::write(sample(), image::Format::ihex),
              ":10000000F0F1FCFFF4F6F9F0FFFFFFFFFFFFFFFF49\r\n"
              ":10001000F0F3FFF3F5F6F9F0FFFFFFFFFFFFFFFF3F\r\n"
              ":00000001FF\r\n");
    const std::string srec = image::write(sample(), image::Format::srec);
    EXPECT_NE(srec.find("\r\nS1130000F0F1FCFFF4F6F9F0FFFFFFFFFFFFFFFF45\r\n"
                        "S1130010F0F3FFF3F5F6F9F0FFFFFFFFFFFFFFFF3B\r\n"
                        "S5030002FA\r\nS9030000FC\r\n"),
              std::string::npos)
        << srec;
    EXPECT_EQ(image::crc32({'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0xCBF43926u);  // the CRC-32 check value
    EXPECT_EQ(image::bytesum(sample()), (0xF0 + 0xF1 + 0xFC + 0xFF + 0xF4 + 0xF6 + 0xF9 + 0xF0 + 0xF0 + 0xF3 + 0xFF + 0xF3 +
                                         0xF5 + 0xF6 + 0xF9 + 0xF0 + 16 * 0xFF) & 0xFFFF);
}

TEST(ImageFiles, DamagedFilesAreRefusedByTheirLine) {
    const struct {
        std::string file, problem;
        long line;
    } cases[] = {
        {":10000000F0F1FCFFF4F6F9F0FFFFFFFFFFFFFFFF48\r\n:00000001FF\r\n", "a bad checksum", 1},
        {":10000000F0F1FCFFF4F6F9F0FFFFFFFFFFFFFFFF49\r\n", "no end-of-file record: is the file cut short?", 1},
        {":10002000F0F1FCFFF4F6F9F0FFFFFFFFFFFFFFFF29\r\n:00000001FF\r\n", "data beyond the chip's 32 bytes", 1},
        {":00000001FF\r\n", "", 0},
        {"\r\n:0F000000F0F1FCFFF4F6F9F0FFFFFFFFFFFF\r\n", "a bad Intel HEX record", 2},
        {"S1130000F0F1FCFFF4F6F9F0FFFFFFFFFFFFFFFF44\r\nS9030000FC\r\n", "a bad checksum", 1},
        {"S1130000F0F1FCFFF4F6F9F0FFFFFFFFFFFFFFFF45\r\nS5030002FA\r\nS9030000FC\r\n",
         "the count says 2 data records, the file has 1", 2},
        {"S1130000F0F1FCFFF4F6F9F0FFFFFFFFFFFFFFFF45\r\n", "no end record (S7, S8 or S9): is the file cut short?", 1},
        {std::string(31, '\xFF'), "a binary image of 31 bytes, where the chip has 32", 0},
    };
    for (const auto& c : cases) {
        const image::Read read = image::read(c.file, 32, 0xFF);
        EXPECT_EQ(read.problem, c.problem) << c.file;
        EXPECT_EQ(read.line, c.line) << c.file;
    }
}

#ifdef __linux__
// srecord's own reading of our files, and ours of its files, give the
// same bytes.
TEST(ImageFiles, SrecordReadsOursAndWeReadItsFiles) {
    if (std::system("srec_cat --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no srec_cat (apt-get install srecord)";
    image::Bytes bytes(2048);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(0xF0 | ((i * 7 + i / 16) & 0xF));
    const std::string folder = testing::TempDir();
    const auto save = [](const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; };
    const auto load = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    for (const auto& [format, flag] : {std::pair{image::Format::ihex, "-intel"}, std::pair{image::Format::srec, "-motorola"}}) {
        const std::string ours = folder + "ours" + flag, theirs = folder + "theirs" + flag, bin = folder + "image.bin";
        save(ours, image::write(bytes, format));
        ASSERT_EQ(std::system(("srec_cat " + ours + " " + flag + " -fill 0x00 0 2048 -o " + bin + " -binary").c_str()), 0);
        EXPECT_EQ(load(bin), std::string(bytes.begin(), bytes.end())) << flag;
        save(bin, std::string(bytes.begin(), bytes.end()));
        ASSERT_EQ(std::system(("srec_cat " + bin + " -binary -o " + theirs + " " + flag).c_str()), 0);
        const image::Read read = image::read(load(theirs), bytes.size(), 0x00);
        EXPECT_EQ(read.problem, "") << flag;
        EXPECT_EQ(read.bytes, bytes) << flag;
    }
}
#endif

}  // namespace
