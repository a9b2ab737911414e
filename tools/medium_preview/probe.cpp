// Loaded into wizard.exe by the preview walker's message hook. On the
// walker's request it measures the menu window from the inside, with the
// fonts the controls really use, and hands the figures back through shared
// memory named after the menu's process.
#include "tools/medium_preview/probe.h"

#include "resources/resource.h"
#include "resources/slots.h"
#include "tools/medium_common/text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Owns a window's device context with the control's font selected.
class ControlDc {
public:
    explicit ControlDc(HWND control) : m_control(control), m_dc(GetDC(control)) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        if (m_dc && font) m_old = SelectObject(m_dc, font);
    }
    ~ControlDc() {
        if (!m_dc) return;
        if (m_old) SelectObject(m_dc, m_old);
        ReleaseDC(m_control, m_dc);
    }
    ControlDc(const ControlDc&) = delete;
    ControlDc& operator=(const ControlDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_control;
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

// Owns a view of the walker's shared memory.
class SharedView {
public:
    SharedView() {
        const std::string name = probe::SharedName(GetCurrentProcessId());
        m_map = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name.c_str());
        if (m_map) m_view = static_cast<char*>(MapViewOfFile(m_map, FILE_MAP_WRITE, 0, 0, 0));
    }
    ~SharedView() {
        if (m_view) UnmapViewOfFile(m_view);
        if (m_map) CloseHandle(m_map);
    }
    SharedView(const SharedView&) = delete;
    SharedView& operator=(const SharedView&) = delete;
    char* Get() const { return m_view; }

private:
    HANDLE m_map = nullptr;
    char* m_view = nullptr;
};

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

// One control as it is on screen: its text measured in its own font at its
// own width.
std::string Measure(HWND control, int id) {
    wchar_t wide[2048] = L"";
    GetWindowTextW(control, wide, 2048);
    const std::wstring text = wide;
    RECT client;
    GetClientRect(control, &client);
    ControlDc dc(control);
    if (!dc.Get()) return std::string();

    // The static control draws with word breaks and tab expansion, and an
    // ampersand marks the next letter.
    RECT one = {0, 0, 0, 0};
    DrawTextW(dc.Get(), text.c_str(), -1, &one, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    RECT wrapped = {0, 0, client.right, 0};
    DrawTextW(dc.Get(), text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc.Get(), &tm);
    const int lineHeight = tm.tmHeight > 0 ? tm.tmHeight : 1;
    const int needed = text.empty() ? 0 : (wrapped.bottom + lineHeight - 1) / lineHeight;
    const int shown = client.bottom / lineHeight;

    // Characters the face in use has no glyph for. Line breaks, tabs and
    // the mnemonic mark are not drawn as glyphs.
    std::wstring drawn;
    for (wchar_t c : text)
        if (c != L'\n' && c != L'\r' && c != L'\t' && c != L'&') drawn += c;
    int missing = 0;
    if (!drawn.empty()) {
        std::vector<WORD> glyphs(drawn.size(), 0);
        if (GetGlyphIndicesW(dc.Get(), drawn.c_str(), static_cast<int>(drawn.size()), &glyphs[0],
                             GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR) {
            for (WORD g : glyphs)
                if (g == 0xFFFF) ++missing;
        }
    }
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc.Get(), LF_FACESIZE, face);

    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "ctl\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t", id,
                  IsWindowVisible(control) ? 1 : 0, static_cast<int>(one.right),
                  static_cast<int>(client.right), needed, shown, missing);
    return numbers + medium_common::Escaped(Utf8(face), medium_common::Escape::Field) + "\t" +
           medium_common::Escaped(Utf8(text), medium_common::Escape::Field) + "\n";
}

void MeasureWindow(HWND menu) {
    SharedView view;
    if (!view.Get()) return;
    // The title, the options from the top, the description line.
    std::vector<int> ids = {IDC_TITLE};
    for (const ::menu::SlotControls& slot : ::menu::kSlotControls) ids.push_back(slot.option);
    ids.push_back(IDC_DESCRIPTION);
    std::string out;
    for (int id : ids) {
        HWND control = GetDlgItem(menu, id);
        if (control) out += Measure(control, id);
    }
    if (out.size() >= probe::kSharedSize) out.resize(probe::kSharedSize - 1);
    memcpy(view.Get(), out.c_str(), out.size() + 1);
}

}  // namespace

// Exported by probe.def under its plain name, which the walker looks up on
// either build (a 32-bit stdcall function is otherwise named ProbeHook@12).
extern "C" LRESULT CALLBACK ProbeHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* msg = reinterpret_cast<const CWPSTRUCT*>(lp);
        static const UINT request = RegisterWindowMessageA(probe::kRequestMessage);
        if (msg->message == request) MeasureWindow(msg->hwnd);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
