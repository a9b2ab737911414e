#include "platform/unicode.h"

#ifndef _WIN32
#include <cerrno>
#include <iconv.h>
#endif

namespace unicode {

std::u32string FromUtf8(const std::string& bytes, Broken broken, size_t from) {
    std::u32string out;
    size_t i = from;
    while (i < bytes.size()) {
        const unsigned c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char32_t>(c);
            ++i;
            continue;
        }
        const size_t n = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2
                       : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
        char32_t cp = n == 1 ? c & 0x1F : n == 2 ? c & 0x0F : c & 0x07;
        size_t k = 1;
        bool ok = n != 0;
        for (; ok && k <= n; ++k) {
            if (i + k >= bytes.size()) {
                ok = false;
                break;
            }
            const unsigned t = static_cast<unsigned char>(bytes[i + k]);
            // The second byte's range rules out overlong forms, surrogates
            // and values past U+10FFFF.
            unsigned lo = 0x80, hi = 0xBF;
            if (k == 1) {
                if (c == 0xE0) lo = 0xA0;
                if (c == 0xED) hi = 0x9F;
                if (c == 0xF0) lo = 0x90;
                if (c == 0xF4) hi = 0x8F;
            }
            if (t < lo || t > hi) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (t & 0x3F);
        }
        if (ok) {
            out += cp;
            i += n + 1;
        } else if (broken == Broken::Replacement) {
            out += U'\xFFFD';
            i += k;  // the bytes that began the broken sequence
        } else {
            out += static_cast<char32_t>(c);
            ++i;
        }
    }
    return out;
}

std::string ToUtf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u32string FromUtf16(const std::string& bytes, bool bigEndian, size_t from) {
    const auto unit = [&](size_t at) -> char32_t {
        const unsigned a = static_cast<unsigned char>(bytes[at]);
        const unsigned b = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    std::u32string out;
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        char32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        out += u;
    }
    return out;
}

std::string ToUtf16(const std::u32string& text) {
    std::string out;
    const auto unit = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (char32_t c : text) {
        if (c >= 0x10000) {
            const char32_t v = c - 0x10000;
            unit(0xD800 + (v >> 10));
            unit(0xDC00 + (v & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

#ifndef _WIN32
bool Recode(const std::string& in, const std::string& from, const std::string& to,
            const Unconvertible& unconvertible, std::string& out) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string result;
    std::string input = in;
    char* src = &input[0];
    size_t left = input.size();
    char chunk[4096];
    while (left > 0) {
        char* dst = chunk;
        size_t room = sizeof chunk;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        result.append(chunk, static_cast<size_t>(dst - chunk));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            const size_t at = static_cast<size_t>(src - &input[0]);
            size_t skip = unconvertible(input, at, result);
            if (skip == 0) skip = 1;
            if (skip > left) skip = left;
            src += skip;
            left -= skip;
        }
    }
    iconv_close(cd);
    out = result;
    return true;
}
#endif

}  // namespace unicode
