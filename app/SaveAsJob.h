#pragma once
// SaveAsJob: File > Save as on a thread of its own (a WindowJob), as the
// layer export runs, so that the window goes on taking messages meanwhile:
// above all the end of the session, which stops the save and removes its
// temporary. The thread posts the window a message when it ends; the window
// then calls Finish, which waits for it and puts how it went in outcome.

#include "app/SaveAs.h"
#include "framework/WindowJob.h"

#include <windows.h>

#include <string>
#include <vector>

class SaveAsJob {
public:
    SaveAsJob() = default;
    SaveAsJob(const SaveAsJob&) = delete;
    SaveAsJob& operator=(const SaveAsJob&) = delete;

    struct Request {
        std::string document;
        std::string output;
        OutputFormat format = OutputFormat::Png;
        std::vector<uint8_t> visible; // the pane's boxes, file order; empty: as stored
        uint32_t namesCodePage = 0;
    };

    // Starts the save; message goes to notify when done. False while one
    // runs or when no thread can be made.
    bool Start(const Request& what, HWND notify, UINT message);
    bool Running() const { return job.Busy(); }
    // After the message: waits for the thread. False when no save had run.
    bool Finish();
    // No layer starts from now on; returns at once.
    void Cancel() { job.Cancel(); }
    void Stop() { job.Stop(); }

    Request request;
    SaveAsOutcome outcome;

private:
    WindowResult<SaveAsOutcome> job;
};
