// The profile rules of the settings file, on every platform (the system's
// profile functions read the ANSI code page only and take ANSI paths): lines
// end at CR or LF; "[name]" opens a section (names and keys compared ignoring
// case); "key=value" with spaces and tabs trimmed around both; a value wrapped
// in a pair of the same quotes loses them; the first matching key of the
// first matching section counts.
#include "base/IniReader.h"

#include "base/Text.h"

#include <cstring>
#include <string>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// [begin, end) without blanks on either side.
void Trim(const char*& begin, const char*& end) {
    while (begin < end && IsBlank(*begin))
        ++begin;
    while (end > begin && IsBlank(end[-1]))
        --end;
}

bool SameNoCase(const char* begin, const char* end, const char* name) {
    // Names compare code unit by code unit, and no UTF-16 unit takes more
    // than three bytes of UTF-8: a longer part cannot match, and a file of
    // megabyte-long lines is skipped without converting each line for every
    // key asked for.
    if (size_t(end - begin) > 3 * std::strlen(name))
        return false;
    const std::string part(begin, end);
    return text::CompareNoCase(part.c_str(), name) == 0;
}

// The file's text in UTF-8, whichever way it was stored.
bool ReadWholeFile(const char* path, std::string& bytes) {
    if (!text::ReadFileBytes(path, bytes, IniReader::kMostFileBytes))
        return false;
    text::FromStoredText(bytes);
    return true;
}

// The value of key in section, as [begin, end) within bytes; false when the
// file, the section or the key is missing.
bool FindValue(const std::string& bytes, const char* section, const char* key, const char*& begin, const char*& end) {
    const char* p = bytes.data();
    const char* const fileEnd = p + bytes.size();
    bool inSection = false;
    while (p < fileEnd) {
        const char* lineEnd = p;
        while (lineEnd < fileEnd && *lineEnd != '\r' && *lineEnd != '\n')
            ++lineEnd;
        const char* b = p;
        const char* e = lineEnd;
        p = lineEnd + (lineEnd < fileEnd ? 1 : 0);
        Trim(b, e);
        if (b == e)
            continue;
        if (*b == '[') {
            const char* close = static_cast<const char*>(std::memchr(b, ']', size_t(e - b)));
            if (close != nullptr)
                inSection = SameNoCase(b + 1, close, section);
            continue;
        }
        if (!inSection)
            continue;
        const char* equals = static_cast<const char*>(std::memchr(b, '=', size_t(e - b)));
        const char* keyEnd = equals != nullptr ? equals : e;
        const char* keyBegin = b;
        Trim(keyBegin, keyEnd);
        if (!SameNoCase(keyBegin, keyEnd, key))
            continue;
        begin = equals != nullptr ? equals + 1 : e;
        end = e;
        Trim(begin, end);
        return true;
    }
    return false;
}

int32_t ParseNumber(const char* p, const char* end) {
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    uint32_t base = 10;
    if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    uint32_t value = 0;
    for (; p < end; ++p) {
        uint32_t digit = 0;
        if (*p >= '0' && *p <= '9')
            digit = uint32_t(*p - '0');
        else if (base == 16 && *p >= 'a' && *p <= 'f')
            digit = uint32_t(*p - 'a' + 10);
        else if (base == 16 && *p >= 'A' && *p <= 'F')
            digit = uint32_t(*p - 'A' + 10);
        else
            break;
        value = value * base + digit; // wraps, as the system's reader does
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

} // namespace

const std::string* IniReader::Text() {
    if (!read) {
        text.clear();
        readable = ReadWholeFile(file.Text(), text);
        read = true;
    }
    return readable ? &text : nullptr;
}

int32_t IniReader::GetInt(const char* key, int32_t defaultValue) {
    const std::string* bytes = Text();
    const char* begin = nullptr;
    const char* end = nullptr;
    if (bytes == nullptr || !FindValue(*bytes, section.Text(), key, begin, end) || begin == end)
        return defaultValue;
    return ParseNumber(begin, end);
}

uint32_t IniReader::GetString(const char* key, Str& out, const char* defaultText) {
    const std::string* bytes = Text();
    const char* begin = defaultText;
    const char* end = defaultText + std::strlen(defaultText);
    if (bytes != nullptr && FindValue(*bytes, section.Text(), key, begin, end)) {
        if (end - begin >= 2 && (*begin == '"' || *begin == '\'') && end[-1] == *begin) {
            ++begin;
            --end;
        }
    }
    const size_t room = size_t(out.BufferSize()) - 1;
    const size_t length = size_t(end - begin) < room ? size_t(end - begin) : room;
    std::memmove(out.data, begin, length);
    out.data[length] = 0;
    return uint32_t(length);
}
