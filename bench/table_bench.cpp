// freqcode-table on a list of a million channels, against two baselines of
// the same run on the same file: `cat` copying it, and Miller reading and
// writing it as CSV (`mlr --icsv --ocsv cat`). Wall time and peak memory of
// each.
// A spawned child's peak memory counts the spawning process's own resident
// size too, so a peak below this benchmark's own size reads as that size:
// the figures are upper bounds.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Usage {
    double seconds;
    double peakmib;
};

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Runs a program with its output thrown away.
Usage timed(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const double started = now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + args[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {now() - started, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

std::string millionchannels() {
    const std::string path = "/tmp/freqcode-table-bench.csv";
    std::ofstream out(path, std::ios::binary);
    out << "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Comment\n";
    for (long i = 0; i < 1'000'000; ++i) {
        const long hz = 430'000'000 + (i % 4000) * 12'500;
        out << i << ",CH" << i << ',' << hz / 1'000'000 << '.' << std::to_string(1'000'000 + hz % 1'000'000).substr(1)
            << ",+,7.600000,Tone,88.5,88.5,023,NN,FM,12.50,,\n";
    }
    return path;
}

// The freqcode-table of this build.
std::string tool() {
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string path(self, n > 0 ? static_cast<std::size_t>(n) : 0);
    return path.substr(0, path.rfind("/bench/")) + "/table/freqcode-table";
}

void BM_table_million_channels(benchmark::State& state) {
    const std::string list = millionchannels();
    double tooltime = 0, cattime = 0, mlrtime = 0, toolpeak = 0, catpeak = 0;
    for (auto _ : state) {
        const Usage c = timed({"cat", list});
        const Usage m = timed({"mlr", "--icsv", "--ocsv", "cat", list});
        const Usage t = timed({tool(), "--csv", list});
        cattime += c.seconds;
        mlrtime += m.seconds;
        tooltime += t.seconds;
        catpeak = std::max(catpeak, c.peakmib);
        toolpeak = std::max(toolpeak, t.peakmib);
        state.SetIterationTime(t.seconds);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["table_s"] = tooltime / n;
    state.counters["cat_s"] = cattime / n;
    state.counters["mlr_s"] = mlrtime / n;
    state.counters["ratio_to_cat"] = tooltime / cattime;
    state.counters["ratio_to_mlr"] = tooltime / mlrtime;
    state.counters["table_peak_MiB"] = toolpeak;
    state.counters["cat_peak_MiB"] = catpeak;
    std::remove(list.c_str());
}
BENCHMARK(BM_table_million_channels)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// A list whose every line opens a quote that never closes (x","): reading
// must stay linear, so ten times the lines take about ten times as long.
std::string quoteheavy(long lines) {
    const std::string path = "/tmp/freqcode-table-quotes-" + std::to_string(lines) + ".csv";
    std::ofstream out(path, std::ios::binary);
    out << "Location,Name,Frequency\n";
    for (long i = 0; i < lines; ++i) out << "x\",\"\n";
    return path;
}

void BM_table_quote_heavy(benchmark::State& state) {
    const std::string small = quoteheavy(20'000), large = quoteheavy(200'000);
    double smalltime = 0, largetime = 0;
    for (auto _ : state) {
        smalltime += timed({tool(), "--csv", small}).seconds;
        const double t = timed({tool(), "--csv", large}).seconds;
        largetime += t;
        state.SetIterationTime(t);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["lines_20k_s"] = smalltime / n;
    state.counters["lines_200k_s"] = largetime / n;
    state.counters["growth_per_10x_lines"] = largetime / smalltime;
    std::remove(small.c_str());
    std::remove(large.c_str());
}
BENCHMARK(BM_table_quote_heavy)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
