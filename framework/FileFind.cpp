#include "framework/FileFind.h"

bool FileFind::FindFirst(const char* pattern) {
    Close();
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    handle = search;
    return true;
}

bool FileFind::FindNext() {
    return handle != nullptr && FindNextFileA(handle, &found);
}

bool FileFind::Close() {
    if (handle == nullptr)
        return false;
    FindClose(handle);
    handle = nullptr;
    return true;
}
