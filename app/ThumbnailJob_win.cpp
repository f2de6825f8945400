#include "app/ThumbnailJob.h"

#include "base/WorkPool.h"

bool ThumbnailJob::Request(const char* document, int32_t squareSide, HWND notify, UINT message) {
    window = notify;
    notifyMessage = message;
    if (thread.joinable()) {
        // Started after the running one ends (Collect).
        cancel.store(true);
        nextPath = document;
        nextSide = squareSide;
        waiting = true;
        return true;
    }
    path = document;
    side = squareSide;
    return StartThread();
}

void ThumbnailJob::Drop() {
    waiting = false;
    cancel.store(true);
}

bool ThumbnailJob::StartThread() {
    cancel.store(false);
    made.clear();
    // Everything above is written before the thread starts, which orders it
    // before the thread's reads.
    return WorkPool::StartThread(thread, [this] { Run(); });
}

void ThumbnailJob::Run() {
    try {
        DocumentLayerThumbnails(path.c_str(), side, cancel, made);
    } catch (...) {
        made.clear(); // memory ran out: no thumbnails, the pane works without
    }
    PostMessageW(window, notifyMessage, 0, 0);
}

bool ThumbnailJob::Collect(std::string& donePath, int32_t& doneSide, std::vector<Thumbnail>& out) {
    if (!thread.joinable())
        return false;
    thread.join();
    const bool cancelled = cancel.load();
    if (waiting) {
        waiting = false;
        path = nextPath;
        side = nextSide;
        StartThread();
        return false;
    }
    if (cancelled)
        return false;
    donePath = path;
    doneSide = side;
    out = std::move(made);
    return true;
}

void ThumbnailJob::Stop() {
    waiting = false;
    cancel.store(true);
    if (thread.joinable())
        thread.join();
}
