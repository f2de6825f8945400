#include "app/ConversionDialog.h"

#include "app/DocumentList.h"
#include "app/FailureList.h"
#include "app/Settings.h"
#include "app/UserLanguage.h"
#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "pixels/ImageBuffer.h"
#include "export/BatchItem.h"
#include "export/OutputCollisions.h"
#include "export/OutputFolder.h"
#include "export/TempOutput.h"
#include "framework/FolderPicker.h"
#include "framework/MessageBoxes.h"
#include "framework/Platform.h"
#include "base/Text.h"
#include "res/ResourceIds.h"
#include "base/Wide.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Room of the folder and path texts, as the settings file keeps them.
constexpr int32_t kPathRoom = 511;
// Room of a button's text.
constexpr int32_t kLabelRoom = 63;

// Posts to the dialog, waiting while its queue is full, so that no step and
// above all not the closing command 3000 is lost. Gives up only when the
// dialog is gone.
void PostToDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    while (!PostMessageW(dialog, message, wParam, lParam) && IsWindow(dialog))
        Sleep(10);
}

} // namespace

ItemResult ConvertListedItem(const ConversionWork& work, int32_t index, ImageBuffer& image, WorkPool& pool,
                             LoadResult& loadFailure) {
    const ConversionItem& item = work.items[index];
    return ConvertItemTo(image, item.path.Text(), item.output.Text(), work.format, work.overwrite, &pool, 0, nullptr,
                         &loadFailure);
}

void RunConversion(const ConversionWork& work) {
    BatchQueue& queue = *work.queue;
    queue.estimate = [&work](size_t index, unsigned poolSize) {
        return ItemMemoryEstimate(work.items[index].path.Text(), poolSize);
    };
    // A document whose conversion threw (memory ran out) is named as one
    // that could not be read; the run goes on.
    queue.thrown = [&work](size_t index, bool outOfMemory) {
        work.outcomes[index] = {ItemResult::LoadFailed, 0, false, outOfMemory ? "out of memory" : "internal error"};
    };
    int32_t written = 0; // by the reporter, whose calls never overlap
    const size_t ran = queue.Run(
        [&work](size_t index, ImageBuffer& image, WorkPool& pool) {
            PostToDialog(work.dialog, kConversionItemStarted, static_cast<WPARAM>(index), 0);
            if (work.items[index].sameOutputAs >= 0) {
                work.outcomes[index].result = ItemResult::WriteFailed;
                work.outcomes[index].sameOutput = true;
                return;
            }
            filesystem::ClearFailure();
            LoadResult loadFailure;
            const ItemResult result = work.convert(work, static_cast<int32_t>(index), image, pool, loadFailure);
            ConversionOutcome& outcome = work.outcomes[index];
            outcome.result = result;
            outcome.error = result == ItemResult::WriteFailed ? filesystem::LastFailure() : 0;
            if (result == ItemResult::LoadFailed)
                outcome.loadFailure = std::move(loadFailure.reason);
        },
        [&](size_t index) {
            // Only a file written counts: a failed save is not a converted file.
            if (work.outcomes[index].result == ItemResult::Converted)
                ++written;
            PostToDialog(work.dialog, kConversionItemDone, static_cast<WPARAM>(index + 1), 0);
        });
    PostToDialog(work.dialog, kConversionFinished, static_cast<WPARAM>(written), static_cast<LPARAM>(ran));
    PostToDialog(work.dialog, WM_COMMAND, MAKEWPARAM(IDM_CONVERSION_DONE, 0), 0);
}

bool StartOnJob(WindowJob& job, HWND dialog, std::function<void()> body) {
    return job.Start(dialog, 0, [body = std::move(body)](const JobControl&) { body(); }, nullptr, false);
}

ConversionDialog::ConversionDialog(const DocumentList& fileList, Settings& edited)
    : list(fileList), settings(edited), texts(UserTexts(edited)) {}

ConversionDialog::~ConversionDialog() {
    // The items in flight finish; the worker's posts to a window that is
    // gone fail at once.
    if (job.Busy() && run != nullptr)
        run->queue->Stop();
    job.Stop();
}

INT_PTR ConversionDialog::Run(HWND parent) {
    return RunModal(IDD_CONVERSION, parent);
}

bool ConversionDialog::OnInitDialog(LRESULT* result) {
    SetItemText(IDC_CONVERSION_FOLDER, settings.ConvDir.Text());
    format.AttachItem(hwnd, IDC_CONVERSION_FORMAT);
    format.AddString("BMP");
    format.AddString("PNG");
    format.AddString("PSD");
    format.AddString("ORA");
    format.SetCurSel(settings.ConvType);              // outside 0 to 3: no selection
    CheckItem(IDC_CONVERSION_OVERWRITE, BST_CHECKED); // every time; its state is not kept
    progress.AttachItem(hwnd, IDC_CONVERSION_PROGRESS);
    progress.Subclass();
    progress.SetRange(0, list.Count());
    backText.Reserve(kLabelRoom);
    GetItemText(IDCANCEL, backText);
    *result = 1;
    return true;
}

