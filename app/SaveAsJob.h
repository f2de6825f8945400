#pragma once
// SaveAsJob: File > Save as on a thread of its own, as the layer export
// runs, so that the window goes on taking messages meanwhile: above all the
// end of the session, which stops the save and removes its temporary. The
// thread posts the window a message when it ends; the window then calls
// Finish, which joins it, and says how it went.

#include "app/SaveAs.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class SaveAsJob {
public:
    SaveAsJob() = default;
    ~SaveAsJob() { Stop(); }
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
    bool Running() const { return thread.joinable(); }
    // After the message: joins the thread. False when no save had run.
    bool Finish();
    // No layer starts from now on; returns at once.
    void Cancel() { cancel.store(true); }
    void Stop();

    Request request;
    SaveAsOutcome outcome;

private:
    void Run();

    std::thread thread;
    HWND window = nullptr;
    UINT notifyMessage = 0;
    std::atomic<bool> cancel{false};
};
