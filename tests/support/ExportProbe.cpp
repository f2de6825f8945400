#include "tests/support/ExportProbe.h"

#include "export/LayerExport.h"
#include "base/Text.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool WriteBytes(const fs::path& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

bool IsLayerFileName(const std::string& name) {
    const std::string start = "doc_", end = ".png";
    return name.size() >= start.size() + end.size() && name.compare(0, start.size(), start) == 0 &&
           name.compare(name.size() - end.size(), end.size(), end) == 0;
}

// Every entry under root, checked against what the export may leave there.
std::string CheckTree(const fs::path& root, const fs::path& run, const fs::path& layers, int32_t written) {
    std::error_code error;
    int32_t found = 0;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        if (path == run || path == layers || path == run / "doc.qvm")
            continue;
        if (path.parent_path() != layers || !IsLayerFileName(path.filename().string()) || !it->is_regular_file())
            return "the export wrote " + path.string();
        ++found;
    }
    if (error)
        return "cannot walk " + root.string() + ": " + error.message();
    if (found > written)
        return "more layer files than the export reports written";
    return {};
}

} // namespace

ExportProbe ProbeLayerExport(const std::string& root, const uint8_t* data, size_t size, bool intoFolder) {
    ExportProbe probe;
    const fs::path base(root);
    const fs::path run = base / "run";
    const fs::path layers = intoFolder ? run / "out" : run;
    std::error_code error;
    fs::remove_all(run, error);
    if (!fs::create_directories(layers, error) || !WriteBytes(run / "doc.qvm", data, size)) {
        probe.problem = "cannot prepare " + run.string();
        return probe;
    }
    const std::string document = (run / "doc.qvm").string();
    const std::string folder = layers.string();
    LayerExportOptions options;
    options.folder = intoFolder ? folder.c_str() : nullptr;
    LayerExportReport report;
    probe.done = ExportLayers(document.c_str(), options, report);
    probe.written = report.written;
    probe.problem = CheckTree(base, run, layers, report.written);
    if (probe.problem.empty() && report.failedWrites != 0 && text::PathSeparator() == '/')
        probe.problem = "a layer file could not be written: " + std::string(report.firstFailedFile.Text());
    fs::remove_all(run, error);
    return probe;
}
