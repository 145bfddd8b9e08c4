// One SetRegString: (what `sfxtool reg set-string` does: open the key, write
// one value under the lock, fsync, rename) into a key that already holds N
// values. The time per operation should grow linearly with N; the per-value
// figure (the counter "per_value", in seconds) stays flat when it does.
#include "installer/Registry.h"
#include "platform/posix/RegStore.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A hive whose key Software\Big holds count string values, written as the
// store writes it.
void WriteHive(const fs::path& file, int count)
{
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\Big]\n";
    for (int i = 0; i < count; ++i)
        out << "\"Value" << i << "\"=\"C:\\\\Program Files\\\\My App\\\\file" << i << ".dat\"\n";
    out << '\n';
}

void BM_SetStringIntoBigKey(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const fs::path folder = fs::temp_directory_path() / ("sfx-bench-reg-" + std::to_string(::getpid()));
    WriteHive(folder / "user/HKEY_CURRENT_USER.reg", count);
    CRegStore store((folder / "user").string(), (folder / "machine").string());
    int round = 0;
    for (auto _ : state) {
        // A value in the middle of the key, changed each time so every
        // operation writes the hive.
        const bool ok = SetRegString(store, kRegCurrentUser, "Software\\Big", "value" + std::to_string(count / 2),
                                     "changed " + std::to_string(round++));
        if (!ok)
            state.SkipWithError(store.LastError().c_str());
    }
    state.counters["per_value"] = benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetComplexityN(count);
    fs::remove_all(folder);
}
BENCHMARK(BM_SetStringIntoBigKey)
    ->Arg(10000)->Arg(20000)->Arg(40000)->Arg(80000)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
