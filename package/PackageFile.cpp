#include "package/PackageFile.h"

#include "script/Paths.h"
#include "script/StrUtil.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kCaption = "Editor";

std::string At(std::int64_t pos)
{
    return " at offset " + std::to_string(pos);
}

std::string Hex(std::int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

// What follows the last folder separator of path.
std::string_view LastPart(std::string_view path)
{
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string TooLarge(const std::string& path)
{
    return "Error : " + path + " would be larger than 2147483647 bytes. An installer must stay below 2 GiB.";
}

} // namespace

CPackageFile::CPackageFile(const std::string& path, IMessageBox& box) : m_box(box), m_strSelfPath(path)
{
    m_fileSelf.Open(path, CFile::Mode::Read);
}

std::int64_t CPackageFile::SelfLength() const
{
    return m_fileSelf.GetLength();
}

char* CPackageFile::Buffer()
{
    if (!m_buffer)
        m_buffer = std::make_unique_for_overwrite<char[]>(kCopyBufferSize);
    return m_buffer.get();
}

void CPackageFile::ShowError(const std::string& text)
{
    m_box.Show(text, kCaption, kBoxOk | kBoxIconError);
}

bool CPackageFile::IsPlainFileName(const std::string& name)
{
    return name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
}

// ---------------------------------------------------------------- reading

std::string CPackageFile::ReadNextText()
{
    const std::int64_t length = SelfLength();
    if (length < 0 || length > kMaxInstallerSize)
        return {};
    if (m_nTextPos == -1)
        m_nTextPos = static_cast<std::int32_t>(length);
    const std::int32_t pos = m_nTextPos;
    unsigned char field[8];
    if (pos < 8 || pos > length || !m_fileSelf.ReadAt(pos - 8, field, sizeof field))
        return {};
    // Texts are the last blocks of a package: in front of a file record or
    // the stub there is no further text, and searching on through bodies
    // would only find stray bytes.
    if (GetInt32(field + 4) != m_nTextMarker)
        return {};
    const std::int32_t textLength = GetInt32(field);
    if (textLength < 0 || textLength >= kTextLengthLimit || textLength > pos - 8)
        return {};
    const std::int32_t start = pos - 8 - textLength;
    std::string text(static_cast<std::size_t>(textLength), '\0');
    if (!m_fileSelf.ReadAt(start, text.data(), text.size()))
        return {};
    m_nTextPos = start;
    text.resize(std::strlen(text.c_str()));
    return text;
}

namespace {

// Reads a file from its end toward its start through one window, so a
// package of many small records costs a few reads rather than one a record.
class CBackwardReader {
public:
    explicit CBackwardReader(CFile& file) : m_file(file) {}

    // The size bytes at pos (size at most the window), or nullptr.
    const unsigned char* Get(std::int32_t pos, std::int32_t size)
    {
        if (pos < m_start || pos + size > m_start + static_cast<std::int32_t>(m_window.size())) {
            const std::int32_t end = pos + size;
            const std::int32_t start = std::max<std::int32_t>(0, end - kWindowSize);
            m_window.resize(static_cast<std::size_t>(end - start));
            if (!m_file.ReadAt(start, m_window.data(), m_window.size())) {
                m_window.clear();
                return nullptr;
            }
            m_start = start;
        }
        return m_window.data() + (pos - m_start);
    }

    bool GetInt(std::int32_t pos, std::int32_t& value)
    {
        const unsigned char* bytes = Get(pos, 4);
        if (bytes)
            value = GetInt32(bytes);
        return bytes != nullptr;
    }

private:
    static constexpr std::int32_t kWindowSize = 64 * 1024;
    CFile& m_file;
    std::vector<unsigned char> m_window;
    std::int32_t m_start = 0;
};

} // namespace

bool CPackageFile::WalkPackage(PackageLayout& layout)
{
    // Counted first, then filled: the entry list is allocated once at its
    // final size. Growing it step by step touches fresh memory over and
    // over, and holds the old list beside the new one while it moves.
    std::size_t count = 0;
    Walk(layout, [&count](PackageEntry&&) { ++count; });
    std::vector<PackageEntry> entries;
    entries.reserve(count);
    bool wellFormed = Walk(layout, [&entries](PackageEntry&& entry) { entries.push_back(std::move(entry)); });
    layout.entries = std::move(entries);
    // The installer reads the script as text, up to its first zero byte: a
    // script saved as UTF-16 would be read as a few bytes.
    if (wellFormed) {
        const PackageText& script = layout.texts.front();
        std::string text(static_cast<std::size_t>(script.nLength - 1), '\0');
        if (!m_fileSelf.ReadAt(script.nTextOffset, text.data(), text.size())) {
            layout.problem = "cannot read the file";
            wellFormed = false;
        } else if (const std::size_t zero = text.find('\0'); zero != std::string::npos) {
            layout.problem = "the script holds a zero byte" + At(script.nTextOffset + static_cast<std::int64_t>(zero))
                + ": the installer would read only " + std::to_string(zero) + " bytes of the script";
            wellFormed = false;
        }
    }
    return wellFormed;
}

bool CPackageFile::Walk(PackageLayout& layout, const std::function<void(PackageEntry&&)>& record)
{
    layout = PackageLayout{};
    auto problem = [&layout](const std::string& text) {
        if (layout.problem.empty())
            layout.problem = text;
        return false;
    };
    const std::int64_t length = SelfLength();
    layout.nFileLength = length;
    if (length < 0)
        return problem("cannot read the file");
    if (length < 4)
        return problem("no package: the file is shorter than 4 bytes");
    if (length > kMaxInstallerSize)
        return problem("the file is larger than 2147483647 bytes, more than the reader can address");

    CBackwardReader in(m_fileSelf);
    std::int32_t p = static_cast<std::int32_t>(length);
    std::int32_t value = 0;
    if (!in.GetInt(p - 4, value))
        return problem("cannot read the file");
    if (!IsMarker(value))
        return problem("no package: the last 4 bytes" + At(p - 4) + " are no package marker (" + Hex(value) + ")");
    layout.bHasPackage = true;

    // Text blocks first, stepped over by their lengths: a length that
    // happens to equal a marker is still a length.
    while (value == m_nTextMarker) {
        if (p < 8)
            return problem("truncated text block: no length field in front of the text marker" + At(p - 4));
        std::int32_t textLength = 0;
        if (!in.GetInt(p - 8, textLength))
            return problem("cannot read the file");
        if (textLength < 0 || textLength > p - 8)
            return problem("text length " + std::to_string(textLength) + At(p - 8) + " leads outside the file");
        const std::int32_t start = p - 8 - textLength;
        if (textLength == 0) {
            problem("text length 0" + At(p - 8) + ": a text block holds at least its zero byte");
        } else {
            const unsigned char* last = in.Get(p - 9, 1);
            if (!last)
                return problem("cannot read the file");
            if (*last != 0)
                problem("text block" + At(start) + " does not end in a zero byte");
        }
        if (textLength >= kTextLengthLimit)
            problem("text length " + std::to_string(textLength) + At(p - 8) + " is 300000 or more; the reader takes it for no text");
        layout.texts.push_back({start, textLength});
        p = start;
        if (p < 4)
            return problem("no stub-end marker: the text blocks reach the start of the file");
        if (!in.GetInt(p - 4, value))
            return problem("cannot read the file");
    }
    if (layout.texts.size() != 2)
        problem(std::to_string(layout.texts.size()) + " text blocks at the end of the file; a package ends in 2 (compile line, script)");

    // Then the file records, each ending in its marker, down to the stub-end
    // marker. Every step moves toward the start of the file.
    for (;;) {
        if (p < 4)
            return problem("no stub-end marker: the file records reach the start of the file");
        if (!in.GetInt(p - 4, value))
            return problem("cannot read the file");
        if (value == m_nStubMarker) {
            layout.nStubLength = p - 4;
            return layout.problem.empty();
        }
        if (value != m_nFileMarker)
            return problem("no file marker or stub-end marker" + At(p - 4) + " (found " + Hex(value) + ")");
        const unsigned char* fields = p >= 12 ? in.Get(p - 12, 8) : nullptr;
        if (!fields)
            return problem("truncated file record: no length fields in front of the file marker" + At(p - 4));
        const std::int32_t nameLength = GetInt32(fields);
        const std::int32_t bodyLength = GetInt32(fields + 4);
        if (nameLength < 1 || nameLength > static_cast<std::int32_t>(kNameSize))
            return problem("name length " + std::to_string(nameLength) + At(p - 12) + " is outside 1 to 260");
        const std::int32_t nameStart = p - 12 - nameLength;
        if (nameStart < 0)
            return problem("name length " + std::to_string(nameLength) + At(p - 12) + " leads outside the file");
        const unsigned char* name = in.Get(nameStart, nameLength);
        if (!name)
            return problem("cannot read the file");
        if (name[nameLength - 1] != 0)
            return problem("stored name" + At(nameStart) + " has no zero byte at its end");
        if (bodyLength < 0 || bodyLength > nameStart)
            return problem("body length " + std::to_string(bodyLength) + At(p - 8) + " leads outside the file");
        PackageEntry entry;
        entry.nBodyOffset = nameStart - bodyLength;
        entry.nNameOffset = nameStart;
        entry.nBodyLength = bodyLength;
        entry.strName.assign(reinterpret_cast<const char*>(name), ::strnlen(reinterpret_cast<const char*>(name), static_cast<std::size_t>(nameLength)));
        if (!IsPlainFileName(entry.strName))
            problem("stored name \"" + entry.strName + "\"" + At(nameStart) + " is not a plain file name");
        record(std::move(entry));
        p = entry.nBodyOffset;
    }
}

void CPackageFile::LoadDirectory()
{
    // A damaged package keeps the entries found behind the damage; the
    // walk never leaves the file and always ends.
    PackageLayout layout;
    WalkPackage(layout);
    TakeDirectory(layout);
}

void CPackageFile::TakeDirectory(PackageLayout& layout)
{
    m_entries = std::move(layout.entries);
    layout.entries.clear();
    m_bDirLoaded = true;
}

int CPackageFile::FindEntry(const std::string& name)
{
    if (!m_bDirLoaded)
        LoadDirectory();
    return FindEntryIn(m_entries, name);
}

int CPackageFile::FindEntryIn(const std::vector<PackageEntry>& entries, const std::string& name)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (str::Contains(entries[i].strName, name))
            return static_cast<int>(i);
    }
    return -1;
}

