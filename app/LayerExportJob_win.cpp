#include "app/LayerExportJob.h"

#include <string>
#include <utility>

bool LayerExportJob::Start(const char* document, HWND notify, UINT message, uint32_t namesCodePage) {
    auto work = [path = std::string(document), namesCodePage](Outcome& outcome, const JobControl& control) {
        LayerExportOptions options;
        options.cancel = control.Flag();
        options.namesCodePage = namesCodePage;
        // A throw (memory ran out) fails the export as memory running out
        // always does; the window still hears that it ended.
        try {
            outcome.succeeded = ExportLayers(path.c_str(), options, outcome.report);
        } catch (...) {
            outcome.succeeded = false;
            outcome.report.status = LayerExportStatus::CannotOpen;
        }
    };
    return job.Start(notify, message, std::move(work));
}
