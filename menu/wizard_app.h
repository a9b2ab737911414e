// The application object of wizard.exe.
#pragma once

#include "platform/window.h"

class CWizardApp : public CWinApp {
public:
    CWizardApp();
    ~CWizardApp() override;

    // Runs the menu window modally; the program ends once it has closed.
    // Returns FALSE, as the framework's start routine expects of a
    // dialog-based program.
    BOOL InitInstance() override;
};
