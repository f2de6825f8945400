#include "decode/FolderList.h"

#include "base/Text.h"
#include "base/Wide.h"

#include <windows.h>

bool ListEntries(const std::string& folder, std::vector<std::string>& files, std::vector<std::string>& folders) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(WidePath(JoinPath(folder, "*.*").c_str()).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        // An empty folder still has "." and ".."; only an unreadable one ends here.
        return false;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            files.push_back(Narrow(found.cFileName));
        else if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            folders.push_back(Narrow(found.cFileName)); // junctions and links are not followed
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}
