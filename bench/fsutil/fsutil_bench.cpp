// FileExists must cost the same whatever the size of the folder, and CreateDirectoryTree must
// search each level it visits once.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "doubles/directory_services_doubles.h"
#include "fsutil/directory_tree.h"
#include "temp_tree.h"

namespace {

// One folder per entry count, filled once and kept for the whole run.
const TempTree& FolderWith(long entries) {
    static std::map<long, std::unique_ptr<TempTree>> folders;
    auto& folder = folders[entries];
    if (!folder) {
        folder = std::make_unique<TempTree>();
        char name[32];
        for (long i = 0; i < entries; ++i) {
            std::snprintf(name, sizeof name, "entry-%06ld.dat", i);
            folder->MakeFile(name);
        }
    }
    return *folder;
}

void BM_FileExistsLiteralName(benchmark::State& state) {
    const TempTree& folder = FolderWith(state.range(0));
    char name[32];
    std::snprintf(name, sizeof name, "entry-%06ld.dat", state.range(0) / 2);
    const std::string path = folder.Path(name);
    for ([[maybe_unused]] auto _ : state) {
        if (FileExists(path.c_str()) != 1) state.SkipWithError("entry not found");
    }
}
BENCHMARK(BM_FileExistsLiteralName)->Arg(10)->Arg(100000);

void BM_FileExistsMissingName(benchmark::State& state) {
    const std::string path = FolderWith(state.range(0)).Path("absent.dat");
    for ([[maybe_unused]] auto _ : state) {
        if (FileExists(path.c_str()) != 0) state.SkipWithError("absent entry found");
    }
}
BENCHMARK(BM_FileExistsMissingName)->Arg(10)->Arg(100000);

const char kSixLevels[] = "one/two/three/four/five/six";

// The whole chain exists: only the parent of the last level is searched, then the creation
// of the last level fails.
void BM_CreateDirectoryTreeExisting(benchmark::State& state) {
    TempTree tree;
    tree.MakeDir("one/two/three/four/five/six");
    const std::string path = tree.Path(kSixLevels);
    CountingDirectoryServices services;
    for ([[maybe_unused]] auto _ : state) {
        if (CreateDirectoryTree(path.c_str(), services) != 0) state.SkipWithError("created");
    }
    state.counters["searches_per_call"] = benchmark::Counter(
        static_cast<double>(services.searchCount), benchmark::Counter::kAvgIterations);
    state.counters["creations_per_call"] = benchmark::Counter(
        static_cast<double>(services.creations.size()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CreateDirectoryTreeExisting);

// All six levels are missing below an existing folder: one search per level, the six
// creations top-down.
void BM_CreateDirectoryTreeSixMissing(benchmark::State& state) {
    TempTree tree;
    const std::string path = tree.Path(kSixLevels);
    CountingDirectoryServices services;
    for ([[maybe_unused]] auto _ : state) {
        if (CreateDirectoryTree(path.c_str(), services) != 1) state.SkipWithError("not created");
        state.PauseTiming();
        std::filesystem::remove_all(tree.RootPath() / "one");
        state.ResumeTiming();
    }
    state.counters["searches_per_call"] = benchmark::Counter(
        static_cast<double>(services.searchCount), benchmark::Counter::kAvgIterations);
    state.counters["creations_per_call"] = benchmark::Counter(
        static_cast<double>(services.creations.size()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CreateDirectoryTreeSixMissing);

}  // namespace
