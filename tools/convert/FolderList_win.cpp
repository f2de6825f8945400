#include "tools/convert/FolderList.h"

#include "decode/ByteFile.h"
#include "base/Text.h"

#include <windows.h>

bool ListEntries(const std::string& folder, std::vector<std::string>& files, std::vector<std::string>& folders) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(folder, "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        // An empty folder still has "." and ".."; only an unreadable one ends here.
        return false;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            files.push_back(found.cFileName);
        else if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            folders.push_back(found.cFileName); // junctions and links are not followed
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

bool MakeFolders(const std::string& folder) {
    // Each prefix ending before a separator, found by whole characters (the
    // second byte of a CP932 character may be 0x5C), then the whole path.
    // "C:" and the server and share of "\\server\share" cannot be made; they
    // exist or the whole fails.
    const char* start = folder.c_str();
    DWORD failure = 0;
    for (const char* p = start;; p = text::NextChar(p)) {
        const bool end = *p == 0;
        if (end || ((*p == '\\' || *p == '/') && p != start)) {
            const std::string part(start, size_t(p - start));
            if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                failure = GetLastError();
        }
        if (end)
            break;
    }
    if (ByteFile::IsDirectory(folder.c_str()))
        return true;
    ByteFile::SetFailure(failure != 0 ? int(failure) : int(ERROR_DIRECTORY));
    return false;
}
