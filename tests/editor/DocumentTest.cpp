// The editor's document: loading, saving, closing with the save prompt, the
// menu commands and the start, with real files in a temporary folder.
#include "tests/fakes/FakePlatform.h"
#include "editor/ScriptCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.Path().empty());
        fs::current_path(m_folder);
        m_window.m_text = "Editor";
        m_editor.Attach(m_widget, m_window, m_boxes);
    }
    void TearDown() override { fs::current_path(m_oldFolder); }

    // A document as after loading a file: text, name, clean.
    void Load(const std::string& name, const std::string& text)
    {
        WriteAll(m_folder / name, text);
        ASSERT_EQ(m_editor.LoadFile((m_folder / name).string()), 1);
    }

    const fs::path m_oldFolder = fs::current_path();
    CTempDir m_dir;
    const fs::path m_folder = m_dir.Path();
    CFakeTextWidget m_widget;
    CFakeControl m_window;
    CFakeMessageBox m_boxes;
    CFakeFileDialog m_dialog;
    CColorEditCtrl m_editor;
};

TEST_F(DocumentTest, LoadShowsTheFileCleanWithCrLfLineEnds)
{
    WriteAll(m_folder / "a.ini", "[Setup]\nTitle=x\r\n");
    EXPECT_EQ(m_editor.LoadFile("a.ini"), 1);
    EXPECT_EQ(m_editor.GetText(), "[Setup]\r\nTitle=x\r\n");
    EXPECT_EQ(m_window.m_text, "Editor - a.ini");
    EXPECT_EQ(m_editor.m_strFileName, "a.ini");
    EXPECT_FALSE(m_editor.GetModify());

    EXPECT_EQ(m_editor.LoadFile((m_folder / "a.ini").string()), 1);
    EXPECT_EQ(m_window.m_text, "Editor - a.ini");
    EXPECT_EQ(m_editor.m_strFileName, (m_folder / "a.ini").string());
}

TEST_F(DocumentTest, LoadThatFailsChangesNothing)
{
    Load("a.ini", "x");
    m_widget.Type("y");
    for (const char* path : {"missing.ini", ".", "/proc/self/mem"}) {
        EXPECT_EQ(m_editor.LoadFile(path), 0) << path;
        EXPECT_EQ(m_editor.GetText(), "yx");
        EXPECT_EQ(m_window.m_text, "Editor - a.ini*");
        EXPECT_EQ(m_editor.m_strFileName, (m_folder / "a.ini").string());
        EXPECT_TRUE(m_editor.GetModify());
    }
    // Only the read error after opening is reported; a missing file is not.
    ASSERT_EQ(m_boxes.m_calls.size(), 1u);
    EXPECT_EQ(m_boxes.m_calls[0].text, "Error : Cannot read /proc/self/mem.");
    EXPECT_EQ(m_boxes.m_calls[0].caption, "Editor");
    EXPECT_EQ(m_boxes.m_calls[0].style, MB_OK | MB_ICONHAND);
}

TEST_F(DocumentTest, SaveWritesCrLfAndCleansTheDocument)
{
    m_editor.SetText("[Setup]\nTitle=x");
    EXPECT_EQ(m_editor.SaveFile(""), 1);
    EXPECT_EQ(ReadAll(m_folder / "untitled.ini"), "[Setup]\r\nTitle=x");
    EXPECT_EQ(m_window.m_text, "Editor - untitled.ini");
    EXPECT_FALSE(m_editor.GetModify());

    EXPECT_EQ(m_editor.SaveFile("b.ini"), 1);
    EXPECT_EQ(m_editor.m_strFileName, "b.ini");
    EXPECT_EQ(ReadAll(m_folder / "b.ini"), "[Setup]\r\nTitle=x");
}

TEST_F(DocumentTest, SaveThatCannotCreateForgetsTheNameSilently)
{
    Load("a.ini", "x");
    m_widget.Type("y");
    EXPECT_EQ(m_editor.SaveFile("no/such/folder/a.ini"), 0);
    EXPECT_EQ(m_editor.m_strFileName, "");
    EXPECT_EQ(m_window.m_text, "Editor - a.ini*");
    EXPECT_TRUE(m_editor.GetModify());
    EXPECT_TRUE(m_boxes.m_calls.empty());
    // Save now has no name to go to.
    EXPECT_EQ(m_editor.SaveFile(""), 0);
}

TEST_F(DocumentTest, SaveThatCannotWriteIsReportedAndKeepsTheName)
{
    Load("a.ini", "x");
    m_widget.Type("y");
    EXPECT_EQ(m_editor.SaveFile("/dev/full"), 0);
    EXPECT_EQ(m_editor.m_strFileName, (m_folder / "a.ini").string());
    EXPECT_TRUE(m_editor.GetModify());
    ASSERT_EQ(m_boxes.m_calls.size(), 1u);
    EXPECT_EQ(m_boxes.m_calls[0].text, "Error : Cannot write /dev/full.");
}

