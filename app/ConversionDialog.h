#pragma once
// ConversionDialog: the "Conversion" dialog (template 106), which converts
// every file of the file list into PNG or BMP files in one folder, and
// ConversionJob, the worker thread that does the converting.
//
// The job's inputs are taken on the interface thread when "Convert" is
// pressed: the list's paths and names, the folder, the format and the
// overwrite flag. The worker shares them read-only with the dialog and
// touches no window of its own accord: it posts the dialog which item it is
// at and when it is done, and the dialog writes the progress bar. Until the
// job's command 3000 arrives the dialog refuses to end, by whatever road the
// request comes.

#include "export/BatchItem.h"
#include "framework/ComboBox.h"
#include "framework/Dialog.h"
#include "framework/ProgressBar.h"
#include "framework/Str.h"

#include <memory>

class FileListBox;
struct Settings;

// One item of a run: the document's full path and the name the list shows.
struct ConversionItem {
    Str path;
    Str name;
};

// How an item of a run ended, written by the worker before it posts the
// item done, read by the dialog once the run is over.
struct ConversionOutcome {
    ItemResult result = ItemResult::Skipped;
    int error = 0; // the system's error code of a failed write
};

// Everything a run reads, fixed before the worker starts, and the outcomes
// it writes.
struct ConversionWork {
    HWND dialog = nullptr; // where the progress goes
    std::unique_ptr<ConversionItem[]> items;
    std::unique_ptr<ConversionOutcome[]> outcomes;
    int32_t count = 0;
    Str folder;
    int32_t formatIndex = 0; // the combo box's selection; only 0 is BMP
    bool overwrite = true;
};

// Posted by the job to the dialog (WM_USER range, clear of the DM_ messages):
constexpr UINT kConversionItemStarted = WM_USER + 100; // wParam: item index
constexpr UINT kConversionItemDone = WM_USER + 101;    // wParam: items done
constexpr UINT kConversionFinished = WM_USER + 102;    // wParam: files written, lParam: items

// The worker's thread procedure; takes over arg, a heap
// std::shared_ptr<const ConversionWork>.
unsigned __stdcall ConversionJob(void* arg);

class ConversionDialog : public Dialog {
public:
    ConversionDialog(FileListBox& fileList, Settings& edited) : list(fileList), settings(edited) {}

    // 0 whenever it ends ("Back", Escape, the close box).
    INT_PTR Run(HWND parent);

    bool OnInitDialog(LRESULT* result) override;
    bool OnClose() override;
    bool OnDropFiles(WPARAM drop) override;
    bool OnCommand(uint32_t id, uint32_t code, LPARAM control) override;
    bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // "Convert": checks the folder and starts the job.
    void StartConversion();
    // Controls 1001, 1000, 1003, 1008 and "Back", and the window menu's
    // Close. The check box stays enabled.
    void EnableControls(bool enable);

    bool IsConverting() const { return converting; }

    ComboBox format;
    ProgressBar progress;

    // Starts the worker; false when no thread could be made. Tests put a
    // failing one here.
    bool (*startWorker)(std::shared_ptr<const ConversionWork> work) = StartWorkerThread;
    static bool StartWorkerThread(std::shared_ptr<const ConversionWork> work);

private:
    std::shared_ptr<ConversionWork> TakeInputs(const Str& folder);
    void Leave();
    // After a run with failures: a warning naming each document that could
    // not be converted and why, and how many were skipped.
    void ReportFailures();

    FileListBox& list;
    Settings& settings;
    std::shared_ptr<const ConversionWork> run; // the last run's inputs, for the captions
    bool converting = false;
};

// The frame's "All converted into one image file" command: a warning for an
// empty list, otherwise the dialog on the list.
void ConvertAllFiles(HWND parent, FileListBox& list, Settings& settings);
