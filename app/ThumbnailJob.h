#pragma once
// ThumbnailJob: the layers pane's thumbnails of one document made on a
// thread of their own (LayerThumbnails.h), so that the window never waits for
// a large document's layers. A request while one runs cancels it; the new
// one starts when the old has ended, so one thread at most runs and the
// window never waits for it to stop. The thread posts the window a message
// when it ends; the window then calls Collect.

#include "app/LayerThumbnails.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class ThumbnailJob {
public:
    ThumbnailJob() = default;
    ~ThumbnailJob() { Stop(); }
    ThumbnailJob(const ThumbnailJob&) = delete;
    ThumbnailJob& operator=(const ThumbnailJob&) = delete;

    // The thumbnails of the document at path, side pixels square; message
    // goes to notify when they are made. False when no thread can be made.
    bool Request(const char* path, int32_t side, HWND notify, UINT message);
    // No thumbnails wanted any more (another document without layers).
    void Drop();
    // After the message: joins the thread. True with the thumbnails of the
    // latest request in out (and its path and side); false for a request
    // overtaken by a later one, which then starts.
    bool Collect(std::string& path, int32_t& side, std::vector<Thumbnail>& out);
    // Cancels and waits for the layer being shrunk.
    void Stop();

private:
    bool StartThread();
    void Run();

    std::thread thread;
    std::atomic<bool> cancel{false};
    // The request the thread works on, and the one waiting for it to end.
    std::string path;
    int32_t side = 0;
    std::string nextPath;
    int32_t nextSide = 0;
    bool waiting = false;
    HWND window = nullptr;
    UINT notifyMessage = 0;
    std::vector<Thumbnail> made;
};
