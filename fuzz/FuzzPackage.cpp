// Feeds arbitrary files to the package reader as an installer would use it:
// both texts, the entry list, extraction of every entry into a folder, and
// the strict walk. Any crash, sanitizer report, or a file written outside
// that folder is a finding.
#include "package/PackageFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CQuietBox : public IMessageBox {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

const fs::path& WorkDir()
{
    static const fs::path dir = [] {
        fs::path path = fs::temp_directory_path() / ("sfx-fuzz-" + std::to_string(getpid()));
        fs::create_directories(path);
        std::atexit([] { std::error_code ec; fs::remove_all(WorkDir(), ec); });
        return path;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path& dir = WorkDir();
    const std::string input = (dir / "input").string();
    const fs::path out = dir / "out";
    {
        std::ofstream file(input, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::error_code ec;
    fs::remove_all(out, ec);
    fs::create_directory(out);

    CQuietBox box;
    CPackageFile reader(input, box);
    const std::string script = reader.ReadNextText();
    const std::string compile = reader.ReadNextText();
    Check(script.size() + compile.size() <= size);

    reader.LoadDirectory();
    Check(reader.m_bDirLoaded);
    for (const PackageEntry& entry : reader.m_entries) {
        Check(entry.strName.size() < kNameSize);
        Check(entry.nBodyOffset >= 0 && entry.nBodyLength >= 0);
        Check(std::int64_t(entry.nBodyOffset) + entry.nBodyLength == entry.nNameOffset);
        Check(entry.nNameOffset + entry.strName.size() < size);
    }

    // Extract everything the way the installer's ExtractAll does, and once
    // more through a destination ending in a backslash.
    const std::string folder = out.string() + "/";
    for (std::size_t i = 0; i < reader.m_entries.size() && i < 64; ++i) {
        const std::string name = reader.m_entries[i].strName;
        reader.ExtractFile(name, folder + name);
        reader.ExtractFile(name, out.string() + "\\");
    }
    for (const auto& item : fs::directory_iterator(dir))
        Check(item.path() == out || item.path() == input);
    for (const auto& item : fs::recursive_directory_iterator(out))
        Check(item.path().parent_path() == out && item.is_regular_file());

    PackageLayout layout;
    const bool wellFormed = reader.WalkPackage(layout);
    Check(wellFormed == layout.problem.empty());
    if (wellFormed) {
        Check(layout.texts.size() == 2 && layout.nStubLength >= 0);
        Check(layout.entries.size() == reader.m_entries.size());
        Check(script.size() < std::size_t(layout.texts[0].nLength));
    }
    return 0;
}
