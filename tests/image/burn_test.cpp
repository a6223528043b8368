// freqcode-table --image: a list's codes where the layout puts them, and
// the chip read back with --decode; refused, with no file, rather than a
// wrong chip.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "toolrun.h"

namespace {

namespace fs = std::filesystem;

std::string load(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The worked results of the calculation: receive 430000 kHz at 5 kHz, and
// transmit 145600 kHz at 12.5 kHz, as the bytes of their code texts.
const std::string list = "Location,Name,Frequency,Duplex,Offset,TStep\n2,A,430.000000,,0,5\n0,B,145.000000,+,0.6,12.5\n"
                         "5,M,156.800000,off,0,25\n";

TEST(BurnImage, CodesWhereTheLayoutPutsThem) {
    const fs::path folder = fs::temp_directory_path() / ("freqcode-burn-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const std::string bin = (folder / "chip.bin").string(), hex = (folder / "chip.hex").string();
    ToolRun r = call({"--csv", "--image", bin}, list);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("the image is a 2708 (1024 bytes)"), std::string::npos) << r.err;
    const std::string chip = load(bin);
    ASSERT_EQ(chip.size(), 1024u);
    EXPECT_EQ(chip.substr(32, 8), "\xF0\xF1\xFC\xFF\xF4\xF6\xF9\xF0");  // location 2, receive: F0F1 FCFFF4 F6F9F0
    EXPECT_EQ(chip.substr(8, 8), "\xF0\xF0\xF6\xFB\xF0\xFC\xF3\xF0");   // location 0, transmit 145600: F0F0 F6FBF0 FCF3F0
    EXPECT_EQ(chip.substr(88, 8), std::string(8, '\xFF'));               // location 5 receives only
    EXPECT_EQ(chip.find_first_not_of('\xFF', 96), std::string::npos);

    // Read back, in any format, the chip gives the list's channels.
    ASSERT_EQ(call({"--csv", "--image", hex, "--chip", "2716", "--high-nibble", "0", "--fill", "00"}, list).status, 0);
    for (const std::string& dump : {bin, hex}) {
        const std::vector<std::string> extra = dump == hex ? std::vector<std::string>{"--fill", "00"} : std::vector<std::string>{};
        std::vector<std::string> args = {"--csv", "--decode", dump};
        args.insert(args.end(), extra.begin(), extra.end());
        const ToolRun back = call(args);
        EXPECT_EQ(back.status, 0) << back.err;
        const auto rows = records(back.out);
        ASSERT_EQ(rows.size(), 3u) << back.out;
        EXPECT_EQ(rows[0].at("location") + " " + rows[0].at("rx_khz") + " " + rows[0].at("tx_khz"), "0 145000 145600");
        EXPECT_EQ(rows[1].at("location") + " " + rows[1].at("rx_khz") + " " + rows[1].at("tx_khz"), "2 430000 430000");
        EXPECT_EQ(rows[2].at("location") + " " + rows[2].at("rx_khz") + " " + rows[2].at("tx_khz"), "5 156800 ");
    }

    // Into a dump: only the list's blocks change; other data stays, and a
    // block of it that the list would write refuses the list.
    std::string dump = chip;
    dump[1000] = '\x42';
    dump.replace(112, 8, "\x12\x34\x56\x78\x9A\xBC\xDE\xF0");  // location 7's receive block holds no codes
    std::ofstream(folder / "dump.bin", std::ios::binary) << dump;
    const std::string changed = (folder / "changed.bin").string(), into = (folder / "dump.bin").string();
    r = call({"--csv", "--image", changed, "--into", into}, "Location,Frequency,TStep\n0,438.5,25\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string after = load(changed);
    // 438500 kHz at 25 kHz: receive N 16676 (A 0x24, B 0x104), transmit N 17540 (A 0x04, B 0x112).
    EXPECT_EQ(after.substr(0, 16), "\xF4\xF2\xF4\xF0\xF1\xFE\xF1\xF0\xF4\xF0\xF2\xF1\xF1\xFE\xF1\xF0");
    EXPECT_EQ(after.substr(16), dump.substr(16));
    EXPECT_NE(r.err.find("bytes changed; byte sum"), std::string::npos) << r.err;

    // A chip of another layout is found: its blocks moved to 4 and 20 in
    // strides of 32.
    std::string moved(1024, '\xFF');
    for (std::size_t location = 0; location < 6; ++location) {
        moved.replace(location * 32 + 4, 8, chip.substr(location * 16, 8));
        moved.replace(location * 32 + 20, 8, chip.substr(location * 16 + 8, 8));
    }
    std::ofstream(folder / "moved.bin", std::ios::binary) << moved;
    r = call({"--csv", "--find-layout", (folder / "moved.bin").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("best first (locations with both blocks codes of one step, and with one):\n"
                         "  --rx-at 4 --tx-at 20 --stride 32 --first 0: 2 and 1\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(records(r.out).size(), 3u) << r.out;

    const struct {
        std::string input;
        std::vector<std::string> options;
        std::string message;
    } refusals[] = {
        {"Location,Frequency,TStep\n7,438.5,25\n", {"--into", into},
         "the rx block at 0x0070 for location 7 is neither blank nor codes"},
        {list + "7,X,145.503,,0,12.5\n", {}, "not every channel was computed"},
        {list + "A1,X,145.5,,0,12.5\nB2,Y,145.6,,0,12.5\n", {}, "line 6: location 'B2' is not a whole number"},
        {list, {"--chip", "82S129", "--stride", "64"}, "line 4: location 5's rx block lies outside the 256-byte chip"},
        {list, {"--stride", "4"}, "line 3: location 0's tx block at 0x0008 overlaps a block of line 2"},
        {list, {"--first", "1"}, "line 3: location 0 is outside the layout's locations"},
    };
    for (const auto& c : refusals) {
        std::vector<std::string> args = {"--csv", "--image", (folder / "refused.bin").string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ToolRun refused = call(args, c.input);
        EXPECT_EQ(refused.status, 1) << c.message;
        EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("no image written"), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(folder / "refused.bin")) << c.message;
    }
    fs::remove_all(folder);
}

}  // namespace
