#pragma once
// The command line of tessavel-convert, in the GNU forms: short options
// alone, bundled or with their value attached (-q -r, -qr, -j4, -obuild),
// long ones with their value after "=" or as the next argument
// (--jobs=4, --jobs 4), and "--" ending the options.

#include "export/BatchItem.h"

#include <string>
#include <vector>

// Where the output goes, from -o.
enum class OutputTarget {
    Folder, // -o DIR: one file per document (created when missing)
    File,   // -o NAME.png, .bmp, .psd, .psb or .ora: the one document into that file
    Stdout, // -o -: the one document to standard output
};

struct ConvertOptions {
    std::string destination; // -o, --output
    OutputTarget target = OutputTarget::Folder;
    OutputFormat format = OutputFormat::Png;
    bool formatGiven = false;       // -f, --format
    bool layers = false;            // --layers
    bool overwrite = true;          // --no-overwrite clears it
    bool recursive = false;         // -r, --recursive
    bool dryRun = false;            // -n, --dry-run
    unsigned jobs = 0;              // -j, --jobs; 0: one per core
    bool quiet = false;             // -q, --quiet
    uint32_t namesCodePage = 0;     // --names-codepage; 0: the automatic rule
    std::vector<std::string> paths; // files and folders, in the order given
};

enum class ParseResult { Run, Help, Version, Error };

// Reads argv[1..argc-1]. On Error, error says what is wrong (without the
// program's name). The target is decided here: "-" is standard output, a
// name ending in .png, .bmp, .psd, .psb or .ora (any case) that is not an existing
// folder is a file, anything else a folder.
ParseResult ParseOptions(int argc, const char* const* argv, ConvertOptions& options, std::string& error);

// The text --help prints.
const char* UsageText();

// The most jobs -j accepts.
constexpr unsigned kMaxJobs = 64;
