// The editor's document: loading, saving, closing with the save prompt and
// the menu commands, with real files in a temporary folder.
#include "editor/ScriptCommands.h"
#include "tests/fakes/PosixTestUtil.h"
#include "tests/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::current_path(m_dir.Path());
        m_window.m_text = "Editor";
        m_editor.Attach(m_widget, m_window, m_boxes);
    }
    void TearDown() override { fs::current_path(m_oldFolder); }

    const fs::path m_oldFolder = fs::current_path();
    CTempDir m_dir;
    CFakeTextWidget m_widget;
    CFakeControl m_window;
    CFakeMessageBox m_boxes;
    CFakeFileDialog m_dialog;
    CColorEditCtrl m_editor;
};

struct DocCase {
    const char* name;
    std::function<int()> command; // -1 for a command that returns nothing
    std::deque<int> answers;      // to the message boxes, in turn
    std::string chosen;           // in the file dialog, in the test's folder; "" cancels
    int result;
    std::string caption; // the document is modified exactly when it ends in "*"
    std::string text;
    std::string boxes;   // the texts of the boxes shown, each ended by "|"
    std::string file;    // a file to check afterwards, if any, and what it holds
    std::string content;
};

// Every case starts from a.ini holding "x\n", loaded and then changed.
TEST_F(DocumentTest, EachCommandFromAChangedDocument)
{
    WriteTextFile(m_dir / "b.ini", "[Setup]\nb\r\n");
    ASSERT_EQ(::mkfifo((m_dir / "pipe.ini").c_str(), 0644), 0);
    const std::string a = m_dir / "a.ini";
    const std::string bin = m_dir / "x.bin";
    const std::string prompt = "Save changes to\n" + a + "|";
    const auto save = [&](const std::string& path) { return [&, path] { return m_editor.SaveFile(path); }; };
    const auto close = [&] { return m_editor.CloseFile(); };
    const auto saveAs = [&] {
        SaveScriptAs(m_editor, m_dialog);
        return -1;
    };
    const auto loadScript = [&] {
        LoadScript(m_editor, m_dialog);
        return -1;
    };
    const auto addFileTo = [&](const std::string& text) {
        return [&, text] {
            m_editor.SetText(text);
            AddFileToScript(m_editor, m_dialog);
            return -1;
        };
    };
    const DocCase cases[] = {
        // A read error after opening is reported, and the document stays.
        {"load what cannot be read", [&] { return m_editor.LoadFile("/proc/self/mem"); }, {}, "", 0,
         "Editor - a.ini*", "!x\r\n", "Error : Cannot read /proc/self/mem.|", "", ""},
        // A pipe is no script file: never waited on.
        {"load a pipe", [&] { return m_editor.LoadFile(m_dir / "pipe.ini"); }, {}, "", 0, "Editor - a.ini*", "!x\r\n", "", "", ""},

        {"save", save(""), {}, "", 1, "Editor - a.ini", "!x\r\n", "", "a.ini", "!x\r\n"},
        {"save, cannot write",
         [&] {
             const CFileSizeLimit diskFull(1);
             return m_editor.SaveFile("");
         },
         {}, "", 0, "Editor - a.ini*", "!x\r\n", "Error : Cannot write " + a + ".|", "a.ini", "x\n"},
        // Not reported, but the name is forgotten: Save has nowhere to go then.
        {"save, cannot create",
         [&] {
             EXPECT_EQ(m_editor.SaveFile("no/such/a.ini"), 0);
             return m_editor.SaveFile("");
         },
         {}, "", 0, "Editor - a.ini*", "!x\r\n", "", "", ""},

        {"close, cancel", close, {kAnswerCancel}, "", 0, "Editor - a.ini*", "!x\r\n", prompt, "a.ini", "x\n"},
        {"close, no", close, {kAnswerNo}, "", 1, "Editor - untitled.ini*", "", prompt, "a.ini", "x\n"},
        {"close, yes", close, {kAnswerYes}, "", 1, "Editor - untitled.ini*", "", prompt, "a.ini", "!x\r\n"},
        // A save that fails keeps the text, with a message why.
        {"close, yes, cannot create",
         [&] {
             m_editor.m_strFileName = "no/such/a.ini";
             return m_editor.CloseFile();
         },
         {kAnswerYes}, "", 0, "Editor - a.ini*", "!x\r\n",
         "Save changes to\nno/such/a.ini|Error : Cannot save no/such/a.ini.|", "", ""},

        // Save As adds ".ini" unless the name holds ".in", in this letter case.
        {"save as a", saveAs, {}, "a", -1, "Editor - a.ini", "!x\r\n", "", "a.ini", "!x\r\n"},
        {"save as a.inf", saveAs, {}, "a.inf", -1, "Editor - a.inf", "!x\r\n", "", "a.inf", "!x\r\n"},
        {"save as A.INI", saveAs, {}, "A.INI", -1, "Editor - A.INI.ini", "!x\r\n", "", "A.INI.ini", "!x\r\n"},

        // Load closes first; the file dialog would choose b.ini.
        {"load script, cancel", loadScript, {kAnswerCancel}, "b.ini", -1, "Editor - a.ini*", "!x\r\n", prompt, "", ""},
        {"load script, no", loadScript, {kAnswerNo}, "b.ini", -1, "Editor - b.ini", "[Setup]\r\nb\r\n", prompt, "", ""},
        {"load script, no, cancelled", loadScript, {kAnswerNo}, "", -1, "Editor - untitled.ini*", "", prompt, "", ""},

        // Add File puts the path below the first "[Files]", in a comment or not.
        {"add file, no section", addFileTo("[Setup]\r\n"), {}, "x.bin", -1, "Editor - a.ini*",
         "[Setup]\r\n\r\n[Files]\r\n" + bin + "\r\n", "", "", ""},
        {"add file above the entries", addFileTo("; [Files]\r\n[Files]\r\na\r\n"), {}, "x.bin", -1, "Editor - a.ini*",
         "; [Files]\r\n" + bin + "\r\n[Files]\r\na\r\n", "", "", ""},
        {"add file, the header ends the text", addFileTo("[Files]"), {}, "x.bin", -1, "Editor - a.ini*",
         "[Files]\r\n" + bin + "\r\n", "", "", ""},
        {"add file, cancelled", addFileTo("[Files]"), {}, "", -1, "Editor - a.ini*", "[Files]", "", "", ""},
        // Only Save As adds ".ini": a name without an extension goes in as chosen.
        {"add file without an extension", addFileTo("[Files]"), {}, "LICENSE", -1, "Editor - a.ini*",
         "[Files]\r\n" + (m_dir / "LICENSE") + "\r\n", "", "", ""},
    };
    for (const DocCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteTextFile(a, "x\n");
        ASSERT_EQ(m_editor.LoadFile(a), 1);
        m_widget.Type("!");
        m_boxes = CFakeMessageBox();
        m_boxes.m_answers = c.answers;
        m_dialog.m_paths = {c.chosen.empty() ? "" : m_dir / c.chosen};

        EXPECT_EQ(c.command(), c.result);
        EXPECT_EQ(m_window.m_text, c.caption);
        EXPECT_EQ(m_editor.GetModify(), c.caption.back() == '*');
        EXPECT_EQ(m_editor.GetText(), c.text);
        std::string boxes;
        for (const CBoxCall& call : m_boxes.m_calls)
            boxes += call.text + "|";
        EXPECT_EQ(boxes, c.boxes);
        if (!c.file.empty()) {
            EXPECT_EQ(ReadTextFile(m_dir / c.file), c.content);
        }
    }
}

TEST_F(DocumentTest, SaveAsKeepsTheChosenFolderWhenTheCurrentFolderMoves)
{
    fs::create_directory(m_dir / "scripts");
    fs::create_directory(m_dir / "files");
    m_editor.SetText("one");
    m_dialog.m_paths = {m_dir / "scripts/s", m_dir / "files/f.txt"};
    SaveScriptAs(m_editor, m_dialog);
    AddFileToScript(m_editor, m_dialog);
    ASSERT_EQ(fs::current_path(), m_dir / "files");
    SaveScript(m_editor);
    EXPECT_EQ(ReadTextFile(m_dir / "scripts/s.ini"), m_editor.GetText());
    EXPECT_FALSE(fs::exists(m_dir / "files/s.ini"));
}

} // namespace
