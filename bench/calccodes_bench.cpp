// calccodes on the texts a technician types, against reading the same
// frequency text with std::from_chars alone as the baseline of this run.
#include <benchmark/benchmark.h>

#include <charconv>
#include <string>

#include "calc/codes.h"

namespace {

const std::string freqs[] = {"430000", "145000", "430006.25", "438500", "430002", " 430 000"};
const std::string steps[] = {"", "12.5kHz", "6.25kHz", "10kHz", "5kHz", "5kHz"};
constexpr std::size_t count = std::size(freqs);

void BM_baseline_from_chars(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& text = freqs[i++ % count];
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_baseline_from_chars);

void BM_calccodes(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t k = i++ % count;
        auto result = calc::calccodes(k % 2 ? calc::Direction::receive : calc::Direction::transmit, steps[k], freqs[k]);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_calccodes);

// Reading a long text must stay linear: the fitted complexity should be O(N).
void BM_valnum_long(benchmark::State& state) {
    std::string text(1, '4');
    text.append(static_cast<std::size_t>(state.range(0)), '0') += " 3 ";
    for (auto _ : state) benchmark::DoNotOptimize(calc::valnum(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_valnum_long)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Complexity();

void BM_valnum_long_spaced(benchmark::State& state) {
    std::string text;
    for (long i = 0; i < state.range(0) / 2; ++i) text += "0 ";
    text += "430000";
    for (auto _ : state) benchmark::DoNotOptimize(calc::valnum(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_valnum_long_spaced)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Complexity();

}  // namespace

BENCHMARK_MAIN();
