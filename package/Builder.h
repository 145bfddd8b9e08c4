// The build command: from a script to a new installer, written by a
// CPackageFile whose file is the stub. The editor's "Create New Archive" and
// `sfxtool build` both run it; each tells the user through its own IBuildReport.
#pragma once

#include "package/PackageFile.h"
#include "platform/Control.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "script/Script.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

class IBuildReport {
public:
    virtual ~IBuildReport() = default;
    virtual void SetStatus(const std::string& text) = 0;
    virtual int ShowBox(const std::string& text, const std::string& caption, unsigned style) = 0;
    // Starts the new installer, without waiting for it.
    virtual void StartFile(const std::string& path) = 0;
    // While a [Files] file is copied: bytes copied so far of its length.
    virtual void Progress(const std::string& /*path*/, std::int64_t /*done*/, std::int64_t /*total*/) {}
};

// The dialog's way of telling: its status line, message boxes, the shell.
class CStatusBuildReport : public IBuildReport {
public:
    CStatusBuildReport(IControl& status, IMessageBox& box, IShell& shell)
        : m_status(status), m_box(box), m_shell(shell)
    {
    }
    void SetStatus(const std::string& text) override { m_status.SetText(text); }
    int ShowBox(const std::string& text, const std::string& caption, unsigned style) override
    {
        return m_box.Show(text, caption, style);
    }
    void StartFile(const std::string& path) override { m_shell.Open(path, ""); }

private:
    IControl& m_status;
    IMessageBox& m_box;
    IShell& m_shell;
};

struct BuildOptions {
    // Replaces the script's OutputFile when not empty; relative to the
    // current folder.
    std::string outputFile;
    // The file the script was read from, if any: never the output.
    std::string scriptPath;
    // The folder of the script file: relative [Files] paths and a relative
    // OutputFile are taken from it. Empty: the current folder (a text never
    // saved or loaded).
    std::string baseFolder;
    // The moment of the build for the compile line; empty: now.
    std::function<std::time_t()> clock;
};

// " Compiled : " with the local date and time of t, in the locale set for
// LC_TIME ("Mar. 07, 2002 09:05:31 AM" in English).
std::string FormatCompileLine(std::time_t t);

// Builds the installer the script describes, with the file of stub as its
// stub. True when the installer was written completely. The closing question
// names the output by its full path.
bool BuildArchive(CPackageFile& stub, const CScript& script, const IFolders& folders,
                  IBuildReport& report, const BuildOptions& options = {});