bool CPackageFile::ExtractFile(const std::string& name, const std::string& dest)
{
    const int index = FindEntry(name);
    if (index < 0) {
        ShowError("Cannot find " + name + " in this file.");
        return false;
    }
    const PackageEntry entry = m_entries[static_cast<std::size_t>(index)];
    if (!dest.empty() && dest.back() == '\\')
        return ExtractEntryInto(entry, dest);
    // A name put into the destination by the caller must not lead out of
    // the folder the script names either.
    if (str::EndsWith(dest, name) && !IsPlainFileName(name)) {
        ShowError("Cannot extract " + name + ": a stored name must be a plain file name.");
        return false;
    }
    return ExtractEntry(entry, dest, false);
}

bool CPackageFile::ExtractEntryInto(const PackageEntry& entry, const std::string& folder)
{
    // A stored name that becomes part of the destination must not lead out
    // of the folder.
    if (!IsPlainFileName(entry.strName)) {
        ShowError("Cannot extract " + entry.strName + ": a stored name must be a plain file name.");
        return false;
    }
    return ExtractEntry(entry, folder + entry.strName, true);
}

std::size_t CPackageFile::ExtractAll(const std::string& folder, const std::function<void(const PackageEntry&)>& failed)
{
    if (!m_bDirLoaded)
        LoadDirectory();
    // Each entry's own body, the file added first written first: where
    // names repeat, the one added last stays, as ExtractFile finds it.
    std::size_t written = 0;
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        if (ExtractEntryInto(*entry, folder))
            ++written;
        else if (failed)
            failed(*entry);
    }
    return written;
}

