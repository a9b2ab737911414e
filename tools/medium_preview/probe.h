// What the preview walker and the probe it puts into wizard.exe agree on.
#pragma once

#include <windows.h>

#include <string>

namespace probe {

// Sent to the menu window; the probe answers it before the window sees it.
constexpr const char* kRequestMessage = "VantrellMediumPreviewMeasure";
constexpr size_t kSharedSize = 64 * 1024;
// The hook's export in preview_probe.dll (probe.def).
constexpr const char* kHookExport = "ProbeHook";

// The shared memory the answer goes to, one per menu process.
inline std::string SharedName(DWORD menuProcess) {
    return "VantrellMediumPreview." + std::to_string(menuProcess);
}

}  // namespace probe
