// Files on Windows: unbuffered handles from CreateFileW, names converted from
// UTF-8 with '/' read as '\'. Only disk files are taken: a device name (NUL,
// CON, COM1) or a pipe opens as something else and is refused before a byte
// moves, and no new file, temporary or move target takes such a name or one
// holding a ':'. Windows files carry no permission bits; a new file gets the
// access its folder hands on.
#include "platform/Files.h"
#include "platform/win32/Wide.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <string_view>
#include <windows.h>

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow, true};
}

// What a name is, without reading or changing it: open for no access at
// all (a folder too, through backup semantics). ownEntry looks at a link
// itself rather than what it leads to.
struct CProbe {
    bool exists = false;
    bool disk = false;
    DWORD attributes = 0;
    FileId id;
};

CProbe Probe(const std::string& path, bool ownEntry)
{
    CProbe probe;
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (ownEntry ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE h = ::CreateFileW(WidePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return probe;
    probe.exists = true;
    probe.disk = ::GetFileType(h) == FILE_TYPE_DISK;
    BY_HANDLE_FILE_INFORMATION info;
    if (probe.disk && ::GetFileInformationByHandle(h, &info)) {
        probe.attributes = info.dwFileAttributes;
        probe.id = IdOf(info);
    }
    ::CloseHandle(h);
    return probe;
}

bool IsFolderAttr(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Fail()
{
    SetErrnoFrom(::GetLastError());
    return false;
}

// Windows hands out a device for these names in every folder, whatever
// follows the first dot and with spaces before it ("nul.txt", "COM1 .log");
// the superscripts count as COM and LPT numbers.
bool IsDeviceName(std::wstring_view name)
{
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ')
        name.remove_suffix(1);
    std::wstring upper(name);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (upper == device)
            return true;
    }
    if (upper.size() != 4 || (!upper.starts_with(L"COM") && !upper.starts_with(L"LPT")))
        return false;
    const wchar_t number = upper[3];
    return (number >= L'0' && number <= L'9') || number == L'\u00B9' || number == L'\u00B2' || number == L'\u00B3';
}

// The last part of path may name a new file: not a device, and no ':',
// which names a stream of another file, or (as in "C:x") a file in the
// current folder of a drive instead of the folder meant. The drive in
// front of an absolute path is a part of its own.
bool IsOrdinaryName(const std::wstring& native)
{
    const std::size_t slash = native.rfind(L'\\');
    const std::wstring_view name = std::wstring_view(native).substr(slash == std::wstring::npos ? 0 : slash + 1);
    return name.find(L':') == std::wstring_view::npos && !IsDeviceName(name);
}

bool RefuseName()
{
    errno = EINVAL;
    return false;
}

} // namespace

bool CFile::Open(const std::string& path, Mode mode, bool /*executable: Windows has no such bit*/)
{
    Close();
    m_failure = Failure::Other;
    const std::wstring native = WidePath(path);
    if (mode != Mode::Read && mode != Mode::Write && !IsOrdinaryName(native)) {
        m_failure = Failure::NotRegular;
        return RefuseName();
    }
    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && IsFolderAttr(attributes)) {
        m_failure = Failure::Folder;
        errno = EISDIR;
        return false;
    }
    DWORD access = GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    switch (mode) {
    case Mode::Read:
        access = GENERIC_READ;
        break;
    case Mode::Write:
        break;
    case Mode::CreateWrite:
        // Emptied below, once it is known to be a disk file: a device is
        // refused untouched.
        disposition = OPEN_ALWAYS;
        break;
    case Mode::Replace: {
        // The new file is made beside the name, then renamed over it: what
        // had the name (a link itself, never the file it leads to) goes
        // only once the new file is there, and a failure leaves it be.
        std::string tempPath;
        if (!CreateTemporaryBeside(path, tempPath))
            return false;
        if (!ReplaceFileWith(tempPath, path)) {
            const int error = errno;
            Close();
            ::DeleteFileW(WidePath(tempPath).c_str());
            m_failure = Failure::Other;
            errno = error;
            return false;
        }
        return true;
    }
    case Mode::CreateNew:
        disposition = CREATE_NEW;
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        break;
    }
    const HANDLE h = ::CreateFileW(native.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Fail();
    if (!Adopt(reinterpret_cast<std::intptr_t>(h)))
        return false;
    if (mode == Mode::CreateWrite) {
        if (!::SetEndOfFile(h)) {
            Close();
            m_failure = Failure::Other;
            return Fail();
        }
        m_openLength = 0;
    }
    return true;
}

bool CFile::Adopt(std::intptr_t handle)
{
    const HANDLE h = Handle(handle);
    BY_HANDLE_FILE_INFORMATION info;
    const bool disk = ::GetFileType(h) == FILE_TYPE_DISK;
    if (!disk || !::GetFileInformationByHandle(h, &info) || IsFolderAttr(info.dwFileAttributes)) {
        ::CloseHandle(h);
        m_failure = disk && IsFolderAttr(info.dwFileAttributes) ? Failure::Folder : Failure::NotRegular;
        errno = m_failure == Failure::Folder ? EISDIR : EINVAL;
        return false;
    }
    m_handle = handle;
    m_failure = Failure::None;
    m_id = IdOf(info);
    m_openLength = (std::int64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    return true;
}

bool CFile::CreateTemporaryBeside(const std::string& path, std::string& tempPath)
{
    Close();
    m_failure = Failure::Other;
    // The name is the one the file will be renamed to, and a ':' in it would
    // put the temporary into a stream of another file.
    if (!IsOrdinaryName(WidePath(path))) {
        m_failure = Failure::NotRegular;
        return RefuseName();
    }
    std::string native = path;
    for (char& c : native) {
        if (c == '/')
            c = '\\';
    }
    const std::size_t slash = native.rfind('\\');
    const std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    const std::string name = native.substr(folder.size()).substr(0, 200);
    std::random_device random;
    static constexpr char kDigits[] = "0123456789abcdef";
    // CREATE_NEW makes the name ours alone; a name already taken is retried.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + "." + name + ".";
        for (unsigned bits = random(), i = 0; i < 8; ++i, bits >>= 4)
            candidate += kDigits[bits & 0xF];
        const HANDLE h = ::CreateFileW(WidePath(candidate).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            tempPath = candidate;
            return Adopt(reinterpret_cast<std::intptr_t>(h));
        }
        if (::GetLastError() != ERROR_FILE_EXISTS)
            return Fail();
    }
    errno = EEXIST;
    return false;
}

void CFile::Close()
{
    if (m_handle != -1) {
        ::CloseHandle(Handle(m_handle));
        m_handle = -1;
        m_id = {};
        m_openLength = -1;
    }
}

std::int64_t CFile::Read(void* buffer, std::size_t size)
{
    if (m_handle == -1)
        return -1;
    DWORD got = 0;
    const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!::ReadFile(Handle(m_handle), buffer, want, &got, nullptr)) {
        Fail();
        return -1;
    }
    return got;
}

