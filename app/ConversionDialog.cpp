#include "app/ConversionDialog.h"

#include "app/FailureList.h"
#include "app/Settings.h"
#include "decode/ByteFile.h"
#include "decode/ImageBuffer.h"
#include "export/BatchItem.h"
#include "framework/FileListBox.h"
#include "framework/FolderPicker.h"
#include "framework/MessageBoxes.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"

#include <process.h>
#include <shellapi.h>

#include <cstdio>

namespace {

// Room of the folder and path texts, as the settings file keeps them.
constexpr int32_t kPathRoom = 511;

int32_t ItemCount(FileListBox& list) {
    const LRESULT count = list.Send(LB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int32_t>(count) : 0;
}

// Posts to the dialog, waiting while its queue is full, so that no step and
// above all not the closing command 3000 is lost. Gives up only when the
// dialog is gone.
void PostToDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    while (!PostMessageA(dialog, message, wParam, lParam) && IsWindow(dialog))
        Sleep(10);
}

} // namespace

unsigned __stdcall ConversionJob(void* arg) {
    // The shared inputs stay alive until this thread lets go of them, even
    // should the dialog be gone by then.
    std::unique_ptr<std::shared_ptr<const ConversionWork>> holder(
        static_cast<std::shared_ptr<const ConversionWork>*>(arg));
    const ConversionWork& work = **holder;
    const OutputFormat format = FormatFromIndex(work.formatIndex);
    ImageBuffer image;
    Str outputPath(kPathRoom);
    int32_t written = 0;
    for (int32_t i = 0; i < work.count; ++i) {
        PostToDialog(work.dialog, kConversionItemStarted, static_cast<WPARAM>(i), 0);
        const ConversionItem& item = work.items[i];
        ByteFile::ClearFailure();
        const ItemResult result = ConvertItem(image, item.path.Text(), item.name.Text(), work.folder.Text(), format,
                                              work.overwrite, outputPath);
        work.outcomes[i] = {result, result == ItemResult::WriteFailed ? ByteFile::LastFailure() : 0};
        // Only a file written counts: a failed save is not a converted file.
        if (result == ItemResult::Converted)
            ++written;
        PostToDialog(work.dialog, kConversionItemDone, static_cast<WPARAM>(i + 1), 0);
    }
    PostToDialog(work.dialog, kConversionFinished, static_cast<WPARAM>(written), static_cast<LPARAM>(work.count));
    PostToDialog(work.dialog, WM_COMMAND, MAKEWPARAM(IDM_CONVERSION_DONE, 0), 0);
    return 0;
}

bool ConversionDialog::StartWorkerThread(std::shared_ptr<const ConversionWork> work) {
    auto* arg = new std::shared_ptr<const ConversionWork>(std::move(work));
    const uintptr_t thread = _beginthreadex(nullptr, 0, ConversionJob, arg, 0, nullptr);
    if (thread == 0) {
        delete arg;
        return false;
    }
    // Nothing waits for the worker: it ends by itself after its last post.
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}

INT_PTR ConversionDialog::Run(HWND parent) {
    return RunModal(IDD_CONVERSION, parent);
}

bool ConversionDialog::OnInitDialog(LRESULT* result) {
    SetItemText(IDC_CONVERSION_FOLDER, settings.ConvDir.Text());
    format.AttachItem(hwnd, IDC_CONVERSION_FORMAT);
    format.AddString("BMP");
    format.AddString("PNG");
    format.SetCurSel(settings.ConvType);              // outside 0 and 1: no selection
    CheckItem(IDC_CONVERSION_OVERWRITE, BST_CHECKED); // every time; its state is not kept
    progress.AttachItem(hwnd, IDC_CONVERSION_PROGRESS);
    progress.Subclass();
    progress.SetRange(0, ItemCount(list));
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
    // The dialog manager would turn this into the cancel command, which is
    // refused while converting anyway; say handled so nothing else acts on it.
    return converting;
}

bool ConversionDialog::OnDropFiles(WPARAM dropHandle) {
    HDROP drop = reinterpret_cast<HDROP>(dropHandle);
    char path[kPathRoom + 1] = {};
    const UINT length = DragQueryFileA(drop, 0, path, sizeof(path));
    DragFinish(drop);
    if (length > 0 && ByteFile::IsDirectory(path))
        SetItemText(IDC_CONVERSION_FOLDER, path);
    SetForegroundWindow(hwnd);
    return true;
}

