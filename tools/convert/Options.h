#pragma once
// The command line of tessavel-convert.

#include "export/BatchItem.h"

#include <string>
#include <vector>

struct ConvertOptions {
    std::string destination; // -o DIR
    OutputFormat format = OutputFormat::Png;
    bool layers = false;            // --layers
    bool overwrite = true;          // --no-overwrite clears it
    unsigned jobs = 0;              // -j N; 0: one per core
    bool quiet = false;             // -q
    std::vector<std::string> paths; // files and folders, in the order given
};

enum class ParseResult { Run, Help, Version, Error };

// Reads argv[1..argc-1]. On Error, error says what is wrong (without the
// program's name).
ParseResult ParseOptions(int argc, const char* const* argv, ConvertOptions& options, std::string& error);

// The text --help prints.
const char* UsageText();

// The most jobs -j accepts.
constexpr unsigned kMaxJobs = 64;
