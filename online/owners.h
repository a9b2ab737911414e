// Owners of the library's handles that are not Internet handles: each frees
// what it holds when it goes. The menu program has owners of its own; the
// two share no code.
#pragma once

#include <windows.h>

// A buffer the system allocated for the caller (FormatMessage with
// FORMAT_MESSAGE_ALLOCATE_BUFFER), freed with LocalFree.
class CLocalBuffer {
public:
    CLocalBuffer() = default;
    ~CLocalBuffer() {
        if (m_pData) LocalFree(m_pData);
    }
    CLocalBuffer(const CLocalBuffer&) = delete;
    CLocalBuffer& operator=(const CLocalBuffer&) = delete;

    // Where the system writes the buffer's address; FormatMessage takes it
    // cast to its string type.
    char** Receive() { return &m_pData; }
    const char* Get() const { return m_pData; }

private:
    char* m_pData = nullptr;
};

// A kernel object's handle (a thread's), closed with CloseHandle.
class CHandle {
public:
    explicit CHandle(HANDLE h = nullptr) : m_h(h) {}
    ~CHandle() { Reset(nullptr); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    HANDLE Get() const { return m_h; }
    void Reset(HANDLE h) {
        if (m_h) CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h;
};

// A reference to a loaded library, released with FreeLibrary.
class CLibrary {
public:
    CLibrary() = default;
    explicit CLibrary(HMODULE hModule) : m_hModule(hModule) {}
    ~CLibrary() { Free(); }
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;

    bool Load(const char* pszName) {
        Free();
        m_hModule = LoadLibraryA(pszName);
        return m_hModule != nullptr;
    }
    void Free() {
        if (m_hModule) FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
    // Gives the reference up to the caller, who frees it.
    HMODULE Detach() {
        HMODULE hModule = m_hModule;
        m_hModule = nullptr;
        return hModule;
    }
    HMODULE Get() const { return m_hModule; }
    // The export `name`, or null.
    FARPROC Proc(const char* name) const {
        return m_hModule ? GetProcAddress(m_hModule, name) : nullptr;
    }

private:
    HMODULE m_hModule = nullptr;
};
