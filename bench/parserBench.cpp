// Times our XML reader against pugixml (wchar_t mode), tinyxml2 (UTF-8) and a
// one-pass floor on the same configuration-like documents, then prints the
// ratios, the tree memory on the largest document and whether the goals hold.
//   --check          only parse each document with each parser and compare counts
//   --enforce-goals  exit 1 when a goal is missed
// Every other argument goes to Google Benchmark (--benchmark_filter=... etc.).

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/allocationCounter.h"
#include "bench/configDocument.h"
#include "bench/parsers.h"

namespace {

struct Document {
    const char* label;
    size_t units;  // UTF-16 code units asked for: the file's size is twice that in bytes
    std::wstring text;
    std::string utf8;
};

std::vector<Document> Documents = {
    {"4KB", 2 * 1024, {}, {}},
    {"1MB", 512 * 1024, {}, {}},
    {"16MB", 8 * 1024 * 1024, {}, {}},
};

enum Parser { KEYDEPUTY, PUGIXML, TINYXML2, FLOOR, PARSER_COUNT };
const char* const PARSER_NAMES[PARSER_COUNT] = {"KeyDeputy", "pugixml", "tinyxml2", "floor"};

bool Parse(Parser parser, const Document& document, ParseSummary* summary, TreeProbe probe) {
    switch (parser) {
    case KEYDEPUTY:
        return ParseWithKeyDeputy(document.text.c_str(), summary, probe);
    case PUGIXML:
        return ParseWithPugixml(document.text.c_str(), document.text.size(), summary, probe);
    case TINYXML2:
        return ParseWithTinyxml2(document.utf8.data(), document.utf8.size(), summary, probe);
    default:
        return CountTagOpeners(document.text.c_str(), document.text.size()) > 0;
    }
}

void RunParse(benchmark::State& state, Parser parser, const Document* document) {
    size_t bytes = parser == TINYXML2 ? document->utf8.size() : document->text.size() * 2;
    for (auto _ : state) {
        bool ok;
        if (parser == FLOOR) {
            size_t count = CountTagOpeners(document->text.c_str(), document->text.size());
            benchmark::DoNotOptimize(count);
            ok = count > 0;
        } else {
            ok = Parse(parser, *document, nullptr, nullptr);  // parse and free the tree
        }
        if (!ok) {
            state.SkipWithError("parse failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

// Keeps every run's time per iteration, in nanoseconds, for the summary.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;

    CollectingReporter() : ConsoleReporter(isatty(1) ? OO_Color : OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            // With repetitions only the median stands for the run.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            std::string name = run.run_name.str();
            const std::string suffix = "/real_time";
            if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                name.resize(name.size() - suffix.size());
            if (run.run_type == Run::RT_Iteration && nanoseconds.count(name + "/median")) continue;
            double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            nanoseconds[run.run_type == Run::RT_Aggregate ? name + "/median" : name] = seconds * 1e9;
        }
    }

    double Get(Parser parser, const Document& document) const {
        std::string name = std::string("parse/") + PARSER_NAMES[parser] + "/" + document.label;
        auto median = nanoseconds.find(name + "/median");
        if (median != nanoseconds.end()) return median->second;
        auto found = nanoseconds.find(name);
        return found == nanoseconds.end() ? 0.0 : found->second;
    }
};

// Tree memory: what the heap holds while the tree is alive, above what it held before.
AllocationCounts Held;
size_t MallinfoBefore, MallinfoHeld;

void ProbeTree() {
    Held = CurrentAllocations();
    MallinfoHeld = mallinfo2().uordblks;
}

struct TreeMemory {
    long long bytes, blocks, peakBytes;
    long long mallinfoBytes;  // glibc's own count, headers included
};

TreeMemory MeasureTree(Parser parser, const Document& document) {
    malloc_trim(0);
    MallinfoBefore = mallinfo2().uordblks;
    StartCountingAllocations();
    Held = {};
    MallinfoHeld = MallinfoBefore;
    Parse(parser, document, nullptr, ProbeTree);
    AllocationCounts after = CurrentAllocations();
    StopCountingAllocations();
    return {Held.liveBytes, Held.liveBlocks, after.peakBytes, (long long)MallinfoHeld - (long long)MallinfoBefore};
}

// All three parsers must see the same document, or the times compare nothing.
bool CheckDocuments() {
    bool agree = true;
    for (const Document& document : Documents) {
        ParseSummary summaries[3] = {};
        for (int p = KEYDEPUTY; p <= TINYXML2; ++p) {
            if (!Parse(Parser(p), document, &summaries[p], nullptr)) {
                printf("%-5s %-9s refused the document\n", document.label, PARSER_NAMES[p]);
                agree = false;
            }
        }
        bool same = summaries[0].elements > 1 && summaries[0].attributes > 0;
        for (int p = PUGIXML; p <= TINYXML2; ++p)
            same = same && summaries[p].elements == summaries[0].elements &&
                   summaries[p].attributes == summaries[0].attributes;
        printf("%-5s %9zu units, %9zu UTF-8 bytes: elements %zu/%zu/%zu, attributes %zu/%zu/%zu: %s\n",
               document.label, document.text.size(), document.utf8.size(), summaries[0].elements,
               summaries[1].elements, summaries[2].elements, summaries[0].attributes, summaries[1].attributes,
               summaries[2].attributes, same ? "same" : "DIFFERENT");
        agree = agree && same;
    }
    return agree;
}

bool Goal(const char* what, double value, double limit, bool strict) {
    bool met = strict ? value < limit : value <= limit;
    printf("  %-44s %6.2f  (goal %s %.2f)  %s\n", what, value, strict ? "<" : "<=", limit, met ? "met" : "MISSED");
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    bool checkOnly = false, enforceGoals = false;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && strcmp(argv[i], "--check") == 0)
            checkOnly = true;
        else if (i > 0 && strcmp(argv[i], "--enforce-goals") == 0)
            enforceGoals = true;
        else
            rest.push_back(argv[i]);
    }
    for (Document& document : Documents) {
        document.text = MakeConfigDocument(document.units);
        document.utf8 = ToUtf8(document.text);
    }
    if (!CheckDocuments()) return 1;
    if (checkOnly) return 0;
    malloc_trim(0);  // the check's large trees are gone; start the timings from a settled heap

    for (const Document& document : Documents)
        for (int p = 0; p < PARSER_COUNT; ++p)
            benchmark::RegisterBenchmark((std::string("parse/") + PARSER_NAMES[p] + "/" + document.label).c_str(),
                                         RunParse, Parser(p), &document)
                ->Unit(benchmark::kMicrosecond)
                ->UseRealTime();
    int benchArgc = int(rest.size());
    benchmark::Initialize(&benchArgc, rest.data());
    if (benchmark::ReportUnrecognizedArguments(benchArgc, rest.data())) return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    printf("\nTime per parse (parse and free the tree), microseconds; ratio to pugixml / to the floor:\n");
    printf("%-6s", "doc");
    for (const char* name : PARSER_NAMES) printf(" %24s", name);
    printf("\n");
    for (const Document& document : Documents) {
        double pugixml = reporter.Get(PUGIXML, document), floor = reporter.Get(FLOOR, document);
        if (reporter.Get(KEYDEPUTY, document) == 0 && pugixml == 0) continue;  // filtered out
        printf("%-6s", document.label);
        for (int p = 0; p < PARSER_COUNT; ++p) {
            double t = reporter.Get(Parser(p), document);
            char cell[64];
            snprintf(cell, sizeof cell, "%.1f (%.2fx/%.1fx)", t / 1e3, pugixml > 0 ? t / pugixml : 0.0,
                     floor > 0 ? t / floor : 0.0);
            printf(" %24s", cell);
        }
        printf("\n");
    }

    const Document& largest = Documents.back();
    printf("\nTree memory for the %s document (%zu UTF-16 units; heap held while the tree lives):\n",
           largest.label, largest.text.size());
    printf("%-10s %14s %10s %14s %16s\n", "parser", "bytes", "blocks", "peak bytes", "mallinfo2 bytes");
    TreeMemory memory[3];
    for (int p = KEYDEPUTY; p <= TINYXML2; ++p) {
        memory[p] = MeasureTree(Parser(p), largest);
        printf("%-10s %14lld %10lld %14lld %16lld\n", PARSER_NAMES[p], memory[p].bytes, memory[p].blocks,
               memory[p].peakBytes, memory[p].mallinfoBytes);
    }

    printf("\nGoals:\n");
    const Document& middle = Documents[1];
    bool met = true;
    double ours = reporter.Get(KEYDEPUTY, middle);
    if (ours > 0 && reporter.Get(PUGIXML, middle) > 0 && reporter.Get(TINYXML2, middle) > 0) {
        met &= Goal("time, 1MB, KeyDeputy / pugixml", ours / reporter.Get(PUGIXML, middle), 1.5, false);
        met &= Goal("time, 1MB, KeyDeputy / tinyxml2", ours / reporter.Get(TINYXML2, middle), 1.0, true);
    } else {
        printf("  time goals: not measured (filtered out)\n");
    }
    met &= Goal("tree memory, 16MB, KeyDeputy / pugixml", double(memory[KEYDEPUTY].bytes) / double(memory[PUGIXML].bytes),
                2.0, false);
    return enforceGoals && !met ? 1 : 0;
}
