// Speed of the text replacement on a large rich text source and of the evaluator.
#include "calc/ExpressionEvaluator.h"
#include "calc/TStringManager.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace {
// Counts the allocations made while a replacement runs, to show that the target string is
// not reallocated once per replacement.
std::atomic<long> Allocations{0};
} // namespace

void *operator new(std::size_t size)
{
    ++Allocations;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

namespace {
// 1 MB of rich text source with `placeholders` occurrences of "@1" spread evenly through it.
std::string MakeSource(int placeholders)
{
    const std::string filler = "\\par Thank you for your letter of the 4th \\b May\\b0 regarding ";
    const std::size_t size = 1024 * 1024;
    const std::size_t perPlaceholder = size / std::size_t(placeholders);
    std::string block = "Dear @1, ";
    while (block.size() < perPlaceholder)
        block += filler;
    block.resize(perPlaceholder);
    std::string text;
    text.reserve(size);
    for (int i = 0; i < placeholders; ++i)
        text += block;
    text.resize(size, ' ');
    return text;
}

void ReplaceBenchmark(benchmark::State &state, bool wholeWord)
{
    const std::string source = MakeSource(10000);
    const std::string replacement = "Mr Jonathan Smithson-Whittaker";
    long reallocations = 0;
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = source;
        text.shrink_to_fit();
        const long before = Allocations;
        state.ResumeTiming();
        count = StringManager.Replace("@1", replacement, text, false, wholeWord, false);
        state.PauseTiming();
        reallocations = Allocations - before;
        benchmark::DoNotOptimize(text.data());
        state.ResumeTiming();
    }
    state.counters["replacements"] = count;
    state.counters["reallocations"] = double(reallocations);
    state.counters["MB"] = double(source.size()) / (1024 * 1024);
}

void BM_ReplaceWholeWord(benchmark::State &state)
{
    ReplaceBenchmark(state, true);
}
BENCHMARK(BM_ReplaceWholeWord)->Unit(benchmark::kMillisecond);

void BM_ReplaceAnywhere(benchmark::State &state)
{
    ReplaceBenchmark(state, false);
}
BENCHMARK(BM_ReplaceAnywhere)->Unit(benchmark::kMillisecond);

void BM_ReplaceShorter(benchmark::State &state)
{
    const std::string source = MakeSource(10000);
    long reallocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = source;
        const long before = Allocations;
        state.ResumeTiming();
        StringManager.Replace("\\par", "\\", text, false, false, false);
        state.PauseTiming();
        reallocations = Allocations - before;
        benchmark::DoNotOptimize(text.data());
        state.ResumeTiming();
    }
    state.counters["reallocations"] = double(reallocations);
}
BENCHMARK(BM_ReplaceShorter)->Unit(benchmark::kMillisecond);

// One million evaluations of "2+3*4" per iteration.
void BM_EvaluateMillion(benchmark::State &state)
{
    const std::string expression = "2+3*4";
    for (auto _ : state) {
        long double sum = 0;
        for (int i = 0; i < 1000000; ++i)
            sum += EvaluateExpression(expression);
        benchmark::DoNotOptimize(sum);
        if (sum != 14000000.0L)
            state.SkipWithError("wrong value");
    }
}
BENCHMARK(BM_EvaluateMillion)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

BENCHMARK_MAIN();
