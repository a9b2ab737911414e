// Helpers shared by the unit tests of both builds.
#pragma once

#include <string>

namespace testing_support {

// Shift-JIS characters whose second byte is a backslash: katakana SO and
// the kanji HYOU.
inline const std::string kSo = "\x83\x5C";
inline const std::string kHyou = "\x95\x5C";

// A fresh folder removed with everything in it when the object goes.
// Paths are in the program's (Windows) form on both builds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path() + "\" + relative (relative uses backslashes).
    std::string operator/(const std::string& relative) const;

    // Writes `bytes` to the file (folders on the way are made).
    void Write(const std::string& relative, const std::string& bytes) const;
    void MakeDir(const std::string& relative) const;

private:
    std::string m_path;
};

// Removes a file or a whole folder given in Windows form.
void RemoveAll(const std::string& path);
bool Exists(const std::string& path);
// The whole file; empty when it cannot be read.
std::string ReadAll(const std::string& path);

// A PE32 image of headers alone (512 bytes). With a `certificateType`, a
// certificate table of one entry of that type (2: a PKCS#7 signature)
// follows them.
std::string MinimalPe(int certificateType = 0);

}  // namespace testing_support
