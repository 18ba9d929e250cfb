// Throughput of the rich text to HTML converter on generated inputs (RtfBenchDocuments.h).
//   bench_rtf2html                  Google Benchmark runs, MB/s of input per kind, and of the
//                                   text path (zarvel-cli text without the document model;
//                                   "declined" where it leaves the input to the model)
//   bench_rtf2html --figures        per kind: size, CPU time, MB/s and peak memory, each
//                                   conversion in a process of its own
//   bench_rtf2html --linearity      converts each kind at 1, 2 and 4 MB (without options and
//                                   with "optimize"); exits with 1 when doubling the input
//                                   more than doubles the time
//   bench_rtf2html --write-inputs FOLDER [MB] writes every input as a file (of MB megabytes)
//   bench_rtf2html --convert IN OUT [OPTION]...  converts once, prints CPU seconds and peak kB
#include "RtfBenchDocuments.h"
#include "rtf2html/DocumentText.h"
#include "rtf2html/RtfToHtml.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {
using namespace RtfBenchDocuments;
using Rtf2Html::ConvertRtfToHtml;

constexpr size_t KMiB = 1u << 20;

struct TKind
{
    const char *Name;
    std::function<std::string(size_t)> Make;
    size_t Size;    // for the benchmark runs and figures
    bool Linearity; // takes part in the linearity check
};

const std::vector<TKind> &Kinds()
{
    static const std::vector<TKind> kinds = {
        {"word processor document", WordProcessorDocument, 1900 * 1024, true},
        {"paragraphs", [](size_t size) { return Paragraphs(size, "\r\n"); }, 20 * KMiB, true},
        {"single line", [](size_t size) { return Paragraphs(size, ""); }, 20 * KMiB, true},
        {"formatted paragraph", FormattedParagraph, 20 * KMiB, true},
        {"tagless paragraph", TaglessParagraph, 20 * KMiB, false},
        {"deep groups", DeepGroups, 4 * KMiB, true},
        {"many fonts and colours", ManyFontsAndColours, 4 * KMiB, true},
        {"long table", LongTable, 20 * KMiB, true},
    };
    return kinds;
}

std::string TempName(const std::string &name)
{
    std::string file = name;
    std::replace(file.begin(), file.end(), ' ', '-');
    return (std::filesystem::temp_directory_path() /
            ("bench_rtf2html_" + std::to_string(getpid()) + "_" + file))
        .string();
}

void WriteFile(const std::string &name, const std::string &text)
{
    std::ofstream out(name, std::ios::binary);
    out << text;
}

double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<std::string> OptionList(const std::string &option)
{
    return {option};
}

// The least CPU time of a few conversions of the file.
double BestTime(const std::string &input, const std::string &output, const std::string &option,
                int runs)
{
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        const double start = CpuSeconds();
        ConvertRtfToHtml(input, output, OptionList(option));
        best = std::min(best, CpuSeconds() - start);
    }
    return best;
}

void Convert(benchmark::State &state, const TKind &kind, const std::string &option)
{
    const std::string text = kind.Make(kind.Size);
    const std::string input = TempName(kind.Name);
    const std::string output = input + ".htm";
    WriteFile(input, text);
    for (auto _ : state)
        ConvertRtfToHtml(input, output, OptionList(option));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    std::remove(input.c_str());
    std::remove(output.c_str());
}

