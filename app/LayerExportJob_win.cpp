#include "app/LayerExportJob.h"

#include "base/WorkPool.h"

bool LayerExportJob::Start(const char* document, HWND notify, UINT message, uint32_t namesCodePage) {
    if (thread.joinable())
        return false;
    path.Assign(document);
    window = notify;
    notifyMessage = message;
    codePage = namesCodePage;
    succeeded = false;
    cancel.store(false);
    // Everything above is written before the thread starts, which orders it
    // before the thread's reads.
    return WorkPool::StartThread(thread, [this] { Run(); });
}

bool LayerExportJob::Finish() {
    if (!thread.joinable())
        return false;
    thread.join();
    return true;
}

void LayerExportJob::Stop() {
    Cancel();
    Finish();
}

void LayerExportJob::Run() {
    LayerExportOptions options;
    options.cancel = &cancel;
    options.namesCodePage = codePage;
    // A throw (memory ran out) fails the export as memory running out
    // always does; the window still hears that it ended.
    try {
        succeeded = ExportLayers(path.Text(), options, report);
    } catch (...) {
        succeeded = false;
        report.status = LayerExportStatus::CannotOpen;
    }
    // The report is the window's from here, once it has joined the thread.
    PostMessageW(window, notifyMessage, 0, 0);
}
