#include "framework/FileFind.h"

#include "base/Wide.h"

bool FileFind::FindFirst(const char* pattern) {
    Close();
    HANDLE search = FindFirstFileW(WidePath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    handle = search;
    name = Narrow(found.cFileName);
    return true;
}

bool FileFind::FindNext() {
    if (handle == nullptr || !FindNextFileW(handle, &found))
        return false;
    name = Narrow(found.cFileName);
    return true;
}

bool FileFind::Close() {
    if (handle == nullptr)
        return false;
    FindClose(handle);
    handle = nullptr;
    return true;
}
