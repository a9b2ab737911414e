#include "menu/wizard_app.h"

#include "menu/menu_dlg.h"

CWizardApp::CWizardApp() {}

CWizardApp::~CWizardApp() {}

BOOL CWizardApp::InitInstance() {
    {
        CMenuDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

// The one application object, made before WinMain runs.
CWizardApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunApplication(); }
