#include "app/FailureList.h"

#include "base/FileFailure.h"

#include <cstdio>

void FailureList::Add(const char* name, const char* reason) {
    if (count++ >= kShown)
        return;
    lines += name;
    lines += ": ";
    lines += reason;
    lines += "\n";
}

std::string FailureList::Text(const char* heading, const std::string& footer) const {
    std::string text = heading;
    if (!text.empty())
        text += "\n\n";
    text += lines;
    if (count > kShown) {
        char more[64];
        std::snprintf(more, sizeof more, texts.moreFailures, count - kShown);
        text += more;
        text += "\n";
    }
    if (!footer.empty())
        text += "\n" + footer;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

std::string WriteFailureReason(int code, const Texts& texts) {
    return WithSystemReason(texts.writeFailed, code);
}

std::string WithSystemReason(const char* lead, int code) {
    std::string reason = lead;
    if (code != 0) {
        char words[256] = {};
        filesystem::DescribeFailure(code, words, sizeof words);
        reason += ": ";
        reason += words;
    }
    return reason;
}
