// Files, as the logic touches them: byte-exact, unbuffered handles and a few
// whole-file operations. Paths may use '\' or '/' as separator; the
// realisation converts them for the file system it serves. No function here
// throws; failures are return values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Which file a name leads to (through links): equal ids, the same file.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool exists = false;
    bool operator==(const FileId&) const = default;
};

class CFile {
public:
    // Every mode opens without blocking (a pipe without a writer or reader
    // would hang) and takes regular files only: a pipe, device, socket or
    // folder fails to open, and GetOpenFailure() says so.
    enum class Mode {
        Read,        // existing file, read only
        Write,       // existing file, write, kept as it is
        CreateWrite, // create, or empty an existing file, write; links are followed, as cp does
        Replace,     // a new file under the name: any link, pipe or file there is replaced (removed, or renamed over), never followed
        CreateNew,   // a new file where nothing has the name yet; fails (errno EEXIST) where anything has it
    };
    enum class Failure {
        None,
        Other,      // errno tells (missing, no permission, ...)
        NotRegular, // a pipe, device or socket
        Folder,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    CFile(CFile&& other) noexcept;
    CFile& operator=(CFile&& other) noexcept;

    // A file created here gets 0777 less the umask when executable, else
    // 0666 less the umask; an existing file keeps its permissions.
    bool Open(const std::string& path, Mode mode, bool executable = false);
    // A new file beside path (same folder, hidden name) that nothing else
    // can have opened; its name is put in tempPath.
    bool CreateTemporaryBeside(const std::string& path, std::string& tempPath);
    Failure GetOpenFailure() const { return m_failure; }
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
    // Writes the file's data through to the disk.
    bool Flush();
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
    // The identity of the open file, as found when it was opened.
    FileId GetId() const { return m_id; }
    // The length found when it was opened: one system call less per file
    // where a caller compares what it read with it anyway.
    std::int64_t GetLengthAtOpen() const { return m_openLength; }
    // Makes the file's permission bits those of other (an installer is as
    // startable as the program that built it).
    bool CopyPermissionsFrom(const CFile& other);
    // Sets the open file's permission bits (e.g. 0644).
    bool SetPermissions(unsigned mode);

private:
    // Takes an open handle of the system's kind: kept when it is a regular
    // file, closed otherwise.
    bool Adopt(std::intptr_t handle);

    std::intptr_t m_handle = -1;
    Failure m_failure = Failure::None;
    FileId m_id;
    std::int64_t m_openLength = -1;
};

// True when both paths name the same existing file (by identity).
bool IsSameFile(const std::string& a, const std::string& b);
// The identity of the file path leads to; exists is false when there is none.
FileId GetFileId(const std::string& path);
// True when both paths name one file: by identity when it exists, else by
// their normal paths.
bool IsSamePath(const std::string& a, const std::string& b);
// True when path names something that is neither a regular file nor a
// link (a folder, pipe, device or socket).
bool IsSpecialEntry(const std::string& path);
// The folder the process works in.
std::string GetCurrentFolder();
// path as the file system reads it: absolute (relative to base), with '/'
// separators, "." and ".." resolved by name alone. Names that give equal
// results name one file.
std::string NormalPath(const std::string& path, const std::string& base);
// Renames from over to, replacing whatever entry to was (a link itself, not
// its target).
bool ReplaceFileWith(const std::string& from, const std::string& to);
// Gives path data as its whole new contents without ever leaving it half
// written: data goes to a new file beside it, is flushed to the disk and
// renamed over it, so a full disk or a crash leaves the old contents. A link
// at path is followed (the file it names is replaced, the link stays); the
// file keeps its permission bits, a new one gets 0666 less the umask.
// A pipe, device or folder at path is not written (CannotCreate).
enum class ReplaceResult { Replaced, CannotCreate, CannotWrite };
ReplaceResult ReplaceFileContents(const std::string& path, const std::string& data);
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
