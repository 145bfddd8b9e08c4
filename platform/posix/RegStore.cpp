#include "platform/posix/RegStore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

constexpr const char* kMachineFolder = "/var/lib/sfxpack/registry";
constexpr std::string_view kHeader = "REGEDIT4";

// The user's hives are private to the user, as the user's registry is on
// Windows; the machine-wide ones are readable by everyone.
constexpr mode_t kUserFolderMode = 0700;
constexpr mode_t kUserFileMode = 0600;
constexpr mode_t kMachineFolderMode = 0755;
constexpr mode_t kMachineFileMode = 0644;

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Folded(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        c = LowerAscii(c);
    return folded;
}

// Values and subkeys keep their order in vectors; the indexes find them by
// case-folded name, so parsing and changing a hive stay linear in its size.
struct CRegKey {
    std::string name;
    std::vector<CRegValue> values;
    std::vector<CRegKey> subkeys;
    std::unordered_map<std::string, std::size_t> valueIndex;
    std::unordered_map<std::string, std::size_t> subkeyIndex;
};

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool ValidKeyName(std::string_view name)
{
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

bool ValidValueName(std::string_view name)
{
    return name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// Splits a key path at backslashes, skipping empty names. False when a name
// holds a character a section line could not carry.
bool SplitKeyPath(std::string_view path, std::vector<std::string>& names)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view name = path.substr(start, end - start);
        if (!ValidKeyName(name))
            return false;
        if (!name.empty())
            names.emplace_back(name);
        start = end + 1;
    }
    return true;
}

CRegKey* FindSubkey(CRegKey& key, std::string_view name)
{
    const auto found = key.subkeyIndex.find(Folded(name));
    return found == key.subkeyIndex.end() ? nullptr : &key.subkeys[found->second];
}

CRegKey* FindKey(CRegKey& hive, const std::vector<std::string>& names)
{
    CRegKey* key = &hive;
    for (const std::string& name : names) {
        key = FindSubkey(*key, name);
        if (!key)
            return nullptr;
    }
    return key;
}

// The key at names, created with every missing key on the way.
CRegKey& EnsureKey(CRegKey& hive, const std::vector<std::string>& names, bool& changed)
{
    CRegKey* key = &hive;
    for (const std::string& name : names) {
        const auto [slot, added] = key->subkeyIndex.try_emplace(Folded(name), key->subkeys.size());
        if (added) {
            key->subkeys.push_back(CRegKey{name, {}, {}, {}, {}});
            changed = true;
        }
        key = &key->subkeys[slot->second];
    }
    return *key;
}

// Replaces a value of the same name (keeping its place and the name's first
// case) or appends a new one.
void PutValue(CRegKey& key, CRegValue value, bool& changed)
{
    const auto [slot, added] = key.valueIndex.try_emplace(Folded(value.name), key.values.size());
    if (added) {
        key.values.push_back(std::move(value));
        changed = true;
        return;
    }
    CRegValue& old = key.values[slot->second];
    if (old.type != value.type || old.data != value.data) {
        old.type = value.type;
        old.data = std::move(value.data);
        changed = true;
    }
}

// ---- REGEDIT4 text ----

void AppendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

void AppendHexByte(std::string& out, unsigned byte)
{
    constexpr char kDigits[] = "0123456789abcdef";
    out += kDigits[(byte >> 4) & 0xF];
    out += kDigits[byte & 0xF];
}

// A REG_SZ is written as a quoted string when the text round-trips through
// one: exactly one terminating zero and no line break.
bool IsPlainString(const CRegValue& value)
{
    const std::string& data = value.data;
    if (value.type != kRegString || data.empty() || data.back() != '\0')
        return false;
    return data.find_first_of(std::string_view("\r\n\0", 3)) == data.size() - 1;
}

