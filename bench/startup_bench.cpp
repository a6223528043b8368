// Process start to first paint, and peak memory, of the tool's window
// against an empty Qt window of the same size. The windows are started turn
// about, so that all see the same machine load; the counters give each
// one's mean and the tool's ratio and difference to the empty window. A
// third window, the empty one with a line of text, tells how much of that
// difference is the desktop's font set-up, which no window with text avoids.
//
// Runs on the display the environment names (DISPLAY, or QT_QPA_PLATFORM).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>

extern char** environ;

namespace {

struct Startup {
    double seconds;
    double peakmib;
};

long long monotonicns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

Startup start(const std::string& program) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};

    const long long started = monotonicns();
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (failed) throw std::runtime_error("cannot start " + program);

    char text[64] = {};
    const ssize_t got = read(out[0], text, sizeof text - 1);
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(program + " did not paint; is there a display?");
    return {static_cast<double>(std::stoll(text) - started) / 1e9, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

std::string beside(const char* name) {
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? static_cast<std::size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1) + name;
}

void BM_startup_form1_vs_empty(benchmark::State& state) {
    const std::string form1 = beside("startup_probe_form1");
    const std::string empty = beside("startup_probe_empty");
    const std::string label = beside("startup_probe_label");
    for (const auto& program : {form1, empty, label}) start(program);  // warm the page cache
    double formtime = 0, emptytime = 0, labeltime = 0, formpeak = 0, emptypeak = 0, labelpeak = 0;
    for (auto _ : state) {
        const Startup e = start(empty);
        const Startup f = start(form1);
        const Startup l = start(label);
        emptytime += e.seconds;
        formtime += f.seconds;
        labeltime += l.seconds;
        emptypeak += e.peakmib;
        formpeak += f.peakmib;
        labelpeak += l.peakmib;
        state.SetIterationTime(f.seconds);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["empty_ms"] = 1000 * emptytime / n;
    state.counters["form1_ms"] = 1000 * formtime / n;
    state.counters["time_ratio"] = formtime / emptytime;
    state.counters["empty_peak_MiB"] = emptypeak / n;
    state.counters["form1_peak_MiB"] = formpeak / n;
    state.counters["peak_diff_MiB"] = (formpeak - emptypeak) / n;
    state.counters["text_ms"] = 1000 * labeltime / n;
    state.counters["text_time_ratio"] = labeltime / emptytime;
    state.counters["text_peak_diff_MiB"] = (labelpeak - emptypeak) / n;
}
BENCHMARK(BM_startup_form1_vs_empty)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
