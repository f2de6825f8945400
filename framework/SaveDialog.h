#pragma once
// The system's save dialog: the item dialog (IFileSaveDialog), or the older
// one where that cannot be made. It asks before a file is replaced.

#include <windows.h>

#include <cstdint>
#include <string>

struct SaveDialogRequest {
    // Pairs of NUL-terminated texts ending with an extra NUL.
    const char* filter = nullptr;
    uint32_t typeIndex = 1; // the type shown first, 1-based
    const char* defaultExtension = nullptr;
    const char* startFolder = nullptr; // null or empty: the system's choice
    const char* fileName = nullptr;    // the name the box starts with
};

// Runs the dialog modally over owner. True with the chosen full path (UTF-8)
// and the 1-based index of the type shown when it was confirmed; false when
// cancelled or failed.
bool RunSaveDialog(HWND owner, const SaveDialogRequest& request, std::string& path, uint32_t& typeIndex);
