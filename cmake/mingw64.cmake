# Cross-compiling for 64-bit Windows with MinGW-w64: only for the Windows
# suites on machines that run no 32-bit code (tools/dev/wine-env); nothing ships.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
