#pragma once
// The text of a message box that names what failed: one line per file,
// "NAME: reason", under an optional heading. A long list is cut after
// kShown lines and ends with a count of the rest, so the box stays on the
// screen.

#include <string>

class FailureList {
public:
    static constexpr int kShown = 20;

    void Add(const char* name, const char* reason);
    int Count() const { return count; }
    // heading (may be empty), a blank line, the lines, then footer if any.
    std::string Text(const char* heading, const std::string& footer = std::string()) const;

private:
    std::string lines;
    int count = 0;
};

// "書き込みに失敗: " and the system's words for code, or just the first part
// when code is 0.
std::string WriteFailureReason(int code);
