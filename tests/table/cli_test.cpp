// freqcode-table as a user runs it: one channel, the sample list, and bad
// command lines and inputs, through the in-process entry point.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "calc/codes.h"
#include "table/beside.h"
#include "table/encoding.h"
#include "toolrun.h"

namespace {

using namespace std::string_literals;

ToolRun run(const std::vector<std::string>& args) { return call(args); }

ToolRun runon(const std::string& input, const std::vector<std::string>& args = {"--csv"}) { return call(args, input); }

// Each side's codes must be what calccodes gives for the row's step and kHz.
void expectagreement(const std::map<std::string, std::string>& row) {
    for (const auto& [side, direction] : {std::pair{"rx", calc::Direction::receive}, std::pair{"tx", calc::Direction::transmit}}) {
        const std::string khz = row.at(side + "_khz"s);
        const auto result = calc::calccodes(direction, row.at("step"), khz);
        const bool codes = !khz.empty() && result.outcome == calc::Outcome::codes;
        EXPECT_EQ(row.at(side + "_acode"s), codes ? result.codes.acode : "") << side << " " << khz;
        EXPECT_EQ(row.at(side + "_bcode"s), codes ? result.codes.bcode : "") << side << " " << khz;
        EXPECT_EQ(row.at(side + "_rcode"s), codes ? result.codes.rcode : "") << side << " " << khz;
    }
}

TEST(FreqcodeTable, OneChannel) {
    ToolRun r = run({"--step", "12.5kHz", "--rx", "145000", "--tx", "145600", "--table"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "step 12.5 kHz\nrx 145000 kHz: A F0F1  B FAF9F0  R FCF3F0  N 9872\n"
              "tx 145600 kHz: A F0F0  B F6FBF0  R FCF3F0  N 11648\n");

    r = run({"--step=12.5", "--rx=145003", "--tx=29000", "--table"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "step 12.5 kHz\nrx 145003: off the 12.5 kHz step raster\ntx 29000: outside 30000 to 500000 kHz\n");
    EXPECT_EQ(r.err,
              "freqcode-table: rx 145003: off the 12.5 kHz step raster; tx 29000: outside 30000 to 500000 kHz; "
              "fits none of the five steps\n");

    r = run({"--step", "5kHz", "--tx", "430000"});  // not a terminal: CSV
    EXPECT_EQ(r.status, 0);
    const auto rows = records(r.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("tx_acode") + rows[0].at("tx_bcode") + rows[0].at("tx_rcode"), "F0F3FFF3F5F6F9F0");
    EXPECT_EQ(rows[0].at("rx_khz"), "");
}

TEST(FreqcodeTable, ExportedChannelList) {
    const ToolRun r = run({"--csv", FREQCODE_TABLE_SAMPLE});
    EXPECT_EQ(r.status, 1) << "three channels cannot be set";
    const auto rows = records(r.out);
    ASSERT_EQ(rows.size(), 10u) << "every row is written";
    const struct {
        const char *name, *rx, *tx, *step, *status;
    } expected[] = {
        {"Calling", "145500", "145500", "12.5kHz", "ok"},
        {"Rptr A", "145600", "145000", "12.5kHz", "ok"},
        {"Rptr B", "438500", "446100", "25kHz", "ok"},
        {"Split 70", "430006.25", "432006.25", "6.25kHz", "ok"},
        {"Marine 16", "156800", "", "25kHz", "ok, receive only"},
        {"Club \"Net\"", "145250", "145250", "5kHz", "ok"},
        {"Off raster", "145503", "145503", "12.5kHz",
         "rx 145503: off the 12.5 kHz step raster; tx 145503: off the 12.5 kHz step raster; fits none of the five steps"},
        {"Too low", "29000", "29000", "5kHz", "rx 29000: outside 30000 to 500000 kHz; tx 29000: outside 30000 to 500000 kHz"},
        {"Airband", "118000", "118000", "", "step '8.33' is not one of 5, 6.25, 10, 12.5 and 25 kHz"},
        {"Ten kHz", "438500", "438500", "10kHz", "ok"},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.at("name"));
        EXPECT_EQ(row.at("location"), std::to_string(i + 1));
        EXPECT_EQ(row.at("name"), expected[i].name);
        EXPECT_EQ(row.at("rx_khz"), expected[i].rx);
        EXPECT_EQ(row.at("tx_khz"), expected[i].tx);
        EXPECT_EQ(row.at("step"), expected[i].step);
        EXPECT_EQ(row.at("status"), expected[i].status);
        if (!row.at("step").empty()) expectagreement(row);
    }
    for (const char* line : {"line 8: rx 145503", "line 9: rx 29000", "line 10: step '8.33'", "3 of 10 channels failed"})
        EXPECT_NE(r.err.find(line), std::string::npos) << line << "\n" << r.err;

    // --step stands in for the list's own steps.
    const auto stepped = records(run({"--csv", "--step", "25", FREQCODE_TABLE_SAMPLE}).out);
    EXPECT_EQ(stepped[3].at("status"),
              "rx 430006.25: off the 25 kHz step raster; tx 432006.25: off the 25 kHz step raster; fits 6.25 kHz");
    EXPECT_EQ(stepped[8].at("status"), "ok");
    for (const auto& row : stepped) expectagreement(row);
}

TEST(FreqcodeTable, PlainListFromStandardInput) {
    const ToolRun r = runon("rx_khz,tx_khz,step\n145000,145600,12.5kHz\n430006.25,,6.25\n\n,438500,10kHz\n");
    EXPECT_EQ(r.status, 0) << r.err;
    const auto rows = records(r.out);
    ASSERT_EQ(rows.size(), 3u) << "the blank line is no channel";
    for (const auto& row : rows) {
        EXPECT_EQ(row.at("status"), "ok");
        expectagreement(row);
    }
    EXPECT_EQ(rows[1].at("tx_acode"), "");
    EXPECT_EQ(rows[2].at("rx_acode"), "");
}

TEST(FreqcodeTable, BadInputIsReportedNeverFatal) {
    const std::string binary = "\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0\x01\0\0\0"s;
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise += static_cast<char>(1 + (i * 7919) % 255);
    const struct {
        const char* what;
        std::string input;
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {"unbalanced quotes", "Location,Frequency,TStep\n1,\"145.5,12.5\n2,145.5,12.5\n", {"--csv"}, 1,
         "line 2: a quote opened in column 2 is not closed on this line, and line 3 holds a channel of its own"},
        {"ragged rows", "Location,Frequency,TStep\n1,145.5\n2,145.5,12.5,x\n3,145.5,12.5\n", {"--csv"}, 1,
         "line 3: 4 fields where the header has 3"},
        {"no frequency column", "Location,Name\n1,x\n", {"--csv"}, 1, "line 1: the header row has no frequency column"},
        {"empty file", "", {"--csv"}, 1, "is empty"},
        {"binary file", binary, {"--csv"}, 1, "binary data"},
        {"noise", noise, {"--csv"}, 1, "is this a"},
        {"bad number", "rx_khz,step\n145.000.5,5\n", {"--csv"}, 1, "line 2: rx_khz '145.000.5' is not a number of kHz"},
        {"bad duplex", "Frequency,Duplex,Offset,TStep\n145.5,x,0.6,12.5\n", {"--csv"}, 1, "Duplex 'x' is not"},
        {"unknown option", "", {"--fast"}, 2, "unknown option --fast"},
        {"unknown step", "", {"--step", "8.33kHz", "--rx", "145000"}, 2, "is not one of 5, 6.25, 10, 12.5 and 25 kHz"},
        {"no step", "", {"--rx", "145000"}, 2, "--step"},
        {"bad frequency", "", {"--step", "5", "--rx", "145 kHz"}, 2, "--rx 145 kHz is not a number of kHz"},
        {"missing value", "", {"--step"}, 2, "--step needs a value"},
        {"value for a flag", "", {"--csv=yes"}, 2, "--csv takes no value"},
        {"no such file", "", {"/nonexistent/list.csv"}, 1, "cannot open /nonexistent/list.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = runon(c.input, c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    // Good rows around a bad one are still written.
    const auto rows = records(runon("Location,Frequency,TStep\n1,145.5\n2,145.5,12.5,x\n3,145.5,12.5\n").out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].at("status"), "ok");
}

// Lists given without a command prompt: each list's codes go to a new file
// beside it, the same as --excel writes (in the list's own separator and
// decimal mark), and never over an existing file.
TEST(FreqcodeTable, CodesBesideEachList) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("freqcode-beside-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder / "v1.2");
    const std::string list = (folder / "v1.2" / "club.list.csv").string();
    fs::copy_file(FREQCODE_TABLE_SAMPLE, list);
    const std::string semicolons = (folder / "semicolons.csv").string();
    std::ofstream(semicolons, std::ios::binary) << "Location;Name;Frequency;Duplex;Offset\n"
                                                   "4;Split 70;430,006250;split;432,006250\n";
    // A file that is no list, given twice, leaves no codes file.
    const std::string photo = (folder / "photo.jpg").string();
    std::ofstream(photo, std::ios::binary) << std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
    std::FILE* err = scratchfile();
    const int status = table::codesbeside({list, list, (folder / "missing.csv").string(), photo, photo, semicolons},
                                          {nullptr, nullptr, err, false, false});
    const std::string said = readback(err);
    EXPECT_EQ(status, 1);
    const std::string expected = run({"--excel", list}).out;
    const auto contents = [](const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    for (const char* written : {"club.list-codes.csv", "club.list-codes (2).csv"}) {
        EXPECT_EQ(contents(folder / "v1.2" / written), expected) << written;
        EXPECT_NE(said.find("wrote " + (folder / "v1.2" / written).string()), std::string::npos) << said;
    }
    const std::string german = contents(folder / "semicolons-codes.csv");
    EXPECT_EQ(german, run({"--excel", semicolons}).out);
    EXPECT_NE(german.find("\n4;Split 70;430006,25;432006,25;6,25kHz;"), std::string::npos) << german;
    EXPECT_NE(said.find("club.list.csv: line 8: rx 145503"), std::string::npos) << said;
    EXPECT_NE(said.find("missing.csv: cannot open it"), std::string::npos) << said;
    EXPECT_FALSE(fs::exists(folder / "missing-codes.csv")) << "nothing written for a list that is not there";
    EXPECT_NE(said.find("photo.jpg: no codes file written, as it gave no channels"), std::string::npos) << said;
    for (const char* none : {"photo-codes.csv", "photo-codes (2).csv"}) EXPECT_FALSE(fs::exists(folder / none)) << none;
    // The drop window's words: each line the program's, no option named.
    for (std::size_t at = 0; at < said.size(); at = said.find('\n', at) + 1)
        EXPECT_EQ(said.compare(at, 16, "freqcode-table: "), 0) << said.substr(at, said.find('\n', at) - at);
    EXPECT_EQ(said.find("--"), std::string::npos) << said;
    EXPECT_EQ(table::codesname("codes", 3), "codes-codes (3).csv") << "no extension";
    fs::remove_all(folder);
}

// A console gets text as it arrives, in pieces: none may end inside a character.
TEST(FreqcodeTable, PiecesOfTextEndBetweenCharacters) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\xBB";  // a, é, €, 📻
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        const std::size_t whole = table::utf8complete(std::string_view(text).substr(0, cut));
        EXPECT_TRUE(table::validutf8(text.substr(0, whole))) << cut;
        EXPECT_TRUE(table::validutf8(text.substr(whole))) << cut << ": the rest starts a character";
    }
}

// Codes read off a radio give their frequencies back, and a list's own
// output decodes to its input.
TEST(FreqcodeTable, DecodeCodes) {
    ToolRun r = run({"--decode", "--table", "--rx", "f0f1", "FCFFF4", "F6 F9 F0", "--tx", "F0F3", "FFF3F5", "F6F9F0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "step 5 kHz\nrx 430000 kHz: A F0F1  B FCFFF4  R F6F9F0  N 81680\n"
              "tx 430000 kHz: A F0F3  B FFF3F5  R F6F9F0  N 86000\n");

    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } failures[] = {
        {{"--decode", "--rx", "F0F1", "FGFFF4", "F6F9F0"}, 1, "rx codes: B byte 1 'FG' is not F and a hex digit"},
        {{"--decode", "--rx", "F0F1", "FCFFF4", "F6F9F0", "--tx", "F0F1", "F5FBF0", "FCF3F0"}, 1,
         "the rx codes are for the 5 kHz step, the tx codes for 12.5 kHz"},
        {{"--decode", "--rx", "F0F1", "FCFFF4"}, 2, "--rx with --decode needs three codes: A B R"},
        {{"--decode", "--step", "5", "--rx", "F0F1", "FCFFF4", "F6F9F0"}, 2, "leave out --step"},
    };
    for (const auto& f : failures) {
        r = run(f.args);
        EXPECT_EQ(r.status, f.status);
        EXPECT_NE(r.err.find(f.message), std::string::npos) << r.err;
    }

    // The sample's own output, decoded: every channel with codes comes back.
    const auto encoded = records(run({"--csv", FREQCODE_TABLE_SAMPLE}).out);
    const ToolRun decoded = call({"--decode", "--csv"}, run({"--csv", FREQCODE_TABLE_SAMPLE}).out);
    EXPECT_EQ(decoded.status, 0) << decoded.err;
    std::size_t matched = 0;
    for (const auto& back : records(decoded.out)) {
        for (const auto& row : encoded) {
            if (row.at("location") != back.at("location")) continue;
            ++matched;
            for (const char* column : {"name", "rx_khz", "tx_khz", "step", "rx_n", "tx_n", "rx_bcode", "tx_acode"})
                EXPECT_EQ(back.at(column), row.at(column)) << row.at("location") << " " << column;
        }
    }
    EXPECT_EQ(matched, 7u) << "the seven channels that have codes";
}

// --step auto takes the coarsest step each channel fits.
TEST(FreqcodeTable, AutoStep) {
    const auto rows = records(run({"--csv", "--step", "auto", FREQCODE_TABLE_SAMPLE}).out);
    ASSERT_EQ(rows.size(), 10u);
    const char* expected[] = {"25kHz", "25kHz", "25kHz", "6.25kHz", "25kHz", "25kHz", "", "25kHz", "25kHz", "25kHz"};
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].at("step"), expected[i]) << rows[i].at("name");
    EXPECT_EQ(rows[6].at("status"), "rx 145503, tx 145503: fits none of the five steps");
    EXPECT_EQ(rows[8].at("status"), "ok") << "the airband channel's 8.33 is no longer asked for";
}

