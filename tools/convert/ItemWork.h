#pragma once
// One document's conversion in tessavel-convert: flattened to one picture
// through the batch item rules, or split into its layers.

#include "tools/convert/Options.h"

#include <string>

class ImageBuffer;
class WorkPool;

struct Item {
    std::string path; // as found: the argument or folder + file name
    std::string name; // the file name part
};

enum class Outcome { Converted, Skipped, Failed };

struct ItemReport {
    Outcome outcome = Outcome::Failed;
    std::string reason; // for Failed
};

// image is the calling job's own picture, reused from item to item; pool,
// when given, the job's threads for reading and writing one document.
ItemReport ConvertOne(const Item& item, const ConvertOptions& options, ImageBuffer& image, WorkPool* pool = nullptr);

// Items whose outputs may be the same files share a key (compare keys with
// text::CompareNoCase): the output file name, or in layer mode the document's
// name without its extension.
std::string OutputKey(const Item& item, const ConvertOptions& options);
