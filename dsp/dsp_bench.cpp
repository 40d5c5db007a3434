// Benchmarks of the amplifier model: ProcessSample at the 2x and 4x engine rates, ProcessPair, the
// oversampler at factors 2 and 4, and the cost of building the diode tables. Before the timed
// runs it prints the clipper's Newton iteration counts for the benchmark signal.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "dsp/channel_engine.h"
#include "dsp/diode_tables.h"
#include "dsp/dsp_constants.h"
#include "dsp/oversampler.h"

namespace {

constexpr double kHostRate = 44100.0;

// 1 kHz at 0.5 V peak, one second at the given rate.
std::vector<double> TestSine(double rate) {
    std::vector<double> signal(static_cast<size_t>(rate));
    for (size_t i = 0; i < signal.size(); ++i) {
        signal[i] = 0.5 * std::sin(kTwoPi * 1000.0 * static_cast<double>(i) / rate);
    }
    return signal;
}

// Drive 5, Filter 5, Volume 5 of 10, settled on silence as the effect does after Prepare.
std::unique_ptr<ChannelEngine> PreparedEngine(double rate) {
    auto engine = std::make_unique<ChannelEngine>();
    engine->SetControls(0.5, 0.5, 0.5);
    engine->Prepare(rate);
    engine->ApplyChanges();
    for (int i = 0; i < static_cast<int>(rate); ++i) {
        double silence = 0.0;
        engine->ProcessSample(silence);
    }
    return engine;
}

void PrintNewtonIterations(int factor) {
    const double rate = kHostRate * factor;
    auto engine = PreparedEngine(rate);
    std::map<int, long> histogram;
    long total = 0;
    for (double sample : TestSine(rate)) {
        engine->ProcessSample(sample);
        ++histogram[engine->LastNewtonIterations()];
        total += engine->LastNewtonIterations();
    }
    const double samples = rate;
    std::printf("Newton iterations at %dx (1 kHz, 0.5 V, Drive 5, Filter 5): mean %.2f, max %d\n",
                factor, total / samples, histogram.rbegin()->first);
    const int edges[] = {1, 2, 3, 5, 10, 20, 40, 1000};
    int low = 1;
    for (int high : edges) {
        long count = 0;
        for (const auto& [iterations, n] : histogram) {
            count += iterations >= low && iterations <= high ? n : 0;
        }
        std::printf("  %4d..%-4d %6.2f %%\n", low, high, 100.0 * count / samples);
        low = high + 1;
    }
}

void BM_ProcessSample(benchmark::State& state) {
    const double rate = kHostRate * static_cast<double>(state.range(0));
    auto engine = PreparedEngine(rate);
    const std::vector<double> signal = TestSine(rate);
    size_t i = 0;
    for (auto _ : state) {
        double sample = signal[i];
        engine->ProcessSample(sample);
        benchmark::DoNotOptimize(sample);
        i = i + 1 == signal.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProcessSample)->Arg(2)->Arg(4);

// Two engines side by side, one 4x block of 512 host frames each, as the effect runs stereo.
void BM_ProcessPair(benchmark::State& state) {
    const double rate = kHostRate * 4;
    constexpr int kBlock = 512 * 4;
    auto left = PreparedEngine(rate);
    auto right = PreparedEngine(rate);
    const std::vector<double> signal = TestSine(rate);
    const int blocks = static_cast<int>(signal.size()) / kBlock;
    std::vector<double> first(kBlock);
    std::vector<double> second(kBlock);
    int block = 0;
    for (auto _ : state) {
        // The right channel a quarter second behind the left.
        const double* in = signal.data() + block * kBlock;
        const double* delayed = signal.data() + (block + blocks / 4) % blocks * kBlock;
        std::copy(in, in + kBlock, first.begin());
        std::copy(delayed, delayed + kBlock, second.begin());
        block = (block + 1) % blocks;
        ChannelEngine::ProcessPair(*left, first.data(), *right, second.data(), kBlock);
        benchmark::DoNotOptimize(first.data());
        benchmark::DoNotOptimize(second.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_ProcessPair);

// One 512-frame host block up and back down.
void BM_OversamplerRoundTrip(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    constexpr int kBlock = 512;
    Oversampler oversampler;
    oversampler.SetFactor(factor);
    std::vector<double> in = TestSine(kHostRate);
    in.resize(kBlock);
    std::vector<double> wide(static_cast<size_t>(kBlock * factor));
    std::vector<double> out(kBlock);
    for (auto _ : state) {
        oversampler.Upsample(in.data(), wide.data(), kBlock);
        oversampler.Downsample(wide.data(), out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_OversamplerRoundTrip)->Arg(2)->Arg(4);

void BM_Upsample(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    constexpr int kBlock = 512;
    Oversampler oversampler;
    oversampler.SetFactor(factor);
    std::vector<double> in = TestSine(kHostRate);
    in.resize(kBlock);
    std::vector<double> wide(static_cast<size_t>(kBlock * factor));
    for (auto _ : state) {
        oversampler.Upsample(in.data(), wide.data(), kBlock);
        benchmark::DoNotOptimize(wide.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_Upsample)->Arg(2)->Arg(4);

void BM_Downsample(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    constexpr int kBlock = 512;
    Oversampler oversampler;
    oversampler.SetFactor(factor);
    std::vector<double> wide = TestSine(kHostRate * factor);
    wide.resize(static_cast<size_t>(kBlock * factor));
    std::vector<double> out(kBlock);
    for (auto _ : state) {
        oversampler.Downsample(wide.data(), out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_Downsample)->Arg(2)->Arg(4);

void BM_BuildDiodeTables(benchmark::State& state) {
    for (auto _ : state) {
        auto tables = std::make_unique<DiodeTables>();
        benchmark::DoNotOptimize(tables->Sinh());
    }
}
BENCHMARK(BM_BuildDiodeTables)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    PrintNewtonIterations(2);
    PrintNewtonIterations(4);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
