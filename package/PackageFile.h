// CPackageFile: the one object through which the program touches its own
// executable. It reads the package appended to that file (texts from the end,
// the entry list, file bodies) and writes new installers: a copy of that file
// as the stub, then the records and texts of the new package.
#pragma once

#include "package/PackageFormat.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct PackageEntry {
    std::int32_t nBodyOffset = 0;
    std::int32_t nNameOffset = 0;
    std::int32_t nBodyLength = 0;
    // Up to its first zero byte: shorter than kNameSize. Held as a string,
    // not a field of that size, so a list of many short names stays small.
    std::string strName;
};

// One text block found at the end of the package.
struct PackageText {
    std::int32_t nTextOffset = 0;
    std::int32_t nLength = 0; // zero byte included
};

// Everything a walk over the whole package found, for checking and showing a
// package without trusting it.
struct PackageLayout {
    std::int64_t nFileLength = 0;
    bool bHasPackage = false;          // the file ends in a package marker
    std::int32_t nStubLength = -1;     // where the stub-end marker lies; -1 if never reached
    std::vector<PackageText> texts;    // the block nearest the end first
    std::vector<PackageEntry> entries; // reader order: the file added last first
    std::string problem;               // the first thing wrong and where; empty when well-formed
};

// Told the bytes copied so far and the file's length while a file is added.
using CopyProgress = std::function<void(std::int64_t done, std::int64_t total)>;

class CPackageFile {
public:
    // Opens path for reading: the running executable in the program, any
    // file in tools and tests. A file that cannot be opened has no package.
    CPackageFile(const std::string& path, IMessageBox& box);
    ~CPackageFile() { CloseOutput(); }
    CPackageFile(const CPackageFile&) = delete;
    CPackageFile& operator=(const CPackageFile&) = delete;

    // Reading. The first call gives the script, the second the compile
    // line; empty text when there is no further text block.
    std::string ReadNextText();
    void LoadDirectory();
    // LoadDirectory from a walk of this file already done: the entries move
    // out of layout, rather than the file being walked again and a second
    // list held beside the first.
    void TakeDirectory(PackageLayout& layout);
    // Writes the body of the first entry whose stored name contains name
    // to dest (a dest ending in '\' gets the stored name appended). False,
    // after telling the user, when nothing was written.
    bool ExtractFile(const std::string& name, const std::string& dest);
    // Index of the first entry whose stored name contains name, -1 if none.
    int FindEntry(const std::string& name);
    // The same look-up over any entry list in reader order (a package's, or
    // the one a script will build), so a checker picks as extraction does.
    static int FindEntryIn(const std::vector<PackageEntry>& entries, const std::string& name);
    // FindEntryIn for many names at once, in time linear in the names'
    // and entries' lengths (plus the matches first found), where a loop of
    // FindEntryIn would grow with the product of their counts.
    static std::vector<int> FindEntriesIn(const std::vector<PackageEntry>& entries,
                                          const std::vector<std::string>& names);
    // Writes one entry's body to exactly dest; false after telling the user.
    // With replace (the name comes from the package), whatever is at dest is
    // replaced by a new file; else an existing file is written over, through
    // links. Bodies that start as programs do (ELF, "#!") become executable.
    bool ExtractEntry(const PackageEntry& entry, const std::string& dest, bool replace);
    // Writes the entry under its stored name into folder (ending in a
    // separator), replacing what is there.
    bool ExtractEntryInto(const PackageEntry& entry, const std::string& folder);
    // Every entry into folder (ending in a separator); the count written.
    // failed is told of each entry that was not written.
    std::size_t ExtractAll(const std::string& folder, const std::function<void(const PackageEntry&)>& failed = {});
    static bool IsExecutableBody(const char* start, std::size_t size);
    // Walks the whole structure strictly; true when it is well-formed.
    bool WalkPackage(PackageLayout& layout);

    // Writing a new installer.
    bool CreateOutput(const std::string& path);
    bool AddFile(const std::string& path, const CopyProgress& progress = {});
    bool AddText(const std::string& text);
    // Puts the complete installer in place of the output; false (the
    // output untouched) when that failed.
    bool FinishOutput();
    // Abandons an unfinished installer: the output is left as it was.
    void CloseOutput();
    static std::string GetStoredName(const std::string& path);
    // When a writing step failed for a reason of its own (a read or write
    // error, the size limit, the output added to itself), the message for
    // it; the unfinished installer has then been removed. Else fallback.
    std::string GetOutputError(const std::string& fallback) const;

    // A stored name that can safely become part of a path: no folder
    // separator, and not "." or "..".
    static bool IsPlainFileName(const std::string& name);

    const std::int32_t m_nStubMarker = kStubMarker;
    const std::int32_t m_nFileMarker = kFileMarker;
    const std::int32_t m_nTextMarker = kTextMarker;
    std::vector<PackageEntry> m_entries;
    std::int32_t m_nTextPos = -1;
    bool m_bDirLoaded = false;
    CFile m_fileOut;
    CFile m_fileSelf;

private:
    // The walk itself; record is told of each file record found.
    bool Walk(PackageLayout& layout, const std::function<void(PackageEntry&&)>& record);
    std::int64_t SelfLength() const;
    char* Buffer();
    bool FailOutput(const std::string& message);
    bool WriteOut(const void* data, std::size_t size);
    // Where the next bytes of the installer go (room: how many fit), or
    // nullptr when writing what was there before failed.
    char* OutSpace(std::size_t& room);
    void CommitOut(std::size_t size);
    bool FlushOut();
    void ShowError(const std::string& text);

    IMessageBox& m_box;
    std::string m_strSelfPath;
    std::string m_strOutPath;
    std::string m_strOutError;
    std::string m_strTempPath;
    std::string m_strCurrentFolder;
    std::string m_strOutFullPath;
    FileId m_outId;
    std::int64_t m_nOutLength = 0;
    std::unique_ptr<char[]> m_buffer;
    // The installer being written, not yet handed to the system.
    std::unique_ptr<char[]> m_outBuffer;
    std::size_t m_outFill = 0;
    // Reads into the output buffer never get less room than this.
    static constexpr std::size_t kMinReadRoom = 64 * 1024;
};
