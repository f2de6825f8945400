#include "tools/convert/FolderList.h"

#include <windows.h>

bool ListFileNames(const std::string& folder, std::vector<std::string>& names) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(folder, "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        // An empty folder still has "." and ".."; only an unreadable one ends here.
        return false;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}
