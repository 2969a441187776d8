// In-process figures for scripts/bench:
// - small writes: 100,000 assignments of 64 bytes to PrinterData in one document, against
//   one assignment of the same 6.4 MB, both into a raw queue of a private scheduler
//   (RAWLET_BENCH_QUEUE, on the scheduler CUPS_SERVER names), timed until PrinterClose
//   has handed the document over;
// - translation: the ANSI-to-OEM translation (1252 to 437) of the text in the file
//   RAWLET_BENCH_TEXT, against iconv(3) doing the same in the same process.
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>
#include <iconv.h>

#include "posix_platform.h"
#include <rawlet/codepage/table_code_page.h>
#include <rawlet/rawlet.h>

namespace {

using namespace rawlet;

constexpr std::size_t kSmallWrite = 64;
constexpr std::size_t kSmallWrites = 100'000;

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || !*value)
        throw std::runtime_error(std::string(name) + " is not set");
    return value;
}

// Prints `writes` assignments of `size` bytes each as one document, per iteration.
void PrintDocument(benchmark::State& state, std::size_t writes, std::size_t size)
{
    posix::PosixPlatform application{{1252, 437}};
    Rawlet control(application.Services());
    control.SetPrinterName(Environment("RAWLET_BENCH_QUEUE"));
    const std::string text(size, 'x');
    for (auto _ : state) {
        for (std::size_t write = 0; write < writes; ++write)
            control.SetPrinterData(text);
        control.PrinterClose();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(writes * size));
}

void BM_SmallWrites(benchmark::State& state) { PrintDocument(state, kSmallWrites, kSmallWrite); }
void BM_OneLargeWrite(benchmark::State& state) { PrintDocument(state, 1, kSmallWrites * kSmallWrite); }

std::string ReadText()
{
    std::ifstream in(Environment("RAWLET_BENCH_TEXT"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string& Text()
{
    static const std::string text = ReadText();
    return text;
}

void BM_TranslateAnsiToOem(benchmark::State& state)
{
    const codepage::TableCodePage codePage({1252, 437});
    const std::string& ansi = Text();
    std::string oem(ansi.size(), '\0');
    for (auto _ : state) {
        codePage.CharToOemBuffA(ansi, oem.data());
        benchmark::DoNotOptimize(oem.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ansi.size()));
}

void BM_IconvCp1252ToCp437(benchmark::State& state)
{
    iconv_t converter = iconv_open("CP437", "CP1252");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv has no CP1252 to CP437");
        return;
    }
    std::string ansi = Text();
    std::string oem(ansi.size(), '\0');
    for (auto _ : state) {
        char* in = ansi.data();
        char* out = oem.data();
        std::size_t inLeft = ansi.size();
        std::size_t outLeft = oem.size();
        if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
            state.SkipWithError("iconv could not convert the text");
        benchmark::DoNotOptimize(oem.data());
    }
    iconv_close(converter);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ansi.size()));
}

// The scheduler and its device work beside this process: wall-clock time is what counts.
BENCHMARK(BM_SmallWrites)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OneLargeWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_TranslateAnsiToOem)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IconvCp1252ToCp437)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
