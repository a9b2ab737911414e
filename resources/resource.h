// Every resource and control id of wizard.exe.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX        100
#define IDD_MENU            102
#define IDD_SPLASH          103

// Built-in texts (string table, language 1033)
#define IDS_ABOUTBOX        101
#define IDS_SOCKETS_FAILED  103
#define IDS_CAPTION         104
#define IDS_UNABLE_TO_START 105
#define IDS_ERROR           106
#define IDS_CHOOSE_OPTION   107
#define IDS_DOWNLOAD_DONE   108
#define IDS_DOWNLOAD_MISMATCH 109

// Bitmaps
#define IDB_PICTURE         134
#define IDB_SPLASH_5        163
#define IDB_SPLASH_2        164
#define IDB_SPLASH_3        165
#define IDB_SPLASH_1        166
#define IDB_SPLASH_4        167

// The pictures drawn for larger display scales (RCDATA, PNG): the menu
// picture and the five splash steps (step 1 whole, steps 2 to 5 only where
// they differ from step 1) at 150 % and 200 %.
#define IDR_PICTURE_150     201
#define IDR_PICTURE_200     202
#define IDR_SPLASH_150_1    211
#define IDR_SPLASH_150_2    212
#define IDR_SPLASH_150_3    213
#define IDR_SPLASH_150_4    214
#define IDR_SPLASH_150_5    215
#define IDR_SPLASH_200_1    221
#define IDR_SPLASH_200_2    222
#define IDR_SPLASH_200_3    223
#define IDR_SPLASH_200_4    224
#define IDR_SPLASH_200_5    225

// Icons
#define IDI_ABOUT           128
#define IDR_MAINFRAME       139
#define IDI_CD              151
#define IDI_WEB             152
#define IDI_UP              154
#define IDI_YQ              156
#define IDI_JEK             157
#define IDI_ZOV             158
#define IDI_FOLDER          159
#define IDI_BOOK            162

// Cursor
#define IDC_HAND_CURSOR     155

// Controls of the menu window (IDD_MENU)
#define IDC_TITLE           1001
#define IDC_OPTION2         1003
#define IDC_OPTION3         1004
#define IDC_OPTION4         1005
#define IDC_OPTION5         1006
#define IDC_OPTION6         1007
#define IDC_OPTION7         1008
#define IDC_DESCRIPTION     1009
#define IDC_OPTION1         1010
#define IDC_BULLET1         1028
#define IDC_BULLET2         1029
#define IDC_TITLE_BULLET    1030
#define IDC_BULLET3         1032
#define IDC_BULLET4         1033
#define IDC_BULLET5         1034
#define IDC_BULLET6         1035
#define IDC_BULLET7         1036

#define IDC_PICTURE         1037

// Controls of the splash window (IDD_SPLASH)
#define IDC_SPLASH_PICTURE1 1031
#define IDC_SPLASH_PICTURE2 1032
#define IDC_SPLASH_PICTURE3 1033
#define IDC_SPLASH_PICTURE4 1034
#define IDC_SPLASH_PICTURE5 1035

// The About entry of the system menu
#define IDM_ABOUTBOX        0x0010

#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif
