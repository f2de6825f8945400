#pragma once
// The system's item-based open dialog (IFileOpenDialog, Windows Vista on):
// the pickers' first choice. It takes and gives any path, long ones too, and
// a folder can be picked in it as a file is, by clicking or by typing its
// path. Where the dialog's COM object cannot be made (COM not started, a
// system without it) the pickers fall back to the older dialogs.

#include <windows.h>

#include <string>
#include <vector>

struct ItemDialogRequest {
    // Filters as the older dialogs take them: pairs of NUL-terminated texts
    // ending with an extra NUL. Null for none (folders).
    const char* filter = nullptr;
    const char* defaultExtension = nullptr;
    // The folder the dialog opens at; null or empty: the system's choice.
    const char* startFolder = nullptr;
    // The name the file-name box starts with; null or empty: none.
    const char* fileName = nullptr;
    // The dialog's caption; null: the system's.
    const char* title = nullptr;
    bool pickFolders = false;
    bool multiple = false;
};

enum class ItemDialogResult {
    kPicked,     // paths holds the chosen items' full paths, in the dialog's order
    kCancelled,  // cancelled by the user, or the dialog failed once shown
    kUnavailable // the dialog could not be made: use the older one
};

// Runs the dialog modally over owner; the paths are UTF-8.
ItemDialogResult RunItemDialog(HWND owner, const ItemDialogRequest& request, std::vector<std::string>& paths);