bool CFile::ReadAt(std::int64_t pos, void* buffer, std::size_t size)
{
    if (m_handle == -1 || pos < 0)
        return false;
    // A positioned read on a synchronous handle moves the file pointer;
    // put it back so ReadAt leaves Read's position alone, as pread does.
    LARGE_INTEGER zero{}, here{};
    if (!::SetFilePointerEx(Handle(m_handle), zero, &here, FILE_CURRENT))
        return Fail();
    auto* out = static_cast<char*>(buffer);
    bool ok = true;
    while (ok && size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(pos);
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(pos) >> 32);
        const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD got = 0;
        ok = ::ReadFile(Handle(m_handle), out, want, &got, &at) && got > 0;
        out += got;
        pos += got;
        size -= got;
    }
    ::SetFilePointerEx(Handle(m_handle), here, nullptr, FILE_BEGIN);
    return ok;
}

bool CFile::Write(const void* buffer, std::size_t size)
{
    if (m_handle == -1)
        return false;
    const auto* in = static_cast<const char*>(buffer);
    while (size > 0) {
        const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!::WriteFile(Handle(m_handle), in, want, &done, nullptr) || done == 0)
            return Fail();
        in += done;
        size -= done;
    }
    return true;
}

bool CFile::Seek(std::int64_t pos)
{
    LARGE_INTEGER to;
    to.QuadPart = pos;
    return m_handle != -1 && pos >= 0 && ::SetFilePointerEx(Handle(m_handle), to, nullptr, FILE_BEGIN);
}

bool CFile::SeekToEnd()
{
    LARGE_INTEGER zero{};
    return m_handle != -1 && ::SetFilePointerEx(Handle(m_handle), zero, nullptr, FILE_END);
}

