#include "export/OutputFolder.h"

#include "base/FileFailure.h"
#include "base/FileSystem.h"

#include <sys/stat.h>

#include <cerrno>

bool MakeFolders(const std::string& folder) {
    // Each prefix ending before a "/", then the whole path; "/" is a
    // separator on its own in every encoding, so the bytes are scanned as
    // they are.
    for (size_t end = 1; end <= folder.size(); ++end) {
        if (end < folder.size() && folder[end] != '/')
            continue;
        const std::string part = folder.substr(0, end);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            filesystem::SetFailure(errno);
            return false;
        }
    }
    if (filesystem::IsDirectory(folder.c_str()))
        return true;
    filesystem::SetFailure(ENOTDIR);
    return false;
}
