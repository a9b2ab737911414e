// The Windows side of medium-preview: starts wizard.exe from a medium, walks
// the pages the checker found by clicking as a user does (each sub-menu, and
// back through the title), and for every page and every hovered option saves
// the menu window as a bitmap together with what the probe measured in it.
// Usage: preview-walker MEDIUM_FOLDER PLAN_FILE OUT_FOLDER
// The plan has one line per page, "PAGE PARENT SLOT", a tab and the page's
// title (the first page's parent is 0). OUT_FOLDER receives page-N.bmp, page-N-option-K.bmp and
// walk.txt: a "shot FILE PAGE SLOT" line per picture, each followed by the
// probe's "ctl ..." lines, and "error PAGE TEXT" for what went wrong.
#include "tools/medium_preview/probe.h"
#include "tools/medium_preview/wizard_driver.h"

#include "catalog/look.h"
#include "menu/menu_logic.h"
#include "platform/gdi.h"
#include "platform/handles.h"
#include "platform/image.h"
#include "platform/system.h"
#include "resources/resource.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct PlanPage {
    int number = 0;
    int parent = 0;
    int slot = 0;
    std::string title;  // as the menu sets it, in the menu's code page
};

std::vector<PlanPage> ReadPlan(const std::string& path) {
    std::vector<PlanPage> pages;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return pages;
    char line[4096];
    while (std::fgets(line, sizeof line, f)) {
        PlanPage p;
        int used = 0;
        if (std::sscanf(line, "%d %d %d%n", &p.number, &p.parent, &p.slot, &used) != 3) break;
        std::string title = line + used;
        while (!title.empty() && (title.back() == '\n' || title.back() == '\r')) title.pop_back();
        if (!title.empty() && title[0] == '\t') title.erase(0, 1);
        p.title = title;
        pages.push_back(p);
    }
    std::fclose(f);
    return pages;
}

// `w` x `h` pixels of `from` at `x`, `y`, written as a 24-bit bitmap file.
bool SaveArea(HDC from, int x, int y, int w, int h, const std::string& path) {
    if (w <= 0 || h <= 0) return false;
    CClientDC screen(nullptr);
    CMemoryDC dc(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as the file keeps it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CBitmap bmp;
    if (!bmp.Attach(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0)) || !bits)
        return false;
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, w, h, from ? from : static_cast<HDC>(screen), x, y, SRCCOPY);
    GdiFlush();
    SelectObject(dc, old);

    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bi.bmiHeader.biSizeImage = size;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
                    std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                    std::fwrite(bits, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// The window as the screen shows it.
bool SaveWindow(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    return SaveArea(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, path);
}

// The medium's own splash pictures as the menu fills its splash with them at
// this display's scale (the splash itself is gone before the walk begins),
// saved as splash-K.bmp with a "splash FILE" line each. Those the menu
// cannot use are the checker's findings.
void SaveOwnSplash(std::string root, const std::string& out, FILE* log) {
    if (!root.empty() && root.back() == '\\') root.pop_back();
    const std::vector<std::string> files =
        look::SplashPaths(root, look::ReadSplash(look::RootDescriptor(root)));
    CClientDC screen(nullptr);
    CMemoryDC dc(screen);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    for (size_t i = 0; i < files.size(); ++i) {
        const platform::Pixels pixels =
            platform::FillFrame(platform::DecodePictureFile(files[i]),
                                menu::ScaleToDpi(menu::kSplashWidth, dpi),
                                menu::ScaleToDpi(menu::kSplashHeight, dpi));
        CBitmap bitmap;
        if (!bitmap.Attach(platform::CreatePixelBitmap(pixels))) continue;
        const std::string name = "splash-" + std::to_string(i + 1) + ".bmp";
        HGDIOBJ old = SelectObject(dc, bitmap);
        const bool saved = SaveArea(dc, 0, 0, pixels.width, pixels.height, out + "\\" + name);
        SelectObject(dc, old);
        if (saved) std::fprintf(log, "splash\t%s\n", name.c_str());
    }
}

// The shared memory the probe answers in.
class Answer {
public:
    explicit Answer(DWORD menuProcess)
        : m_map(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   static_cast<DWORD>(probe::kSharedSize),
                                   probe::SharedName(menuProcess).c_str())) {
        m_view.Map(m_map, FILE_MAP_WRITE);
    }
    bool Ready() const { return m_view.Get() != nullptr; }
    void Clear() { m_view.Get()[0] = '\0'; }
    std::string Text() const {
        return std::string(m_view.Get(), strnlen(m_view.Get(), probe::kSharedSize));
    }

private:
    CHandle m_map;
    CMappedView m_view;
};

class Walker {
public:
    Walker(wizard_driver::Wizard& wizard, Answer& answer, const std::string& out, FILE* log)
        : m_wizard(wizard), m_answer(answer), m_out(out), m_log(log),
          m_request(RegisterWindowMessageA(probe::kRequestMessage)) {}

    void Walk(const std::vector<PlanPage>& plan) {
        std::map<int, std::vector<PlanPage>> children;
        for (const PlanPage& p : plan)
            if (p.parent) children[p.parent].push_back(p);
        m_children = &children;
        Visit(1);
    }

private:
    // What the window shows of a page; it changes when another page comes.
    std::string Signature() const {
        std::string s = m_wizard.Text(IDC_TITLE);
        for (const menu::SlotControls& ids : menu::kSlotControls)
            s += "\x1F" + m_wizard.Text(ids.option);
        return s;
    }

