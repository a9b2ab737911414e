// Multibyte-aware text rules of an ANSI code page: which bytes begin a
// double-byte character, searching for a single-byte character without
// mistaking the second byte of a double-byte character for it, and
// upper-casing letters single-byte and double-byte alike.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class CodePage {
public:
    // The system's ANSI code page (on the host: the one set by SetHostAnsi,
    // 1252 unless changed).
    static CodePage System();
    // On the host: the code page that System() reports (tests set it).
    static void SetHostAnsi(unsigned cp);

    // Host rules for 1252, 932, 936, 949 and 950; any other number is
    // treated as a single-byte page with ASCII upper-casing.
    explicit CodePage(unsigned cp);

    unsigned Number() const { return m_cp; }
    bool IsLeadByte(unsigned char c) const;
    // Bytes of the character that starts at `pos` (1 or 2; 1 for a lead
    // byte at the very end of the text).
    size_t CharLength(const std::string& s, size_t pos) const;
    // First / last occurrence of a single-byte character, stepping over
    // double-byte characters whole. npos when absent.
    size_t Find(const std::string& s, char c, size_t from = 0) const;
    size_t FindLast(const std::string& s, char c) const;
    // First occurrence of `what` that starts on a character boundary.
    size_t FindText(const std::string& s, const std::string& what,
                     size_t from = 0) const;
    std::string Upper(const std::string& s) const;

private:
    unsigned m_cp;
    bool m_system;  // on Windows: use the system's own functions
};

}  // namespace platform
