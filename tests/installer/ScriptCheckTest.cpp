// The script checker and explainer: one row per finding kind beside the
// script that looks alike but is fine, the explanation of the built-in
// sample and the README's example compared whole, and random scripts whose
// explanation must match what the interpreter really does.
#include "editor/ScriptCommands.h"
#include "installer/ScriptCheck.h"
#include "installer/TaskInterpreter.h"
#include "script/StrUtil.h"
#include "tests/fakes/TestPackage.h"

#include <gtest/gtest.h>

#include <random>

namespace {

namespace fs = std::filesystem;

class ScriptCheckTest : public testing::Test {
protected:
    ScriptCheckTest()
    {
        m_folders.m_windows = "/usr/bin";
        m_folders.m_module = "/opt/setup/myapp-setup";
        m_folders.m_desktop = "/home/me/Desktop";
        m_shell.m_found = {"/usr/bin\\tool"};
        fs::create_directory(m_dir / "sub");
        for (const char* name : {"a.txt", "b.txt", "data.txt", "sub/a.txt"})
            WriteTextFile(m_dir / name, "x");
    }

    // "id@line" of each finding; no-size only where the row expects it.
    std::string Findings(const std::string& script, bool withNoSize) const
    {
        std::string out;
        for (const CFinding& finding : CheckScript(CScript(script), Context())) {
            if (finding.id == "no-size" && !withNoSize)
                continue;
            out += (out.empty() ? "" : " ") + finding.id + "@" + std::to_string(finding.line);
        }
        return out;
    }

    CCheckContext Context() const { return {m_folders, m_shell, m_dir.Path()}; }

