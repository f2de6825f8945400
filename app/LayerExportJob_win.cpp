#include "app/LayerExportJob.h"

#include <process.h>

bool LayerExportJob::Start(const char* document, HWND notify, UINT message) {
    if (thread != nullptr)
        return false;
    path.Assign(document);
    window = notify;
    notifyMessage = message;
    succeeded = false;
    cancel.store(false);
    // Everything above is written before the thread starts, which orders it
    // before the thread's reads.
    thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Run, this, 0, nullptr));
    return thread != nullptr;
}

bool LayerExportJob::Finish() {
    if (thread == nullptr)
        return false;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    thread = nullptr;
    return true;
}

void LayerExportJob::Stop() {
    Cancel();
    Finish();
}

unsigned __stdcall LayerExportJob::Run(void* self) {
    LayerExportJob& job = *static_cast<LayerExportJob*>(self);
    LayerExportOptions options;
    options.cancel = &job.cancel;
    job.succeeded = ExportLayers(job.path.Text(), options, job.report);
    // The report is the window's from here, once it has joined the thread.
    PostMessageW(job.window, job.notifyMessage, 0, 0);
    return 0;
}
