#pragma once
// The settings file's lines, "key=value" each ending in CR LF as the profile
// functions write them. They are gathered in memory rather than written one
// by one: the file's encoding (the system's code page or UTF-8) depends on
// every value, so it is chosen only when all the lines are there.

#include <cstdint>
#include <string>

class SettingsLines {
public:
    bool WriteText(const char* more);
    bool WriteNewline();
    bool WriteKeyInt(const char* name, int32_t value);
    bool WriteKeyText(const char* name, const char* value);
    // The reader takes blanks off both ends of a value and one pair of
    // matching quotes around it. A text it would change so is written inside
    // a pair of double quotes, which the reader takes off again: the text
    // comes back as it was, however often it is saved.
    bool WriteKeyTextAsRead(const char* name, const char* value);

    std::string text;
};
