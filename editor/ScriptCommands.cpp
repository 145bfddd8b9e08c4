#include "editor/ScriptCommands.h"

#include "script/Paths.h"
#include "script/StrUtil.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

constexpr char kStartScript[] = "sample.ini";
constexpr std::string_view kLf = "\n";
constexpr std::string_view kCrLf = "\r\n";

struct SampleLine {
    std::string_view text;
    std::string_view ending;
};

// The sample's lines keep the line ends it has always had: the first six
// lines and "[Tasks]" end in LF alone. "\n" and "\t" in the Readme line are
// a backslash and a letter each; the setup screen expands them.
constexpr SampleLine kSample[] = {
    {"; Example only", kLf},
    {"", kLf},
    {"[Setup]", kLf},
    {"WindowTitle=My Program Setup", kLf},
    {"Title=My Program Version 1.01", kLf},
    {"Size=320,250", kLf},
    {R"(Readme=What's New.\n\n\t+ New Interface\n\t+ New Hair Do!\n\t+ What's your name?\n\t+ Green Window)", kCrLf},
    {"Status=", kCrLf},
    {"OK=Install", kCrLf},
    {"OutputFile=", kCrLf},
    {"", kCrLf},
    {"[Files]", kCrLf},
    {R"(c:\autoexec.bat)", kCrLf},
    {R"(c:\windows\explorer.exe)", kCrLf},
    {"", kCrLf},
    {"[Tasks]", kLf},
    {R"(ExtractFile: explorer.exe To: CURDIR\explorer.exe)", kCrLf},
    {R"(ExtractFile: autoexec.bat To: CURDIR\autoexec.log)", kCrLf},
    {R"(ExtractFile: autoexec.bat To: CURDIR\)", kCrLf},
    {"", kCrLf},
    {R"(; for ExtractFile the dir must end in \ and dir must already exist)", kCrLf},
    {"", kCrLf},
    {R"(WriteToFile: CURDIR\myapp.txt Text: Helloworld Mode: CREATE)", kCrLf},
    {R"(WriteToFile: CURDIR\myapp.txt Text: Leavemyworld!)", kCrLf},
    {R"(MoveFile: CURDIR\myapp.txt To: CURDIR\mywork.txt)", kCrLf},
    {R"(DeleteFile: CURDIR\myapp.txt)", kCrLf},
    {R"(Run: WINDIR\notepad.exe Param: CURDIR\mywork.txt)", kCrLf},
    {"SetRegDword: HKEY_CURRENT_USER Key: Software Query: Dword1 Value: 1", kCrLf},
    {"SetRegString: HKEY_CURRENT_USER Key: Software Query: String1 Value: My First String Value", kCrLf},
    {R"(ExtractAll: CURDIR\help)", kCrLf},
    {"MessageBox: Congrats, Install Complete! Icon: MB_ICONEXCLAMATION", kCrLf},
};

// The start script (by default "sample.ini") in the folder the editor starts
// in, as a full path: the file dialogs change the current folder later, and
// Save must still write the file where it came from.
std::string StartScriptPath(const std::string& path)
{
    const std::string name = path.empty() ? std::string(kStartScript) : path;
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(name, error);
    return error ? name : full.string();
}

} // namespace

std::string BuiltInSample()
{
    std::string text;
    for (const SampleLine& line : kSample) {
        text += line.text;
        text += line.ending;
    }
    return text;
}

void OpenStartScript(CColorEditCtrl& editor, IControl& mainWnd, const std::string& start)
{
    const std::string path = StartScriptPath(start);
    if (editor.LoadFile(path))
        return;
    editor.SetText(BuiltInSample());
    mainWnd.SetText("Editor - " + CColorEditCtrl::FileNameFromPath(path) + "*");
    editor.m_strFileName = path;
}

void SaveScript(CColorEditCtrl& editor)
{
    editor.SaveFile("");
}

void SaveScriptAs(CColorEditCtrl& editor, IFileDialog& fileDialog)
{
    const std::string path =
        fileDialog.DoModal({FileDialogOptions::Kind::Save, "Save As", "Ini File (*.ini)|*.ini|"});
    std::string name = CColorEditCtrl::FileNameFromPath(path);
    if (name.empty())
        return;
    if (!str::Contains(name, ".in"))
        name += ".ini";
    // The chosen folder with the name: the same file as the bare name in the
    // current folder the dialog set, and still that file after another
    // dialog has moved the current folder elsewhere.
    editor.SaveFile(GetDirectoryPart(path) + name);
}

void LoadScript(CColorEditCtrl& editor, IFileDialog& fileDialog)
{
    if (editor.CloseFile() == 0)
        return;
    const std::string path = fileDialog.DoModal({FileDialogOptions::Kind::Open, "Open",
                                                 "Ini File (*.ini)|*.ini|Inf File (*.inf)|*.inf|All Files (*.*)|*.*|"});
    if (CColorEditCtrl::FileNameFromPath(path).empty())
        return;
    editor.LoadFile(path);
}

void AddFileToScript(CColorEditCtrl& editor, IFileDialog& fileDialog)
{
    const std::string path =
        fileDialog.DoModal({FileDialogOptions::Kind::Save, "Add File", "All Files (*.*)|*.*|"});
    if (CColorEditCtrl::FileNameFromPath(path).empty())
        return;

    std::string text = editor.GetText();
    const std::size_t header = text.find("[Files]");
    if (header == std::string::npos) {
        text += "\r\n[Files]\r\n" + path + "\r\n";
    } else {
        const std::size_t lineEnd = text.find('\n', header);
        if (lineEnd == std::string::npos)
            text += "\r\n" + path + "\r\n"; // the header ends the text
        else
            text.insert(lineEnd + 1, path + "\r\n");
    }
    editor.SetText(text);
}
