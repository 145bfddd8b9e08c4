#include "package/Inspect.h"

#include "script/StrUtil.h"

#include <cstdio>
#include <cstring>

int CommandFail(const std::string& program, int code, const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
    return code;
}

int CConsoleBox::Show(const std::string& text, const std::string&, unsigned)
{
    CommandFail(m_program, kExitBad, text);
    m_last = text;
    return IDOK;
}

int OpenInstaller(const std::string& program, const std::string& path, std::unique_ptr<CPackageFile>& reader,
                  IMessageBox& box)
{
    reader = std::make_unique<CPackageFile>(path, box);
    if (!reader->m_fileSelf.IsOpen())
        return CommandFail(program, kExitUsage, "cannot read " + path);
    return kExitOk;
}

int OpenPackage(const std::string& program, const std::string& path, COpenedPackage& package)
{
    if (const int status = OpenInstaller(program, path, package.reader, package.box))
        return status;
    package.reader->WalkPackage(package.layout);
    if (!package.layout.bHasPackage)
        return CommandFail(program, kExitBad, path + ": " + package.layout.problem);
    return kExitOk;
}

void PrintEntries(const std::vector<PackageEntry>& entries)
{
    for (const PackageEntry& entry : entries)
        std::printf("%.*s\t%d\n", static_cast<int>(::strnlen(entry.szName, sizeof entry.szName)), entry.szName,
                    static_cast<int>(entry.nBodyLength));
}

int ListInstaller(const std::string& program, const std::string& path, EntryPrinter print)
{
    COpenedPackage package(program);
    if (const int status = OpenPackage(program, path, package))
        return status;
    CPackageFile& reader = *package.reader;
    reader.LoadDirectory();
    print(reader.m_entries);
    // What the installer would see is listed; a damaged package still fails.
    if (!package.layout.problem.empty())
        return CommandFail(program, kExitBad, path + ": " + package.layout.problem);
    return kExitOk;
}

int VerifyInstaller(const std::string& program, const std::string& path)
{
    CConsoleBox box(program);
    std::unique_ptr<CPackageFile> reader;
    if (const int status = OpenInstaller(program, path, reader, box))
        return status;
    PackageLayout layout;
    if (!reader->WalkPackage(layout))
        return CommandFail(program, kExitBad, path + ": " + layout.problem);
    std::printf("%s: ok, %zu files, package of %lld bytes behind a stub of %d bytes\n", path.c_str(),
                layout.entries.size(), static_cast<long long>(layout.nFileLength - layout.nStubLength),
                static_cast<int>(layout.nStubLength));
    return kExitOk;
}

int PrintInstallerScript(const std::string& program, const std::string& path)
{
    COpenedPackage package(program);
    if (const int status = OpenPackage(program, path, package))
        return status;
    const std::string script = package.reader->ReadNextText();
    std::fwrite(script.data(), 1, script.size(), stdout);
    return kExitOk;
}

int ExtractInstaller(const std::string& program, const std::string& path, const std::string& dest)
{
    COpenedPackage package(program);
    if (const int status = OpenPackage(program, path, package))
        return status;
    CPackageFile& reader = *package.reader;
    if (!CreateDirectoryAt(dest))
        return CommandFail(program, kExitUsage, "cannot create " + dest);
    std::string dir = dest;
    if (!str::EndsWith(dir, "/") && !str::EndsWith(dir, "\\"))
        dir += '/';
    reader.LoadDirectory();
    // Each entry's own body, the file added first written first: where
    // names repeat, the one added last stays, as `extract` would give it.
    int status = kExitOk;
    int written = 0;
    for (auto entry = reader.m_entries.rbegin(); entry != reader.m_entries.rend(); ++entry) {
        if (!CPackageFile::IsPlainFileName(entry->szName)) {
            status = CommandFail(program, kExitBad,
                                 std::string("Cannot extract ") + entry->szName + ": a stored name must be a plain file name.");
            continue;
        }
        if (!reader.ExtractEntry(*entry, dir + entry->szName)) {
            status = kExitUsage;
            continue;
        }
        ++written;
    }
    std::fprintf(stderr, "%d of %zu files extracted to %s\n", written, reader.m_entries.size(), dest.c_str());
    return status;
}
