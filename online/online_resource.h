// Resource ids of Online.dll (it shares none with the menu program).
#pragma once

#define IDD_DOWNLOAD   135
#define IDC_ANIMATE    1013
#define IDC_COUNT      1014

#ifndef IDC_STATIC
#define IDC_STATIC     (-1)
#endif
