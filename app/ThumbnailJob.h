#pragma once
// ThumbnailJob: the layers pane's thumbnails of one document made on a
// thread of their own (a WindowResult over LayerThumbnails.h), so that the
// window never waits for a large document's layers. A request while one runs
// cancels it; the new one starts when the old has ended, so one thread at
// most runs and the window never waits for it to stop. The thread posts the
// window a message when a piece ends; the window then calls Collect, which
// hands over the thumbnails or starts the request waiting.

#include "app/LayerThumbnails.h"
#include "framework/WindowJob.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class ThumbnailJob {
public:
    // How a document's thumbnails are made: DocumentLayerThumbnails, or a
    // test's hold around it.
    using Maker = std::function<void(const char* path, int32_t side, const std::atomic<bool>& cancel,
                                     std::vector<Thumbnail>& out)>;
    // The thumbnails of one request, with what was asked for.
    struct Made {
        std::string path;
        int32_t side = 0;
        std::vector<Thumbnail> thumbnails;
    };

    ThumbnailJob() = default;
    explicit ThumbnailJob(Maker maker) : make(std::move(maker)) {}
    ThumbnailJob(const ThumbnailJob&) = delete;
    ThumbnailJob& operator=(const ThumbnailJob&) = delete;

    // The thumbnails of the document at path, side pixels square; message
    // goes to notify when they are made. False when no thread can be made.
    bool Request(const char* path, int32_t side, HWND notify, UINT message);
    // No thumbnails wanted any more (another document without layers).
    void Drop();
    // After the message: the thumbnails of the latest request, the caller's
    // until the next request; null for a request overtaken by a later one,
    // which then starts, or dropped.
    const Made* Collect();
    // Cancels and waits for the layer being shrunk; the request waiting goes.
    void Stop();

private:
    bool Start(const std::string& path, int32_t side);

    Maker make = [](const char* path, int32_t side, const std::atomic<bool>& cancel, std::vector<Thumbnail>& out) {
        DocumentLayerThumbnails(path, side, cancel, out);
    };
    // The piece running was overtaken or dropped: what it makes is of no use.
    bool cancelled = false;
    // The request waiting for the running one to end.
    bool waiting = false;
    std::string nextPath;
    int32_t nextSide = 0;
    HWND window = nullptr;
    UINT notifyMessage = 0;
    WindowResult<Made> job;
};