// The text of the input in memory, as zarvel-cli text reads it without the document model.
void Text(benchmark::State &state, const TKind &kind)
{
    const std::string input = kind.Make(kind.Size);
    std::string text;
    bool taken = true;
    for (auto _ : state) {
        taken = Rtf2Html::DocumentTextOf(input, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(input.size()));
    if (!taken)
        state.SetLabel("declined");
}

void RegisterBenchmarks()
{
    for (const TKind &kind : Kinds()) {
        const std::string name = std::string("text: ") + kind.Name;
        benchmark::RegisterBenchmark(name.c_str(),
                                     [&kind](benchmark::State &state) { Text(state, kind); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
    }
    for (const TKind &kind : Kinds()) {
        for (const char *option : {"", "optimize"}) {
            const std::string name = std::string(kind.Name) + (*option ? " (optimize)" : "");
            benchmark::RegisterBenchmark(
                name.c_str(),
                [&kind, option](benchmark::State &state) { Convert(state, kind, option); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
        }
    }
}

// One conversion in a child process: its CPU seconds and peak memory in kB.
bool ConvertInChild(const std::string &input, const std::string &option, double &seconds,
                    long &peakKb)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command =
        "'" + self + "' --convert '" + input + "' '" + input + ".htm' '" + option + "'";
    std::FILE *child = popen(command.c_str(), "r");
    if (!child)
        return false;
    const int read = std::fscanf(child, "%lf %ld", &seconds, &peakKb);
    return pclose(child) == 0 && read == 2;
}

int Figures()
{
    std::printf("%-26s %-9s %8s %10s %9s %9s\n", "input", "options", "MB", "CPU ms", "MB/s",
                "peak MB");
    for (const TKind &kind : Kinds()) {
        const std::string input = TempName(kind.Name);
        const std::string text = kind.Make(kind.Size);
        WriteFile(input, text);
        for (const char *option : {"", "optimize"}) {
            double best = 1e30;
            long peak = 0;
            for (int run = 0; run < 3; ++run) {
                double seconds = 0;
                long peakKb = 0;
                if (!ConvertInChild(input, option, seconds, peakKb)) {
                    std::fprintf(stderr, "conversion of %s failed\n", kind.Name);
                    return 1;
                }
                best = std::min(best, seconds);
                peak = std::max(peak, peakKb);
            }
            const double mb = static_cast<double>(text.size()) / KMiB;
            std::printf("%-26s %-9s %8.2f %10.1f %9.1f %9.1f\n", kind.Name, option, mb, best * 1e3,
                        mb / best, static_cast<double>(peak) / 1024);
        }
        std::remove(input.c_str());
        std::remove((input + ".htm").c_str());
    }
    return 0;
}

// Doubling the input may at most double the time; a little more is measuring noise.
int Linearity()
{
    constexpr double KAllowed = 2.3;
    bool linear = true;
    std::printf("%-26s %-9s %9s %9s %9s %7s %7s\n", "input", "options", "1 MB ms", "2 MB ms",
                "4 MB ms", "2/1", "4/2");
    for (const TKind &kind : Kinds()) {
        if (!kind.Linearity)
            continue;
        std::vector<std::string> inputs;
        for (size_t size : {KMiB, 2 * KMiB, 4 * KMiB}) {
            inputs.push_back(TempName(kind.Name) + "-" + std::to_string(size));
            WriteFile(inputs.back(), kind.Make(size));
        }
        for (const char *option : {"", "optimize"}) {
            // The sizes take turns, so that a busy moment of the machine hits them alike.
            std::vector<double> times(inputs.size(), 1e30);
            for (int run = 0; run < 7; ++run) {
                for (size_t i = 0; i < inputs.size(); ++i)
                    times[i] =
                        std::min(times[i], BestTime(inputs[i], inputs[i] + ".htm", option, 1));
            }
            const double first = times[1] / times[0];
            const double second = times[2] / times[1];
            const bool ok = first <= KAllowed && second <= KAllowed;
            linear = linear && ok;
            std::printf("%-26s %-9s %9.2f %9.2f %9.2f %7.2f %7.2f%s\n", kind.Name, option,
                        times[0] * 1e3, times[1] * 1e3, times[2] * 1e3, first, second,
                        ok ? "" : "  MORE THAN LINEAR");
        }
        for (const auto &input : inputs) {
            std::remove(input.c_str());
            std::remove((input + ".htm").c_str());
        }
    }
    return linear ? 0 : 1;
}

// Every input at its usual size, or at size bytes when size is not 0.
int WriteInputs(const std::string &folder, size_t size)
{
    for (const TKind &kind : Kinds()) {
        std::string name = kind.Name;
        std::replace(name.begin(), name.end(), ' ', '-');
        WriteFile(folder + "/" + name + ".rtf", kind.Make(size != 0 ? size : kind.Size));
    }
    return 0;
}

double Seconds(const timeval &time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

// Prints the CPU seconds of the conversion (user and system together), the user and the
// system seconds apart, and the peak memory in kB.
int ConvertOnce(const std::string &input, const std::string &output,
                const std::vector<std::string> &options)
{
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const double start = CpuSeconds();
    ConvertRtfToHtml(input, output, options);
    const double seconds = CpuSeconds() - start;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    std::printf("%.6f %ld %.6f %.6f\n", seconds, after.ru_maxrss,
                Seconds(after.ru_utime) - Seconds(before.ru_utime),
                Seconds(after.ru_stime) - Seconds(before.ru_stime));
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    try {
        if (argc == 2 && std::strcmp(argv[1], "--figures") == 0)
            return Figures();
        if (argc == 2 && std::strcmp(argv[1], "--linearity") == 0)
            return Linearity();
        if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--write-inputs") == 0)
            return WriteInputs(argv[2], argc == 4 ? std::stoul(argv[3]) * KMiB : 0);
        if (argc >= 4 && std::strcmp(argv[1], "--convert") == 0)
            return ConvertOnce(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
