#include "decode/SteadyRead.h"

#include "base/ByteFile.h"

SteadyResult ReadSteadily(const char* path, const std::function<bool(ByteFile&)>& read) {
    // Two tries: a save that lands during the first read is usually over by
    // the second; a file rewritten without pause is reported.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ByteFile file;
        if (!file.OpenRead(path))
            return attempt == 0 ? SteadyResult::Failed : SteadyResult::Changed;
        ByteFile::Stamp before;
        ByteFile::Stamp after;
        const bool stamped = file.TakeStamp(before);
        const bool done = read(file);
        // A file whose stamp the system cannot give is taken as it was read.
        if (!stamped || !file.TakeStamp(after) || before == after)
            return done ? SteadyResult::Read : SteadyResult::Failed;
    }
    return SteadyResult::Changed;
}
