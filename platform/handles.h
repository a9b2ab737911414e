// Owners of the system's handles that are no drawing objects (those are in
// gdi.h): each frees what it holds when it goes. Windows only.
#pragma once

#include <windows.h>

// A library loaded for as long as the object lives.
class CLoadedLibrary {
public:
    CLoadedLibrary() : m_hModule(nullptr) {}
    ~CLoadedLibrary() { Free(); }
    CLoadedLibrary(const CLoadedLibrary&) = delete;
    CLoadedLibrary& operator=(const CLoadedLibrary&) = delete;

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

// A kernel object (a file, a process, a thread, a file mapping), closed
// with CloseHandle. Null and INVALID_HANDLE_VALUE, the two ways the system
// says "none", both hold nothing.
class CHandle {
public:
    CHandle() : m_handle(nullptr) {}
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    // Takes ownership of `handle`, closing the one held before.
    HANDLE Attach(HANDLE handle) {
        Close();
        return m_handle = handle;
    }
    void Close() {
        if (IsOpen()) ::CloseHandle(m_handle);
        m_handle = nullptr;
    }
    bool IsOpen() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return m_handle; }

private:
    HANDLE m_handle;
};

// A view of a file mapping (MapViewOfFile), unmapped when it goes.
class CMappedView {
public:
    CMappedView() : m_view(nullptr) {}
    ~CMappedView() { Unmap(); }
    CMappedView(const CMappedView&) = delete;
    CMappedView& operator=(const CMappedView&) = delete;

    // Maps all of `mapping` for `access`, unmapping the view held before;
    // null when it cannot.
    char* Map(HANDLE mapping, DWORD access) {
        Unmap();
        if (mapping) m_view = static_cast<char*>(::MapViewOfFile(mapping, access, 0, 0, 0));
        return m_view;
    }
    void Unmap() {
        if (m_view) ::UnmapViewOfFile(m_view);
        m_view = nullptr;
    }
    char* Get() const { return m_view; }

private:
    char* m_view;
};

// A hook procedure in a thread's chain (SetWindowsHookExA), taken out when
// the object goes.
class CHook {
public:
    CHook() : m_hook(nullptr) {}
    ~CHook() { Unhook(); }
    CHook(const CHook&) = delete;
    CHook& operator=(const CHook&) = delete;

    // False when the system refuses the hook.
    bool Set(int type, HOOKPROC proc, HINSTANCE module, DWORD thread) {
        Unhook();
        m_hook = ::SetWindowsHookExA(type, proc, module, thread);
        return m_hook != nullptr;
    }
    void Unhook() {
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        m_hook = nullptr;
    }

private:
    HHOOK m_hook;
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
