// medium-pack: makes the disc image a medium ships as. It checks the medium
// with medium-check's code, adds the menu's files the medium lacks at its
// root and an autorun.inf, checks what the disc's file systems will do to
// the names, and has xorriso write an ISO 9660 image with Joliet names.
// A host tool: it runs where the medium is prepared, not on the medium.
#pragma once

#include "tools/medium_check/check.h"

#include <functional>
#include <string>
#include <vector>

namespace medium_pack {

using medium_check::Finding;
using medium_check::Severity;

// The menu's files at a medium's root, in the order they are added.
const std::vector<std::string>& ShippedFiles();

// A disc's label holds this many bytes: the ISO 9660 volume identifier,
// which xorriso fills with the label's UTF-8 (and refuses a longer one).
// Windows shows the Joliet copy, which keeps the first 16 characters.
const size_t kLabelBytes = 32;
// A Joliet name holds this many UTF-16 characters.
const size_t kJolietName = 64;
// The longest path the menu's buffers hold, without the terminating NUL.
const size_t kMenuPath = MAX_PATH - 1;

// `text` (UTF-8) made a label: blanks at either end dropped, control
// characters made blanks, and cut to the whole characters that fill
// kLabelBytes bytes, at the last blank among them where there is one.
std::string DiscLabel(const std::string& text);

// The autorun.inf that starts the menu from the disc, with `label` (UTF-8):
// ASCII when the label is, else UTF-16 with its byte-order mark, which
// Windows reads as well.
std::string AutorunFor(const std::string& label);

// What is wrong with an author's autorun.inf, whose bytes are `text`.
// `onDisc` tells whether a path relative to the disc's root (as written
// after open= or icon=) names a file the disc will have.
void CheckAutorun(const std::string& text, const std::function<bool(const std::string&)>& onDisc,
                  std::vector<Finding>& out);

// What the disc's file systems do to the names: `paths` are every file and
// folder of the disc, relative to its root, '/' between the parts, in UTF-8.
// Joliet names over kJolietName characters, names of one folder that differ
// only in letter case, and paths the menu cannot hold with the drive letter
// ("D:\" and the path over kMenuPath bytes) are errors.
void CheckNames(const std::vector<std::string>& paths, std::vector<Finding>& out);

// The number of bytes a UTF-8 path takes in the ANSI code page of the
// systems that read the disc: one for each ASCII character, two for any
// other (the most that a code page of the menu's languages uses).
size_t AnsiLength(const std::string& utf8);

// The whole program: arguments (without the program's name) in, what to
// print to standard output and standard error out, and the exit status:
// 0 with the image written, 1 when the medium has errors (nothing written),
// 2 for bad usage or missing files, 3 when the image or a file on the way to
// it could not be written, 4 when signing was refused or failed, 5 when -o
// names a file it does not replace.
int Run(const std::vector<std::string>& args, std::string& out, std::string& err);

}  // namespace medium_pack
