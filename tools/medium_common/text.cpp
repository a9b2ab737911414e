#include "tools/medium_common/text.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstdio>

namespace medium_common {

std::string Escaped(const std::string& text, Escape target) {
    std::string out;
    for (unsigned char c : text) {
        const char* named = nullptr;
        switch (c) {
            case '\n': named = target == Escape::Html ? "<br>" : "\\n"; break;
            case '\r': named = target == Escape::Html ? nullptr : "\\r"; break;
            case '\t': named = target == Escape::Html ? nullptr : "\\t"; break;
            case '&': named = target == Escape::Html ? "&amp;" : nullptr; break;
            case '<': named = target == Escape::Html ? "&lt;" : nullptr; break;
            case '>': named = target == Escape::Html ? "&gt;" : nullptr; break;
            case '"':
                named = target == Escape::Html ? "&quot;" : target == Escape::Json ? "\\\"" : nullptr;
                break;
            case '\\':
                named = target == Escape::Json || target == Escape::Field ? "\\\\" : nullptr;
                break;
        }
        if (named) {
            out += named;
            continue;
        }
        const bool control = c < 0x20 || (target == Escape::Line && c == 0x7F);
        if (control && (target == Escape::Line || target == Escape::Json)) {
            char esc[8];
            std::snprintf(esc, sizeof esc, target == Escape::Json ? "\\u%04x" : "\\x%02x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Unescaped(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char c = field[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    return out;
}

std::string JsonText(const std::string& text) {
    return "\"" + Escaped(text, Escape::Json) + "\"";
}

std::string Quote(const std::string& text, size_t max, bool oneLine) {
    std::string shown = text;
    if (oneLine)
        for (char& c : shown)
            if (c == '\n' || c == '\r') c = ' ';
    if (shown.size() <= max) return "\"" + shown + "\"";
    const platform::CodePage page = platform::CodePage::System();
    size_t end = 0;
    while (end < shown.size() && end + page.CharLength(shown, end) <= max)
        end += page.CharLength(shown, end);
    return "\"" + shown.substr(0, end) + "...\"";
}

std::string Counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string ListOf(const std::vector<std::string>& items, size_t most) {
    const size_t shown = std::min(items.size(), most);
    std::string list;
    for (size_t i = 0; i < shown; ++i) {
        if (i) list += i + 1 == items.size() ? " and " : ", ";
        list += items[i];
    }
    if (items.size() > shown) list += " and " + std::to_string(items.size() - shown) + " more";
    return list;
}

}  // namespace medium_common
