// Files, as the logic touches them: byte-exact, unbuffered handles and a few
// whole-file operations. Paths may use '\' or '/' as separator; the
// realisation converts them for the file system it serves. No function here
// throws; failures are return values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CFile {
public:
    enum class Mode {
        Read,        // existing file, read only
        Write,       // existing file, write, kept as it is
        CreateWrite, // create, or empty an existing file, write
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    CFile(CFile&& other) noexcept;
    CFile& operator=(CFile&& other) noexcept;

    bool Open(const std::string& path, Mode mode);
    bool IsOpen() const { return m_handle >= 0; }
    void Close();

    // Reads up to size bytes at the current position: the count read, 0 at
    // the end of the file, -1 on error.
    std::int64_t Read(void* buffer, std::size_t size);
    // Reads exactly size bytes at pos; false when fewer are there.
    bool ReadAt(std::int64_t pos, void* buffer, std::size_t size);
    // Writes all size bytes, or returns false.
    bool Write(const void* buffer, std::size_t size);
    bool Seek(std::int64_t pos);
    bool SeekToEnd();
    // Length of the open file, -1 on error.
    std::int64_t GetLength() const;
    // True for a plain file (not a device, pipe or folder): only such a
    // file may be removed when writing it failed.
    bool IsRegularFile() const;
    // True when both handles are open on the same file (by identity, not name).
    bool IsSameFile(const CFile& other) const;
    // True when path names the file this handle is open on (without opening
    // path, which could block on a pipe).
    bool IsSameFile(const std::string& path) const;
    // Makes the file's permission bits those of other (an installer is as
    // startable as the program that built it).
    bool CopyPermissionsFrom(const CFile& other);

private:
    std::intptr_t m_handle = -1;
};

// True when both paths name the same existing file (by identity).
bool IsSameFile(const std::string& a, const std::string& b);
// Creates the last level of path; an existing directory counts as success.
bool CreateDirectoryAt(const std::string& path);
bool MoveFileTo(const std::string& from, const std::string& to);
// True when nothing is left at path: a file that was never there counts as
// deleted, so a script may delete what an earlier task moved away.
bool DeleteFileAt(const std::string& path);
// True when path names a directory.
bool IsDirectory(const std::string& path);
// True when path names a plain file (links followed), without opening it.
bool IsRegularFileAt(const std::string& path);
