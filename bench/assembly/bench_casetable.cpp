// Tables of cases: reading a large one, and a batch of letters from a table beside the same
// batch from information files.
#include "assembly/TCaseTable.h"
#include "assembly/TInformationReader.h"
#include "assembly/TMergeEngine.h"
#include "assembly/TMergeTemplate.h"
#include "text/StringUtils.h"

#include "common/GuiBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
const fs::path &ScratchFolder()
{
    static const fs::path folder = [] {
        static char name[4096];
        const std::string pattern =
            (fs::temp_directory_path() / "zarvel-bench-table-XXXXXX").string();
        if (pattern.size() >= sizeof name)
            std::abort();
        pattern.copy(name, pattern.size());
        if (!mkdtemp(name))
            std::abort();
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(name, ignored);
        });
        return fs::path(name);
    }();
    return folder;
}

// 100,000 rows of 10 columns as a spreadsheet writes them: some cells quoted for their commas,
// quotes or line breaks.
const std::string &LargeTable()
{
    static const std::string name = [] {
        std::string text = "Client,Street,Town,Postcode,Date,Reference,Property,Fee earner,Fee,"
                           "Notes\r\n";
        for (int i = 0; i < 100000; ++i) {
            const std::string n = std::to_string(i);
            text += "\"Smith, John " + n + "\",12 High Street,Springfield,SP" + n +
                    " 1AB,01/02/2025,REF-" + n + ",\"Flat " + n + "\r\nThe Mews\",Ann Lee," + n +
                    "*1.2,\"He said \"\"soon\"\"\"\r\n";
        }
        const std::string file = (ScratchFolder() / "large.csv").string();
        SaveTextFile(file, text);
        return file;
    }();
    return name;
}

void BM_ReadLargeTable(benchmark::State &state)
{
    const std::string &file = LargeTable();
    std::size_t rows = 0;
    for (auto _ : state)
        rows = TCaseTable::ReadFile(file).RowCount();
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["mb"] = static_cast<double>(fs::file_size(file)) / 1e6;
}
BENCHMARK(BM_ReadLargeTable)->Unit(benchmark::kMillisecond);

const char *const Headings[] = {"Client",     "Street",    "Town",          "Postcode",
                                "Date",       "Reference", "Salutation",    "Property",
                                "Fee earner", "Fee",       "Disbursements", "Completion"};

// The 1,000 cases of the information-file batch benchmark, as one table and as files.
const std::string &BatchTable()
{
    static const std::string name = [] {
        std::string text;
        for (const char *heading : Headings)
            text += std::string(text.empty() ? "" : ",") + heading;
        text += "\r\n";
        for (int i = 0; i < 1000; ++i) {
            for (int n = 0; n < 12; ++n)
                text += std::string(n ? "," : "") + Headings[n] + " of client " + std::to_string(i);
            text += "\r\n";
        }
        const std::string file = (ScratchFolder() / "cases.csv").string();
        SaveTextFile(file, text);
        return file;
    }();
    return name;
}

const std::vector<std::string> &BatchFiles()
{
    static const std::vector<std::string> files = [] {
        const fs::path folder = ScratchFolder() / "cases";
        fs::create_directories(folder);
        std::vector<std::string> names;
        for (int i = 0; i < 1000; ++i) {
            std::string content;
            for (int n = 0; n < 12; ++n)
                content += std::string(Headings[n]) + "\r\n" + Headings[n] + " of client " +
                           std::to_string(i) + "\r\n";
            names.push_back((folder / ("client" + std::to_string(i) + ".inf")).string());
            SaveTextFile(names.back(), content);
        }
        return names;
    }();
    return files;
}

// The loop of zarvel-cli merge --out-dir in one process: read, merge, write; from=0 the
// information files, from=1 the table.
void BM_BatchInProcess(benchmark::State &state)
{
    const bool fromTable = state.range(0) != 0;
    const TMergeTemplate mergeTemplate(LoadTextFile(ZARVEL_SOURCE_DIR "/samples/letter.tem"));
    const fs::path out = ScratchFolder() / (fromTable ? "out-table" : "out-files");
    fs::create_directories(out);
    TInformationReader reader;
    const auto write = [&](const TMergeResult &result, std::size_t i) {
        if (!result.Finished())
            state.SkipWithError("a case stopped");
        SaveTextFile((out / (std::to_string(i) + ".rtf")).string(), result.Text);
    };
    for (auto _ : state) {
        if (fromTable) {
            const TCaseTable table = TCaseTable::ReadFile(BatchTable());
            for (std::size_t row = 0; row < table.RowCount(); ++row)
                write(TMergeEngine(table.InformationLines(row)).Merge(mergeTemplate), row);
        } else {
            const std::vector<std::string> &files = BatchFiles();
            for (std::size_t i = 0; i < files.size(); ++i)
                write(TMergeEngine(reader.Read(files[i])).Merge(mergeTemplate), i);
        }
    }
    state.counters["cases"] = 1000;
}
BENCHMARK(BM_BatchInProcess)->ArgName("table")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The real command, as a user runs it, for the same 1,000 cases.
void BM_BatchCli(benchmark::State &state)
{
    const bool fromTable = state.range(0) != 0;
    std::string command = "QT_QPA_PLATFORM=offscreen " ZARVEL_BIN_DIR
                          "/zarvel-cli merge " ZARVEL_SOURCE_DIR "/samples/letter.tem";
    if (fromTable)
        command += " " + BatchTable();
    else
        for (const std::string &file : BatchFiles())
            command += " " + file;
    command += " --out-dir " +
               (ScratchFolder() / (fromTable ? "cli-table" : "cli-files")).string() +
               " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("zarvel-cli failed");
    state.counters["cases"] = 1000;
}
BENCHMARK(BM_BatchCli)
    ->ArgName("table")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    // The information files are read through the rich text control's reader.
    return RunGuiBenchmarks(argc, argv);
}
