// What the parts of the checker share among themselves.
#pragma once

#include "tools/medium_check/check.h"
#include "tools/medium_common/text.h"

#include <cstdint>
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

using medium_common::Counted;
using medium_common::ListOf;

// The translation file's findings. Loads each of its language sections in
// turn; the caller loads the chosen language again afterwards.
void CheckTranslation(const std::string& path, const std::string& shownName,
                      const std::vector<DescriptorText>& texts, Report& report);

// "program-unsigned": `program` (the path the menu starts) when it is an
// .exe without a signature, reported once under `shown` (in any letter case).
void CheckSignature(const std::string& program, const std::string& shown, Report& report);
// The medium's own picture, splash pictures and window icon that the root
// descriptor at `descriptor` names (art_check.cpp).
void CheckArt(const std::string& root, const std::string& descriptor,
              std::vector<Finding>& findings);

using medium_common::Quote;

}  // namespace medium_check
