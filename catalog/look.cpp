#include "catalog/look.h"

#include "catalog/catalog_item.h"
#include "platform/system.h"

namespace look {

namespace {

const char kSection[] = "common";
const DWORD kValueBuffer = CCatalogItem::kMaxValue + 1;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string RootDescriptor(const std::string& folder) {
    return folder + "\\" + CCatalogItem::kDescriptorName;
}

std::vector<std::string> ReadSplash(const std::string& descriptor) {
    char buf[kValueBuffer];
    DWORD n = platform::ProfileString(kSection, "splash", "", buf, kValueBuffer,
                                      descriptor.c_str());
    if (n >= kValueBuffer) n = kValueBuffer - 1;
    return SplitList(std::string(buf, n));
}

Look Read(const std::string& descriptor) {
    const platform::ProfileSectionReader section(kSection, descriptor.c_str());
    Look look;
    look.picture = CCatalogItem::ReadKey(section, "picture");
    look.splash = SplitList(CCatalogItem::ReadKey(section, "splash"));
    look.windowIcon = CCatalogItem::ReadKey(section, "windowicon");
    return look;
}

std::vector<std::string> SplitList(const std::string& value) {
    // The separator is never the second byte of a double-byte character in
    // the code pages Windows has, so the value is taken apart byte by byte.
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        const size_t end = value.find(kSplashSeparator, from);
        size_t first = from, last = end == std::string::npos ? value.size() : end;
        while (first < last && IsBlank(value[first])) ++first;
        while (last > first && IsBlank(value[last - 1])) --last;
        if (last > first) parts.push_back(value.substr(first, last - first));
        if (end == std::string::npos) return parts;
        from = end + 1;
    }
}

std::string PathOf(const std::string& folder, const std::string& value) {
    return folder + "\\" + value;
}

std::vector<std::string> SplashPaths(const std::string& folder,
                                     const std::vector<std::string>& values) {
    std::vector<std::string> paths;
    for (size_t i = 0; i < values.size() && i < kMostSplash; ++i)
        paths.push_back(PathOf(folder, values[i]));
    return paths;
}

}  // namespace look