struct CloseCase {
    const char* name;
    bool modified;
    int answer;
    const char* saveTo; // the document's file name at the prompt
    int result;
    bool emptied;
    const char* written; // what the file holds afterwards; nullptr: no file
    std::size_t boxes;
};

TEST_F(DocumentTest, CloseAsksOnlyForModifiedDocuments)
{
    const CloseCase cases[] = {
        {"clean", false, IDYES, "c.ini", 1, true, nullptr, 0},
        {"cancel", true, IDCANCEL, "c.ini", 0, false, nullptr, 1},
        {"no", true, IDNO, "c.ini", 1, true, nullptr, 1},
        {"yes", true, IDYES, "c.ini", 1, true, "text\r\nmore", 1},
        // The text is kept when the save fails, with a message why.
        {"yes but cannot create", true, IDYES, "no/such/c.ini", 0, false, nullptr, 2},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(m_folder / "c.ini");
        m_boxes = CFakeMessageBox{};
        m_boxes.m_answers = {c.answer};
        m_editor.SetText("text\nmore");
        m_editor.m_strFileName = c.saveTo;
        m_widget.SetModify(c.modified);
        m_window.m_text = "Editor - c.ini*";

        EXPECT_EQ(m_editor.CloseFile(), c.result);
        ASSERT_EQ(m_boxes.m_calls.size(), c.boxes);
        if (c.boxes > 0) {
            EXPECT_EQ(m_boxes.m_calls[0].text, std::string("Save changes to\n") + c.saveTo);
            EXPECT_EQ(m_boxes.m_calls[0].caption, "Editor");
            EXPECT_EQ(m_boxes.m_calls[0].style, MB_YESNOCANCEL | MB_ICONQUESTION);
        }
        if (c.written)
            EXPECT_EQ(ReadAll(m_folder / "c.ini"), c.written);
        else
            EXPECT_FALSE(fs::exists(m_folder / "c.ini"));
        if (c.emptied) {
            EXPECT_EQ(m_editor.GetText(), "");
            EXPECT_EQ(m_window.m_text, "Editor - untitled.ini*");
            EXPECT_EQ(m_editor.m_strFileName, "untitled.ini");
            EXPECT_TRUE(m_editor.GetModify()); // set again by the emptying
        } else {
            EXPECT_EQ(m_editor.GetText(), "text\r\nmore");
            EXPECT_TRUE(m_editor.GetModify());
        }
    }
}

TEST_F(DocumentTest, SaveAsAppendsIniUnlessTheNameHoldsDotIn)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a", "a.ini"},
        {"a.inf", "a.inf"},
        {"b.ini", "b.ini"},
        {"A.INI", "A.INI.ini"},
        {"c.txt", "c.txt.ini"},
        {"d.in.txt", "d.in.txt"},
    };
    fs::create_directory(m_folder / "sub");
    for (const auto& [typed, saved] : cases) {
        m_editor.SetText(typed);
        m_dialog.m_paths = {(m_folder / "sub" / typed).string()};
        SaveScriptAs(m_editor, m_dialog);
        EXPECT_EQ(ReadAll(m_folder / "sub" / saved), typed) << typed;
        EXPECT_EQ(m_window.m_text, std::string("Editor - ") + saved);
        EXPECT_FALSE(m_editor.GetModify());
    }
    EXPECT_EQ(m_dialog.m_shown[0].kind, FileDialogOptions::Kind::Save);
    EXPECT_EQ(m_dialog.m_shown[0].title, "Save As");
    EXPECT_EQ(m_dialog.m_shown[0].filter, "Ini File (*.ini)|*.ini|");

    // Cancelled: nothing is written.
    m_widget.Type("x");
    m_dialog.m_paths = {""};
    SaveScriptAs(m_editor, m_dialog);
    EXPECT_TRUE(m_editor.GetModify());
}

TEST_F(DocumentTest, SaveAsKeepsTheChosenFolderWhenTheCurrentFolderMoves)
{
    fs::create_directory(m_folder / "scripts");
    fs::create_directory(m_folder / "files");
    m_editor.SetText("one");
    m_dialog.m_paths = {(m_folder / "scripts" / "s").string(), (m_folder / "files" / "f.txt").string()};
    SaveScriptAs(m_editor, m_dialog);
    AddFileToScript(m_editor, m_dialog);
    ASSERT_EQ(fs::current_path(), m_folder / "files");
    SaveScript(m_editor);
    EXPECT_EQ(ReadAll(m_folder / "scripts" / "s.ini"), m_editor.GetText());
    EXPECT_FALSE(fs::exists(m_folder / "files" / "s.ini"));
}