TEST(FreqcodeTable, OptionsEndAndGnuVersion) {
    EXPECT_EQ(run({"-h"}).out, run({"--help"}).out);
    const ToolRun version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.substr(0, version.out.find('\n')), "freqcode-table (freqcode) 1.0.0");
    EXPECT_NE(version.out.find("GPLv3+"), std::string::npos);
    // After "--" a name that starts with "-" is a file, not an option.
    const ToolRun file = run({"--csv", "--", "-x.csv"});
    EXPECT_EQ(file.status, 1);
    EXPECT_NE(file.err.find("cannot open -x.csv"), std::string::npos) << file.err;
}

// Output that cannot be written is a failure in every mode, said once.
TEST(FreqcodeTable, WriteErrorsAreFailures) {
    const std::string list = "rx_khz,step\n145000,12.5\n";
    const std::vector<std::string> modes[] = {
        {"--help"}, {"--version"}, {"--step", "12.5", "--rx", "145000", "--tx", "145600"},
        {"--table", "--step", "12.5", "--rx", "145000"}, {"--csv"}, {"--table"},
    };
    for (const auto& args : modes) {
        SCOPED_TRACE(args[0]);
        std::FILE* readonly = std::fopen(FREQCODE_TABLE_SAMPLE, "rb");
        ASSERT_NE(readonly, nullptr);
        const ToolRun r = call(args, list, readonly);
        std::fclose(readonly);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find("cannot write the output"), std::string::npos) << r.err;
    }
}

}  // namespace
