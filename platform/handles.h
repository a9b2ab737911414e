// Owners of the system's handles that are no drawing objects (those are in
// gdi.h): each frees what it holds when it goes. Windows only.
#pragma once

#include <windows.h>

// A library loaded for as long as the object lives.
class CLibrary {
public:
    CLibrary() : m_hModule(nullptr) {}
    ~CLibrary() { Free(); }
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;

    // LoadLibraryA, freeing the library held before; false when it fails.
    bool Load(const char* name) { return Attach(::LoadLibraryA(name)); }
    // The file's resources alone, none of its code run (LOAD_LIBRARY_AS_DATAFILE).
    bool LoadResources(const char* path) {
        return Attach(::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    }
    void Free() {
        if (m_hModule) ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
    // The export `name` as a function of type F; null when the library is
    // not loaded or has no such export.
    template <class F>
    F Export(const char* name) const {
        if (!m_hModule) return nullptr;
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m_hModule, name)));
    }
    operator HMODULE() const { return m_hModule; }

private:
    bool Attach(HMODULE module) {
        Free();
        m_hModule = module;
        return m_hModule != nullptr;
    }

    HMODULE m_hModule;
};

// A text the system allocated for the caller (FormatMessageA with
// FORMAT_MESSAGE_ALLOCATE_BUFFER), freed with LocalFree.
class CSystemText {
public:
    CSystemText() : m_text(nullptr) {}
    ~CSystemText() { Free(); }
    CSystemText(const CSystemText&) = delete;
    CSystemText& operator=(const CSystemText&) = delete;

    // Where FormatMessageA writes the text's address, as its buffer
    // argument wants it; frees the text held before.
    LPSTR Receive() {
        Free();
        return reinterpret_cast<LPSTR>(&m_text);
    }
    void Free() {
        if (m_text) ::LocalFree(m_text);
        m_text = nullptr;
    }
    // The text; null when the system gave none.
    const char* Get() const { return m_text; }

private:
    char* m_text;
};
