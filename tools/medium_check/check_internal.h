// What the parts of the checker share among themselves.
#pragma once

#include "tools/medium_check/check.h"

#include <string>
#include <vector>

namespace medium_check {

// A name, version or description as the menu looks it up in the
// translation table, and where it was written.
struct DescriptorText {
    std::string key;         // "name", "version" or "description"
    std::string text;
    std::string descriptor;  // relative to the medium
    unsigned line;
};

// The line (counted from 1) of `key` in `section` of an initialisation file,
// as the profile functions find it: the first section of that name, the
// first key of that name, both without regard to case. 0 when absent.
unsigned KeyLine(const std::string& path, const char* section, const char* key);

// The translation file's findings. Loads each of its language sections in
// turn; the caller loads the chosen language again afterwards.
void CheckTranslation(const std::string& path, const std::string& shownName,
                      const std::vector<DescriptorText>& texts, Report& report);

// A text in double quotes, cut to `max` bytes (on a character boundary)
// with "..." when it is longer.
std::string Quote(const std::string& text, size_t max = 60);

}  // namespace medium_check