void ConversionDialog::Leave() {
    Str folder(kPathRoom);
    GetItemText(IDC_CONVERSION_FOLDER, folder);
    settings.ConvDir.Assign(folder.Text());
    settings.ConvType = format.GetCurSel(); // -1 when nothing is selected
    EndDialog(0);
}

bool ConversionDialog::OnClose() {
    // The dialog manager would turn this into the cancel command only while
    // "Back" is enabled; a run is stopped whatever the button's state.
    if (!converting)
        return false;
    StopConversion();
    return true;
}

bool ConversionDialog::OnDropFiles(WPARAM dropHandle) {
    HDROP drop = reinterpret_cast<HDROP>(dropHandle);
    // The whole path, however long: one cut short would name another folder.
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::vector<wchar_t> wide(size_t(length) + 1, L'\0');
    const bool got = length > 0 && DragQueryFileW(drop, 0, wide.data(), length + 1) > 0;
    DragFinish(drop);
    const std::string path = Narrow(wide.data());
    if (got && filesystem::IsDirectory(path.c_str()))
        SetItemText(IDC_CONVERSION_FOLDER, path.c_str());
    SetForegroundWindow(hwnd);
    return true;
}

bool ConversionDialog::OnCommand(uint32_t id, uint32_t, LPARAM) {
    switch (id) {
    case IDCANCEL: // "Back" (or "Stop"), Escape, the close box
        // The dialog and its controls must outlive the job.
        if (converting)
            StopConversion();
        else
            Leave();
        return true;
    case IDC_CONVERSION_BROWSE: {
        // The picker opens at the destination in the box (ConvDir at first).
        Str start(kPathRoom);
        GetItemText(IDC_CONVERSION_FOLDER, start);
        Str folder(kPathRoom);
        if (PickFolder(hwnd, texts.destinationPrompt, folder, true, start.Text()))
            SetItemText(IDC_CONVERSION_FOLDER, folder.Text());
        return true;
    }
    case IDC_CONVERSION_START:
        if (!converting)
            StartConversion();
        return true;
    case IDM_CONVERSION_DONE:
        // The worker's last act was to post this: the wait is immediate.
        if (job.Busy())
            job.Finish(true);
        converting = false;
        stopping = false;
        EnableControls(true);
        ReportFailures();
        return true;
    default:
        return false;
    }
}

bool ConversionDialog::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The caption names the first item not done yet, the one the bar waits
    // for, once it has started: items finish in any order, the bar counts
    // them in list order.
    auto nameWaitedFor = [this] {
        const int32_t next = progress.GetPos();
        if (run != nullptr && next < run->count && itemStarted[size_t(next)])
            progress.SetCaption(run->items[next].name.Text());
    };
    switch (message) {
    case kConversionItemStarted: {
        const int32_t index = static_cast<int32_t>(wParam);
        if (run != nullptr && index >= 0 && index < run->count) {
            itemStarted[size_t(index)] = true;
            nameWaitedFor();
        }
        return true;
    }
    case kConversionItemDone:
        progress.SetPos(static_cast<int32_t>(wParam));
        nameWaitedFor();
        return true;
    case kConversionFinished: {
        const int32_t total = run != nullptr ? run->count : 0;
        itemsRan = static_cast<int32_t>(lParam);
        char text[96];
        std::snprintf(text, sizeof(text), itemsRan < total ? texts.conversionStopped : texts.conversionDone,
                      static_cast<int>(wParam), static_cast<int>(total));
        progress.SetCaption(text);
        return true;
    }
    default:
        return false;
    }
}

std::shared_ptr<ConversionWork> ConversionDialog::TakeInputs(const Str& folder) {
    auto work = std::make_shared<ConversionWork>();
    work->dialog = hwnd;
    work->count = list.Count();
    work->format = FormatFromIndex(format.GetCurSel());
    work->overwrite = IsItemChecked(IDC_CONVERSION_OVERWRITE) == BST_CHECKED;
    work->items.reset(new ConversionItem[static_cast<size_t>(work->count)]);
    work->outcomes.reset(new ConversionOutcome[static_cast<size_t>(work->count)]);
    for (int32_t i = 0; i < work->count; ++i) {
        ConversionItem& item = work->items[i];
        const char* path = list.PathAt(i);
        item.path.Assign(path != nullptr ? path : "");
        item.name.Assign(list.LabelAt(i));
        // The list may show folders before the name; the output takes the
        // file's own name.
        Str fileName;
        item.path.GetFileName(fileName);
        BuildOutputPath(item.output, folder.Text(), fileName.Text(), work->format, item.path.Text());
    }
    // Two documents of the same name from different folders would write one
    // file: the later fails, as in the command-line converter, rather than
    // replacing the earlier one's picture while both count as converted.
    std::vector<std::string> outputs;
    for (int32_t i = 0; i < work->count; ++i)
        outputs.emplace_back(work->items[i].output.Text());
    const std::vector<size_t> writers = EarlierWriters(outputs);
    for (int32_t i = 0; i < work->count; ++i)
        if (writers[size_t(i)] != kWritesItsOwnFile)
            work->items[i].sameOutputAs = static_cast<int32_t>(writers[size_t(i)]);
    work->queue.reset(new BatchQueue(static_cast<size_t>(work->count), seams.jobs, seams.memoryBudget));
    work->convert = seams.convertItem;
    return work;
}

