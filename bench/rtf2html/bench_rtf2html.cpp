// Throughput of the rich text to HTML converter on generated documents:
//   ordinary paragraphs (about 20 MB, one line per paragraph),
//   the same text as one single line,
//   one 2 MB paragraph without any tag.
// bench_rtf2html --write-inputs FOLDER writes the three inputs as files, and
// bench_rtf2html --convert IN OUT [OPTION]... converts one file once (for measuring peak memory
// with /usr/bin/time -v); without these arguments the benchmarks run.
#include "rtf2html/RtfToHtml.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
constexpr size_t KLargeSize = 20u << 20;
constexpr size_t KParagraphSize = 2u << 20;

const char *const KWords[] = {"the",    "template", "holds",  "fixed",      "wording",
                              "and",    "all",      "of",     "formatting", "letter",
                              "values", "case",     "go",     "where",      "placeholders",
                              "stand,", "merge",    "result", "printed.",   "Zarvel"};

std::string Header()
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
           "Arial;}{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
}

// Paragraphs of 40 to 120 words with a bold, an italic or a coloured word now and then,
// an umlaut and a tab; lineBreak goes after every paragraph mark.
std::string Paragraphs(size_t size, const char *lineBreak)
{
    std::mt19937 random(7);
    std::string rtf = Header();
    while (rtf.size() < size) {
        const int words = 40 + static_cast<int>(random() % 80);
        for (int i = 0; i < words; ++i) {
            const char *word = KWords[random() % std::size(KWords)];
            switch (random() % 16) {
            case 0:
                rtf += "\\b ";
                rtf += word;
                rtf += "\\b0 ";
                break;
            case 1:
                rtf += "{\\i ";
                rtf += word;
                rtf += "}";
                break;
            case 2:
                rtf += "\\cf1 ";
                rtf += word;
                rtf += "\\cf0 ";
                break;
            case 3:
                rtf += "M\\'e4rz";
                break;
            case 4:
                rtf += "\\tab ";
                rtf += word;
                break;
            default:
                rtf += word;
            }
            rtf += ' ';
        }
        rtf += "\\par";
        rtf += lineBreak;
    }
    return rtf + "}\r\n";
}

// One paragraph of plain words without any control word, in lines of about 80 characters.
std::string TaglessParagraph(size_t size)
{
    std::mt19937 random(11);
    std::string rtf = "{\\rtf1\\ansi ";
    size_t lineLength = 0;
    while (rtf.size() < size) {
        const char *word = KWords[random() % std::size(KWords)];
        rtf += word;
        rtf += ' ';
        lineLength += std::strlen(word) + 1;
        if (lineLength > 80) {
            rtf += "\r\n";
            lineLength = 0;
        }
    }
    return rtf + "}\r\n";
}

std::string TempName(const char *name)
{
    return "/tmp/bench_rtf2html_" + std::to_string(getpid()) + "_" + name;
}

void WriteFile(const std::string &name, const std::string &text)
{
    std::ofstream out(name, std::ios::binary);
    out << text;
}

void Convert(benchmark::State &state, const std::string &text, const char *name)
{
    const std::string input = TempName(name);
    const std::string output = input + ".htm";
    WriteFile(input, text);
    for (auto _ : state)
        ConvertRtfToHtml(input, output, {""});
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    std::remove(input.c_str());
    std::remove(output.c_str());
}

void BM_OrdinaryParagraphs(benchmark::State &state)
{
    Convert(state, Paragraphs(KLargeSize, "\r\n"), "paragraphs.rtf");
}

void BM_SingleLine(benchmark::State &state)
{
    Convert(state, Paragraphs(KLargeSize, ""), "single-line.rtf");
}

void BM_TaglessParagraph(benchmark::State &state)
{
    Convert(state, TaglessParagraph(KParagraphSize), "tagless.rtf");
}

BENCHMARK(BM_OrdinaryParagraphs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SingleLine)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TaglessParagraph)->Unit(benchmark::kMillisecond)->Iterations(5);
} // namespace

int main(int argc, char **argv)
{
    try {
        if (argc == 3 && std::strcmp(argv[1], "--write-inputs") == 0) {
            const std::string folder = argv[2];
            WriteFile(folder + "/paragraphs.rtf", Paragraphs(KLargeSize, "\r\n"));
            WriteFile(folder + "/single-line.rtf", Paragraphs(KLargeSize, ""));
            WriteFile(folder + "/tagless.rtf", TaglessParagraph(KParagraphSize));
            return 0;
        }
        if (argc >= 4 && std::strcmp(argv[1], "--convert") == 0) {
            std::vector<std::string> options(argv + 4, argv + argc);
            ConvertRtfToHtml(argv[2], argv[3], options);
            return 0;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
