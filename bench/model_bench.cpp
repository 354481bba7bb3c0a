// Micro-benchmarks of the number rules, one recalculation and one pass of the window core.
#include "model/blend.h"
#include "model/number_text.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace fuelix;

static void BM_Recalculate(benchmark::State &state)
{
    DisplayState display;
    display.TankSld = 75;
    for (auto _ : state) {
        Recalculate(display);
        benchmark::DoNotOptimize(display);
    }
}
BENCHMARK(BM_Recalculate);

static void BM_IsNumericShort(benchmark::State &state)
{
    const std::string text = "16.4";
    for (auto _ : state)
        benchmark::DoNotOptimize(IsNumeric(text));
}
BENCHMARK(BM_IsNumericShort);

static void BM_IsNumericMegabyte(benchmark::State &state)
{
    const std::string text = "0." + std::string((1 << 20) - 2, '7');
    for (auto _ : state)
        benchmark::DoNotOptimize(IsNumeric(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_IsNumericMegabyte)->Unit(benchmark::kMillisecond);

static void BM_TextToNumber(benchmark::State &state)
{
    const std::string text = "12.299999999999999";
    for (auto _ : state)
        benchmark::DoNotOptimize(TextToNumber(text));
}
BENCHMARK(BM_TextToNumber);

static void BM_LeadingNumber(benchmark::State &state)
{
    const std::string text = "93.25 litres";
    for (auto _ : state)
        benchmark::DoNotOptimize(LeadingNumber(text));
}
BENCHMARK(BM_LeadingNumber);

static void BM_NumberToText(benchmark::State &state)
{
    double value = 16.4 * 0.75;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(NumberToText(value));
    }
}
BENCHMARK(BM_NumberToText);

static void BM_TypingForm(benchmark::State &state)
{
    const std::string text = "16.40";
    for (auto _ : state)
        benchmark::DoNotOptimize(TypingForm(text));
}
BENCHMARK(BM_TypingForm);

// The worst case: no rounding fits, so all fourteen are tried.
static void BM_FittedCaptionNothingFits(benchmark::State &state)
{
    const std::string caption = "8.98846567431155E+307";
    for (auto _ : state)
        benchmark::DoNotOptimize(FittedCaption(caption, [](std::string_view) { return false; }));
}
BENCHMARK(BM_FittedCaptionNothingFits);

BENCHMARK_MAIN();
