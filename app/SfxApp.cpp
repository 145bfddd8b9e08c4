#include "app/SfxApp.h"

bool CSfxApp::InitInstance()
{
    CSfxDlg dialog(m_services);
    dialog.DoModal();
    return false;
}
