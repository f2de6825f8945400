#pragma once
// File > Save as: the document shown written as one file, PNG, BMP, PSD or
// OpenRaster, with the layers the layers pane shows. The rules of the save
// dialog's answer and the save itself; the dialog and the thread are the
// frame's (MainFrameSaveAs.cpp, SaveAsJob.h).

#include "export/BatchItem.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class WorkPool;

// The save dialog's types, in the order of their 1-based index: PNG, BMP,
// PSD (PSB too) and OpenRaster, as filter pairs ending in an extra NUL.
extern const char kSaveAsFilter[];
// The extension the dialog adds to a name typed without one.
constexpr char kSaveAsDefaultExtension[] = "png";

// The index of format's type in kSaveAsFilter.
uint32_t SaveAsTypeIndex(OutputFormat format);

// What the user chose: the format the name's extension says (png, bmp, psd
// or psb, ora, in any case) wins, since it is what the user sees; a name
// without one of them takes the format of the type chosen (typeIndex,
// 1-based; PNG for an index outside the list) and its extension appended.
// A PSD for a document larger than version 1 holds is named .psb, as the
// converter names it: the file name follows the format.
OutputFormat ChooseSaveAs(std::string& path, uint32_t typeIndex, const char* documentPath);

// Where the dialog starts: the document's folder, and its name with the
// extension of format (.psb for a large document saved as PSD).
void SuggestSaveAs(const char* documentPath, OutputFormat format, std::string& folder, std::string& name);

// How one save went.
struct SaveAsOutcome {
    ItemResult result = ItemResult::LoadFailed;
    int error = 0;                     // the system's code, for WriteFailed
    std::string loadFailure;           // the reader's reason, for LoadFailed
    std::vector<std::string> warnings; // layers written empty and hidden
    bool stopped = false;              // cancel was set: nothing is left
};

// Writes the document at documentPath into outputPath as format. visible:
// the layers pane's boxes, record i (0 = bottom) shown when visible[i] is
// not 0, for the picture and for the layered files' visibility; empty: as
// stored. An existing file is replaced (the dialog asked). Layer names are
// read in namesCodePage (0: the rule). cancel set meanwhile stops it with no
// file and no temporary left.
SaveAsOutcome SaveDocumentAs(const char* documentPath, const char* outputPath, OutputFormat format,
                             const std::vector<uint8_t>& visible, uint32_t namesCodePage,
                             const std::atomic<bool>* cancel, WorkPool* pool);
