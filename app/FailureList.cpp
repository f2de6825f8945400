#include "app/FailureList.h"

#include "decode/ByteFile.h"
#include "res/Messages.h"

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
        std::snprintf(more, sizeof more, msg::kMoreFailures, count - kShown);
        text += more;
        text += "\n";
    }
    if (!footer.empty())
        text += "\n" + footer;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

std::string WriteFailureReason(int code) {
    std::string reason = msg::kWriteFailed;
    if (code != 0) {
        char words[256] = {};
        ByteFile::DescribeFailure(code, words, sizeof words);
        reason += ": ";
        reason += words;
    }
    return reason;
}
