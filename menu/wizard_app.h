// The application object of wizard.exe.
#pragma once

#include "platform/window.h"

class CWizardApp : public CWinApp {
public:
    CWizardApp();
    ~CWizardApp() override;

    // Runs the menu window; returns FALSE so that the program then ends.
    BOOL InitInstance() override;
};
