// freqcode-table as a separate process: the exit status the shell sees and
// the memory a long list takes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

using namespace std::string_literals;

struct Spawned {
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

// Runs the program with standard input from a file (closed for an empty
// name) and standard output to one (a temporary file unless output is given).
Spawned run(const std::vector<std::string>& args, const std::string& input = "/dev/null", std::string output = "") {
    const bool ownout = output.empty();
    if (ownout) output = tempfile();
    const std::string errpath = tempfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input.empty())
        posix_spawn_file_actions_addclose(&actions, 0);  // no standard input at all
    else
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errpath.c_str(), O_WRONLY | O_TRUNC, 0);
    std::vector<char*> argv{const_cast<char*>(FREQCODE_TABLE)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    Spawned result;
    pid_t pid = 0;
    if (posix_spawn(&pid, FREQCODE_TABLE, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.peakkib = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (ownout) {
        result.out = slurp(output);
        std::remove(output.c_str());
    }
    result.err = slurp(errpath);
    std::remove(errpath.c_str());
    return result;
}

TEST(FreqcodeTableProcess, FailuresReachTheExitStatus) {
    const Spawned full = run({"--step", "12.5", "--rx", "145000", "--tx", "145600"}, "/dev/null", "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "freqcode-table: cannot write the output\n");

    // A read error is no empty list.
    for (const auto& [args, input, message] : {
             std::tuple{std::vector<std::string>{"--csv"}, "/tmp", "cannot read standard input: Is a directory"},
             std::tuple{std::vector<std::string>{"--csv", "/tmp"}, "/dev/null", "cannot read /tmp: Is a directory"},
             std::tuple{std::vector<std::string>{"--csv"}, "", "cannot read standard input: Bad file descriptor"},
         }) {
        const Spawned r = run(args, input);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "freqcode-table: "s + message + "\n");
    }
}

TEST(FreqcodeTableProcess, LargeInputsStayInBoundedMemory) {
    // 100 MB without a line end: one record far too long.
    const std::string huge = tempfile("Frequency,TStep\n");
    {
        std::ofstream out(huge, std::ios::binary | std::ios::app);
        const std::string block(1 << 20, '7');
        for (int i = 0; i < 100; ++i) out << block;
    }
    Spawned r = run({"--csv", huge});
    std::remove(huge.c_str());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 2: the line is longer than 65536 bytes"), std::string::npos) << r.err;

    // 200 000 channels stream through.
    const std::string list = tempfile();
    {
        std::ofstream out(list, std::ios::binary);
        out << "Location,Name,Frequency,Duplex,Offset,TStep\n";
        for (int i = 0; i < 200'000; ++i) out << i << ",ch" << i << ",145." << (i % 1000) * 25 / 10 % 1000 << ",-,0.6,12.5\n";
    }
    const Spawned big = run({"--csv", list});
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
