// What a program's own manifest asks of Windows before the program runs,
// read from the file as Windows reads it: the manifest resource (type 24,
// id 1) of a Windows program, and the level of its requestedExecutionLevel.
// Portable, so that the checker tells the same on every system; every read
// is bounded and checked, for files that are no programs or are damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace medium_check {

enum class Elevation {
    None,           // runs with the user's rights: no manifest, asInvoker,
                    // no level, or no Windows program at all
    Highest,        // highestAvailable: an administrator is asked to consent
    Administrator,  // requireAdministrator: administrator rights are asked for
    Broken,         // a manifest that is no well-formed XML: Windows refuses
                    // to start the program
};

// Copies `size` bytes from `offset` of a file into `out`; false when the
// file does not have them all.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t size, char* out)>;

// The manifest a Windows program carries for its process; false when it
// carries none or is no program this reader can follow.
bool ProgramManifest(const ReadAt& read, std::string& manifest);

// What a manifest asks for.
Elevation ManifestElevation(const std::string& manifest);

// Both, for the program at `path` (the Windows form); None for a file that
// cannot be read.
Elevation ProgramElevation(const std::string& path);

// The level's name as a manifest writes it; empty for None and Broken.
const char* ElevationLevel(Elevation elevation);

}  // namespace medium_check
