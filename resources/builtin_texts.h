// The program's built-in English texts. The string table of wizard.rc is
// made from these macros, and the host build reads the same table below, so
// the two can never differ.
#pragma once

#include "resources/resource.h"

#define TEXT_ABOUTBOX        "&About Vantrell Installation Wizard..."
#define TEXT_SOCKETS_FAILED  "Windows sockets initialization failed."
#define TEXT_CAPTION         "Vantrell Installation Wizard"
#define TEXT_UNABLE_TO_START "Vantrell Installation Wizard was unable to start"
#define TEXT_ERROR           "Error"
#define TEXT_CHOOSE_OPTION   "Choose an option by clicking on it"
#define TEXT_DOWNLOAD_DONE   "Download Completed"
#define TEXT_DOWNLOAD_MISMATCH \
    "The downloaded file is not the one this medium was made with. It was deleted and not started."

#ifndef RC_INVOKED
struct BuiltinText {
    unsigned id;
    const char* text;
};

static const BuiltinText kBuiltinTexts[] = {
    {IDS_ABOUTBOX, TEXT_ABOUTBOX},
    {IDS_SOCKETS_FAILED, TEXT_SOCKETS_FAILED},
    {IDS_CAPTION, TEXT_CAPTION},
    {IDS_UNABLE_TO_START, TEXT_UNABLE_TO_START},
    {IDS_ERROR, TEXT_ERROR},
    {IDS_CHOOSE_OPTION, TEXT_CHOOSE_OPTION},
    {IDS_DOWNLOAD_DONE, TEXT_DOWNLOAD_DONE},
    {IDS_DOWNLOAD_MISMATCH, TEXT_DOWNLOAD_MISMATCH},
};
#endif
