#include "tools/convert/Options.h"

#include "base/FileSystem.h"
#include "base/LayerName.h"
#include "base/Str.h"
#include "base/Text.h"

#include <cstdlib>
#include <cstring>

namespace {

enum class Id { Output, Format, Jobs, Layers, NoOverwrite, Quiet, Recursive, DryRun, NamesCodePage, Help, Version };

struct OptionName {
    Id id;
    char shortName; // 0: long form only
    const char* longName;
    bool takesValue;
};

const OptionName kOptions[] = {
    {Id::Output, 'o', "output", true},
    {Id::Format, 'f', "format", true},
    {Id::Jobs, 'j', "jobs", true},
    {Id::Layers, 0, "layers", false},
    {Id::NoOverwrite, 0, "no-overwrite", false},
    {Id::Quiet, 'q', "quiet", false},
    {Id::Recursive, 'r', "recursive", false},
    {Id::DryRun, 'n', "dry-run", false},
    {Id::NamesCodePage, 0, "names-codepage", true},
    {Id::Help, 'h', "help", false},
    {Id::Version, 0, "version", false},
};

const OptionName* FindShort(char c) {
    for (const OptionName& option : kOptions)
        if (option.shortName == c)
            return &option;
    return nullptr;
}

const OptionName* FindLong(const std::string& name) {
    for (const OptionName& option : kOptions)
        if (name == option.longName)
            return &option;
    return nullptr;
}

std::string Shown(const OptionName& option) {
    return option.shortName != 0 ? std::string("-") + option.shortName : std::string("--") + option.longName;
}

bool ParseJobs(const std::string& text, unsigned& jobs) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || value < 1 || value > long(kMaxJobs))
        return false;
    jobs = unsigned(value);
    return true;
}

// 0 is the automatic rule; any other number must be a code page this
// system can read.
bool ParseCodePage(const std::string& text, uint32_t& codePage) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || value < 0 || value > 0xFFFF ||
        (value != 0 && !text::CodePageSupported(uint32_t(value))))
        return false;
    codePage = uint32_t(value);
    return true;
}

bool ParseFormat(const std::string& text, OutputFormat& format) {
    if (text::CompareNoCase(text.c_str(), "png") == 0)
        format = OutputFormat::Png;
    else if (text::CompareNoCase(text.c_str(), "bmp") == 0)
        format = OutputFormat::Bmp;
    else if (text::CompareNoCase(text.c_str(), "psd") == 0)
        format = OutputFormat::Psd;
    else if (text::CompareNoCase(text.c_str(), "ora") == 0)
        format = OutputFormat::Ora;
    else
        return false;
    return true;
}

// An output file's extension: the formats' own, and "psb", PSD's large
// form.
bool FormatOfExtension(const std::string& extension, OutputFormat& format) {
    if (text::CompareNoCase(extension.c_str(), "psb") == 0) {
        format = OutputFormat::Psd;
        return true;
    }
    return ParseFormat(extension, format);
}

// One option with its value (empty for those that take none).
ParseResult Apply(const OptionName& option, const std::string& value, ConvertOptions& options, std::string& error) {
    switch (option.id) {
    case Id::Output:
        options.destination = value;
        break;
    case Id::Format:
        if (!ParseFormat(value, options.format)) {
            error = Shown(option) + " takes png, bmp, psd or ora";
            return ParseResult::Error;
        }
        options.formatGiven = true;
        break;
    case Id::Jobs:
        if (!ParseJobs(value, options.jobs)) {
            error = Shown(option) + " takes a number of jobs from 1 to " + std::to_string(kMaxJobs);
            return ParseResult::Error;
        }
        break;
    case Id::Layers:
        options.layers = true;
        break;
    case Id::NoOverwrite:
        options.overwrite = false;
        break;
    case Id::Quiet:
        options.quiet = true;
        break;
    case Id::Recursive:
        options.recursive = true;
        break;
    case Id::DryRun:
        options.dryRun = true;
        break;
    case Id::NamesCodePage:
        if (!ParseCodePage(value, options.namesCodePage)) {
            error = Shown(option) + " takes 0 (automatic) or a code page this system has, such as 932 or 1252";
            return ParseResult::Error;
        }
        break;
    case Id::Help:
        return ParseResult::Help;
    case Id::Version:
        return ParseResult::Version;
    }
    return ParseResult::Run;
}

// Decides where -o points and checks what does not go with it.
ParseResult SettleTarget(ConvertOptions& options, std::string& error) {
    if (options.destination == "-") {
        options.target = OutputTarget::Stdout;
    } else {
        Str name;
        name.Assign(options.destination.c_str());
        Str extension;
        name.GetExtension(extension);
        OutputFormat named = OutputFormat::Png;
        if (FormatOfExtension(extension.Text(), named) && !filesystem::IsDirectory(options.destination.c_str())) {
            options.target = OutputTarget::File;
            if (options.formatGiven && options.format != named) {
                error = "-f " + std::string(OutputExtension(options.format)) +
                        " contradicts the output file's extension ." + extension.Text();
                return ParseResult::Error;
            }
            options.format = named;
        }
    }
    if (options.target != OutputTarget::Folder && options.layers) {
        error = "--layers writes one file per layer: -o takes a folder";
        return ParseResult::Error;
    }
    if (options.target != OutputTarget::Folder && options.recursive) {
        error = "-r mirrors folders: -o takes a folder";
        return ParseResult::Error;
    }
    return ParseResult::Run;
}

} // namespace

