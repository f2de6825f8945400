#pragma once
// LayerExportJob: the layer export of one document on a thread of its own,
// so that the window goes on taking messages meanwhile: above all the end
// of the session, which stops the export and removes the file being
// written instead of leaving a temporary behind. The thread posts the
// window a message when it ends; the window then calls Finish, which joins
// it, and says how it went.

#include "export/LayerExport.h"
#include "base/Str.h"

#include <windows.h>

#include <atomic>
#include <thread>

class LayerExportJob {
public:
    LayerExportJob() = default;
    ~LayerExportJob() { Stop(); }
    LayerExportJob(const LayerExportJob&) = delete;
    LayerExportJob& operator=(const LayerExportJob&) = delete;

    // Starts exporting the layers of the QVM document at path beside it;
    // message goes to notify when done. False while one runs or when no
    // thread can be made.
    // Layer names are read in namesCodePage (0: the automatic rule).
    bool Start(const char* path, HWND notify, UINT message, uint32_t namesCodePage = 0);
    bool Running() const { return thread.joinable(); }
    // After the message: joins the thread; the outcome in succeeded and
    // report. False when no export had run.
    bool Finish();
    // No layer starts from now on; returns at once.
    void Cancel() { cancel.store(true); }
    // Cancel and wait for the layer being written.
    void Stop();

    bool succeeded = false;
    LayerExportReport report;

private:
    void Run();

    std::thread thread;
    Str path;
    HWND window = nullptr;
    UINT notifyMessage = 0;
    uint32_t codePage = 0;
    std::atomic<bool> cancel{false};
};