TEST_F(DocumentTest, LoadClosesFirstAndStopsWhenThePromptIsCancelled)
{
    WriteAll(m_folder / "other.ini", "other");
    Load("a.ini", "mine");
    m_widget.Type("!");

    m_boxes.m_answers = {IDCANCEL};
    m_dialog.m_paths = {(m_folder / "other.ini").string()};
    LoadScript(m_editor, m_dialog);
    EXPECT_TRUE(m_dialog.m_shown.empty());
    EXPECT_EQ(m_editor.GetText(), "!mine");
    EXPECT_EQ(m_window.m_text, "Editor - a.ini*");

    // No, then the file dialog cancelled: the empty untitled document stays.
    m_boxes.m_answers = {IDNO};
    m_dialog.m_paths = {""};
    LoadScript(m_editor, m_dialog);
    ASSERT_EQ(m_dialog.m_shown.size(), 1u);
    EXPECT_EQ(m_dialog.m_shown[0].kind, FileDialogOptions::Kind::Open);
    EXPECT_EQ(m_dialog.m_shown[0].title, "Open");
    EXPECT_EQ(m_dialog.m_shown[0].filter, "Ini File (*.ini)|*.ini|Inf File (*.inf)|*.inf|All Files (*.*)|*.*|");
    EXPECT_EQ(m_editor.GetText(), "");
    EXPECT_EQ(m_window.m_text, "Editor - untitled.ini*");

    // The emptied document is modified, so the prompt comes again.
    m_boxes.m_answers = {IDNO};
    m_dialog.m_paths = {(m_folder / "other.ini").string()};
    LoadScript(m_editor, m_dialog);
    EXPECT_EQ(m_boxes.m_calls.size(), 3u);
    EXPECT_EQ(m_editor.GetText(), "other");
    EXPECT_EQ(m_window.m_text, "Editor - other.ini");
    EXPECT_FALSE(m_editor.GetModify());
}

struct AddFileCase {
    const char* name;
    const char* before;
    const char* after;
};

TEST_F(DocumentTest, AddFilePutsThePathBelowTheFirstFilesHeader)
{
    const std::string path = (m_folder / "x.bin").string();
    const AddFileCase cases[] = {
        {"no section", "[Setup]\r\n", "[Setup]\r\n\r\n[Files]\r\n@\r\n"},
        {"empty text", "", "\r\n[Files]\r\n@\r\n"},
        {"above earlier entries", "[Files]\r\na.txt\r\n[Tasks]\r\n", "[Files]\r\n@\r\na.txt\r\n[Tasks]\r\n"},
        {"first header wins, even in a comment", "; [Files] here\r\n[Files]\r\n",
         "; [Files] here\r\n@\r\n[Files]\r\n"},
        {"header ends the text", "[Setup]\r\n[Files]", "[Setup]\r\n[Files]\r\n@\r\n"},
    };
    for (const AddFileCase& c : cases) {
        m_editor.SetText(c.before);
        m_widget.SetModify(false);
        m_window.m_text = "Editor - s.ini";
        m_dialog.m_paths = {path};
        AddFileToScript(m_editor, m_dialog);
        std::string expected = c.after;
        expected.replace(expected.find('@'), 1, path);
        EXPECT_EQ(m_editor.GetText(), expected) << c.name;
        EXPECT_TRUE(m_editor.GetModify());
        EXPECT_EQ(m_window.m_text, "Editor - s.ini*");
    }
    EXPECT_EQ(m_dialog.m_shown[0].kind, FileDialogOptions::Kind::Save);
    EXPECT_EQ(m_dialog.m_shown[0].title, "Add File");
    EXPECT_EQ(m_dialog.m_shown[0].filter, "All Files (*.*)|*.*|");

    m_editor.SetText("[Files]\r\n");
    m_widget.SetModify(false);
    m_dialog.m_paths = {""};
    AddFileToScript(m_editor, m_dialog);
    EXPECT_EQ(m_editor.GetText(), "[Files]\r\n");
    EXPECT_FALSE(m_editor.GetModify());
}

TEST(BuiltInSample, MixesLineEndsAsItAlwaysHas)
{
    const std::string sample = BuiltInSample();
    std::vector<std::string> endings;
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf; (lf = sample.find('\n', start)) != std::string::npos; start = lf + 1) {
        const bool cr = lf > start && sample[lf - 1] == '\r';
        lines.push_back(sample.substr(start, lf - start - (cr ? 1 : 0)));
        endings.push_back(cr ? "CRLF" : "LF");
    }
    EXPECT_EQ(start, sample.size()); // ends right after a line break
    ASSERT_EQ(lines.size(), 31u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t number = i + 1;
        const bool lfAlone = number <= 6 || number == 16;
        EXPECT_EQ(endings[i], lfAlone ? "LF" : "CRLF") << "line " << number;
        EXPECT_EQ(lines[i].find('\r'), std::string::npos) << "line " << number;
    }
    EXPECT_EQ(sample.size(), 999u);
}

} // namespace
