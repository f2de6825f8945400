// tessavel-convert: converts QVM and QVR documents to PNG or BMP files, or
// writes each layer of QVM documents as PNG files, from the command line.

#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "decode/DocumentKind.h"
#include "decode/FolderList.h"
#include "export/OutputFolder.h"
#include "tools/convert/Console.h"
#include "tools/convert/Entry.h"
#include "tools/convert/Interrupt.h"
#include "tools/convert/Jobs.h"
#include "tools/convert/Options.h"
#include "tools/convert/Terminal.h"

#include "TessavelVersion.h"

#include <cstdio>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

struct Totals {
    size_t converted = 0;
    size_t skipped = 0;
    size_t failed = 0;
};

std::string SystemReason() {
    char words[256] = {};
    filesystem::DescribeFailure(filesystem::LastFailure(), words, sizeof words);
    return words;
}

// A progress line on a terminal, rewritten in place and never wider than
// the terminal, so it never wraps onto a second line.
class Progress {
public:
    explicit Progress(bool shown) : shown(shown), columns(shown ? TerminalColumns() : 0) {}

    void Show(size_t done, size_t total, const std::string& name) {
        if (!shown)
            return;
        std::string line = "[" + std::to_string(done) + "/" + std::to_string(total) + "] " + name;
        // One column stays free: writing into the last one wraps on some terminals.
        line.resize(FitToColumns(line, columns > 1 ? columns - 1 : 1));
        const size_t shownWidth = line.size();
        if (shownWidth < width)
            line.append(width - shownWidth, ' ');
        WriteText(stderr, "\r" + line);
        width = shownWidth;
        std::fflush(stderr);
    }

    void Clear() {
        if (!shown || width == 0)
            return;
        WriteText(stderr, "\r" + std::string(width, ' ') + "\r");
        width = 0;
    }

private:
    bool shown;
    size_t columns;
    size_t width = 0;
};

// One line per reason: "path: reason".
void ReportFailure(Progress& progress, const std::string& path, const std::string& reasons) {
    progress.Clear();
    size_t start = 0;
    while (start <= reasons.size()) {
        size_t end = reasons.find('\n', start);
        if (end == std::string::npos)
            end = reasons.size();
        Say(stderr, "%s: %s\n", path.c_str(), reasons.substr(start, end - start).c_str());
        start = end + 1;
    }
}

void AddFolder(const std::string& path, const ConvertOptions& options, std::vector<Item>& items, Progress& progress,
               Totals& totals) {
    std::vector<FoundDocument> found;
    std::vector<std::string> unreadable;
    if (!ListDocumentTree(path, options.recursive, found, unreadable)) {
        ReportFailure(progress, path, "cannot read the folder");
        ++totals.failed;
        return;
    }
    for (const std::string& folder : unreadable) {
        ReportFailure(progress, folder, "cannot read the folder");
        ++totals.failed;
    }
    size_t taken = 0;
    for (const FoundDocument& document : found) {
        // The layer export reads QVM documents only: a folder's QVR ones are
        // not asked for and so are no failures.
        if (options.layers && KindByExtension(document.path) != DocumentKind::Qvm)
            continue;
        items.push_back({document.path, FileNameOf(document.path), document.relative, ""});
        ++taken;
    }
    if (taken == 0)
        Say(stderr, "tessavel-convert: %s: no %s documents%s\n", path.c_str(), options.layers ? "QVM" : "QVM or QVR",
            options.recursive ? " in it or its subfolders" : "");
}

// Expands the arguments into the items; paths that are neither a regular
// file nor a readable folder fail here.
std::vector<Item> CollectItems(const ConvertOptions& options, Progress& progress, Totals& totals) {
    std::vector<Item> items;
    for (const std::string& path : options.paths) {
        if (filesystem::IsDirectory(path.c_str())) {
            AddFolder(path, options, items, progress, totals);
        } else if (filesystem::IsSpecial(path.c_str())) {
            // A FIFO would hold the run at its open; a device or socket is
            // no document.
            ReportFailure(progress, path, "not a regular file");
            ++totals.failed;
        } else if (filesystem::Exists(path.c_str())) {
            items.push_back({path, FileNameOf(path), "", ""});
        } else {
            ReportFailure(progress, path, "no such file or folder");
            ++totals.failed;
        }
    }
    return items;
}