bool CPackageFile::IsExecutableBody(const char* start, std::size_t size)
{
    return (size >= 4 && std::memcmp(start, "\x7F" "ELF", 4) == 0) || (size >= 2 && std::memcmp(start, "#!", 2) == 0);
}

bool CPackageFile::ExtractEntry(const PackageEntry& entry, const std::string& dest, bool replace)
{
    // The first block is read before the file is created: it decides
    // whether the file is a program, and the package stores no modes.
    char* buffer = Buffer();
    std::int64_t pos = entry.nBodyOffset;
    std::int64_t left = entry.nBodyLength;
    // Reads at a position: no seek per file.
    const auto readNext = [this, buffer, &pos, &left]() -> std::int64_t {
        const std::int64_t n = std::min<std::int64_t>(left, kCopyBufferSize);
        if (!m_fileSelf.ReadAt(pos, buffer, static_cast<std::size_t>(n)))
            return 0;
        pos += n;
        return n;
    };
    std::int64_t n = left > 0 ? readNext() : 0;

    // Writing over the package being read would destroy it before it is read.
    // Where nothing has the name yet (a fresh folder), the exclusive create
    // alone settles that, without looking at the name first.
    const bool executable = n > 0 && IsExecutableBody(buffer, static_cast<std::size_t>(n));
    CFile out;
    const bool created = replace && out.Open(dest, CFile::Mode::CreateNew, executable);
    if (!created
        && (m_fileSelf.IsSameFile(dest)
            || !out.Open(dest, replace ? CFile::Mode::Replace : CFile::Mode::CreateWrite, executable))) {
        switch (out.GetOpenFailure()) {
        case CFile::Failure::Folder:
            ShowError("Cannot create " + dest + ": a folder of that name is in the way.");
            break;
        case CFile::Failure::NotRegular:
            ShowError("Cannot create " + dest + ": it is not a regular file.");
            break;
        default:
            ShowError("Cannot create " + dest + ".");
        }
        return false;
    }
    std::string error;
    while (left > 0 && n > 0) {
        if (!out.Write(buffer, static_cast<std::size_t>(n))) {
            error = "Cannot write " + dest + ". Perhaps the disk is full.";
            break;
        }
        left -= n;
        if (left > 0)
            n = readNext();
    }
    if (error.empty() && left != 0)
        error = "Cannot read " + entry.strName + " from " + m_strSelfPath + ".";
    if (error.empty())
        return true;
    // A part of a file is not the file: remove it.
    out.Close();
    DeleteFileAt(dest);
    ShowError(error);
    return false;
}

