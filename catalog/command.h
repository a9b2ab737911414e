// What a catalog item's command (its m_strFile) means when the option is
// clicked, and the texts that starting it is made of. Nothing here touches
// a window or a process, so the menu window and the tests share it.
#pragma once

#include "platform/codepage.h"

#include <string>

namespace command {

enum class Kind {
    SubMenu,   // empty, or ends in a backslash: the item's children
    Program,   // anything else that is not an address: started as a process
    Shell,     // an address not ending in ".EXE": opened by the shell
    Download,  // an address ending in ".EXE": fetched, then started
};

// Two tests of whether a text is an address, side by side because they
// differ on purpose. Reading a descriptor keeps its "file" as written when
// it merely begins like an address (BeginsLikeAddress), so that no address
// is ever joined to the descriptor's folder. Activation then asks the strict
// question (IsAddress): only a real scheme with its colon goes to the shell
// or is downloaded, and a value kept as written that is none ("httpd.exe")
// is started as a program, which fails with the system's reason.

// An Internet address: begins with "HTTP:", "HTTPS:" or "FTP:" in any
// letter case.
bool IsAddress(const std::string& cmd,
               const platform::CodePage& page = platform::CodePage::System());
// Begins with "HTTP" or "FTP" in any letter case, colon or not: a
// descriptor's "file" that is kept as written.
bool BeginsLikeAddress(const std::string& file,
                       const platform::CodePage& page = platform::CodePage::System());
// The scheme of an address in lower case ("http", "https" or "ftp"); empty
// for a text that IsAddress refuses.
std::string AddressScheme(const std::string& cmd,
                          const platform::CodePage& page = platform::CodePage::System());

// The last character is a backslash (a folder); the second byte of a
// double-byte character does not count as one.
bool EndsWithBackslash(const std::string& s,
                       const platform::CodePage& page = platform::CodePage::System());

Kind Classify(const std::string& cmd,
              const platform::CodePage& page = platform::CodePage::System());

// Where a download of `address` is written: `tempPath` (what GetTempPathA
// gave; "C:" when empty) with a backslash, then the address's last name -
// the text after its last "/" or "\" - with every character that a file name
// cannot hold (: * ? " < > |) replaced by "_". The file therefore always
// lands directly in the temporary folder. A name that Windows would take for
// a device (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with any extension, in
// any case) gets a leading "_".
std::string DownloadDestination(
    const std::string& tempPath, const std::string& address,
    const platform::CodePage& page = platform::CodePage::System());

// The last name of an address: the text after its last "/" or "\", as
// written.
std::string AddressLastName(
    const std::string& address,
    const platform::CodePage& page = platform::CodePage::System());

// The name is one Windows keeps for a device: the destination would be no
// file at all.
bool IsDeviceName(const std::string& name);

// A "sha256" value as a descriptor may give it: exactly 64 hexadecimal
// digits, in either case.
bool IsSha256Digest(const std::string& text);
// Two digests are the same, letter case aside.
bool SameDigest(const std::string& a, const std::string& b);

// The folder a program is started in: its folder (platform::FolderOf); for
// a program in the root of a drive ("D:\setup.exe") the root itself
// ("D:\"). Empty when the path holds no backslash: the program then starts
// in the menu's own current folder.
std::string WorkingFolder(
    const std::string& path,
    const platform::CodePage& page = platform::CodePage::System());

// The command line a program is started with: the path alone, in double
// quotes when it holds a blank, so that the program never reads the rest of
// its own path as arguments.
std::string CommandLine(const std::string& path);

// The text of the box shown when a program cannot be started: the system's
// own text for the error, or, when the system has none, a sentence naming
// the error code.
std::string LaunchFailureText(const char* systemText, unsigned long code);

}  // namespace command
