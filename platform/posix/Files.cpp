// Files on Linux: plain file descriptors, no buffering of our own, and every
// path with its backslashes turned into slashes first, so Windows-style
// scripts name the same files here.
#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string NativePath(const std::string& path)
{
    std::string native = path;
    for (char& c : native) {
        if (c == '\\')
            c = '/';
    }
    return native;
}

int Fd(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

bool StatPath(const std::string& path, struct stat& st)
{
    return ::stat(NativePath(path).c_str(), &st) == 0;
}

// A file moved to another file system is copied, then the original removed;
// folders are not moved that way (nor are they on Windows).
bool MoveAcrossFileSystems(const std::string& source, const std::string& target)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            ok = w > 0;
            done += ok ? w : 0;
        }
        if (!ok)
            break;
    }
    ::close(in);
    ok = ::close(out) == 0 && ok;
    if (!ok) {
        ::unlink(target.c_str());
        return false;
    }
    return ::unlink(source.c_str()) == 0;
}

} // namespace

bool CFile::Open(const std::string& path, Mode mode, bool executable)
{
    Close();
    m_failure = Failure::Other;
    const std::string native = NativePath(path);
    // Non-blocking: opening a pipe waits for its other end, and a device may
    // wait for anything. O_TRUNC leaves pipes and devices alone, and they
    // are refused below before a byte is written.
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::Write:
        flags |= O_WRONLY;
        break;
    case Mode::CreateWrite:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case Mode::Replace:
        // Whatever has the name goes (a link, not its target), so the file
        // created exclusively below is a new one that only we write to.
        if (::unlink(native.c_str()) != 0 && errno != ENOENT) {
            if (errno == EISDIR)
                m_failure = Failure::Folder;
            return false;
        }
        flags |= O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
        break;
    case Mode::CreateNew:
        flags |= O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
        break;
    }
    int fd;
    do {
        fd = ::open(native.c_str(), flags, executable ? 0777 : 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // A pipe without a reader refuses a non-blocking writer.
        if (errno == EISDIR || errno == ENXIO)
            m_failure = errno == EISDIR ? Failure::Folder : Failure::NotRegular;
        return false;
    }
    return Adopt(fd);
}

bool CFile::Adopt(std::intptr_t handle)
{
    const int fd = Fd(handle);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        m_failure = S_ISDIR(st.st_mode) ? Failure::Folder : Failure::NotRegular;
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    m_handle = fd;
    m_failure = Failure::None;
    m_id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
    m_openLength = st.st_size;
    return true;
}

bool CFile::CreateTemporaryBeside(const std::string& path, std::string& tempPath)
{
    Close();
    m_failure = Failure::Other;
    const std::string native = NativePath(path);
    const std::size_t slash = native.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    // Short enough for any file system's name limit.
    const std::string name = native.substr(folder.size()).substr(0, 200);
    std::string pattern = folder + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    tempPath = pattern;
    return Adopt(fd);
}

void CFile::Close()
{
    if (m_handle >= 0) {
        ::close(Fd(m_handle));
        m_handle = -1;
        m_id = {};
        m_openLength = -1;
    }
}

