// CSfxApp, the application object: it runs the one main dialog, and the
// program ends when that dialog ends.
#pragma once

#include "app/SfxDlg.h"

class CSfxApp {
public:
    explicit CSfxApp(const CSfxServices& services) : m_services(services) {}

    // Runs the dialog modally; always false, as there is no message loop
    // after it.
    bool InitInstance();

private:
    CSfxServices m_services;
};
