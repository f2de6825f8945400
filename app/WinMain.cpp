// The entry point: prepares the process, creates the main frame with the
// command-line tail and runs the message loop until the window is gone.
#include "app/MainFrame.h"
#include "framework/AppShell.h"
#include "base/Wide.h"
#include "res/ResourceIds.h"

#include <windows.h>

#include <string>

namespace {

// Program-wide, alive for the whole run; its list, view, picture and
// settings go with it at exit.
MainFrame mainFrame;

} // namespace

// wWinMain: the tail as the system holds it, UTF-16, so that a path outside
// the ANSI code page arrives whole; it goes on in UTF-8, as all text.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR wideTail, int) {
    const std::string commandTail = Narrow(wideTail);
    // No single-instance check: several copies may run at once.
    AppShell::Init(true);
    // Before any window: the folder browsers need COM. Released after the
    // loop, when no window of the program is left.
    OleApartment ole;
    // A window that could not be made is a failed run, not a clean one:
    // whoever started the program (a script, the tests) sees it in the status.
    if (!mainFrame.CreateFrame(commandTail.c_str()))
        return 1;
    return AppShell::Run(mainFrame.hwnd, IDR_ACCELERATORS);
}
