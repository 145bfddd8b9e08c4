// Looking into an installer from a command line: list, verify, print the
// script, extract every file. sfxtool's commands and an installer's own
// options (--list, --verify, --script, --extract) are these functions, so
// both print the same and end with the same status. Output goes to stdout,
// complaints to stderr as "PROGRAM: message"; stdio, not streams, because an
// installer carries this code.
#pragma once

#include "package/PackageFile.h"

#include <memory>
#include <string>
#include <vector>

enum ExitStatus : int {
    kExitOk = 0,
    kExitBad = 1,   // the package or build is bad
    kExitUsage = 2, // usage, or a file that cannot be read or written
};

// Prints "program: message" on stderr and returns code.
int CommandFail(const std::string& program, int code, const std::string& message);

// The reader's boxes become lines on stderr; the last one is kept so a
// command can tell a missing entry from a file it could not write.
class CConsoleBox : public IMessageBox {
public:
    explicit CConsoleBox(std::string program) : m_program(std::move(program)) {}
    int Show(const std::string& text, const std::string& caption, unsigned style) override;
    const std::string& Last() const { return m_last; }

private:
    std::string m_program;
    std::string m_last;
};

// An installer opened and walked, for the commands that read its package.
struct COpenedPackage {
    explicit COpenedPackage(const std::string& program) : box(program) {}
    CConsoleBox box;
    std::unique_ptr<CPackageFile> reader;
    PackageLayout layout;
};

// Opens path; the exit status: 2 when it cannot be read, 1 when it holds no
// package at all (said on stderr), else 0.
int OpenInstaller(const std::string& program, const std::string& path, std::unique_ptr<CPackageFile>& reader,
                  IMessageBox& box);
int OpenPackage(const std::string& program, const std::string& path, COpenedPackage& package);

// Each prints what its sfxtool command prints and returns its exit status.
using EntryPrinter = void (*)(const std::vector<PackageEntry>& entries);
void PrintEntries(const std::vector<PackageEntry>& entries); // name TAB length
int ListInstaller(const std::string& program, const std::string& path, EntryPrinter print = PrintEntries);
int VerifyInstaller(const std::string& program, const std::string& path);
int PrintInstallerScript(const std::string& program, const std::string& path);
// Every packed file into dir (its last level created) under its stored name.
int ExtractInstaller(const std::string& program, const std::string& path, const std::string& dir);
