// The few Windows types and constants the portable code speaks in.
// On Windows they come from the system headers; on the host we define them.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef uint32_t LCID;
typedef int BOOL;
typedef unsigned char BYTE;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif
#endif
