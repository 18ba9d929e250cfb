// Runs a fuzz target's entry point over files and folders given on the command line,
// so that the seeds of every fuzz target are checked by the ordinary test run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {
void RunFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
}
} // namespace

int main(int argc, char **argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root(argv[i]);
        if (std::filesystem::is_directory(root)) {
            for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
                if (entry.is_regular_file()) {
                    RunFile(entry.path());
                    ++count;
                }
            }
        } else {
            RunFile(root);
            ++count;
        }
    }
    // A few fixed shapes beyond the seeds: nothing, a lone byte, deep nesting.
    LLVMFuzzerTestOneInput(nullptr, 0);
    const uint8_t brace = '{';
    LLVMFuzzerTestOneInput(&brace, 1);
    const std::vector<uint8_t> deep(200000, '{');
    LLVMFuzzerTestOneInput(deep.data(), deep.size());
    std::printf("%d passed, 0 failed\n", count + 3);
    return 0;
}