std::int64_t CFile::Read(void* buffer, std::size_t size)
{
    if (m_handle < 0)
        return -1;
    ssize_t n;
    do {
        n = ::read(Fd(m_handle), buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

bool CFile::ReadAt(std::int64_t pos, void* buffer, std::size_t size)
{
    if (m_handle < 0 || pos < 0)
        return false;
    auto* out = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::pread(Fd(m_handle), out, size, pos);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        pos += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CFile::Write(const void* buffer, std::size_t size)
{
    if (m_handle < 0)
        return false;
    const auto* in = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::write(Fd(m_handle), in, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        in += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CFile::Seek(std::int64_t pos)
{
    return m_handle >= 0 && pos >= 0 && ::lseek(Fd(m_handle), pos, SEEK_SET) == pos;
}

bool CFile::SeekToEnd()
{
    return m_handle >= 0 && ::lseek(Fd(m_handle), 0, SEEK_END) >= 0;
}

bool CFile::Flush()
{
    return m_handle >= 0 && ::fsync(Fd(m_handle)) == 0;
}

std::int64_t CFile::GetLength() const
{
    struct stat st;
    if (m_handle < 0 || ::fstat(Fd(m_handle), &st) != 0)
        return -1;
    return st.st_size;
}

bool CFile::IsRegularFile() const
{
    struct stat st;
    return m_handle >= 0 && ::fstat(Fd(m_handle), &st) == 0 && S_ISREG(st.st_mode);
}

bool CFile::IsSameFile(const CFile& other) const
{
    return m_handle >= 0 && other.m_handle >= 0 && m_id == other.m_id;
}

bool CFile::IsSameFile(const std::string& path) const
{
    return m_handle >= 0 && GetFileId(path) == m_id;
}

bool CFile::CopyPermissionsFrom(const CFile& other)
{
    struct stat st;
    if (m_handle < 0 || other.m_handle < 0 || ::fstat(Fd(other.m_handle), &st) != 0)
        return false;
    // Read, write and execute bits only: a set-user-ID stub must not hand
    // that right on to whatever is built from it.
    return ::fchmod(Fd(m_handle), st.st_mode & 0777) == 0;
}

bool CFile::SetPermissions(unsigned mode)
{
    return m_handle >= 0 && ::fchmod(Fd(m_handle), static_cast<mode_t>(mode)) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return StatPath(a, sa) && StatPath(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool CreateDirectoryAt(const std::string& path)
{
    if (::mkdir(NativePath(path).c_str(), 0777) == 0)
        return true;
    return errno == EEXIST && IsDirectory(path);
}

bool MoveFileTo(const std::string& from, const std::string& to)
{
    // Like MoveFile, never replaces an existing file.
    const std::string source = NativePath(from);
    const std::string target = NativePath(to);
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EXDEV)
        return MoveAcrossFileSystems(source, target);
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace flag: check, then rename.
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 || errno != ENOENT)
        return false;
    return ::rename(source.c_str(), target.c_str()) == 0;
}

bool DeleteFileAt(const std::string& path)
{
    return ::unlink(NativePath(path).c_str()) == 0 || errno == ENOENT;
}

bool IsDirectory(const std::string& path)
{
    struct stat st;
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool IsRegularFileAt(const std::string& path)
{
    struct stat st;
    return StatPath(path, st) && S_ISREG(st.st_mode);
}

FileId GetFileId(const std::string& path)
{
    struct stat st;
    if (!StatPath(path, st))
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

std::string GetCurrentFolder()
{
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

std::string NormalPath(const std::string& path, const std::string& base)
{
    std::filesystem::path full(NativePath(path));
    if (full.is_relative())
        full = std::filesystem::path(base) / full;
    return full.lexically_normal().string();
}

bool ReplaceFileWith(const std::string& from, const std::string& to)
{
    return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

ReplaceResult ReplaceFileContents(const std::string& path, const std::string& data)
{
    if (path.empty())
        return ReplaceResult::CannotCreate;
    std::string target = NativePath(path);
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return ReplaceResult::CannotCreate;
    // The file a link names is the one to replace: renaming over the link
    // would turn it into a plain file.
    if (exists) {
        if (char* real = ::realpath(target.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    CFile temp;
    std::string tempPath;
    if (!temp.CreateTemporaryBeside(target, tempPath))
        return ReplaceResult::CannotCreate;
    mode_t mode = st.st_mode & 07777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const bool written = temp.SetPermissions(mode) && temp.Write(data.data(), data.size()) && temp.Flush();
    temp.Close();
    if (!written || ::rename(tempPath.c_str(), target.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return ReplaceResult::CannotWrite;
    }
    return ReplaceResult::Replaced;
}

bool IsSpecialEntry(const std::string& path)
{
    struct stat st;
    return ::lstat(NativePath(path).c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode);
}