void AppendValue(std::string& out, const CRegValue& value)
{
    if (value.name.empty())
        out += '@';
    else
        AppendQuoted(out, value.name);
    out += '=';
    if (IsPlainString(value)) {
        AppendQuoted(out, std::string_view(value.data).substr(0, value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        out += "dword:";
        for (int i = 3; i >= 0; --i)
            AppendHexByte(out, static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]));
    } else {
        if (value.type == 3) { // REG_BINARY
            out += "hex:";
        } else {
            char type[16];
            std::snprintf(type, sizeof type, "hex(%x):", value.type);
            out += type;
        }
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            if (i)
                out += ',';
            AppendHexByte(out, static_cast<unsigned char>(value.data[i]));
        }
    }
    out += '\n';
}

void AppendKey(std::string& out, const CRegKey& key, const std::string& path)
{
    out += '[';
    out += path;
    out += "]\n";
    for (const CRegValue& value : key.values)
        AppendValue(out, value);
    out += '\n';
    for (const CRegKey& sub : key.subkeys)
        AppendKey(out, sub, path + '\\' + sub.name);
}

std::string FormatHive(const CRegKey& hive, const std::string& rootName)
{
    std::string out(kHeader);
    out += "\n\n";
    AppendKey(out, hive, rootName);
    return out;
}

class CHiveParser {
public:
    CHiveParser(std::string_view text, const std::string& rootName, CRegKey& hive)
        : m_text(text), m_rootName(rootName), m_hive(hive)
    {
    }

    // False with error set to "line N: what" when the text is no hive of this root.
    bool Parse(std::string& error)
    {
        if (m_text.empty())
            return true;
        std::string_view line;
        if (!NextLine(line) || Trimmed(line) != kHeader)
            return Fail(error, "the first line is not " + std::string(kHeader));
        CRegKey* key = nullptr;
        while (NextLine(line)) {
            line = Trimmed(line);
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[') {
                key = Section(line);
                if (!key)
                    return Fail(error, "bad key line (expected [" + m_rootName + "\\...])");
            } else if (line.front() == '"' || line.front() == '@') {
                if (!key)
                    return Fail(error, "a value before the first key");
                if (!Value(line, *key))
                    return Fail(error, "bad value line");
            } else {
                return Fail(error, "neither a key nor a value");
            }
        }
        return true;
    }

private:
    bool Fail(std::string& error, const std::string& what) const
    {
        error = "line " + std::to_string(m_lineNumber) + ": " + what;
        return false;
    }

