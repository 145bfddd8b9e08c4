// Installers for tests: a small stub that ends in zero bytes, followed by a
// package written by the package writer.
#pragma once

#include "package/PackageFile.h"
#include "tests/fakes/FakePlatform.h"

#include <string>
#include <utility>
#include <vector>

// A stub alone: the program without a package.
inline std::string WriteStub(const CTempDir& dir)
{
    const std::string path = dir / "stub";
    WriteTextFile(path, std::string(60, 'S') + std::string(4, '\0'));
    return path;
}

// Writes dir/name: the stub, the files (name, body) in order, then the
// compile line (when not empty) and the script as the package's text blocks.
inline std::string WriteInstaller(const CTempDir& dir, const std::string& name, const std::string& script,
                                  const std::vector<std::pair<std::string, std::string>>& files = {},
                                  const std::string& compileLine = " Compiled : Mar. 07, 2002 09:05:31 AM")
{
    std::filesystem::create_directories(dir / "packed");
    CFakeMessageBox box;
    CPackageFile stub(WriteStub(dir), box);
    const std::string path = dir / name;
    stub.CreateOutput(path);
    for (const auto& [file, body] : files) {
        const std::string source = dir / ("packed/" + file);
        WriteTextFile(source, body);
        stub.AddFile(source);
    }
    if (!compileLine.empty())
        stub.AddText(compileLine);
    stub.AddText(script);
    stub.FinishOutput();
    return path;
}
