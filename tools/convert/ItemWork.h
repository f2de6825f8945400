#pragma once
// One document's conversion in tessavel-convert: flattened to one picture
// through the batch item rules, or split into its layers.

#include "tools/convert/Options.h"

#include <string>
#include <vector>

class ImageBuffer;
class WorkPool;

struct Item {
    std::string path;     // as found: the argument or folder + file name
    std::string name;     // the file name part
    std::string relative; // the subfolder of a folder argument it was found in (-r), "" otherwise
    // Set when an earlier item of the run writes the same file: why this
    // one fails instead of replacing it.
    std::string collision;
};

enum class Outcome { Converted, Skipped, Failed };

struct ItemReport {
    Outcome outcome = Outcome::Failed;
    std::string reason;                     // for Failed; one reason per line when there are several
    std::vector<std::string> warnings = {}; // for Converted: what was written otherwise than stored
};

// image is the calling job's own picture, reused from item to item.
// pool, when given, is the calling job's threads for reading and writing one
// document.
ItemReport ConvertOne(const Item& item, const ConvertOptions& options, ImageBuffer& image, WorkPool* pool = nullptr);

// What a dry run prints for the item: the files it would write, one per
// line, "PATH -> FILE", with " (exists, skipped)" for those --no-overwrite
// leaves. A layer export reads the document's layer names for this.
ItemReport PlanOne(const Item& item, const ConvertOptions& options, std::vector<std::string>& lines);

// The output as messages name it, relative to the destination folder:
// "sub/a.png", or in layer mode "sub/a_NN_*.png".
std::string OutputShown(const Item& item, const ConvertOptions& options);

// Items whose outputs are the same files share a key (compare keys with
// text::CompareNoCase, as file systems that ignore case would): the
// relative folder and the output file name, or in layer mode the document's
// name without its extension.
std::string OutputKey(const Item& item, const ConvertOptions& options);

// Sets collision on every item whose output an earlier item of the list
// already writes: "a.png is also the output of docs/a.qvm". In layer mode
// each document's layer names are read (not its pixels) and every layer file
// is compared with those of the documents before it: "a_00_x_01_y.png is
// also the output of docs/a.qvm".
void MarkCollisions(std::vector<Item>& items, const ConvertOptions& options);
