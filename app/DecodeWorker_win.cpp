#include "app/DecodeWorker.h"

#include <string>

bool DecodeWorker::Begin(const char* path, HWND notify, UINT message) {
    if (stopped)
        return false;
    return job.Start(notify, message, [this, file = std::string(path)](DecodedFile& decoded, const JobControl&) {
        decoded.path.Assign(file.c_str());
        // A throw (memory ran out) makes this file one not decoded ahead: it
        // is read again when shown, and the thread goes on.
        try {
            decode(file.c_str(), decoded);
        } catch (...) {
            decoded.loaded = false;
            decoded.picture.Free();
            decoded.stamp = FileStamp{};
        }
    });
}