const char* UsageText() {
    return "usage: tessavel-convert -o DIR [options] PATH...\n"
           "       tessavel-convert -o FILE.png|.bmp|.psd|.psb|.ora|- [options] DOCUMENT\n"
           "Converts QVM and QVR documents to PNG or BMP pictures, or to layered PSD and\n"
           "OpenRaster files.\n"
           "Each PATH is a document or a folder, whose .qvm and .qvr files are taken.\n"
           "\n"
           "  -o, --output=DIR     destination folder, created when missing\n"
           "  -o, --output=FILE    with one document: that file; its extension (.png,\n"
           "                       .bmp, .psd, .psb or .ora) gives the format\n"
           "  -o -                 with one document: the picture to standard output\n"
           "  -f, --format=FORMAT  png, bmp, psd or ora (default png, or the -o file's\n"
           "                       extension)\n"
           "                       psd keeps every layer: its name, blend mode, opacity,\n"
           "                       visibility and pixels (trimmed to what it covers), with\n"
           "                       the picture Tessavel shows as the merged picture;\n"
           "                       NAME.psb (the large-document form) beyond 30000 pixels\n"
           "                       a side. A layer that cannot be decoded is kept empty\n"
           "                       and hidden, with a warning\n"
           "                       ora keeps the same in OpenRaster: a PNG per layer,\n"
           "                       stack.xml, mergedimage.png and a thumbnail\n"
           "      --layers         write each layer of a QVM document as a PNG with alpha,\n"
           "                       named NAME_NN_LAYER.png (00 is the top layer); folders\n"
           "                       give their QVM documents only\n"
           "      --no-overwrite   leave existing output files alone (they count as skipped)\n"
           "  -r, --recursive      take the documents of subfolders too, written under the\n"
           "                       same relative folders inside DIR\n"
           "  -n, --dry-run        print what would be written and write nothing\n"
           "      --names-codepage=N  read every layer name in code page N (932, 1252,\n"
           "                       ...); 0, the default: CP932 when the name is CP932\n"
           "                       text with a double-byte character, otherwise the\n"
           "                       system's code page (Windows-1252 off Windows)\n"
           "  -j, --jobs=N         parallel jobs (default: one per processor core)\n"
           "  -q, --quiet          no progress line and no summary; failures are still listed\n"
           "  -h, --help           this text\n"
           "      --version        the program's version\n"
           "  --                   what follows are paths, even when they start with '-'\n"
           "\n"
           "Two documents that would write the same file fail the later one; the\n"
           "earlier one's file is kept. Files are written under a temporary name and\n"
           "renamed when complete, so an interrupted run leaves no partial picture.\n"
           "\n"
           "Exit status:\n"
           "  0  every document was converted or skipped\n"
           "  1  a document or path failed (each failure is one line on stderr)\n"
           "  2  bad usage (unknown option, missing argument, contradicting options)\n";
}

ParseResult ParseOptions(int argc, const char* const* argv, ConvertOptions& options, std::string& error) {
    bool onlyPaths = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (onlyPaths || arg.size() < 2 || arg[0] != '-') {
            options.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPaths = true;
            continue;
        }
        if (arg[1] == '-') {
            const size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const OptionName* option = FindLong(name);
            if (option == nullptr) {
                error = "unknown option --" + name;
                return ParseResult::Error;
            }
            std::string value;
            if (equals != std::string::npos) {
                if (!option->takesValue) {
                    error = "--" + name + " takes no value";
                    return ParseResult::Error;
                }
                value = arg.substr(equals + 1);
            } else if (option->takesValue) {
                if (i + 1 >= argc) {
                    error = "--" + name + " needs a value";
                    return ParseResult::Error;
                }
                value = argv[++i];
            }
            const ParseResult result = Apply(*option, value, options, error);
            if (result != ParseResult::Run)
                return result;
            continue;
        }
        // Short options, bundled: -qr, -j4, -o DIR.
        for (size_t k = 1; k < arg.size(); ++k) {
            const OptionName* option = FindShort(arg[k]);
            if (option == nullptr) {
                error = std::string("unknown option -") + arg[k];
                return ParseResult::Error;
            }
            std::string value;
            if (option->takesValue) {
                if (k + 1 < arg.size()) {
                    value = arg.substr(k + 1);
                } else if (i + 1 < argc) {
                    value = argv[++i];
                } else {
                    error = Shown(*option) + " needs a value";
                    return ParseResult::Error;
                }
                k = arg.size();
            }
            const ParseResult result = Apply(*option, value, options, error);
            if (result != ParseResult::Run)
                return result;
        }
    }
    if (options.destination.empty()) {
        error = "no destination (-o DIR, -o FILE or -o -)";
        return ParseResult::Error;
    }
    if (options.paths.empty()) {
        error = "no document or folder given";
        return ParseResult::Error;
    }
    if (options.layers && options.format != OutputFormat::Png) {
        error = "--layers writes PNG files only";
        return ParseResult::Error;
    }
    return SettleTarget(options, error);
}
