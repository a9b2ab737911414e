// Texts as the tools' reports write them: escaped for a line of the text
// report, for HTML and for JSON, and quoted in a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace medium_common {

enum class Escape {
    // Control characters and DEL written out ("\n", "\t", "\r", "\x01"), so
    // that a name holding them cannot break the report's layout. Byte by
    // byte: second bytes of double-byte characters are never below 0x40.
    Line,
    // &, <, > and " as entities, a line break as <br>.
    Html,
    // The inside of a JSON string: ", \ and control characters escaped.
    Json,
    // A field of a line of tab-separated fields (the preview's walk.txt):
    // backslash, tab and line breaks escaped with a backslash.
    Field,
};

// The one escaping routine of the tools.
std::string Escaped(const std::string& text, Escape target);

// A field escaped as Escape::Field as it was.
std::string Unescaped(const std::string& field);

// A UTF-8 text as a JSON string, quotes included.
std::string JsonText(const std::string& text);

// `text` in double quotes, cut to `max` bytes (on a character boundary of
// the system's code page) with "..." when it is longer; with `oneLine`, line
// breaks become blanks.
std::string Quote(const std::string& text, size_t max = 60, bool oneLine = false);

// "1 entry", "2 entries".
std::string Counted(size_t n, const char* one, const char* many);

// "a, b and c"; past `most` items, "a, b and 3 more".
std::string ListOf(const std::vector<std::string>& items, size_t most = SIZE_MAX);

}  // namespace medium_common
