// The medium's own look: the picture at the left, the splash pictures and
// the window's icon that the root descriptor names, looked at as the menu
// looks at them before it decodes them.
#include "tools/medium_check/check_internal.h"

#include "catalog/look.h"
#include "menu/menu_logic.h"
#include "platform/ini_layout.h"
#include "platform/ini_reader.h"
#include "platform/picture_file.h"
#include "platform/pixels.h"
#include "platform/system.h"

namespace medium_check {
namespace {

// The display scales the artwork is drawn for, in per cent.
const int kScales[] = {100, 150, 200};
int DpiOf(int percent) { return percent * 96 / 100; }

std::string Size(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string Megabytes(std::uint64_t bytes) {
    const std::uint64_t tenths = (bytes * 10 + (1 << 19)) >> 20;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

// "150 % and 200 %".
std::string Scales(const std::vector<int>& percents) {
    std::vector<std::string> names;
    for (int p : percents) names.push_back(std::to_string(p) + " %");
    return ListOf(names);
}

class ArtChecker {
public:
    ArtChecker(const std::string& root, const std::string& descriptor,
               std::vector<Finding>& findings)
        : m_root(root),
          m_file(descriptor.substr(std::min(descriptor.size(), root.size() + 1))),
          m_layout(ini::ReadLayout(platform::NativePath(descriptor).c_str())),
          m_findings(findings) {}

    void Picture(const char* key, const std::string& value, const std::string& what,
                 int frameWidth, int frameHeight) {
        platform::PictureFacts facts;
        if (!Read(key, value, what, false, facts)) return;
        const platform::Area cut =
            platform::CoverArea(facts.width, facts.height, frameWidth, frameHeight);
        const std::string named = Named(key, value);
        std::vector<int> enlarged;
        for (int percent : kScales)
            if (cut.width < menu::ScaleToDpi(frameWidth, DpiOf(percent)) ||
                cut.height < menu::ScaleToDpi(frameHeight, DpiOf(percent)))
                enlarged.push_back(percent);
        const int largest = DpiOf(kScales[2]);
        if (!enlarged.empty())
            Add(Severity::Warning, "art-small", key,
                named + " is " + Size(facts.width, facts.height) + " pixels: the menu enlarges the " +
                    what + " at " + Scales(enlarged) + ", where it looks blurred; supply " +
                    Size(menu::ScaleToDpi(frameWidth, largest),
                         menu::ScaleToDpi(frameHeight, largest)) +
                    " pixels (or more, of these proportions) for a sharp picture at every scale");
        // More than one per cent cut off a side.
        const int sideCut = facts.width - cut.width, endCut = facts.height - cut.height;
        if (sideCut * 100 > facts.width || endCut * 100 > facts.height) {
            const bool sides = sideCut > 0;
            const int percent = (sides ? sideCut * 100 / facts.width : endCut * 100 / facts.height);
            Add(Severity::Warning, "art-aspect", key,
                named + " is " + Size(facts.width, facts.height) +
                    " pixels, not of the proportions of its frame (" +
                    Size(frameWidth, frameHeight) + " at 100 %): the menu cuts " +
                    std::to_string(percent) + " % off its " +
                    (sides ? "left and right" : "top and bottom") + ", never stretching it");
        }
    }

    void Icon(const std::string& value) {
        const char* key = "windowicon";
        platform::PictureFacts facts;
        if (!Read(key, value, "icon", true, facts)) return;
        // The task switcher's icon is 32 pixels at 100 %, the caption's 16.
        std::vector<int> enlarged;
        for (int percent : kScales)
            if (facts.width < menu::ScaleToDpi(32, DpiOf(percent))) enlarged.push_back(percent);
        if (!enlarged.empty())
            Add(Severity::Warning, "art-small", key,
                Named(key, value) + " holds no image larger than " +
                    Size(facts.width, facts.width) + ": Windows enlarges the icon at " +
                    Scales(enlarged) + ", where it looks blurred; add images of 16, 24, 32, 48 "
                    "and 64 pixels");
    }

    void TooMany(const std::vector<std::string>& values) {
        if (values.size() <= look::kMostSplash) return;
        std::vector<std::string> left;
        for (size_t i = look::kMostSplash; i < values.size(); ++i) left.push_back(Quote(values[i]));
        Add(Severity::Warning, "art-too-many", "splash",
            "\"splash\" names " + std::to_string(values.size()) + " pictures; the splash shows " +
                "the first " + std::to_string(look::kMostSplash) + " and leaves out " +
                ListOf(left, 3));
    }

private:
    std::string Named(const char* key, const std::string& value) const {
        return std::string("\"") + key + "\" " + Quote(value);
    }

    // The file as the menu reads it: false, with the finding, when the menu
    // shows its own artwork in its place.
    bool Read(const char* key, const std::string& value, const std::string& what, bool icon,
              platform::PictureFacts& facts) {
        const std::string path = look::PathOf(m_root, value);
        const std::string named = Named(key, value);
        const std::string instead = "; the menu shows its own " + what + " in its place";
        std::string bytes;
        std::uint64_t size = 0;
        switch (platform::ReadWholeFile(path, platform::kMostPictureBytes, bytes, &size)) {
            case platform::FileRead::Missing: {
                const bool elsewhere = platform::CodePage::System().Find(value, ':') !=
                                           std::string::npos ||
                                       value.compare(0, 1, "\\") == 0;
                Add(Severity::Error, "art-missing", key,
                    named + " is not on the medium" +
                        (elsewhere ? " (write the path relative to the medium's root)" : "") +
                        instead);
                return false;
            }
            case platform::FileRead::Folder:
                Add(Severity::Error, "art-unreadable", key, named + " is a folder" + instead);
                return false;
            case platform::FileRead::TooLarge:
                Add(Severity::Error, "art-unreadable", key,
                    named + " is " + Megabytes(size) + ", more than the " +
                        Megabytes(platform::kMostPictureBytes) + " the menu reads" + instead);
                return false;
            case platform::FileRead::Unreadable:
                Add(Severity::Error, "art-unreadable", key, named + " cannot be read" + instead);
                return false;
            case platform::FileRead::Read:
                break;
        }
        facts = icon ? platform::InspectIcon(bytes) : platform::InspectPicture(bytes);
        if (facts.problem.empty()) return true;
        Add(Severity::Error, "art-unreadable", key, named + " " + facts.problem + instead);
        return false;
    }

    void Add(Severity severity, const char* code, const char* key, const std::string& message) {
        m_findings.push_back(
            {severity, code, m_file, ini::LineOf(m_layout, "common", key), message});
    }

    std::string m_root;
    std::string m_file;
    std::vector<ini::SectionLayout> m_layout;
    std::vector<Finding>& m_findings;
};

}  // namespace

void CheckArt(const std::string& root, const std::string& descriptor,
              std::vector<Finding>& findings) {
    const look::Look own = look::Read(descriptor);
    ArtChecker art(root, descriptor, findings);
    if (!own.picture.empty())
        art.Picture("picture", own.picture, "picture", menu::kPictureWidth,
                    menu::kPictureHeight);
    for (size_t i = 0; i < own.splash.size() && i < look::kMostSplash; ++i)
        art.Picture("splash", own.splash[i], "splash picture", menu::kSplashWidth,
                    menu::kSplashHeight);
    art.TooMany(own.splash);
    if (!own.windowIcon.empty()) art.Icon(own.windowIcon);
}

}  // namespace medium_check