bool ConversionDialog::OnCommand(uint32_t id, uint32_t, LPARAM) {
    switch (id) {
    case IDCANCEL: // "Back", Escape, the close box
        // The dialog and its controls must outlive the job.
        if (!converting)
            Leave();
        return true;
    case IDC_CONVERSION_BROWSE: {
        // The picker opens at the destination in the box (ConvDir at first).
        Str start(kPathRoom);
        GetItemText(IDC_CONVERSION_FOLDER, start);
        Str folder(kPathRoom);
        if (PickFolder(hwnd, msg::kDestinationPrompt, folder, true, start.Text()))
            SetItemText(IDC_CONVERSION_FOLDER, folder.Text());
        return true;
    }
    case IDC_CONVERSION_START:
        if (!converting)
            StartConversion();
        return true;
    case IDM_CONVERSION_DONE:
        converting = false;
        EnableControls(true);
        ReportFailures();
        return true;
    default:
        return false;
    }
}

bool ConversionDialog::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kConversionItemStarted: {
        const int32_t index = static_cast<int32_t>(wParam);
        if (run != nullptr && index >= 0 && index < run->count)
            progress.SetCaption(run->items[index].name.Text());
        return true;
    }
    case kConversionItemDone:
        progress.SetPos(static_cast<int32_t>(wParam));
        return true;
    case kConversionFinished: {
        char text[96];
        std::snprintf(text, sizeof(text), msg::kConversionDone, static_cast<int>(wParam), static_cast<int>(lParam));
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
    work->count = ItemCount(list);
    work->items.reset(new ConversionItem[static_cast<size_t>(work->count)]);
    work->outcomes.reset(new ConversionOutcome[static_cast<size_t>(work->count)]);
    for (int32_t i = 0; i < work->count; ++i) {
        const char* path = list.PathAt(i);
        work->items[i].path.Assign(path != nullptr ? path : "");
        list.GetText(i, work->items[i].name);
    }
    work->folder.Assign(folder.Text());
    work->formatIndex = format.GetCurSel();
    work->overwrite = IsItemChecked(IDC_CONVERSION_OVERWRITE) == BST_CHECKED;
    return work;
}

void ConversionDialog::ReportFailures() {
    if (run == nullptr)
        return;
    FailureList failed;
    int skipped = 0;
    for (int32_t i = 0; i < run->count; ++i) {
        const ConversionOutcome& outcome = run->outcomes[i];
        const char* path = run->items[i].path.Text();
        if (outcome.result == ItemResult::LoadFailed)
            failed.Add(path, msg::kLoadFailed);
        else if (outcome.result == ItemResult::WriteFailed)
            failed.Add(path, WriteFailureReason(outcome.error).c_str());
        else if (outcome.result == ItemResult::Skipped)
            ++skipped;
    }
    if (failed.Count() == 0)
        return;
    char footer[96] = {};
    if (skipped > 0)
        std::snprintf(footer, sizeof footer, msg::kConversionSkipped, skipped);
    ShowWarning(failed.Text(msg::kConversionFailures, footer).c_str());
}

void ConversionDialog::StartConversion() {
    Str folder(kPathRoom);
    GetItemText(IDC_CONVERSION_FOLDER, folder);
    if (folder.IsEmpty()) {
        ShowWarning(msg::kSpecifyOutputFolder);
        return;
    }
    // Any existing entry passes, as the folder's own test.
    if (!ByteFile::Exists(folder.Text())) {
        ShowWarning(msg::kFolderNotFound);
        return;
    }
    EnableControls(false);
    converting = true;
    std::shared_ptr<ConversionWork> work = TakeInputs(folder);
    run = work;
    progress.SetPos(0);
    if (!startWorker(std::move(work))) {
        converting = false;
        EnableControls(true);
        ShowWarning(msg::kConversionNotStarted);
    }
}

void ConversionDialog::EnableControls(bool enable) {
    static const int kItems[] = {IDC_CONVERSION_FOLDER, IDC_CONVERSION_BROWSE, IDC_CONVERSION_FORMAT,
                                 IDC_CONVERSION_START, IDCANCEL};
    // Keep the keyboard working while the controls are off: the focus moves
    // to the check box, the one control that stays enabled.
    if (!enable)
        SendMessageA(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd, IDC_CONVERSION_OVERWRITE)), TRUE);
    for (int item : kItems)
        EnableItem(item, enable);
    EnableMenuItem(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void ConvertAllFiles(HWND parent, FileListBox& list, Settings& settings) {
    if (ItemCount(list) == 0) {
        ShowWarning(msg::kListEmpty);
        return;
    }
    ConversionDialog dialog(list, settings);
    dialog.Run(parent);
}
