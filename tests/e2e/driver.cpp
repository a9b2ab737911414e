#include "driver.h"

#include <cstdio>
#include <stdexcept>

namespace e2e {

Options& Settings() {
    static Options options;
    return options;
}

void CopyOrFail(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + from + " to " + to);
}

// ---------------------------------------------------------------- Medium

Medium::Medium() {
    const std::string dist = Settings().dist;
    CopyOrFail(dist + "\\wizard.exe", Path("wizard.exe"));
    CopyOrFail(dist + "\\Online.dll", Path("Online.dll"));
    CopyOrFail(dist + "\\filemove.avi", Path("filemove.avi"));
}

void Medium::Product(const std::string& folder, const std::string& lines) const {
    const std::string ini = folder.empty() ? std::string("QXMSETUP.INI")
                                           : folder + "\\QXMSETUP.INI";
    m_dir.Write(ini, "[common]\r\n" + lines);
}

void Medium::Recorder(const std::string& relative) const {
    m_dir.Write(relative, "");  // makes the folders on the way
    CopyOrFail(Settings().recorder, Path(relative));
}

void Medium::Remove(const std::string& relative) const {
    testing_support::RemoveAll(Path(relative));
}

// ---------------------------------------------------------------- Record

Record::Record() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    static unsigned counter = 0;
    std::snprintf(name, sizeof name, "%swze2e_%lu_%u.txt", temp,
                  GetCurrentProcessId(), ++counter);
    m_path = name;
    DeleteFileA(m_path.c_str());
    SetEnvironmentVariableA("WIZARD_E2E_RECORD", m_path.c_str());
}

Record::~Record() {
    SetEnvironmentVariableA("WIZARD_E2E_RECORD", nullptr);
    DeleteFileA(m_path.c_str());
}

std::vector<Start> Record::Starts() const {
    std::vector<Start> starts;
    const std::string text = testing_support::ReadAll(m_path);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) break;
        const std::string line = text.substr(pos, end - pos);
        pos = end + 2;
        if (line.compare(0, 4, "cmd=") == 0) {
            starts.push_back(Start{line.substr(4), std::string()});
        } else if (line.compare(0, 4, "cwd=") == 0 && !starts.empty()) {
            starts.back().folder = line.substr(4);
        }
    }
    return starts;
}

bool Record::WaitForStarts(size_t n, DWORD ms) const {
    return WaitFor([&] { return Starts().size() >= n; }, ms);
}

// ---------------------------------------------------------------- UrlHandler

namespace {
const char* const kSchemeKeys[] = {"http\\shell\\open\\command",
                                   "https\\shell\\open\\command"};
}

UrlHandler::UrlHandler() {
    const std::string command = "\"" + Settings().recorder + "\" \"%1\"";
    for (const char* key : kSchemeKeys) {
        HKEY h = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &h,
                            nullptr) != ERROR_SUCCESS)
            throw std::runtime_error(std::string("cannot open HKCR\\") + key);
        char old[1024];
        DWORD size = sizeof old, type = 0;
        const bool had = RegQueryValueExA(h, nullptr, nullptr, &type,
                                          reinterpret_cast<BYTE*>(old),
                                          &size) == ERROR_SUCCESS &&
                         type == REG_SZ;
        m_had.push_back(had);
        m_saved.push_back(had ? std::string(old, strnlen(old, size)) : std::string());
        RegSetValueExA(h, nullptr, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(h);
    }
}

UrlHandler::~UrlHandler() {
    for (size_t i = 0; i < m_saved.size(); ++i) {
        HKEY h = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kSchemeKeys[i], 0, KEY_SET_VALUE,
                          &h) != ERROR_SUCCESS)
            continue;
        if (m_had[i]) {
            RegSetValueExA(h, nullptr, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(m_saved[i].c_str()),
                           static_cast<DWORD>(m_saved[i].size() + 1));
        } else {
            RegDeleteValueA(h, nullptr);
        }
        RegCloseKey(h);
    }
}

}  // namespace e2e
