#pragma once
// Filling in the system's open dialogs as a user would: typing a name or a
// path into the file-name box and pressing OK. The same for the item dialog
// and the older one, on Windows and under Wine, in the test's own process
// (from inside the dialog's modal loop) or in the program under test.

#include <windows.h>

#include <string>

namespace e2e {

// The dialog's file-name box, null while it has none: on Windows a combo box
// (cmb13) around an edit, under Wine's item dialog and the older dialog's
// plain form an edit of its own (edt1).
HWND FileNameBox(HWND dialog);

// Waits until the dialog has its file-name box, types text (UTF-8: a
// quoted list for several files) into it, checks it took the text whole,
// and posts OK. False when any of that failed.
bool TypeAndConfirm(HWND dialog, const std::string& text);

} // namespace e2e
