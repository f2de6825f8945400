// tessavel-convert: converts QVM and QVR documents to PNG or BMP files, or
// writes each layer of QVM documents as PNG files, from the command line.

#include "decode/ByteFile.h"
#include "tools/convert/FolderList.h"
#include "tools/convert/Jobs.h"
#include "tools/convert/Options.h"
#include "tools/convert/Terminal.h"

#include "framework/Str.h"

#include "TessavelVersion.h"

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Totals {
    size_t converted = 0;
    size_t skipped = 0;
    size_t failed = 0;
};

std::string FileNameOf(const std::string& path) {
    Str text;
    text.Assign(path.c_str());
    Str name;
    text.GetFileName(name);
    return name.Text();
}

// A progress line on a terminal, rewritten in place.
class Progress {
public:
    explicit Progress(bool shown) : shown(shown) {}

    void Show(size_t done, size_t total, const std::string& name) {
        if (!shown)
            return;
        const std::string line = "[" + std::to_string(done) + "/" + std::to_string(total) + "] " + name;
        std::fprintf(stderr, "\r%s", line.c_str());
        for (size_t i = line.size(); i < width; ++i)
            std::fputc(' ', stderr);
        width = line.size();
        std::fflush(stderr);
    }

    void Clear() {
        if (!shown || width == 0)
            return;
        std::fprintf(stderr, "\r%*s\r", int(width), "");
        width = 0;
    }

private:
    bool shown;
    size_t width = 0;
};

void ReportFailure(Progress& progress, const std::string& path, const std::string& reason) {
    progress.Clear();
    std::fprintf(stderr, "%s: %s\n", path.c_str(), reason.c_str());
}

// Expands the arguments into the items; paths that are neither a file nor a
// readable folder fail here.
std::vector<Item> CollectItems(const ConvertOptions& options, Progress& progress, Totals& totals) {
    std::vector<Item> items;
    for (const std::string& path : options.paths) {
        if (ByteFile::IsDirectory(path.c_str())) {
            std::vector<std::string> found;
            if (!ListDocuments(path, found)) {
                ReportFailure(progress, path, "cannot read the folder");
                ++totals.failed;
            }
            for (const std::string& document : found)
                items.push_back({document, FileNameOf(document)});
        } else if (ByteFile::Exists(path.c_str())) {
            items.push_back({path, FileNameOf(path)});
        } else {
            ReportFailure(progress, path, "no such file or folder");
            ++totals.failed;
        }
    }
    return items;
}

} // namespace

int main(int argc, char** argv) {
    ConvertOptions options;
    std::string error;
    switch (ParseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        std::fputs(UsageText(), stdout);
        return 0;
    case ParseResult::Version:
        std::printf("tessavel-convert %s\n", TESSAVEL_VERSION);
        return 0;
    case ParseResult::Error:
        std::fprintf(stderr, "tessavel-convert: %s\nTry 'tessavel-convert --help'.\n", error.c_str());
        return 2;
    case ParseResult::Run:
        break;
    }
    if (!ByteFile::IsDirectory(options.destination.c_str())) {
        std::fprintf(stderr, "tessavel-convert: the destination folder does not exist: %s\n",
                     options.destination.c_str());
        return 2;
    }
    unsigned jobs = options.jobs;
    if (jobs == 0)
        jobs = std::thread::hardware_concurrency();
    if (jobs == 0)
        jobs = 1;

    Progress progress(!options.quiet && StderrIsTerminal());
    Totals totals;
    const std::vector<Item> items = CollectItems(options, progress, totals);
    RunItems(items, options, jobs, [&](size_t index, const ItemReport& report) {
        switch (report.outcome) {
        case Outcome::Converted:
            ++totals.converted;
            break;
        case Outcome::Skipped:
            ++totals.skipped;
            break;
        case Outcome::Failed:
            ++totals.failed;
            ReportFailure(progress, items[index].path, report.reason);
            break;
        }
        progress.Show(index + 1, items.size(), items[index].name);
    });
    progress.Clear();
    if (!options.quiet)
        std::printf("converted %zu, skipped %zu, failed %zu\n", totals.converted, totals.skipped, totals.failed);
    return totals.failed > 0 ? 1 : 0;
}
