#include "tools/convert/Entry.h"

#include "base/Wide.h"

#include <string>
#include <vector>

// The arguments as the system holds them, UTF-16: a name outside the ANSI
// code page reaches the program whole instead of as "?" or as the best-fit
// look-alike of another file.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> texts;
    for (int i = 0; i < argc; ++i)
        texts.push_back(Narrow(argv[i]));
    std::vector<char*> arguments;
    for (std::string& text : texts)
        arguments.push_back(&text[0]);
    arguments.push_back(nullptr);
    return RunConverter(argc, arguments.data());
}
