#include "tools/convert/Interrupt.h"

#include "export/TempOutput.h"

#include <windows.h>

namespace {

// Runs on a thread of its own while the jobs go on writing. The
// temporaries are open shared for deletion, so they are marked here and go
// when the process ends: returning FALSE hands the event to the default
// handler, which ends it.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        RemovePendingTemporaries();
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

void RemoveTemporariesOnInterrupt() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
