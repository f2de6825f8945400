#pragma once
// The open-file dialog, for one file (PickFile) or several (OpenFileList):
// the item dialog, or the older one where that cannot be made.
// Filters are pairs of NUL-terminated texts ending with an extra NUL, for
// example "QVM/QVR\0*.qvm;*.qvr\0".

#include "base/Str.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One existing file into out (whose current text is the dialog's initial
// name). initialFolder may be null: the platform's choice. Cancel and
// failure are both false.
bool PickFile(HWND owner, const char* filter, const char* defaultExtension, const char* initialFolder, Str& out);

// The files chosen in one run of the multiple-selection dialog: their folder
// and, one by one from Next, their names in the dialog's order.
class OpenFileList {
public:
    bool Pick(HWND owner, const char* filter, const char* defaultExtension, const char* initialFolder);
    // The next name, false after the last.
    bool Next(Str& out);

    // Takes the dialog's answer from buffer: the first text is the full path
    // of the one file chosen, or the folder followed by the names of several;
    // nameOffset is where the first name starts.
    void ReadSelection(int32_t nameOffset);
    // Takes full paths, all of one folder, as the item dialog gives them.
    void TakePaths(const std::vector<std::string>& paths);

    Str buffer;
    Str folder;
    int32_t cursor = 0;

private:
    // text: the older dialog's answer, its texts NUL-separated, with the
    // final extra NUL; nameOffset as for ReadSelection.
    void TakeAnswer(const std::string& text, size_t nameOffset);
};
