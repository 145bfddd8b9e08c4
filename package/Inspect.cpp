#include "package/Inspect.h"

#include "script/StrUtil.h"

#include <cstdio>
#include <cstring>

int CommandFail(const std::string& program, int code, const std::string& message)
{
    // Names taken from a package may hold control characters.
    std::fprintf(stderr, "%s: %s\n", program.c_str(), str::EscapeControls(message).c_str());
    return code;
}

int CConsoleBox::Show(const std::string& text, const std::string&, unsigned)
{
    CommandFail(m_program, kExitBad, text);
    m_last = text;
    return kAnswerOk;
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
        std::printf("%s\t%d\n", str::EscapeControls(entry.strName).c_str(),
                    static_cast<int>(entry.nBodyLength));
}

int ListInstaller(const std::string& program, const std::string& path, EntryPrinter print)
{
    COpenedPackage package(program);
    if (const int status = OpenPackage(program, path, package))
        return status;
    CPackageFile& reader = *package.reader;
    reader.TakeDirectory(package.layout);
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
    reader.TakeDirectory(package.layout);
    int status = kExitOk;
    const std::size_t written = reader.ExtractAll(dir, [&](const PackageEntry& entry) {
        // A name that may not become a path is the package's fault; a file
        // that cannot be written is the destination's.
        status = CPackageFile::IsPlainFileName(entry.strName) ? kExitUsage : kExitBad;
    });
    std::fprintf(stderr, "%zu of %zu files extracted to %s\n", written, reader.m_entries.size(), str::EscapeControls(dest).c_str());
    return status;
}
