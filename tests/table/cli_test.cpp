// Runs the freqcode-table program as a user would and reads what it writes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/codes.h"
#include "csvreader.h"

extern char** environ;

namespace {

using namespace std::string_literals;

struct ToolRun {
    int status = -1;
    std::string out, err;
    long peakkib = 0;
};

std::string tempfile(const std::string& content = "") {
    char path[] = "/tmp/freqcode-table-test-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) throw std::runtime_error("mkstemp");
    close(fd);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string slurp(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Runs the program with its standard input from a file.
ToolRun run(const std::vector<std::string>& args, const std::string& input = "/dev/null") {
    const std::string outpath = tempfile(), errpath = tempfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outpath.c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errpath.c_str(), O_WRONLY | O_TRUNC, 0);
    std::vector<char*> argv{const_cast<char*>(FREQCODE_TABLE)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    ToolRun result;
    pid_t pid = 0;
    if (posix_spawn(&pid, FREQCODE_TABLE, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.peakkib = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = slurp(outpath);
    result.err = slurp(errpath);
    std::remove(outpath.c_str());
    std::remove(errpath.c_str());
    return result;
}

ToolRun runon(const std::string& input, const std::vector<std::string>& args = {"--csv"}) {
    const std::string path = tempfile(input);
    ToolRun result = run(args, path);
    std::remove(path.c_str());
    return result;
}

// The output's CSV records, keyed by column name, read back with the
// program's own reader.
std::vector<std::map<std::string, std::string>> records(const std::string& csv) {
    const std::string path = tempfile(csv);
    std::FILE* in = std::fopen(path.c_str(), "rb");
    table::CsvReader reader(in);
    std::vector<std::string> header, fields;
    std::vector<std::map<std::string, std::string>> rows;
    reader.next(header);
    while (reader.next(fields) == table::CsvReader::Status::record) {
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
        rows.push_back(row);
    }
    std::fclose(in);
    std::remove(path.c_str());
    return rows;
}

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
    EXPECT_EQ(r.out, "step 12.5 kHz\nrx 145000 kHz: A F0F1  B FAF9F0  R FCF3F0\ntx 145600 kHz: A F0F0  B F6FBF0  R FCF3F0\n");

    r = run({"--step=12.5", "--rx=145003", "--tx=29000", "--table"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "step 12.5 kHz\nrx 145003: off the 12.5 kHz step raster\ntx 29000: outside 30000 to 500000 kHz\n");

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
        {"Marine 16", "156800", "", "25kHz", "ok"},
        {"Club \"Net\"", "145250", "145250", "5kHz", "ok"},
        {"Off raster", "145503", "145503", "12.5kHz",
         "rx 145503: off the 12.5 kHz step raster; tx 145503: off the 12.5 kHz step raster"},
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
              "rx 430006.25: off the 25 kHz step raster; tx 432006.25: off the 25 kHz step raster");
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
         "line 2: a quoted field is not closed"},
        {"ragged rows", "Location,Frequency,TStep\n1,145.5\n2,145.5,12.5,x\n3,145.5,12.5\n", {"--csv"}, 1,
         "line 3: 4 fields where the header has 3"},
        {"no frequency column", "Location,Name\n1,x\n", {"--csv"}, 1, "line 1: the header row has no frequency column"},
        {"no step column", "Frequency\n145.5\n", {"--csv"}, 1, "no TStep column; give the step with --step"},
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

TEST(FreqcodeTable, LargeInputsStayInBoundedMemory) {
    // 100 MB without a line end: one record far too long.
    const std::string huge = tempfile("Frequency,TStep\n");
    {
        std::ofstream out(huge, std::ios::binary | std::ios::app);
        const std::string block(1 << 20, '7');
        for (int i = 0; i < 100; ++i) out << block;
    }
    ToolRun r = run({"--csv", huge});
    std::remove(huge.c_str());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 2: the record is longer than 65536 bytes"), std::string::npos) << r.err;

    // 200 000 channels stream through.
    const std::string list = tempfile();
    {
        std::ofstream out(list, std::ios::binary);
        out << "Location,Name,Frequency,Duplex,Offset,TStep\n";
        for (int i = 0; i < 200'000; ++i) out << i << ",ch" << i << ",145." << (i % 1000) * 25 / 10 % 1000 << ",-,0.6,12.5\n";
    }
    const ToolRun big = run({"--csv", list});
    std::remove(list.c_str());
    EXPECT_EQ(std::count(big.out.begin(), big.out.end(), '\n'), 200'001);
    // A child's peak counts this process's resident size at the spawn too,
    // so the bound can only be overstated, never hidden.
#ifndef FREQCODE_SANITIZED  // the sanitizers keep memory of their own
    EXPECT_LT(r.peakkib, 16 * 1024);
    EXPECT_LT(big.peakkib, 16 * 1024);
#endif
}

}  // namespace
