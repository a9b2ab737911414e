// Text between its encodings: UTF-8 and UTF-16 to and from code points, and
// on the host, which has no system to ask, from one encoding to another
// through iconv. The one converter of the program and its tools.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace unicode {

// What becomes of a UTF-8 sequence that is not well formed (cut, overlong,
// a surrogate, past U+10FFFF).
enum class Broken {
    // One U+FFFD for the bytes that began it, as the system decodes.
    Replacement,
    // Its first byte stands for itself (as Latin-1 would read it), and the
    // next byte starts afresh: every byte string has a length.
    Byte,
};

// The code points of the UTF-8 text from byte `from` on.
std::u32string FromUtf8(const std::string& bytes, Broken broken, size_t from = 0);
std::string ToUtf8(const std::u32string& text);

// The code points of UTF-16 text from byte `from` on: a surrogate pair
// becomes its code point, a lone surrogate stays as it is, and a last byte
// without its pair is no character.
std::u32string FromUtf16(const std::string& bytes, bool bigEndian, size_t from = 0);
// Little endian; code points past U+FFFF as surrogate pairs.
std::string ToUtf16(const std::u32string& text);

#ifndef _WIN32
// Where the input cannot be converted at byte `at` of `in`: appends what
// stands for it to `out` and returns how many bytes to skip.
using Unconvertible = std::function<size_t(const std::string& in, size_t at, std::string& out)>;

// `in` from encoding `from` to encoding `to` (iconv's names) into `out`.
// False, and `out` untouched, when iconv knows no such conversion.
bool Recode(const std::string& in, const std::string& from, const std::string& to,
            const Unconvertible& unconvertible, std::string& out);
#endif

}  // namespace unicode