void ConversionDialog::ReportFailures() {
    if (run == nullptr)
        return;
    FailureList failed(texts);
    int skipped = 0;
    // Items a stop kept from starting are neither failed nor skipped.
    for (int32_t i = 0; i < itemsRan && i < run->count; ++i) {
        const ConversionOutcome& outcome = run->outcomes[i];
        const char* path = run->items[i].path.Text();
        if (outcome.sameOutput) {
            const ConversionItem& item = run->items[i];
            const char* output = item.output.Text();
            const char* name = std::strrchr(output, text::PathSeparator());
            const char* fileName = name != nullptr ? name + 1 : output;
            const char* earlier = run->items[item.sameOutputAs].path.Text();
            std::string reason(std::strlen(texts.sameOutput) + std::strlen(fileName) + std::strlen(earlier), '\0');
            reason.resize(size_t(std::snprintf(&reason[0], reason.size() + 1, texts.sameOutput, fileName, earlier)));
            failed.Add(path, reason.c_str());
        } else if (outcome.result == ItemResult::LoadFailed)
            failed.Add(path, (std::string(texts.loadFailed) + ": " + outcome.loadFailure).c_str());
        else if (outcome.result == ItemResult::WriteFailed)
            failed.Add(path, WriteFailureReason(outcome.error, texts).c_str());
        else if (outcome.result == ItemResult::Skipped)
            ++skipped;
    }
    if (failed.Count() == 0)
        return;
    char footer[96] = {};
    if (skipped > 0)
        std::snprintf(footer, sizeof footer, texts.conversionSkipped, skipped);
    ShowWarning(failed.Text(texts.conversionFailures, footer).c_str());
}

void ConversionDialog::StartConversion() {
    Str folder(kPathRoom);
    GetItemText(IDC_CONVERSION_FOLDER, folder);
    if (folder.IsEmpty()) {
        ShowWarning(texts.specifyOutputFolder);
        return;
    }
    // A missing folder is made, with those above it, as the converter makes
    // its output folder; one that cannot be is named with the reason.
    filesystem::ClearFailure();
    if (!MakeFolders(folder.Text())) {
        ShowWarning(WithSystemReason(texts.folderNotFound, filesystem::LastFailure()).c_str());
        return;
    }
    EnableControls(false);
    converting = true;
    std::shared_ptr<ConversionWork> work = TakeInputs(folder);
    run = work;
    itemStarted.assign(static_cast<size_t>(work->count), false);
    itemsRan = 0;
    progress.SetPos(0);
    // The worker shares the inputs with the dialog for as long as it runs.
    if (!seams.startWorker(job, hwnd, [work] {
            try {
                RunConversion(*work);
            } catch (...) {
                // The queue could not run at all (no memory for its
                // bookkeeping); the dialog still hears the end, or it would
                // wait for it for ever.
                PostToDialog(work->dialog, kConversionFinished, 0, 0);
                PostToDialog(work->dialog, WM_COMMAND, MAKEWPARAM(IDM_CONVERSION_DONE, 0), 0);
            }
        })) {
        converting = false;
        EnableControls(true);
        ShowWarning(texts.conversionNotStarted);
    }
}

void ConversionDialog::FocusCheckBox() {
    SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd, IDC_CONVERSION_OVERWRITE)), TRUE);
}

void ConversionDialog::EnableControls(bool enable) {
    static const int kItems[] = {IDC_CONVERSION_FOLDER, IDC_CONVERSION_BROWSE, IDC_CONVERSION_FORMAT,
                                 IDC_CONVERSION_START};
    if (!enable)
        FocusCheckBox();
    for (int item : kItems)
        EnableItem(item, enable);
    EnableItem(IDCANCEL, true);
    SetItemText(IDCANCEL, enable ? backText.Text() : texts.stopLabel);
    EnableSystemClose(hwnd, true);
}

void ConversionDialog::StopConversion() {
    if (!converting || stopping || run == nullptr)
        return;
    stopping = true;
    run->queue->Stop();
    FocusCheckBox();
    EnableItem(IDCANCEL, false);
    EnableSystemClose(hwnd, false);
}

bool ConversionDialog::OnEndSession(WPARAM ending) {
    if (ending != FALSE && converting) {
        StopConversion();
        RemovePendingTemporaries();
    }
    return true;
}

void ConvertAllFiles(HWND parent, const DocumentList& list, Settings& settings) {
    if (list.Count() == 0) {
        ShowWarning(UserTexts(settings).listEmpty);
        return;
    }
    ConversionDialog dialog(list, settings);
    dialog.Run(parent);
}