    static std::string_view Trimmed(std::string_view line)
    {
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos)
            return {};
        return line.substr(first, line.find_last_not_of(" \t") - first + 1);
    }

    // The next line without its LF or CR LF; false at the end of the text.
    bool NextLine(std::string_view& line)
    {
        if (m_pos >= m_text.size())
            return false;
        std::size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos)
            end = m_text.size();
        line = m_text.substr(m_pos, end - m_pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_pos = end + 1;
        ++m_lineNumber;
        return true;
    }

    // "[ROOT\a\b]": the key, created with its parents as an import would.
    CRegKey* Section(std::string_view line)
    {
        if (line.size() < 2 || line.back() != ']')
            return nullptr;
        const std::string_view path = line.substr(1, line.size() - 2);
        const std::string_view root = path.substr(0, path.find('\\'));
        if (!EqualNoCase(root, m_rootName))
            return nullptr;
        std::vector<std::string> names;
        if (!SplitKeyPath(path.substr(root.size()), names))
            return nullptr;
        bool changed = false;
        return &EnsureKey(m_hive, names, changed);
    }

    // A quoted string at the front of text, unescaped; text moves past it.
    static bool Quoted(std::string_view& text, std::string& out)
    {
        if (text.empty() || text.front() != '"')
            return false;
        for (std::size_t i = 1; i < text.size(); ++i) {
            char c = text[i];
            if (c == '"') {
                text.remove_prefix(i + 1);
                return true;
            }
            if (c == '\\') {
                if (++i == text.size() || (text[i] != '\\' && text[i] != '"'))
                    return false;
                c = text[i];
            }
            out += c;
        }
        return false;
    }

    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        c = LowerAscii(c);
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    }

    // 1 to maxDigits hex digits, the whole of text.
    static bool HexNumber(std::string_view text, std::size_t maxDigits, std::uint32_t& number)
    {
        if (text.empty() || text.size() > maxDigits)
            return false;
        number = 0;
        for (char c : text) {
            const int digit = HexDigit(c);
            if (digit < 0)
                return false;
            number = number * 16 + static_cast<std::uint32_t>(digit);
        }
        return true;
    }

    // "01,02,ff": bytes; a line ending in '\' continues on the next line.
    bool HexBytes(std::string_view text, std::string& data)
    {
        for (;;) {
            text = Trimmed(text);
            const bool continued = !text.empty() && text.back() == '\\';
            if (continued)
                text = Trimmed(text.substr(0, text.size() - 1));
            while (!text.empty()) {
                const std::size_t comma = text.find(',');
                std::uint32_t byte = 0;
                if (!HexNumber(Trimmed(text.substr(0, comma)), 2, byte))
                    return false;
                data += static_cast<char>(byte);
                if (comma == std::string_view::npos)
                    break;
                text.remove_prefix(comma + 1);
                // A trailing comma is allowed only before a continuation.
                if (Trimmed(text).empty() && !continued)
                    return false;
                text = Trimmed(text);
            }
            if (!continued)
                return true;
            if (!NextLine(text))
                return false;
        }
    }

    bool Value(std::string_view line, CRegKey& key)
    {
        CRegValue value;
        if (line.front() == '@')
            line.remove_prefix(1);
        else if (!Quoted(line, value.name) || value.name.empty())
            return false;
        line = Trimmed(line);
        if (line.empty() || line.front() != '=')
            return false;
        line = Trimmed(line.substr(1));
        if (!line.empty() && line.front() == '"') {
            value.type = kRegString;
            if (!Quoted(line, value.data) || !Trimmed(line).empty())
                return false;
            value.data += '\0';
        } else if (line.substr(0, 6) == "dword:") {
            std::uint32_t number = 0;
            if (!HexNumber(line.substr(6), 8, number))
                return false;
            value.type = kRegDword;
            for (int i = 0; i < 4; ++i)
                value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
        } else if (line.substr(0, 4) == "hex:") {
            value.type = 3;
            if (!HexBytes(line.substr(4), value.data))
                return false;
        } else if (line.substr(0, 4) == "hex(") {
            const std::size_t close = line.find("):");
            if (close == std::string_view::npos || !HexNumber(line.substr(4, close - 4), 8, value.type))
                return false;
            if (!HexBytes(line.substr(close + 2), value.data))
                return false;
        } else {
            return false;
        }
        bool changed = false;
        PutValue(key, std::move(value), changed);
        return true;
    }

    std::string_view m_text;
    const std::string& m_rootName;
    CRegKey& m_hive;
    std::size_t m_pos = 0;
    int m_lineNumber = 0;
};

// ---- files ----

std::string ErrnoText()
{
    return std::strerror(errno);
}

std::string FolderOf(const std::string& file)
{
    return file.substr(0, file.rfind('/'));
}

// Creates folder and its missing parents.
bool MakeFolders(const std::string& folder, mode_t mode, std::string& error)
{
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/')
            continue;
        const std::string part = folder.substr(0, pos);
        if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) {
            error = "cannot create folder " + part + ": " + ErrnoText();
            return false;
        }
    }
    return true;
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& text, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        error = "cannot read " + path + ": " + ErrnoText();
        return ReadResult::Failed;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = "cannot read " + path + ": " + ErrnoText();
            ::close(fd);
            return ReadResult::Failed;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ReadResult::Ok;
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Replaces path with text so that readers and a crash see either the old or
// the new file: write a temporary file beside it, sync, rename, sync the
// folder. The caller holds the hive's lock, so one temporary name serves.
bool ReplaceFile(const std::string& path, const std::string& text, mode_t newMode, std::string& error)
{
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : newMode;
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0) {
        error = "cannot write " + temp + ": " + ErrnoText();
        return false;
    }
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    if (!ok)
        error = "cannot write " + temp + ": " + ErrnoText();
    if (::close(fd) != 0 && ok) {
        error = "cannot write " + temp + ": " + ErrnoText();
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + ErrnoText();
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

// Holds an exclusive flock on a lock file for as long as it lives.
class CHiveLock {
public:
    CHiveLock(const std::string& path, mode_t mode, std::string& error)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, mode);
        int locked = -1;
        if (m_fd >= 0) {
            while ((locked = ::flock(m_fd, LOCK_EX)) != 0 && errno == EINTR) {
            }
        }
        if (locked != 0) {
            error = "cannot lock " + path + ": " + ErrnoText();
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = -1;
        }
    }
    ~CHiveLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CHiveLock(const CHiveLock&) = delete;
    CHiveLock& operator=(const CHiveLock&) = delete;

    bool IsLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Reads and parses a hive file; a missing file is an empty hive.
