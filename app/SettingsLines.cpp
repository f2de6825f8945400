#include "app/SettingsLines.h"

#include <cstdio>
#include <cstring>

bool SettingsLines::WriteText(const char* more) {
    text.append(more);
    return true;
}

bool SettingsLines::WriteNewline() {
    return WriteText("\r\n");
}

bool SettingsLines::WriteKeyInt(const char* name, int32_t value) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", value);
    return WriteKeyText(name, number);
}

bool SettingsLines::WriteKeyText(const char* name, const char* value) {
    return WriteText(name) && WriteText("=") && WriteText(value) && WriteNewline();
}

bool SettingsLines::WriteKeyTextAsRead(const char* name, const char* value) {
    const size_t length = std::strlen(value);
    const char first = length > 0 ? value[0] : 0;
    const char last = length > 0 ? value[length - 1] : 0;
    // The system's reader takes Ctrl+Z (the old end-of-file mark) and the
    // other white-space characters for blanks as well.
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A'; };
    const bool blankEnd = length > 0 && (blank(first) || blank(last));
    const bool quoted = length >= 2 && (first == '"' || first == '\'') && last == first;
    if (!blankEnd && !quoted)
        return WriteKeyText(name, value);
    return WriteText(name) && WriteText("=\"") && WriteText(value) && WriteText("\"") && WriteNewline();
}
