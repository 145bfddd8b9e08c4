// CSfxApp, the application object: it runs the one main dialog, and the
// program ends when that dialog ends.
#pragma once

#include "app/SfxDlg.h"

#include <string>

class CSfxApp {
public:
    // startScript: the script the editor opens (empty: "sample.ini").
    explicit CSfxApp(const CSfxServices& services, std::string startScript = {})
        : m_services(services), m_startScript(std::move(startScript))
    {
    }

    // Runs the dialog modally; always false, as there is no message loop
    // after it.
    bool InitInstance();
    // The running dialog's SaveRecoveryCopy; "" when no dialog runs.
    std::string SaveRecoveryCopy() { return m_dialog ? m_dialog->SaveRecoveryCopy() : std::string(); }

private:
    CSfxServices m_services;
    std::string m_startScript;
    CSfxDlg* m_dialog = nullptr;
};