bool LoadHive(const std::string& path, const std::string& rootName, CRegKey& hive, std::string& error)
{
    hive = CRegKey{rootName, {}, {}, {}, {}};
    std::string text;
    const ReadResult read = ReadWholeFile(path, text, error);
    if (read == ReadResult::Failed)
        return false;
    if (read == ReadResult::Missing)
        return true;
    std::string why;
    if (!CHiveParser(text, rootName, hive).Parse(why)) {
        error = "cannot parse " + path + ", " + why;
        return false;
    }
    return true;
}

struct CHiveFile {
    std::string path;
    std::string rootName;
    mode_t folderMode;
    mode_t fileMode;
};

CHiveFile HiveFileOf(const CRegStore& store, RegKey root)
{
    const bool user = root == kRegCurrentUser;
    return CHiveFile{store.HivePath(root), CRegStore::RootName(root), user ? kUserFolderMode : kMachineFolderMode,
                     user ? kUserFileMode : kMachineFileMode};
}

// Applies change to the hive under its lock and writes the hive back when
// change reports that something changed. change returns false to refuse.
template <class Change>
bool ModifyHive(const CHiveFile& file, Change change, std::string& error)
{
    if (!MakeFolders(FolderOf(file.path), file.folderMode, error))
        return false;
    const CHiveLock lock(file.path.substr(0, file.path.size() - 4) + ".lock", file.fileMode, error);
    if (!lock.IsLocked())
        return false;
    CRegKey hive;
    if (!LoadHive(file.path, file.rootName, hive, error)) {
        error += "; the file was left unchanged";
        return false;
    }
    bool changed = false;
    if (!change(hive, changed))
        return false;
    return !changed || ReplaceFile(file.path, FormatHive(hive, file.rootName), file.fileMode, error);
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

} // namespace

CRegStore::CRegStore(std::string userFolder, std::string machineFolder)
    : m_userFolder(std::move(userFolder)), m_machineFolder(std::move(machineFolder))
{
}

CRegStore CRegStore::Default()
{
    // Relative values of XDG_DATA_HOME are invalid and ignored, as the XDG
    // base directory rules say.
    std::string data;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        data = xdg;
    } else {
        const std::string home = HomeFolder();
        if (!home.empty())
            data = home + "/.local/share";
    }
    return CRegStore(data.empty() ? std::string() : data + "/sfxpack/registry", kMachineFolder);
}

std::string CRegStore::RootName(RegKey root)
{
    switch (root) {
    case kRegClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case kRegCurrentUser:
        return "HKEY_CURRENT_USER";
    case kRegLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case kRegUsers:
        return "HKEY_USERS";
    case kRegCurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    default:
        return {};
    }
}

std::string CRegStore::HivePath(RegKey root) const
{
    const std::string name = RootName(root);
    const std::string& folder = root == kRegCurrentUser ? m_userFolder : m_machineFolder;
    if (name.empty() || folder.empty())
        return {};
    return folder + "/" + name + ".reg";
}

std::optional<CRegStore::CKeyPath> CRegStore::Resolve(RegKey root, const std::string& path)
{
    CKeyPath key;
    if (!RootName(root).empty()) {
        key.root = root;
    } else {
        const auto open = m_handles.find(root);
        if (open == m_handles.end()) {
            m_error = "not an open key";
            return std::nullopt;
        }
        key = open->second;
    }
    if (!SplitKeyPath(path, key.names)) {
        m_error = "a key name cannot hold control characters";
        return std::nullopt;
    }
    if (HivePath(key.root).empty()) {
        m_error = "no folder for " + RootName(key.root) + " (neither XDG_DATA_HOME nor HOME is set)";
        return std::nullopt;
    }
    return key;
}

