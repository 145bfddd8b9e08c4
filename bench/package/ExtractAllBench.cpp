// The installer's ExtractAll: task pass against the reader's own ExtractAll
// (what sfxtool extract-all runs) on the same installer, in one process and
// interleaved, so the ratio shows what the pass adds per file and nothing of
// a window system. Usage: bench_extract_all INSTALLER DIR
#include "tests/fakes/FakePlatform.h"
#include "installer/SetupScreen.h"
#include "installer/TaskInterpreter.h"
#include "package/PackageFile.h"
#include "platform/Files.h"
#include "script/Script.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// As sfxtool extract-all: open, read the entry list, write every file.
double ToolPass(const std::string& installer, const std::string& dir)
{
    const auto start = Clock::now();
    CFakeMessageBox box;
    CPackageFile reader(installer, box);
    reader.LoadDirectory();
    CreateDirectoryAt(dir);
    reader.ExtractAll(dir + "/");
    return Seconds(start);
}

// As the installer: open, read the script, run its task pass with the
// installer's own folder as CURDIR.
double InstallerPass(const std::string& installer, const std::string& dir)
{
    const auto start = Clock::now();
    CFakeMessageBox box;
    CPackageFile reader(installer, box);
    CScript script(reader.ReadNextText());
    CFakeDialogWindow window;
    CFakeControl title, readme, separator, status, button, editor;
    CFakeProgress progress;
    CSetupScreen screen{window, title, readme, separator, status, progress, button, editor};
    CFakeFolders folders;
    folders.m_module = (fs::path(dir).parent_path() / "setup").string();
    CFakeShell shell;
    CFakeRegistry registry;
    CTaskContext context{screen, false, script, reader, folders, shell, box, registry, "setup"};
    CTaskInterpreter(context).RunScriptSection(false);
    return Seconds(start);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_extract_all INSTALLER DIR (the script's ExtractAll: CURDIR\\x names DIR)\n");
        return 2;
    }
    const std::string installer = argv[1];
    const std::string dir = argv[2];
    std::vector<double> tool, pass;
    long files = 0;
    for (int round = 0; round < 5; ++round) {
        // Each pass starts from no folder and no dirty pages of the last.
        fs::remove_all(dir);
        ::sync();
        tool.push_back(ToolPass(installer, dir));
        fs::remove_all(dir);
        ::sync();
        pass.push_back(InstallerPass(installer, dir));
        files = std::distance(fs::directory_iterator(dir), fs::directory_iterator());
    }
    fs::remove_all(dir);
    const double t = Median(tool), p = Median(pass);
    std::printf("installer's ExtractAll of %ld files: pass %.0f ms, extract-all %.0f ms, ratio %.2f (goal <= 1.15; medians of 5, interleaved)\n",
                files, p * 1e3, t * 1e3, p / t);
    return 0;
}
