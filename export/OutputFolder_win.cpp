#include "export/OutputFolder.h"

#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "base/Wide.h"

#include <windows.h>

bool MakeFolders(const std::string& folder) {
    // Each prefix ending before a separator, found by whole characters, then
    // the whole path.
    // "C:" and the server and share of "\\server\share" cannot be made; they
    // exist or the whole fails.
    const char* start = folder.c_str();
    DWORD failure = 0;
    for (const char* p = start;; p = text::NextChar(p)) {
        const bool end = *p == 0;
        if (end || ((*p == '\\' || *p == '/') && p != start)) {
            const std::string part(start, size_t(p - start));
            if (!CreateDirectoryW(WidePath(part.c_str()).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                failure = GetLastError();
        }
        if (end)
            break;
    }
    if (filesystem::IsDirectory(folder.c_str()))
        return true;
    filesystem::SetFailure(failure != 0 ? int(failure) : int(ERROR_DIRECTORY));
    return false;
}
