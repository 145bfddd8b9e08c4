// A setup screen of fake controls, an installer package in a temporary
// folder, a registry store beside it, and the task interpreter over them.
#pragma once

#include "installer/TaskInterpreter.h"
#include "platform/posix/RegStore.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/TestPackage.h"

#include <gtest/gtest.h>

class CInterpreterTest : public ::testing::Test {
protected:
    CInterpreterTest()
        : m_installer(WriteInstaller(m_dir, "setup", "[Tasks]\r\n",
                                     {{"a.txt", "first"}, {"data.txt", "second"}, {"empty.bin", ""}})),
          m_reader(m_installer, m_box),
          m_registry(m_dir / "reg-user", m_dir / "reg-machine"),
          m_screen{m_window, m_title, m_readme, m_separator, m_status, m_progress, m_button, m_editor},
          m_context{m_screen, false, m_script, m_reader, m_folders, m_shell, m_box, m_registry, "setup"}
    {
        m_folders.m_module = m_installer;
        m_folders.m_windows = m_dir / "win";
        m_folders.m_desktop = m_dir / "desk";
        std::filesystem::create_directories(m_folders.m_windows);
        std::filesystem::create_directories(m_folders.m_desktop);
        m_window.m_client = {0, 0, 400, 300};
        m_window.m_window = {50, 60, 408, 390};
        m_status.SetWindowText(" Status");
        m_button.SetWindowText("&Apply");
        m_progress.ShowWindow(false);
    }

    void Run(const std::string& script, bool bSetup = false)
    {
        m_script.SetText(script);
        CTaskInterpreter(m_context).RunScriptSection(bSetup);
    }

    void RunTasks(const std::string& lines) { Run("[Tasks]\r\n" + lines); }

    std::string Path(const std::string& name) const { return m_dir / name; }

    CTempDir m_dir;
    CFakeMessageBox m_box;
    std::string m_installer;
    CPackageFile m_reader;
    CRegStore m_registry;
    CFakeDialogWindow m_window;
    CFakeControl m_title, m_readme, m_separator, m_status, m_button, m_editor;
    CFakeProgress m_progress;
    CSetupScreen m_screen;
    CScript m_script;
    CFakeFolders m_folders;
    CFakeShell m_shell;
    CTaskContext m_context;
};
