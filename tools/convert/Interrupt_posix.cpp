#include "tools/convert/Interrupt.h"

#include "export/TempOutput.h"

#include <csignal>

namespace {

// Only async-signal-safe work: unlink on a fixed table, then the default
// action, so the exit status still tells the signal.
extern "C" void OnSignal(int signal) {
    RemovePendingTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void RemoveTemporariesOnInterrupt() {
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the shell told us to ignore (nohup, a background job)
        // stays ignored.
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }
}
