// What the library knows of itself as a module.
#pragma once

#include <windows.h>

#include <string>

// The library's name: its file name without folder and extension ("Online"
// for Online.dll). The Internet agent name and the caption of its messages.
std::string OnlineAppName();
// The library's module handle, where its dialog template and texts are.
HINSTANCE OnlineInstance();