// ---------------------------------------------------------------- writing

std::string CPackageFile::GetStoredName(const std::string& path)
{
    return GetFileNamePart(path);
}

std::string CPackageFile::GetOutputError(const std::string& fallback) const
{
    return m_strOutError.empty() ? fallback : m_strOutError;
}

bool CPackageFile::FailOutput(const std::string& message)
{
    m_strOutError = message;
    CloseOutput();
    return false;
}

// The installer is written through one buffer: many small files become a
// few large writes instead of two each (body and record).
char* CPackageFile::OutSpace(std::size_t& room)
{
    if (!m_outBuffer)
        m_outBuffer = std::make_unique_for_overwrite<char[]>(kCopyBufferSize);
    if (kCopyBufferSize - m_outFill < kMinReadRoom && !FlushOut())
        return nullptr;
    room = kCopyBufferSize - m_outFill;
    return m_outBuffer.get() + m_outFill;
}

void CPackageFile::CommitOut(std::size_t size)
{
    m_outFill += size;
    m_nOutLength += static_cast<std::int64_t>(size);
}

bool CPackageFile::FlushOut()
{
    const std::size_t fill = m_outFill;
    m_outFill = 0;
    if (fill > 0 && !m_fileOut.Write(m_outBuffer.get(), fill))
        return FailOutput("Error : Cannot write " + m_strOutPath + ". Perhaps the disk is full.");
    return true;
}

