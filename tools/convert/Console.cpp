#include "tools/convert/Console.h"

#include <cstdarg>
#include <vector>

void Say(std::FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    if (length > 0) {
        std::vector<char> text(size_t(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        WriteText(stream, std::string(text.data(), size_t(length)));
    }
    va_end(again);
}
