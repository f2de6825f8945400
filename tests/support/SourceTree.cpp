#include "tests/support/SourceTree.h"

#include <cstdlib>

std::string SourcePath(const std::string& relative) {
    const char* root = std::getenv("TESSAVEL_SOURCE_DIR");
    std::string path = std::string(root != nullptr ? root : ".") + "/" + relative;
#ifdef _WIN32
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
#endif
    return path;
}
