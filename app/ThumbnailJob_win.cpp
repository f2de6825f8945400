#include "app/ThumbnailJob.h"

bool ThumbnailJob::Request(const char* document, int32_t squareSide, HWND notify, UINT message) {
    window = notify;
    notifyMessage = message;
    if (job.Busy()) {
        // Started after the running one ends (Collect).
        cancelled = true;
        job.Cancel();
        nextPath = document;
        nextSide = squareSide;
        waiting = true;
        return true;
    }
    return Start(document, squareSide);
}

bool ThumbnailJob::Start(const std::string& document, int32_t squareSide) {
    cancelled = false;
    return job.Start(window, notifyMessage, [this, document, squareSide](Made& made, const JobControl& control) {
        made.path = document;
        made.side = squareSide;
        try {
            make(document.c_str(), squareSide, *control.Flag(), made.thumbnails);
        } catch (...) {
            made.thumbnails.clear(); // memory ran out: no thumbnails, the pane works without
        }
    });
}

void ThumbnailJob::Drop() {
    waiting = false;
    cancelled = true;
    job.Cancel();
}

const ThumbnailJob::Made* ThumbnailJob::Collect() {
    const Made* made = job.Finished(true);
    if (waiting) {
        waiting = false;
        Start(nextPath, nextSide);
        return nullptr;
    }
    return cancelled ? nullptr : made;
}

void ThumbnailJob::Stop() {
    waiting = false;
    cancelled = true;
    job.Stop();
}
