#pragma once
// ConversionDialog: the "Conversion" dialog (template 106), which converts
// every file of the file list into PNG or BMP files in one folder, and
// RunConversion, the work of the dialog's own worker thread.
//
// The job's inputs are taken on the interface thread when "Convert" is
// pressed: the list's paths, names and output files, the format and the
// overwrite flag. The worker converts several documents at once on a
// BatchQueue (one per core, as many as a quarter of the physical memory
// holds), shares the inputs read-only with the dialog and touches no window
// of its own accord: it posts the dialog which item started, how many are
// done in list order and when it ends, and the dialog writes the progress
// bar. During a run "Back" reads "Stop": it, Escape and the close box stop
// the run, which lets the documents in flight finish. Until the job's command
// 3000 arrives the dialog does not end, by whatever road the request comes.

#include "app/Language.h"
#include "export/BatchItem.h"
#include "export/BatchQueue.h"
#include "framework/ComboBox.h"
#include "framework/Dialog.h"
#include "framework/ProgressBar.h"
#include "framework/WindowJob.h"
#include "base/Str.h"
#include "base/WorkPool.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class DocumentList;
struct Settings;

// One item of a run: the document's full path, the name the list shows and
// the file it is converted into.
struct ConversionItem {
    Str path;
    Str name;
    Str output;
    // The earlier item that writes the same output (two documents of the same
    // name from different folders), or -1. Such an item fails instead of
    // replacing that file.
    int32_t sameOutputAs = -1;
};

// How an item of a run ended, written by the worker before it reports the
// item done, read by the dialog once the run is over.
struct ConversionOutcome {
    ItemResult result = ItemResult::Skipped;
    int error = 0;           // the system's error code of a failed write
    bool sameOutput = false; // failed, unread: an earlier item writes its output
    std::string loadFailure; // why a document could not be read, as the converter says it
};

struct ConversionWork;

// Converts item index of a run on one of the job's threads; a document that
// fails to load says why in loadFailure.
using ItemConverter = ItemResult (*)(const ConversionWork& work, int32_t index, ImageBuffer& image, WorkPool& pool,
                                     LoadResult& loadFailure);
// The real one: ConvertItemTo with the run's format and overwrite flag.
ItemResult ConvertListedItem(const ConversionWork& work, int32_t index, ImageBuffer& image, WorkPool& pool,
                             LoadResult& loadFailure);

// Everything a run reads, fixed before the worker starts, the outcomes it
// writes and the queue that runs it (which the dialog stops).
struct ConversionWork {
    HWND dialog = nullptr; // where the progress goes
    std::unique_ptr<ConversionItem[]> items;
    std::unique_ptr<ConversionOutcome[]> outcomes;
    int32_t count = 0;
    OutputFormat format = OutputFormat::Png;
    bool overwrite = true;
    std::unique_ptr<BatchQueue> queue;
    ItemConverter convert = ConvertListedItem;
};

// Posted by the job to the dialog (WM_USER range, clear of the DM_ messages):
constexpr UINT kConversionItemStarted = WM_USER + 100; // wParam: item index
constexpr UINT kConversionItemDone = WM_USER + 101;    // wParam: items done, counted in list order
constexpr UINT kConversionFinished = WM_USER + 102;    // wParam: files written, lParam: items that ran

// The worker thread's whole run: converts the items, posting the progress to
// work.dialog, and posts the command IDM_CONVERSION_DONE as its last act.
void RunConversion(const ConversionWork& work);

// How a run is started on the dialog's job; StartOnJob, or a test's. The
// run tells the dialog itself, so the job posts nothing of its own.
using WorkerStart = bool (*)(WindowJob& job, HWND dialog, std::function<void()> body);
// The real one: body as the job's next piece; false when no thread could be made.
bool StartOnJob(WindowJob& job, HWND dialog, std::function<void()> body);

// How a run is started and shared out. The program keeps these; the tests
// put a failing start here or one that holds the run back, fewer jobs, a
// small budget or a converter that holds items at a gate.
struct ConversionSeams {
    WorkerStart startWorker = StartOnJob; // false when no thread could be made
    unsigned jobs = 0;                               // documents at once; 0 for one per core
    uint64_t memoryBudget = DefaultMemoryBudget();
    ItemConverter convertItem = ConvertListedItem;
};

class ConversionDialog : public Dialog {
public:
    ConversionDialog(const DocumentList& fileList, Settings& edited);
    // A run still under way (the dialog ended by the session's end) is
    // stopped, and the worker joined.
    ~ConversionDialog();
    ConversionDialog(const ConversionDialog&) = delete;
    ConversionDialog& operator=(const ConversionDialog&) = delete;

    // 0 whenever it ends ("Back", Escape, the close box, when no run is on).
    INT_PTR Run(HWND parent);

protected:
    // The handlers, which a test's dialog extends to record what it shows.
    bool OnInitDialog(LRESULT* result) override;
    bool OnClose() override;
    bool OnDropFiles(WPARAM drop) override;
    bool OnCommand(uint32_t id, uint32_t code, LPARAM control) override;
    bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Logging off or shutting down during a run: the run stops and the
    // temporaries under way are removed before the process is ended.
    bool OnEndSession(WPARAM ending) override;

private:
    // The tests' way in (tests/app): the seams to set before a run, and the
    // run's state and the controls to read during one.
    friend struct ConversionDialogProbe;

    // "Convert": checks the folder, makes it when missing (as the converter
    // does) and starts the job.
    void StartConversion();
    // Controls 1001, 1000, 1003 and 1008. "Back" and the window menu's Close
    // stay enabled: during a run they stop it, and "Back" reads "Stop". The
    // check box stays enabled.
    void EnableControls(bool enable);
    // "Stop", Escape or the close box during a run: no further document
    // starts; "Stop" and Close are greyed until the run has ended.
    void StopConversion();
    std::shared_ptr<ConversionWork> TakeInputs(const Str& folder);
    void Leave();
    // Puts the focus on the check box before controls are disabled, so the
    // keyboard keeps working.
    void FocusCheckBox();
    // After a run with failures: a warning naming each document that could
    // not be converted and why, and how many were skipped.
    void ReportFailures();

    ComboBox format;
    ProgressBar progress;
    ConversionSeams seams;
    const DocumentList& list;
    Settings& settings;
    const Texts& texts;                        // the user's language
    std::shared_ptr<const ConversionWork> run; // the current or last run's inputs, null before the first
    std::vector<bool> itemStarted;             // of the run, as the job reports them
    int32_t itemsRan = 0;                      // of the last run, once it ended
    Str backText;                              // the button's own text, back after a run
    bool converting = false;
    bool stopping = false;
    // Runs the run off the dialog's thread; its piece is collected once its
    // last message has come, and the job stopped by the destructor: nothing
    // of the dialog's outlives it.
    WindowJob job;
};

// The frame's "All converted into one image file" command: a warning for an
// empty list, otherwise the dialog on the list.
void ConvertAllFiles(HWND parent, const DocumentList& list, Settings& settings);
