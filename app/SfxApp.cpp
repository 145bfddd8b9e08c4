#include "app/SfxApp.h"

bool CSfxApp::InitInstance()
{
    CSfxDlg dialog(m_services, m_startScript);
    dialog.DoModal();
    return false;
}
