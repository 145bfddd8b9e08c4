// The user interface on a terminal, for installers without a window: the
// dialog and its boxes as lines of text. The editor's own services (the list
// of choices and the file dialog) are the desktop's, as the editor never
// runs here; TEditorWindow, TChoiceList and TFileDialog are the desktop's
// dialog, list of choices and file dialog.
#pragma once

#include "platform/UserInterface.h"
#include "platform/term/TermDialog.h"
#include "platform/term/Terminal.h"

#include <cstdio>
#include <string>

template <class TEditorWindow, class TChoiceList, class TFileDialog>
class CTermInterface : public IUserInterface {
public:
    CTermInterface(TermMode mode, std::FILE* in, std::FILE* out, const std::string& program)
        : m_terminal(mode, in, out), m_log(m_terminal, program)
    {
    }
    IDialogWindow& Window() override { return m_window; }
    IMessageBox& Box() override { return m_box; }
    IChoiceList& ChoiceList() override { return m_choiceList; }
    IFileDialog& FileDialog() override { return m_fileDialog; }
    IProgressLog* Log() override { return &m_log; }
    bool Succeeded() const override { return !m_log.Failures() && !m_window.Cancelled(); }

private:
    CTerminal m_terminal;
    CTermDialog m_window{m_terminal};
    CTermMessageBox m_box{m_terminal};
    CTermProgressLog m_log;
    // The editor's own services; an installer never opens them.
    TEditorWindow m_editorWindow;
    TChoiceList m_choiceList{m_editorWindow};
    TFileDialog m_fileDialog;
};
