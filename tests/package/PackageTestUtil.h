// Helpers of the package tests: temporary folders with real files, fakes of
// the platform, and a byte-exact assembler for hand-made packages.
#pragma once

#include "package/Builder.h"
#include "package/PackageFormat.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace pkgtest {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        m_path = fs::temp_directory_path() / ("sfx-pkg-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    std::string Path() const { return m_path.string(); }

private:
    fs::path m_path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Bytes that differ from position to position, so a misplaced copy shows.
inline std::string Pattern(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return bytes;
}

// A stub as the program's own executable ends: in zero bytes.
inline std::string Stub(std::size_t size)
{
    std::string bytes = Pattern(size, 7);
    bytes.replace(size - 4, 4, 4, '\0');
    return bytes;
}

inline std::string Int32(std::uint32_t value)
{
    std::string bytes(4, '\0');
    PutInt32(reinterpret_cast<unsigned char*>(bytes.data()), value);
    return bytes;
}

inline std::uint32_t Int32At(const std::string& bytes, std::size_t pos)
{
    return static_cast<std::uint32_t>(GetInt32(reinterpret_cast<const unsigned char*>(bytes.data() + pos)));
}

// Hand-made packages, byte by byte as the layout is written.
inline std::string FileRecord(const std::string& body, const std::string& name)
{
    return body + name + '\0' + Int32(static_cast<std::uint32_t>(name.size() + 1))
        + Int32(static_cast<std::uint32_t>(body.size())) + Int32(kFileMarker);
}

inline std::string TextBlock(const std::string& text)
{
    return text + '\0' + Int32(static_cast<std::uint32_t>(text.size() + 1)) + Int32(kTextMarker);
}

class FakeMessageBox : public IMessageBox {
public:
    struct Call {
        std::string text;
        std::string caption;
        unsigned style;
    };
    int Show(const std::string& text, const std::string& caption, unsigned style) override
    {
        calls.push_back({text, caption, style});
        return answer;
    }
    std::vector<Call> calls;
    int answer = IDOK;
};

class FakeFolders : public IFolders {
public:
    explicit FakeFolders(std::string exe) : m_exe(std::move(exe)) {}
    std::string WindowsDirectory() const override { return "/usr/bin"; }
    std::string ModuleFileName() const override { return m_exe; }
    std::string DesktopDirectory() const override { return "/nonexistent/Desktop"; }

private:
    std::string m_exe;
};

class FakeReport : public IBuildReport {
public:
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override
    {
        boxes.push_back({text, caption, style});
        return answer;
    }
    void StartFile(const std::string& path) override { started.push_back(path); }
    void Progress(const std::string& path, std::int64_t done, std::int64_t total) override
    {
        progress.push_back({path, done, total});
    }

    struct Tick {
        std::string path;
        std::int64_t done;
        std::int64_t total;
    };
    std::vector<std::string> statuses;
    std::vector<FakeMessageBox::Call> boxes;
    std::vector<std::string> started;
    std::vector<Tick> progress;
    int answer = IDNO;
};

} // namespace pkgtest
