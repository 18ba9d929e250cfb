// The merge of "Do It" on a long template, and batch assembly of many information files.
#include "assembly/TInformationReader.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TMergeTemplate.h"
#include "text/StringUtils.h"

#include "common/GuiBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
// A scratch folder made the current folder, so that "debug.rtf" lands there.
// Kept in a plain array, which outlives every static object, for the clean-up at exit.
char ScratchName[4096];

const fs::path &ScratchFolder()
{
    static const fs::path folder = [] {
        const std::string pattern = (fs::temp_directory_path() / "zarvel-bench-XXXXXX").string();
        if (pattern.size() >= sizeof ScratchName)
            std::abort();
        pattern.copy(ScratchName, pattern.size());
        if (!mkdtemp(ScratchName))
            std::abort();
        fs::current_path(ScratchName);
        std::atexit([] {
            std::error_code ignored;
            fs::current_path(fs::temp_directory_path(), ignored);
            fs::remove_all(ScratchName, ignored);
        });
        return fs::path(ScratchName);
    }();
    return folder;
}

// 100 pages of rich text, about 3 KB each, with 200 distinct placeholders occurring 10 times
// each, scattered over the pages.
std::string LongTemplate()
{
    std::mt19937 random(7);
    std::vector<int> occurrences;
    for (int n = 1; n <= 200; ++n)
        for (int i = 0; i < 10; ++i)
            occurrences.push_back(n);
    std::shuffle(occurrences.begin(), occurrences.end(), random);

    std::string text =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    std::size_t next = 0;
    for (int page = 0; page < 100; ++page) {
        for (int line = 0; line < 50; ++line) {
            text += "The parties agree that the terms set out here apply";
            if ((line % 5 == 2 || line % 5 == 4) && next < occurrences.size())
                text += " to @" + std::to_string(occurrences[next++]);
            text += " in full.\\par\r\n";
        }
        text += "\\page\r\n";
    }
    return text + "}\r\n";
}

std::vector<std::string> LongValues()
{
    std::vector<std::string> lines;
    for (int n = 1; n <= 200; ++n) {
        lines.push_back("Heading " + std::to_string(n));
        lines.push_back(n % 20 == 0 ? std::to_string(n) + "*1.5"
                                    : "Value number " + std::to_string(n));
    }
    return lines;
}

void BM_MergeLongTemplate(benchmark::State &state)
{
    ScratchFolder();
    const bool overwrite = state.range(0) != 0;
    const bool debugFile = state.range(1) != 0;
    const std::string text = LongTemplate();
    TMergeEngine engine(LongValues());
    engine.SetOverwriteMode(overwrite);
    if (debugFile)
        engine.SetStepHook(&TMergeEngine::WriteDebugFile);
    int count = 0;
    for (auto _ : state) {
        const TMergeResult result = engine.Merge(text);
        if (!result.Finished())
            state.SkipWithError("the merge stopped");
        count = result.Count;
    }
    state.counters["replacements"] = count;
    state.counters["template_kb"] = static_cast<double>(text.size()) / 1024;
}
BENCHMARK(BM_MergeLongTemplate)
    ->ArgNames({"overwrite", "debug_rtf"})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// 1,000 information files for the two-page sample letter.
const std::vector<std::string> &BatchFiles()
{
    static const std::vector<std::string> files = [] {
        const fs::path folder = ScratchFolder() / "cases";
        fs::create_directories(folder);
        std::vector<std::string> names;
        for (int i = 0; i < 1000; ++i) {
            const fs::path name = folder / ("client" + std::to_string(i) + ".inf");
            std::string content;
            const char *headings[] = {"Client",     "Street",    "Town",          "Postcode",
                                      "Date",       "Reference", "Salutation",    "Property",
                                      "Fee earner", "Fee",       "Disbursements", "Completion"};
            for (int n = 0; n < 12; ++n)
                content += std::string(headings[n]) + "\r\n" + headings[n] + " of client " +
                           std::to_string(i) + "\r\n";
            SaveTextFile(name.string(), content);
            names.push_back(name.string());
        }
        return names;
    }();
    return files;
}

// The loop of zarvel-cli merge --out-dir in one process: read, merge, write.
void BM_BatchLettersInProcess(benchmark::State &state)
{
    const std::vector<std::string> &files = BatchFiles();
    const TMergeTemplate mergeTemplate(LoadTextFile(ZARVEL_SOURCE_DIR "/samples/letter.tem"));
    const fs::path out = ScratchFolder() / "out";
    fs::create_directories(out);
    TInformationReader reader;
    for (auto _ : state) {
        for (const std::string &file : files) {
            const TMergeResult result = TMergeEngine(reader.Read(file)).Merge(mergeTemplate);
            if (!result.Finished())
                state.SkipWithError("a case stopped");
            SaveTextFile((out / (fs::path(file).stem().string() + ".rtf")).string(), result.Text);
        }
    }
    state.counters["cases"] = static_cast<double>(files.size());
}
BENCHMARK(BM_BatchLettersInProcess)->Unit(benchmark::kMillisecond);

// The real command, as a user runs it.
void BM_BatchLettersCli(benchmark::State &state)
{
    const std::vector<std::string> &files = BatchFiles();
    const char *format = state.range(0) ? "html" : "rtf";
    std::string command = "QT_QPA_PLATFORM=offscreen " ZARVEL_BIN_DIR
                          "/zarvel-cli merge " ZARVEL_SOURCE_DIR "/samples/letter.tem";
    for (const std::string &file : files)
        command += " " + file;
    command +=
        " --out-dir " + (ScratchFolder() / "cli").string() + " --format " + format + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("zarvel-cli failed");
    }
    state.counters["cases"] = static_cast<double>(files.size());
}
BENCHMARK(BM_BatchLettersCli)
    ->ArgName("html")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    // The information files are read through the rich text control, which needs a GUI
    // application object.
    return RunGuiBenchmarks(argc, argv);
}
