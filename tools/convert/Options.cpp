#include "tools/convert/Options.h"

#include "framework/Text.h"

#include <cstdlib>

namespace {

bool ParseJobs(const char* text, unsigned& jobs) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || value < 1 || value > long(kMaxJobs))
        return false;
    jobs = unsigned(value);
    return true;
}

} // namespace

const char* UsageText() {
    return "usage: tessavel-convert -o DIR [options] PATH...\n"
           "Converts QVM and QVR documents to PNG or BMP files in DIR.\n"
           "Each PATH is a document or a folder, whose .qvm and .qvr files are taken\n"
           "(subfolders are not searched).\n"
           "\n"
           "  -o DIR          destination folder (required; must exist)\n"
           "  -f png|bmp      output format (default png)\n"
           "  --layers        write each layer of a QVM document as a PNG with alpha,\n"
           "                  named NAME_NN_LAYER.png (00 is the top layer)\n"
           "  --no-overwrite  leave existing output files alone (they count as skipped)\n"
           "  -j N            parallel jobs (default: one per processor core)\n"
           "  -q              no progress line and no summary; failures are still listed\n"
           "  --help          this text\n"
           "  --version       the program's version\n"
           "\n"
           "Exit status: 0 when nothing failed, 1 when a document failed, 2 for bad usage.\n";
}

ParseResult ParseOptions(int argc, const char* const* argv, ConvertOptions& options, std::string& error) {
    bool onlyPaths = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (onlyPaths || arg.empty() || arg[0] != '-' || arg == "-") {
            options.paths.push_back(arg);
        } else if (arg == "--") {
            onlyPaths = true;
        } else if (arg == "--help" || arg == "-h") {
            return ParseResult::Help;
        } else if (arg == "--version") {
            return ParseResult::Version;
        } else if (arg == "-o") {
            if (!hasValue) {
                error = "-o needs a folder";
                return ParseResult::Error;
            }
            options.destination = argv[++i];
        } else if (arg == "-f") {
            const char* value = hasValue ? argv[++i] : "";
            if (text::CompareNoCase(value, "png") == 0) {
                options.format = OutputFormat::Png;
            } else if (text::CompareNoCase(value, "bmp") == 0) {
                options.format = OutputFormat::Bmp;
            } else {
                error = "-f takes png or bmp";
                return ParseResult::Error;
            }
        } else if (arg == "-j") {
            if (!hasValue || !ParseJobs(argv[++i], options.jobs)) {
                error = "-j takes a number of jobs from 1 to " + std::to_string(kMaxJobs);
                return ParseResult::Error;
            }
        } else if (arg == "--layers") {
            options.layers = true;
        } else if (arg == "--no-overwrite") {
            options.overwrite = false;
        } else if (arg == "-q") {
            options.quiet = true;
        } else {
            error = "unknown option " + arg;
            return ParseResult::Error;
        }
    }
    if (options.destination.empty()) {
        error = "no destination folder (-o DIR)";
        return ParseResult::Error;
    }
    if (options.paths.empty()) {
        error = "no document or folder given";
        return ParseResult::Error;
    }
    if (options.layers && options.format == OutputFormat::Bmp) {
        error = "--layers writes PNG files only";
        return ParseResult::Error;
    }
    return ParseResult::Run;
}
