#include "app/SaveAsJob.h"

#include "base/WorkPool.h"

#include <utility>

bool SaveAsJob::Start(const Request& what, HWND notify, UINT message) {
    if (job.Busy())
        return false;
    request = what;
    outcome = SaveAsOutcome();
    // The thread has a copy of its own: the window reads request meanwhile.
    auto work = [what](SaveAsOutcome& done, const JobControl& control) {
        // A throw (memory ran out) fails the save as a document that could
        // not be read; the window still hears that it ended.
        try {
            // The PNG bands and the layers' channels are coded on every core.
            WorkPool pool;
            done = SaveDocumentAs(what.document.c_str(), what.output.c_str(), what.format, what.visible,
                                  what.namesCodePage, control.Flag(), &pool);
        } catch (...) {
            done = SaveAsOutcome();
            done.loadFailure = "out of memory";
        }
    };
    return job.Start(notify, message, std::move(work));
}

bool SaveAsJob::Finish() {
    if (!job.Busy())
        return false;
    // The outcome is the window's from here.
    if (SaveAsOutcome* done = job.Finished(true))
        outcome = std::move(*done);
    return true;
}
