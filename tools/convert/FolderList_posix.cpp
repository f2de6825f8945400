#include "tools/convert/FolderList.h"

#include <dirent.h>
#include <sys/stat.h>

bool ListFileNames(const std::string& folder, std::vector<std::string>& names) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        // stat follows links, so a link to a folder counts as a folder.
        struct stat info;
        const std::string path = JoinPath(folder, name);
        if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            continue;
        names.push_back(name);
    }
    closedir(dir);
    return true;
}
