#pragma once
// LayerExportJob: the layer export of one document on a thread of its own
// (a WindowJob), so that the window goes on taking messages meanwhile: above
// all the end of the session, which stops the export and removes the file
// being written instead of leaving a temporary behind. The thread posts the
// window a message when it ends; the window then calls Finish, which waits
// for it and says how it went.

#include "export/LayerExport.h"
#include "framework/WindowJob.h"

#include <windows.h>

#include <cstdint>

class LayerExportJob {
public:
    LayerExportJob() = default;
    LayerExportJob(const LayerExportJob&) = delete;
    LayerExportJob& operator=(const LayerExportJob&) = delete;

    // Starts exporting the layers of the QVM document at path beside it;
    // message goes to notify when done. False while one runs or when no
    // thread can be made.
    // Layer names are read in namesCodePage (0: the automatic rule).
    bool Start(const char* path, HWND notify, UINT message, uint32_t namesCodePage = 0);
    bool Running() const { return job.Busy(); }
    struct Outcome {
        bool succeeded = false;
        LayerExportReport report;
    };
    // After the message: waits for the thread and says how the export went,
    // the window's until the next Start. Null when no export had run.
    const Outcome* Finish() { return job.Finished(true); }
    // No layer starts from now on; returns at once.
    void Cancel() { job.Cancel(); }
    // Cancel and wait for the layer being written.
    void Stop() { job.Stop(); }

private:
    WindowResult<Outcome> job;
};
