#pragma once
// The text of a message box that names what failed: one line per file,
// "NAME: reason", under an optional heading. A long list is cut after
// kShown lines and ends with a count of the rest, so the box stays on the
// screen.

#include "app/Language.h"

#include <string>

class FailureList {
public:
    static constexpr int kShown = 20;

    explicit FailureList(const Texts& language) : texts(language) {}

    void Add(const char* name, const char* reason);
    int Count() const { return count; }
    // heading (may be empty), a blank line, the lines, then footer if any.
    std::string Text(const char* heading, const std::string& footer = std::string()) const;

private:
    const Texts& texts;
    std::string lines;
    int count = 0;
};

// lead, ": " and the system's words for code, or lead alone when code is 0.
std::string WithSystemReason(const char* lead, int code);
// WithSystemReason of "書き込みに失敗" (writing failed), in the language of
// texts.
std::string WriteFailureReason(int code, const Texts& texts);
