#include "decode/FolderList.h"

#include <dirent.h>
#include <sys/stat.h>

bool ListEntries(const std::string& folder, std::vector<std::string>& files, std::vector<std::string>& folders) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        // stat follows links, so a link to a folder counts as a folder and
        // not as a file; it is not descended into (lstat), so a loop of
        // links cannot make the walk endless. Only regular files are taken:
        // opening a FIFO blocks until someone writes to it, and a device or
        // socket is no document either. A dangling link is left out too.
        struct stat info;
        const std::string path = JoinPath(folder, name);
        if (stat(path.c_str(), &info) != 0)
            continue;
        if (S_ISREG(info.st_mode)) {
            files.push_back(name);
            continue;
        }
        if (!S_ISDIR(info.st_mode))
            continue;
        struct stat link;
        if (lstat(path.c_str(), &link) == 0 && S_ISDIR(link.st_mode))
            folders.push_back(name);
    }
    closedir(dir);
    return true;
}
