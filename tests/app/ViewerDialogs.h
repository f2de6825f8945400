#pragma once
// Driving the viewer's dialogs from outside: the Option and Conversion
// dialogs of a running tessavel.exe, the colour chooser the swatch opens,
// and a conversion run from its start to its final caption.

#include "tests/app/ViewerSession.h"

#include <windows.h>

#include <string>

namespace viewer {

// Posts command (Option or conversion) and waits for the dialog of that
// title; null when it did not come.
HWND OpenDialog(Session& session, int command, const char* title);
// A dialog of the program other than besides (a chooser, a message box),
// waited for; null on timeout.
HWND WaitOtherDialog(Session& session, HWND besides, DWORD timeoutMs = 10000);
// Waits until window is gone.
bool WaitGone(HWND window, DWORD timeoutMs = 10000);
// Posts a click on the dialog's button and waits until the program handled
// it (also when the click ended the dialog).
bool ClickItem(HWND dialog, int itemId);

// In the Option dialog: the swatch's chooser set to colour and confirmed.
bool PickColourWithSwatch(Session& session, HWND option, COLORREF colour);

// The progress bar's caption of the Conversion dialog.
std::string ConversionCaption(HWND conversion);
// Clicks "Convert" and waits until the run has ended (the button is enabled
// again); false when it did not start or did not end in time.
bool Convert(HWND conversion, DWORD timeoutMs = 120000);
// "完了 ...  処理ﾌｧｲﾙ written / total", in the system interface's language.
std::string DoneCaption(int written, int total);

} // namespace viewer