RegKey CRegStore::NewHandle(CKeyPath path)
{
    const RegKey handle = m_nextHandle++;
    m_handles.emplace(handle, std::move(path));
    return handle;
}

std::string CRegStore::Describe(const CKeyPath& key) const
{
    std::string text = RootName(key.root);
    for (const std::string& name : key.names)
        text += '\\' + name;
    return text;
}

std::optional<RegKey> CRegStore::CreateKey(RegKey root, const std::string& path)
{
    m_error.clear();
    std::optional<CKeyPath> key = Resolve(root, path);
    if (!key)
        return std::nullopt;
    const bool ok = ModifyHive(
        HiveFileOf(*this, key->root),
        [&](CRegKey& hive, bool& changed) {
            EnsureKey(hive, key->names, changed);
            return true;
        },
        m_error);
    if (!ok)
        return std::nullopt;
    return NewHandle(std::move(*key));
}

std::optional<RegKey> CRegStore::OpenKey(RegKey root, const std::string& path)
{
    m_error.clear();
    std::optional<CKeyPath> key = Resolve(root, path);
    if (!key)
        return std::nullopt;
    // Readers need no lock: a hive is only ever replaced whole, by rename.
    CRegKey hive;
    if (!LoadHive(HivePath(key->root), RootName(key->root), hive, m_error))
        return std::nullopt;
    if (!FindKey(hive, key->names)) {
        m_error = "no key " + Describe(*key);
        return std::nullopt;
    }
    return NewHandle(std::move(*key));
}

bool CRegStore::SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::string& data)
{
    m_error.clear();
    if (!ValidValueName(name)) {
        m_error = "a value name cannot hold line breaks or zero bytes";
        return false;
    }
    const std::optional<CKeyPath> path = Resolve(key, {});
    if (!path)
        return false;
    return ModifyHive(
        HiveFileOf(*this, path->root),
        [&](CRegKey& hive, bool& changed) {
            CRegKey* target = FindKey(hive, path->names);
            if (!target) {
                m_error = "no key " + Describe(*path);
                return false;
            }
            PutValue(*target, CRegValue{name, type, data}, changed);
            return true;
        },
        m_error);
}

void CRegStore::CloseKey(RegKey key)
{
    m_handles.erase(key);
}

bool CRegStore::QueryValues(RegKey root, const std::string& path, std::vector<CRegValue>& values)
{
    m_error.clear();
    const std::optional<CKeyPath> key = Resolve(root, path);
    if (!key)
        return false;
    CRegKey hive;
    if (!LoadHive(HivePath(key->root), RootName(key->root), hive, m_error))
        return false;
    const CRegKey* found = FindKey(hive, key->names);
    if (!found) {
        m_error = "no key " + Describe(*key);
        return false;
    }
    values = found->values;
    return true;
}

bool CRegStore::QueryValue(RegKey root, const std::string& path, const std::string& name, CRegValue& value)
{
    std::vector<CRegValue> values;
    if (!QueryValues(root, path, values))
        return false;
    for (CRegValue& candidate : values) {
        if (EqualNoCase(candidate.name, name)) {
            value = std::move(candidate);
            return true;
        }
    }
    const std::optional<CKeyPath> key = Resolve(root, path);
    m_error = (name.empty() ? "no default value" : "no value \"" + name + "\"") + " in " + Describe(*key);
    return false;
}

bool CRegStore::ExportHive(RegKey root, std::string& text)
{
    m_error.clear();
    const std::optional<CKeyPath> key = Resolve(root, {});
    if (!key)
        return false;
    CRegKey hive;
    if (!LoadHive(HivePath(key->root), RootName(key->root), hive, m_error))
        return false;
    text = FormatHive(hive, RootName(key->root));
    return true;
}
