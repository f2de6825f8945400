#pragma once
// The conventions every program in tools/ follows on its command line:
// "-h" and "--help" print the usage on standard output and exit 0; any
// other argument starting with "-" that the program does not name is an
// unknown option, refused with exit status 2 (so a mistyped option never
// becomes, say, the name of a folder); "--" ends the options.

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace toolargs {

constexpr int kGoOn = -1;
constexpr int kBadUsage = 2;

// Puts the operands, and the options named in known as they stand, into
// args. kGoOn, or the exit status the program ends with at once.
inline int Read(int argc, char** argv, const char* program, const char* usage, std::vector<std::string>& args,
                std::initializer_list<const char*> known = {}) {
    bool onlyOperands = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (onlyOperands || arg[0] != '-' || arg[1] == 0) {
            args.push_back(arg);
        } else if (std::strcmp(arg, "--") == 0) {
            onlyOperands = true;
        } else if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            std::fputs(usage, stdout);
            return 0;
        } else {
            bool named = false;
            for (const char* option : known)
                named = named || std::strcmp(arg, option) == 0;
            if (!named) {
                std::fprintf(stderr, "%s: unknown option %s\nTry '%s --help'.\n", program, arg, program);
                return kBadUsage;
            }
            args.push_back(arg);
        }
    }
    return kGoOn;
}

} // namespace toolargs