    CTempDir m_dir;
    CFakeFolders m_folders;
    CFakeShell m_shell;
};

TEST_F(ScriptCheckTest, EachFindingAndTheScriptThatLooksAlikeButIsFine)
{
    const std::string dir = m_dir.Path();
    const struct {
        std::string script;
        const char* findings;
    } cases[] = {
        {std::string("[Setup]\r\nTitle=a\0b\r\n", 18), "zero-byte@2"},
        {"[Setup]\r\nTitle=a b\r\n", ""},
        {std::string(299999, 'x'), "script-too-long@1"},
        {std::string(299998, 'x'), ""},
        {"[Files]\r\nnothere.txt\r\n", "missing-file@2 relative-files@2"},
        {"[Files]\r\n; a.txt\r\n", "missing-file@2 relative-files@2"},
        {"[Files]\r\n" + dir + "/sub\r\n", "missing-file@2"},
        {"[Files]\r\n a.txt\r\n", "missing-file@2 relative-files@2"},
        {"[Files]\r\na.txt\r\n", "relative-files@2"},
        {"[Files]\r\n" + dir + "/a.txt\r\n", ""},
        {"[Tasks]\r\nExtractFile: a.txt\r\n", "missing-param@2"},
        {"[Tasks]\r\nMoveFile: a\r\nCreateRegKey: HKEY_CURRENT_USER\r\n", "missing-param@2 missing-param@3"},
        {"[Tasks]\r\nMoveFile: a To: b\r\nCreateRegKey: HKEY_CURRENT_USER Key: k\r\n", ""},
        {"[Files]\r\n" + dir + "/a.txt\r\n[Tasks]\r\nExtractFile: b.txt To: x\r\n", "no-such-file@4"},
        {"[Files]\r\n" + dir + "/a.txt\r\n[Tasks]\r\nExtractFile: a To: x\r\n", ""},
        {"[Tasks]\r\nMesageBox: hi\r\nNote: see Readme\r\n", "unknown-command@2 unknown-command@3"},
        {"[Tasks]\r\nMessageBox: hi\r\n", ""},
        {"[Setup]\r\nTitel=x\r\n", "unknown-key@2"},
        {"[Setup]\r\nOutputFile=x\r\n", ""},
        {"[Tasks]\r\nWriteToFile: f Text: theme=dark\r\n", "equals-in-task@2"},
        {"[Tasks]\r\nStatus=Done\r\n", ""},
        {"[Setup]\r\nTitle=A;B\r\n", "semicolon-in-value@2"},
        {"[Setup]\r\nTitle=A ; B\r\n   ; note\r\n", ""},
        {"[Setup]\r\nReadme=Notes: more\r\nTitle=Version 2: new\r\n", "colon-in-value@2 colon-in-value@3"},
        {"[Setup]\r\nReadme=Notes:\\nmore\r\nTitle=http://x\r\n", ""},
        {"[Files]\r\n" + dir + "/a.txt\r\n" + dir + "/sub/a.txt\r\n", "duplicate-name@2"},
        {"[Files]\r\n" + dir + "/a.txt\r\n" + dir + "/b.txt\r\n", ""},
        {"[Files]\r\n" + dir + "/a.txt\r\n" + dir + "/data.txt\r\n", "shadowed-name@2"},
        {"[Files]\r\n" + dir + "/data.txt\r\n" + dir + "/a.txt\r\n", ""},
        {"[Tasks]\r\nExtractAll: /\r\n", "root-target@2"},
        {"[Tasks]\r\nExtractAll: DSKDIR\\MyApp\r\n", ""},
        {"[Tasks]\r\nMessageBox: hi Icon: MB_ICONASTERISK\r\n", "icon-not-found@2"},
        {"[Tasks]\r\nMessageBox: hi Icon: MB_ICONASTERISK please\r\n", ""},
        {"[Tasks]\r\nSetRegString: HKCU Key: k\r\n", "root-key@2"},
        {"[Tasks]\r\nSetRegString: HKEY_CURRENT_USER Key: k\r\nSetRegDword: HKEY_CLASSES_ROOT\r\n", ""},
        {"[Tasks]\r\nRun: WINDIR\\nothere\r\n", "run-not-found@2"},
        {"[Tasks]\r\nRun: WINDIR\\tool\r\n", ""},
        {"\r\n[tasks]\r\n", "section-case@2"},
        {"[Tasks]\r\n; not [tasks]\r\n", ""},
        {"[Setup]\r\nTitle=x\r\n", "no-size@1"},
        {"[Setup]\r\nSize=400\r\n", ""},
        {"[Setup]\r\nSize=480,360\r\nReadme=" + std::string(70, 'r') + "\r\n", "readme-overflow@3"},
        {"[Setup]\r\nSize=480,360\r\nReadme=" + std::string(60, 'r') + "\r\n", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Findings(c.script, str::Contains(c.findings, "no-size")), c.findings) << c.script.substr(0, 200);
}

TEST_F(ScriptCheckTest, AnUnknownCommandGetsTheNearestOneAsItsHint)
{
    const std::vector<CFinding> findings = CheckScript(CScript("[Tasks]\r\nExtractAl: DSKDIR\r\nmessagebox: x\r\n"), Context());
    ASSERT_EQ(findings.size(), 3u);
    EXPECT_TRUE(str::Contains(findings[1].hint, "\"ExtractAll:\"")) << findings[1].hint;
    EXPECT_TRUE(str::Contains(findings[2].hint, "\"MessageBox:\"")) << findings[2].hint;
}

// The sample's paths are Windows paths that do not exist here; what is
// compared is how each line will be carried out.
TEST_F(ScriptCheckTest, ExplainsTheBuiltInSampleWhole)
{
    EXPECT_EQ(FormatExplanation(ExplainScript(CScript(BuiltInSample()), Context())), R"x([Setup]
  line 4: WindowTitle
    caption: "My Program Setup"
  line 5: Title
    heading: "   My Program Version 1.01"
  line 6: Size
    width: "320"
    height: "250"
  line 7: Readme
    read-me: "What's New.\r\n\r\n\t+ New Interface\r\n\t+ New Hair Do!\r\n\t+ What's your name?\r\n\t+ Green Window"
  line 8: Status
    status: "unchanged (the value is empty)"
  line 9: OK
    button: "Install"
[Tasks]
  line 17: ExtractFile:
    name: "explorer.exe"
    picks: "explorer.exe ([Files] line 14)"
    to: "/opt/setup\explorer.exe"
  line 18: ExtractFile:
    name: "autoexec.bat"
    picks: "autoexec.bat ([Files] line 13)"
    to: "/opt/setup\autoexec.log"
  line 19: ExtractFile:
    name: "autoexec.bat"
    picks: "autoexec.bat ([Files] line 13)"
    to: "/opt/setup\autoexec.bat"
  line 23: WriteToFile:
    file: "/opt/setup\myapp.txt"
    text: "Helloworld"
    mode: "create: the file starts afresh"
  line 24: WriteToFile:
    file: "/opt/setup\myapp.txt"
    text: "Leavemyworld!"
    mode: "append: the file must exist"
  line 25: MoveFile:
    from: "/opt/setup\myapp.txt"
    to: "/opt/setup\mywork.txt"
  line 26: DeleteFile:
    path: "/opt/setup\myapp.txt"
  line 27: Run:
    program: "/usr/bin\notepad.exe"
    parameters: "/opt/setup/mywork.txt"
  line 28: SetRegDword:
    root: "HKEY_CURRENT_USER"
    key: "Software"
    name: "Dword1"
    number: "1"
  line 29: SetRegString:
    root: "HKEY_CURRENT_USER"
    key: "Software"
    name: "String1"
    text: "My First String Value"
  line 30: ExtractAll:
    folder: "/opt/setup\help\"
    writes: "/opt/setup\help\explorer.exe"
    writes: "/opt/setup\help\autoexec.bat"
  line 31: MessageBox:
    text: "Congrats, Install Complete!"
    caption: "My Program Setup"
    icon: "exclamation"
)x");
}

// The example script of the README, and the explanation the README shows.
TEST_F(ScriptCheckTest, ExplainsTheReadmeExampleWhole)
{
    m_folders.m_desktop = "/home/me/Desktop";
    const std::string script = "[Setup]\r\nWindowTitle=My App Setup\r\nTitle=My App 1.0\r\n"
                               "Readme=This installs My App.\\nPress Install to go on.\r\nOK=Install\r\nSize=480,360\r\n"
                               "OutputFile=myapp-setup\r\n\r\n[Files]\r\n/home/me/build/myapp\r\n/home/me/build/README.txt\r\n\r\n"
                               "[Tasks]\r\nExtractAll: DSKDIR\\MyApp\r\n"
                               "WriteToFile: DSKDIR\\MyApp\\installed.txt Text: yes Mode: CREATE\r\n"
                               "SetRegString: HKEY_CURRENT_USER Key: Software\\My App Query: Path Value: ~/Desktop/MyApp\r\n"
                               "MessageBox: My App is installed. Icon: MB_ICONASTERISK please\r\n";
    EXPECT_EQ(FormatExplanation(ExplainScript(CScript(script), Context())), R"x([Setup]
  line 2: WindowTitle
    caption: "My App Setup"
  line 3: Title
    heading: "   My App 1.0"
  line 4: Readme
    read-me: "This installs My App.\r\nPress Install to go on."
  line 5: OK
    button: "Install"
  line 6: Size
    width: "480"
    height: "360"
[Tasks]
  line 14: ExtractAll:
    folder: "/home/me/Desktop\MyApp\"
    writes: "/home/me/Desktop\MyApp\README.txt"
    writes: "/home/me/Desktop\MyApp\myapp"
  line 15: WriteToFile:
    file: "/home/me/Desktop\MyApp\installed.txt"
    text: "yes"
    mode: "create: the file starts afresh"
  line 16: SetRegString:
    root: "HKEY_CURRENT_USER"
    key: "Software\My App"
    name: "Path"
    text: "~/Desktop/MyApp"
  line 17: MessageBox:
    text: "My App is installed."
    caption: "My App Setup"
    icon: "asterisk (information)"
)x");
}

const std::vector<std::string> kHeads = {"MessageBox:", "Run:", "CreateRegKey:", "SetRegString:", "SetRegDword:",
                                         "Title=", "Status=", "WindowTitle=", "Note:", "Mesage:", "", ";"};
const std::vector<std::string> kParams = {" Key:", " Query:", " Value:", " Param:", " Icon:", " To:", " Other:"};
const std::vector<std::string> kValues = {"a", "b c", "Key:", "To:", "Icon:", "MB_ICONQUESTION", "MB_ICONASTERISK ",
                                          "HKEY_USERS", "WINDIR\\p", "x=y", "a;b", "http://h", "C:\\d", "Readme",
                                          "OK", "", "[x", "\xC3\xA9\t#?"};

// Random task sections run through the real interpreter over fakes: every
// message, program and registry write it makes is one the explanation lists,
// in the same order, at a line that holds its command; and the checker
// reads each section without failing.
TEST_F(ScriptCheckTest, RandomTasksAreExplainedAsTheInterpreterRunsThem)
{
    CFakeMessageBox box;
    CPackageFile reader(m_dir / "none", box);
    CFakeDialogWindow window;
    CFakeControl title, readme, separator, status, button, editor;
    CFakeProgress progress;
    CSetupScreen screen{window, title, readme, separator, status, progress, button, editor};
    CScript script;
    CFakeShell shell;
    CFakeRegistry registry;
    CTaskContext context{screen, false, script, reader, m_folders, shell, box, registry, "setup"};

    std::mt19937 rng(1207);
    const auto pick = [&rng](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    const auto count = [&rng](int most) { return std::uniform_int_distribution<int>(0, most)(rng); };
    std::size_t commands = 0;
    for (int run = 0; run < 3000; ++run) {
        std::string text = count(4) ? "[Tasks]\r\n" : "";
        std::vector<std::string> lines = {"", "[Tasks]"};
        for (int line = count(6); line > 0; --line) {
            std::string code = pick(kHeads) + " " + pick(kValues);
            for (int param = count(3); param > 0; --param)
                code += pick(kParams) + " " + pick(kValues);
            lines.push_back(code);
            text += code + (count(3) ? "\r\n" : "\n");
        }
        script.SetText(text);
        box.m_calls.clear();
        shell.m_calls.clear();
        registry.m_keys.clear();
        CTaskInterpreter(context).RunScriptSection(false);

        std::vector<std::string> boxes;
        std::vector<std::pair<std::string, std::string>> runs;
        std::size_t writes = 0;
        for (const CExplainedStep& step : ExplainScript(script, Context()).tasks) {
            ASSERT_TRUE(step.line < static_cast<int>(lines.size()) && str::Contains(lines[step.line], str::Trimmed(step.word)))
                << text << step.line;
            const auto value = [&step](const char* name) {
                for (const CExplainField& field : step.fields) {
                    if (field.name == name)
                        return field.value;
                }
                return std::string("(none)");
            };
            if (step.word == "MessageBox:")
                boxes.push_back(value("text"));
            else if (step.word == "CreateRegKey:" && value("missing") != "(none)")
                boxes.push_back("CreateRegKey command requires Key param");
            else if (step.word == "Run:")
                runs.emplace_back(value("program"), value("parameters"));
            writes += step.word.starts_with("CreateRegKey:") || step.word.starts_with("SetReg") ? 1 : 0;
        }
        std::vector<std::string> shown;
        for (const CBoxCall& call : box.m_calls)
            shown.push_back(call.text);
        ASSERT_EQ(shown, boxes) << text;
        ASSERT_EQ(shell.m_calls, runs) << text;
        ASSERT_EQ(registry.m_keys.size(), writes - std::count(boxes.begin(), boxes.end(), "CreateRegKey command requires Key param")) << text;
        commands += boxes.size() + runs.size() + writes;
        // The same lines as [Setup] and [Files] go through the checker too.
        for (const char* section : {"", "[Setup]\r\n", "[Files]\r\n"})
            CheckScript(CScript(section + text), Context());
    }
    // The sections did reach the commands.
    EXPECT_GT(commands, 2000u);
}

} // namespace