    // Two clicks in one spot within the double-click time make a double
    // click, which opens nothing: going back up two levels clicks the title
    // twice.
    void Click(int id) {
        const DWORD wait = GetDoubleClickTime() + 50;
        while (m_clicked && GetTickCount() - m_lastClick < wait) Sleep(25);
        m_wizard.Click(id);
        m_lastClick = GetTickCount();
        m_clicked = true;
    }

    void Shot(int page, int slot) {
        Sleep(60);  // the repaint of the focus change
        char name[64];
        if (slot) std::snprintf(name, sizeof name, "page-%d-option-%d.bmp", page, slot);
        else std::snprintf(name, sizeof name, "page-%d.bmp", page);
        if (!SaveWindow(m_wizard.Window(), m_out + "\\" + name))
            std::fprintf(m_log, "error\t%d\tthe picture %s could not be saved\n", page, name);
        std::fprintf(m_log, "shot\t%s\t%d\t%d\n", name, page, slot);
        m_answer.Clear();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(m_wizard.Window(), m_request, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        std::fputs(m_answer.Text().c_str(), m_log);
    }

    bool Visit(int page) {
        m_wizard.HoverBackground();
        wizard_driver::WaitFor([&] { return m_wizard.Focus() == m_wizard.Control(IDC_DESCRIPTION); }, 1000);
        Shot(page, 0);
        for (int slot = 1; slot <= menu::kSlots; ++slot) {
            const int id = menu::kSlotControls[slot - 1].option;
            if (!m_wizard.Visible(id)) continue;
            m_wizard.Hover(id);
            m_wizard.WaitFocus(id, 1500);
            Shot(page, slot);
        }
        for (const PlanPage& child : (*m_children)[page]) {
            // The option that shows the sub-menu's title, wherever the menu
            // put it; no other is clicked, as it would start a program or
            // open an address. Options of the same priority come in the
            // order the folder lists them, which the checker's system may
            // not share.
            int id = 0;
            for (int k = 0; k < menu::kSlots && !id; ++k) {
                const int option = menu::kSlotControls[k].option;
                if (m_wizard.Visible(option) && m_wizard.Text(option) == child.title) id = option;
            }
            if (!id) {
                std::fprintf(m_log, "error\t%d\tno option of this page shows page %d; not walked\n",
                             page, child.number);
                continue;
            }
            const std::string here = Signature();
            Click(id);
            // A page that looks exactly like its parent shows no change.
            wizard_driver::WaitFor([&] { return Signature() != here || !m_wizard.Running(); }, 2000);
            if (!m_wizard.Running()) {
                std::fprintf(m_log, "error\t%d\tthe option of page %d ended the menu\n", page,
                             child.number);
                return false;
            }
            if (!Visit(child.number)) return false;
            Click(IDC_TITLE);
            if (!wizard_driver::WaitFor([&] { return Signature() == here; }, 3000)) {
                std::fprintf(m_log, "error\t%d\tthe title of page %d did not lead back\n", page,
                             child.number);
                return false;
            }
        }
        return true;
    }

    wizard_driver::Wizard& m_wizard;
    Answer& m_answer;
    std::string m_out;
    FILE* m_log;
    UINT m_request;
    std::map<int, std::vector<PlanPage>>* m_children = nullptr;
    DWORD m_lastClick = 0;
    bool m_clicked = false;
};

std::string OwnFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return platform::FolderOf(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: preview-walker MEDIUM_FOLDER PLAN_FILE OUT_FOLDER\n");
        return 2;
    }
    const std::string medium = wizard_driver::DosPath(argv[1]);
    const std::string out = wizard_driver::DosPath(argv[3]);
    const std::vector<PlanPage> plan = ReadPlan(wizard_driver::DosPath(argv[2]));
    if (plan.empty() || plan.front().number != 1) {
        std::fprintf(stderr, "preview-walker: no pages in %s\n", argv[2]);
        return 2;
    }
    FILE* log = std::fopen((out + "\\walk.txt").c_str(), "wb");
    if (!log) {
        std::fprintf(stderr, "preview-walker: cannot write in %s\n", out.c_str());
        return 1;
    }
    CLoadedLibrary probeDll;
    const std::string probePath = OwnFolder() + "\\preview_probe.dll";
    if (!probeDll.Load(probePath.c_str())) {
        std::fprintf(stderr, "preview-walker: cannot load %s (error %lu)\n", probePath.c_str(),
                     GetLastError());
        std::fclose(log);
        return 1;
    }
    const HOOKPROC proc = probeDll.Export<HOOKPROC>(probe::kHookExport);
    if (!proc) {
        std::fprintf(stderr, "preview-walker: %s exports no %s\n", probePath.c_str(),
                     probe::kHookExport);
        std::fclose(log);
        return 1;
    }
    int status = 0;
    {
        wizard_driver::Wizard wizard(medium);
        if (!wizard.Started()) {
            std::fprintf(log, "error\t1\tthe menu window did not come up\n");
            status = 1;
        } else {
            Answer answer(wizard.ProcessId());
            CHook hook;
            if (!answer.Ready() || !hook.Set(WH_CALLWNDPROC, proc, probeDll, wizard.ThreadId())) {
                std::fprintf(log, "error\t1\tthe menu window cannot be measured\n");
                status = 1;
            } else {
                Walker walker(wizard, answer, out, log);
                walker.Walk(plan);
            }
        }
    }
    SaveOwnSplash(medium, out, log);
    std::fclose(log);
    return status;
}