bool CFile::Flush()
{
    return m_handle != -1 && ::FlushFileBuffers(Handle(m_handle));
}

std::int64_t CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (m_handle == -1 || !::GetFileSizeEx(Handle(m_handle), &size))
        return -1;
    return size.QuadPart;
}

bool CFile::IsRegularFile() const
{
    return m_handle != -1 && ::GetFileType(Handle(m_handle)) == FILE_TYPE_DISK;
}

bool CFile::IsSameFile(const CFile& other) const
{
    return m_handle != -1 && other.m_handle != -1 && m_id == other.m_id;
}

bool CFile::IsSameFile(const std::string& path) const
{
    return m_handle != -1 && GetFileId(path) == m_id;
}

// No permission bits to copy or set: a file's access comes from its folder.
bool CFile::CopyPermissionsFrom(const CFile& other)
{
    return m_handle != -1 && other.m_handle != -1;
}

bool CFile::SetPermissions(unsigned /*mode*/)
{
    return m_handle != -1;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    const FileId id = GetFileId(a);
    return id.exists && id == GetFileId(b);
}

FileId GetFileId(const std::string& path)
{
    return Probe(path, false).id;
}

bool CreateDirectoryAt(const std::string& path)
{
    if (::CreateDirectoryW(WidePath(path).c_str(), nullptr))
        return true;
    return ::GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path);
}

bool MoveFileTo(const std::string& from, const std::string& to)
{
    const std::wstring target = WidePath(to);
    if (!IsOrdinaryName(target))
        return RefuseName();
    // No MOVEFILE_REPLACE_EXISTING: an existing file is never replaced.
    return ::MoveFileExW(WidePath(from).c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED) || Fail();
}

bool DeleteFileAt(const std::string& path)
{
    if (::DeleteFileW(WidePath(path).c_str()))
        return true;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && IsFolderAttr(attributes);
}

bool IsRegularFileAt(const std::string& path)
{
    const CProbe probe = Probe(path, false);
    return probe.exists && probe.disk && !IsFolderAttr(probe.attributes);
}

bool IsSpecialEntry(const std::string& path)
{
    const CProbe probe = Probe(path, true);
    if (!probe.exists)
        return false;
    if (!probe.disk)
        return true;
    return IsFolderAttr(probe.attributes) && (probe.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

std::string GetCurrentFolder()
{
    std::error_code error;
    return Utf8(std::filesystem::current_path(error).wstring());
}

std::string NormalPath(const std::string& path, const std::string& base)
{
    std::filesystem::path full(WidePath(path));
    if (full.is_relative())
        full = std::filesystem::path(WidePath(base)) / full;
    std::string normal = Utf8(full.lexically_normal().wstring());
    for (char& c : normal) {
        if (c == '\\')
            c = '/';
    }
    return normal;
}

bool ReplaceFileWith(const std::string& from, const std::string& to)
{
    const std::wstring target = WidePath(to);
    if (!IsOrdinaryName(target))
        return RefuseName();
    return ::MoveFileExW(WidePath(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
        || Fail();
}

ReplaceResult ReplaceFileContents(const std::string& path, const std::string& data)
{
    if (path.empty())
        return ReplaceResult::CannotCreate;
    std::wstring target = WidePath(path);
    const CProbe probe = Probe(path, false);
    if (probe.exists && (!probe.disk || IsFolderAttr(probe.attributes)))
        return ReplaceResult::CannotCreate;
    // The file a link names is the one to replace: renaming over the link
    // would turn it into a plain file.
    if (probe.exists) {
        const HANDLE h = ::CreateFileW(target.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            wchar_t real[32768];
            const DWORD length = ::GetFinalPathNameByHandleW(h, real, 32768, FILE_NAME_NORMALIZED);
            if (length > 0 && length < 32768)
                target.assign(real, length);
            ::CloseHandle(h);
        }
    }
    CFile temp;
    std::string tempPath;
    if (!temp.CreateTemporaryBeside(Utf8(target), tempPath))
        return ReplaceResult::CannotCreate;
    const bool written = temp.Write(data.data(), data.size()) && temp.Flush();
    temp.Close();
    if (!written || !ReplaceFileWith(tempPath, Utf8(target))) {
        ::DeleteFileW(WidePath(tempPath).c_str());
        return ReplaceResult::CannotWrite;
    }
    return ReplaceResult::Replaced;
}
