// Opening an installer as the program starts: the script, the compile line
// and the entry list of a package with many records and a long script. The
// program does this once, in a fresh process, so that is what is timed; the
// same work repeated in one warm process is shown beside it.
#include "package/PackageFile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CNoBox : public IMessageBox {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

std::string Int32(std::uint32_t value)
{
    std::string bytes(4, '\0');
    PutInt32(reinterpret_cast<unsigned char*>(bytes.data()), value);
    return bytes;
}

// A stub of 512 KiB, small files, a compile line and a long script.
std::string WritePackage(int records, std::size_t scriptSize)
{
    const std::string path = (fs::temp_directory_path() / "sfx-bench-open.bin").string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << std::string(512 * 1024, 'S') << Int32(kStubMarker);
    for (int i = 0; i < records; ++i) {
        const std::string name = "file" + std::to_string(100000 + i) + ".txt";
        const std::string body(100 + i % 400, char('a' + i % 26));
        out << body << name << '\0' << Int32(name.size() + 1) << Int32(body.size()) << Int32(kFileMarker);
    }
    const std::string compile = " Compiled : Mar. 07, 2002 09:05:31 AM";
    std::string script = "[Tasks]\r\n";
    while (script.size() < scriptSize)
        script += "WriteToFile: DSKDIR\\MyApp\\log.txt Text: a line of the script\r\n";
    script.resize(scriptSize);
    out << compile << '\0' << Int32(compile.size() + 1) << Int32(kTextMarker);
    out << script << '\0' << Int32(script.size() + 1) << Int32(kTextMarker);
    return path;
}

// What the program does at start-up; the count of entries, or -1.
long Open(const std::string& path)
{
    CNoBox box;
    CPackageFile reader(path, box);
    const std::string script = reader.ReadNextText();
    const std::string compile = reader.ReadNextText();
    reader.LoadDirectory();
    return script.empty() || compile.empty() ? -1 : static_cast<long>(reader.m_entries.size());
}

void BM_OpenPackageFreshProcess(benchmark::State& state)
{
    const std::string path = WritePackage(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    const std::string command = "/proc/" + std::to_string(::getpid()) + "/exe --open-once " + path;
    for (auto _ : state) {
        FILE* child = ::popen(command.c_str(), "r");
        double seconds = -1;
        long entries = -1;
        if (child) {
            if (std::fscanf(child, "%lf %ld", &seconds, &entries) != 2)
                seconds = -1;
            ::pclose(child);
        }
        if (seconds < 0 || entries != state.range(0)) {
            state.SkipWithError("package not read");
            break;
        }
        state.SetIterationTime(seconds);
    }
    fs::remove(path);
}

void BM_OpenPackageWarm(benchmark::State& state)
{
    const std::string path = WritePackage(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    for (auto _ : state) {
        if (Open(path) != state.range(0)) {
            state.SkipWithError("package not read");
            break;
        }
    }
    fs::remove(path);
}

BENCHMARK(BM_OpenPackageFreshProcess)->Args({10000, 290000})->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPackageWarm)->Args({10000, 290000})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The child of the fresh-process benchmark: open once, print the time.
    if (argc == 3 && std::strcmp(argv[1], "--open-once") == 0) {
        const auto start = std::chrono::steady_clock::now();
        const long entries = Open(argv[2]);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%.9f %ld\n", took.count(), entries);
        return entries < 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
