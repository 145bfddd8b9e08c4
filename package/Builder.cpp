#include "package/Builder.h"

#include "script/Paths.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kCaption = "Editor";

// An error goes to the status line (after its blank) and into a box.
bool Fail(IBuildReport& report, const std::string& message)
{
    report.SetStatus(" " + message);
    report.ShowBox(message, kCaption, kBoxOk | kBoxIconError);
    return false;
}

// The folder relative paths are taken from: the script file's, else the
// current folder, so the closing question can name the full output path.
std::string BaseFolder(const BuildOptions& options)
{
    if (!options.baseFolder.empty())
        return options.baseFolder;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : current.string();
}

} // namespace

std::string FormatCompileLine(std::time_t t)
{
    char text[260] = {};
    if (const std::tm* local = std::localtime(&t)) {
        const std::size_t date = std::strftime(text, sizeof text, "%b. %d, %Y", local);
        std::strftime(text + date, sizeof text - date, " %I:%M:%S %p", local);
    }
    return std::string(" Compiled : ") + text;
}

bool BuildArchive(CPackageFile& stub, const CScript& script, const IFolders& folders,
                  IBuildReport& report, const BuildOptions& options)
{
    const std::string base = BaseFolder(options);
    std::string output = options.outputFile.empty() ? ResolveScriptPath(base, script.GetKeyValue("OutputFile"))
                                                    : ResolveScriptPath(BaseFolder({}), options.outputFile);
    if (output.empty())
        output = GetDirectoryPart(GetExePath(folders)) + "myapp.exe";

    // Checked before anything is written: the installer must not take the
    // place of its own script.
    if (!options.scriptPath.empty() && IsSamePath(options.scriptPath, output))
        return Fail(report, "Error : Cannot write the installer over its own script " + options.scriptPath + ".");
    // The installer reads the script as text up to its first zero byte.
    const std::string& text = script.GetText();
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos)
        return Fail(report, "Error : The script holds a zero byte at offset " + std::to_string(zero)
                                + ". Save it as UTF-8 or ANSI text.");

    if (!stub.CreateOutput(output))
        return Fail(report, stub.GetOutputError("Error : Cannot open " + output + ". Perhaps file in use."));

    CStringArray lines;
    script.GetSectionLines("Files", lines);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        report.SetStatus("Adding " + line + "...");
        const std::string path = ResolveScriptPath(base, line);
        const bool added = stub.AddFile(path, [&report, &line](std::int64_t done, std::int64_t total) {
            report.Progress(line, done, total);
        });
        if (!added) {
            Fail(report, stub.GetOutputError("Error : Cannot find " + path + " to add to sfx."));
            stub.CloseOutput();
            return false;
        }
    }

    report.SetStatus("Adding todo data...");
    const std::time_t now = options.clock ? options.clock() : std::time(nullptr);
    if (!stub.AddText(FormatCompileLine(now)) || !stub.AddText(text) || !stub.FinishOutput()) {
        Fail(report, stub.GetOutputError("Error : Unknown error adding settings!!"));
        stub.CloseOutput();
        return false;
    }
    report.SetStatus(" Done creating sfx");

    if (report.ShowBox("File " + output + " created.\nDo you want to test it now?", kCaption, kBoxYesNo | kBoxIconQuestion) == kAnswerYes)
        report.StartFile(output);
    return true;
}