// The folder the files go into, made when missing (not in a dry run). 0 or
// the exit status.
int PrepareDestination(const ConvertOptions& options) {
    std::string folder = options.destination;
    if (options.target == OutputTarget::Stdout)
        return 0;
    if (options.target == OutputTarget::File)
        folder.resize(folder.size() - FileNameOf(folder).size());
    if (folder.empty() || filesystem::IsDirectory(folder.c_str()))
        return 0;
    if (filesystem::Exists(folder.c_str())) {
        Say(stderr, "tessavel-convert: the destination is not a folder: %s\n", folder.c_str());
        return kBadUsage;
    }
    if (options.dryRun || MakeFolders(folder))
        return 0;
    Say(stderr, "tessavel-convert: cannot create the folder %s: %s\n", folder.c_str(), SystemReason().c_str());
    return kFailed;
}

void Count(Totals& totals, const ItemReport& report) {
    switch (report.outcome) {
    case Outcome::Converted:
        ++totals.converted;
        break;
    case Outcome::Skipped:
        ++totals.skipped;
        break;
    case Outcome::Failed:
        ++totals.failed;
        break;
    }
}

void DryRun(const std::vector<Item>& items, const ConvertOptions& options, Progress& progress, Totals& totals) {
    size_t files = 0;
    for (const Item& item : items) {
        std::vector<std::string> lines;
        const ItemReport report = PlanOne(item, options, lines);
        for (const std::string& line : lines)
            Say(stdout, "%s\n", line.c_str());
        if (report.outcome == Outcome::Converted)
            files += lines.size();
        if (report.outcome == Outcome::Failed)
            ReportFailure(progress, item.path, report.reason);
        Count(totals, report);
    }
    if (!options.quiet)
        Say(stdout, "dry run: would write %zu files; skipped %zu, failed %zu\n", files, totals.skipped, totals.failed);
}

int Convert(int argc, char** argv) {
    PrepareLocale();
    ConvertOptions options;
    std::string error;
    switch (ParseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        WriteText(stdout, UsageText());
        return 0;
    case ParseResult::Version:
        Say(stdout, "tessavel-convert %s\n", TESSAVEL_VERSION);
        return 0;
    case ParseResult::Error:
        Say(stderr, "tessavel-convert: %s\nTry 'tessavel-convert --help'.\n", error.c_str());
        return kBadUsage;
    case ParseResult::Run:
        break;
    }
    RemoveTemporariesOnInterrupt();
    unsigned jobs = options.jobs;
    if (jobs == 0)
        jobs = std::thread::hardware_concurrency();
    if (jobs == 0)
        jobs = 1;

    Progress progress(!options.quiet && !options.dryRun && StderrIsTerminal());
    Totals totals;
    std::vector<Item> items = CollectItems(options, progress, totals);
    if (options.target != OutputTarget::Folder && items.size() > 1) {
        Say(stderr, "tessavel-convert: -o %s takes one document; %zu were given\n", options.destination.c_str(),
            items.size());
        return kBadUsage;
    }
    const int prepared = PrepareDestination(options);
    if (prepared != 0)
        return prepared;
    MarkCollisions(items, options);
    if (options.dryRun) {
        DryRun(items, options, progress, totals);
        return totals.failed > 0 ? kFailed : 0;
    }
    size_t reported = 0; // reports come in list order
    RunItems(items, options, jobs, [&](size_t index, const ItemReport& report) {
        reported = index + 1;
        Count(totals, report);
        if (report.outcome == Outcome::Failed)
            ReportFailure(progress, items[index].path, report.reason);
        for (const std::string& warning : report.warnings)
            ReportFailure(progress, items[index].path, "warning: " + warning);
        progress.Show(index + 1, items.size(), items[index].name);
    });
    // Nothing stops a run early but a failure of its threads themselves
    // (none could set up): the documents left are failures, never a success.
    for (size_t index = reported; index < items.size(); ++index) {
        ReportFailure(progress, items[index].path, "not converted: out of memory");
        ++totals.failed;
    }
    progress.Clear();
    // Standard output may be the picture itself: the summary then goes to
    // the error stream.
    if (!options.quiet)
        Say(options.target == OutputTarget::Stdout ? stderr : stdout, "converted %zu, skipped %zu, failed %zu\n",
            totals.converted, totals.skipped, totals.failed);
    return totals.failed > 0 ? kFailed : 0;
}

} // namespace

int RunConverter(int argc, char** argv) {
    // The documents' own failures are caught where they run (a throw fails
    // that document); what is left is the run's bookkeeping, whose failure
    // ends the run with a reason rather than an abort.
    try {
        return Convert(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("tessavel-convert: out of memory\n", stderr);
    } catch (...) {
        std::fputs("tessavel-convert: internal error\n", stderr);
    }
    return kFailed;
}