bool CPackageFile::WriteOut(const void* data, std::size_t size)
{
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
        std::size_t room = 0;
        char* space = OutSpace(room);
        if (!space)
            return false;
        const std::size_t n = std::min(room, size);
        std::memcpy(space, in, n);
        CommitOut(n);
        in += n;
        size -= n;
    }
    return true;
}

bool CPackageFile::CreateOutput(const std::string& path)
{
    m_strOutError.clear();
    CloseOutput();
    const std::int64_t stubLength = SelfLength();
    if (stubLength < 0) {
        m_strOutError = "Error : Cannot read " + m_strSelfPath + ".";
        return false;
    }
    if (stubLength + 4 > kMaxInstallerSize) {
        m_strOutError = TooLarge(path);
        return false;
    }
    // The stub itself is never the output: replacing it would lose the
    // program that builds.
    if (m_fileSelf.IsSameFile(path))
        return false;
    // The new installer is written beside the output under another name and
    // takes the output's name only once it is complete: a failed build
    // leaves what was there. A pipe, device or folder of that name is left
    // alone; a link is replaced, never written through.
    if (IsSpecialEntry(path)) {
        m_strOutError = "Error : Cannot write the installer to " + path + ": it is not a regular file.";
        return false;
    }
    if (!m_fileOut.CreateTemporaryBeside(path, m_strTempPath))
        return false;
    m_strOutPath = path;
    m_outId = GetFileId(path);
    m_strCurrentFolder = GetCurrentFolder();
    m_strOutFullPath = NormalPath(path, m_strCurrentFolder);
    m_nOutLength = 0;
    // An installer starts as the program that built it does.
    m_fileOut.CopyPermissionsFrom(m_fileSelf);

    m_outFill = 0;
    if (!m_fileSelf.Seek(0))
        return FailOutput("Error : Cannot read " + m_strSelfPath + ".");
    while (m_nOutLength < stubLength) {
        std::size_t room = 0;
        char* space = OutSpace(room);
        if (!space)
            return false;
        const std::int64_t n = m_fileSelf.Read(space, static_cast<std::size_t>(std::min<std::int64_t>(stubLength - m_nOutLength, static_cast<std::int64_t>(room))));
        if (n < 0)
            return FailOutput("Error : Cannot read " + m_strSelfPath + ".");
        if (n == 0)
            break;
        CommitOut(static_cast<std::size_t>(n));
    }
    unsigned char marker[4];
    PutInt32(marker, static_cast<std::uint32_t>(m_nStubMarker));
    return WriteOut(marker, sizeof marker);
}

