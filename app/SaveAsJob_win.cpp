#include "app/SaveAsJob.h"

#include "base/WorkPool.h"

bool SaveAsJob::Start(const Request& what, HWND notify, UINT message) {
    if (thread.joinable())
        return false;
    request = what;
    window = notify;
    notifyMessage = message;
    outcome = SaveAsOutcome();
    cancel.store(false);
    // Everything above is written before the thread starts, which orders it
    // before the thread's reads.
    return WorkPool::StartThread(thread, [this] { Run(); });
}

bool SaveAsJob::Finish() {
    if (!thread.joinable())
        return false;
    thread.join();
    return true;
}

void SaveAsJob::Stop() {
    Cancel();
    Finish();
}

void SaveAsJob::Run() {
    // A throw (memory ran out) fails the save as a document that could not
    // be read; the window still hears that it ended.
    try {
        // The PNG bands and the layers' channels are coded on every core.
        WorkPool pool;
        outcome = SaveDocumentAs(request.document.c_str(), request.output.c_str(), request.format, request.visible,
                                 request.namesCodePage, &cancel, &pool);
    } catch (...) {
        outcome = SaveAsOutcome();
        outcome.loadFailure = "out of memory";
    }
    // The outcome is the window's from here, once it has joined the thread.
    PostMessageW(window, notifyMessage, 0, 0);
}
