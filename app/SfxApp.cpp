#include "app/SfxApp.h"

bool CSfxApp::InitInstance()
{
    CSfxDlg dialog(m_services, m_startScript);
    m_dialog = &dialog;
    dialog.DoModal();
    m_dialog = nullptr;
    return false;
}