bool CPackageFile::AddFile(const std::string& path, const CopyProgress& progress)
{
    const std::string isOutput = "Error : Cannot add " + path + " to sfx: it is the output file.";
    // By name first: the output may not exist yet. Only a path whose last
    // part is the output's own name, or a dot, can name it; the full path,
    // which is costly, is worked out only for those.
    const std::string_view last = LastPart(path);
    const bool mayNameOutput = last.empty() || last == "." || last == ".." || last == LastPart(m_strOutFullPath);
    if (mayNameOutput && NormalPath(path, m_strCurrentFolder) == m_strOutFullPath)
        return FailOutput(isOutput);
    CFile in;
    if (!in.Open(path, CFile::Mode::Read)) {
        if (in.GetOpenFailure() == CFile::Failure::Other)
            return false;
        return FailOutput("Error : Cannot add " + path + " to sfx: it is not a regular file (a folder, pipe or device).");
    }
    if (m_outId.exists && in.GetId() == m_outId)
        return FailOutput(isOutput);
    const std::string name = GetStoredName(path);
    const std::int64_t recordExtra = static_cast<std::int64_t>(name.size()) + 1 + 12;
    const std::int64_t total = in.GetLengthAtOpen();
    if (m_nOutLength + total + recordExtra > kMaxInstallerSize)
        return FailOutput(TooLarge(m_strOutPath));

    // A file larger than the room left starts at the front of the buffer:
    // it is then copied in whole-buffer reads and writes, as in a plain copy.
    if (total > static_cast<std::int64_t>(kCopyBufferSize - m_outFill) && !FlushOut())
        return false;
    std::int64_t copied = 0;
    for (;;) {
        std::size_t room = 0;
        char* space = OutSpace(room);
        if (!space)
            return false;
        const std::int64_t n = in.Read(space, room);
        if (n < 0)
            return FailOutput("Error : Cannot read " + path + ".");
        if (n == 0)
            break;
        // The file may grow while it is copied; the limit holds all the same.
        if (m_nOutLength + n + recordExtra > kMaxInstallerSize)
            return FailOutput(TooLarge(m_strOutPath));
        CommitOut(static_cast<std::size_t>(n));
        copied += n;
        if (progress)
            progress(copied, std::max(total, copied));
        // A plain file reads short only at its end: with all of its length
        // read, asking again for the end would cost a call per file.
        if (static_cast<std::size_t>(n) < room && copied == total)
            break;
    }
    // A file written to while it is packed would be packed torn.
    if (copied != total)
        return FailOutput("Error : " + path + " changed while it was packed (" + std::to_string(total) + " bytes, then "
                          + std::to_string(copied) + "). Build again once it is complete.");

    std::string record = name;
    record.append(13, '\0');
    auto* fields = reinterpret_cast<unsigned char*>(record.data() + name.size() + 1);
    PutInt32(fields, static_cast<std::uint32_t>(name.size() + 1));
    PutInt32(fields + 4, static_cast<std::uint32_t>(copied));
    PutInt32(fields + 8, static_cast<std::uint32_t>(m_nFileMarker));
    return WriteOut(record.data(), record.size());
}

bool CPackageFile::AddText(const std::string& text)
{
    if (m_nOutLength + static_cast<std::int64_t>(text.size()) + 9 > kMaxInstallerSize)
        return FailOutput(TooLarge(m_strOutPath));
    unsigned char fields[9] = {};
    PutInt32(fields + 1, static_cast<std::uint32_t>(text.size() + 1));
    PutInt32(fields + 5, static_cast<std::uint32_t>(m_nTextMarker));
    return WriteOut(text.data(), text.size()) && WriteOut(fields, sizeof fields);
}

bool CPackageFile::FinishOutput()
{
    // On the disk before it takes the name: a crash then leaves the old
    // installer or the new one, never a torn one.
    if (!FlushOut())
        return false;
    if (!m_fileOut.Flush())
        return FailOutput("Error : Cannot write " + m_strOutPath + ". Perhaps the disk is full.");
    m_fileOut.Close();
    if (!ReplaceFileWith(m_strTempPath, m_strOutPath))
        return FailOutput("Error : Cannot replace " + m_strOutPath + ".");
    m_strTempPath.clear();
    return true;
}

void CPackageFile::CloseOutput()
{
    // An unfinished installer is of no use, and may be large: remove it.
    m_fileOut.Close();
    m_outFill = 0;
    if (!m_strTempPath.empty())
        DeleteFileAt(m_strTempPath);
    m_strTempPath.clear();
}
