#pragma once
// DecodeWorker: the viewer's decode thread, which decodes one file at a time
// into its own picture (DecodeFile) while the interface thread goes on. The
// interface thread hands a job with Begin; the thread posts a message to the
// window named there when the job is done, and the interface thread collects
// the result with Finished. Between Begin and Finished the job belongs to the
// thread alone; after Finished, to the interface thread alone, until the next
// Begin. The thread starts with the first job and ends at Stop.

#include "app/PicturesAhead.h"
#include "framework/WindowJob.h"

#include <windows.h>

#include <functional>
#include <utility>

class DecodeWorker {
public:
    // How a job's file is read: DecodeFile, or a test's hold around it.
    using Decoder = std::function<void(const char* path, DecodedFile& decoded)>;

    DecodeWorker() = default;
    explicit DecodeWorker(Decoder decoder) : decode(std::move(decoder)) {}
    DecodeWorker(const DecodeWorker&) = delete;
    DecodeWorker& operator=(const DecodeWorker&) = delete;

    // Starts decoding path; message is posted to notify when it is done.
    // False when a job is already running, after Stop, or when the thread
    // cannot be started.
    bool Begin(const char* path, HWND notify, UINT message);
    bool Busy() const { return job.Busy(); }
    // The job done, or null while it runs (wait: blocks until it is done).
    // The result is the caller's until the next Begin.
    DecodedFile* Finished(bool wait) { return job.Finished(wait); }
    // Lets the job running finish (a decode cannot be stopped halfway), then
    // ends the thread and waits for it. No job is taken after.
    void Stop() {
        stopped = true;
        job.Stop();
    }

private:
    Decoder decode = [](const char* path, DecodedFile& decoded) { DecodeFile(path, decoded); };
    bool stopped = false;
    WindowResult<DecodedFile> job;
};
