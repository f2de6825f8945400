// What the file list holds and which of its files is shown: folders scanned,
// drops, the command-line path, stepping, the recent folders and their menu.
#include "app/MainFrame.h"

#include "app/RecentFolders.h"
#include "app/UserLanguage.h"
#include "base/Str.h"
#include "base/Wide.h"
#include "decode/DocumentKind.h"
#include "framework/Menu.h"
#include "framework/Platform.h"
#include "res/ResourceIds.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Room for one dropped path; a longer one gets the room it needs.
constexpr int32_t kDropPathRoom = 511;

bool IsDocumentPath(const Str& path) {
    return KindByExtension(path.Text()) != DocumentKind::Other;
}

// Why a drop left the list as it was.
constexpr char kNoDocumentDropped[] = "Nothing dropped is a QVM or QVR document or a folder";

} // namespace

void MainFrame::ShowFile(int index, bool keepPlace) {
    const char* path = documents.PathAt(index);
    if (path == nullptr)
        return;
    documents.Select(index);
    list.Select(index);
    grid.SelectionChanged();
    dropNote.clear();
    // A start without a path comes back to it, and so does its folder.
    settings.LastFile.Assign(path);
    Str folder;
    folder.Assign(path);
    folder.RemoveFileName();
    NoteShownIn(folder.Text(), path);
    // Taken before the read: a save that lands during it differs from it,
    // so the file is read once more when the save is over.
    shownStamp = FileStamp::Of(path);
    FollowShownFile(path);
    if (!image.IsEmpty() && view.Failure().IsEmpty())
        stepPlace = view.Place();
    if (!keepPlace)
        solo.Forget();
    HCURSOR kept = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const std::vector<uint8_t> layersShown = layerVisible;
    LoadResult failure;
    const bool loaded = LoadShownFile(index, path, failure);
    SetCursor(kept);
    const char* name = documents.LabelAt(index);
    if (!loaded) {
        // The picture shown before is taken off the view: with the failed
        // file selected it would pass for that file's (and be copied as it).
        // It stays held ahead, so stepping back shows it at once.
        ahead.Withdraw(image);
        FillLayersPane(nullptr);
        view.UpdateScroll(true);
        Str title;
        title.Assign("Tessavel - ");
        title.Append(UserTexts(settings).loadFailed);
        title.Append(" ");
        title.Append(name);
        SetText(title.Text());
        // Said in the view, with the reason the converter gives: a message
        // box would stop the stepping and take the keys pressed meanwhile.
        view.ShowFailure(failure.reason.c_str());
        UpdateStatus();
        DecodeAhead();
        return;
    }
    view.ShowFailure(nullptr);
    FillLayersPane(path);
    const bool carried = CarryHiddenLayers(path);
    if (keepPlace) {
        // The layers the user chose stay chosen while the document keeps
        // its layers.
        if (!layersShown.empty() && layersShown.size() == layerVisible.size() && layersShown != layerVisible) {
            layerVisible = layersShown;
            layersPane.Fill(shownLayers, layerVisible, uint32_t(settings.NamesCodePage));
            ShowLayers();
        } else if (carried) {
            ShowLayers();
        }
        view.PictureReplaced();
    } else {
        if (carried)
            ShowLayers();
        if (settings.StepKeepsPlace)
            view.ShowAtPlace(stepPlace);
        else
            view.UpdateScroll(true);
    }
    Str title(int32_t(std::strlen(name)) + 64);
    std::snprintf(title.data, static_cast<size_t>(title.BufferSize()), "Tessavel - (%dx%d) %s", image.width,
                  image.height, name);
    SetText(title.Text());
    UpdateStatus();
    DecodeAhead();
}

void MainFrame::StepFile(bool forward) {
    if (!documents.Step(forward))
        return;
    if (grid.IsOpen())
        SelectInGrid(documents.Current());
    else
        ShowFile(documents.Current());
}

void MainFrame::SelectFirst() {
    if (documents.Count() > 0)
        ShowFile(0);
}

void MainFrame::RedrawList() {
    list.ShowItems(documents.Labels(), documents.Current());
    grid.DocumentsChanged();
    UpdateStatus();
}

void MainFrame::ClearList() {
    documents.Clear();
    ahead.Clear();
    grid.ListReplaced();
}

void MainFrame::OpenFolder(const char* folder) {
    // Even a missing or empty folder becomes the most recent one.
    PushRecentFolder(folder);
    ClearList();
    documents.ListFolder(folder);
    WatchFolder(folder);
    RedrawList();
    const int last = documents.IndexOf(LastShownIn(folder));
    if (last >= 0)
        ShowFile(last);
    else
        SelectFirst();
}

void MainFrame::PushRecentFolder(const char* folder) {
    ::PushRecentFolder(settings.RecDir, settings.RecFile, folder);
    RebuildRecentMenu();
}

void MainFrame::RebuildRecentMenu() {
    Menu recent;
    recent.Attach(GetSubMenu(GetSubMenu(GetMenu(hwnd), 0), RECENT_MENU_POSITION));
    if (recent.handle == nullptr)
        return;
    while (recent.Count() > 0)
        recent.DeleteItem(0, true);
    Str text;
    for (int k = 0; k < RECENT_FOLDER_COUNT && !settings.RecDir[k].IsEmpty(); ++k) {
        // The stored path stays as it is; only the menu doubles its '&'.
        RecentMenuText(settings.RecDir[k].Text(), text);
        recent.InsertString(static_cast<UINT>(k), true, static_cast<UINT>(IDM_RECENT_FIRST + k), text.Text());
    }
}

void MainFrame::OpenCommandLinePath(const char* commandTail) {
    if (commandTail == nullptr || commandTail[0] == '\0') {
        NameStartFile(ReopenLastFolder());
        return;
    }
    Str path;
    path.Assign(commandTail);
    // A tail of at least 3 characters starting with a quote loses its first
    // and its last character.
    path.Unquote();
    const PathKind kind = KindOfPath(path.Text());
    if (kind == PathKind::Missing)
        return; // a missing path is ignored
    if (kind == PathKind::Folder) {
        PushRecentFolder(path.Text());
        documents.ListFolder(path.Text());
        WatchFolder(path.Text());
        NameStartFile(0);
    } else if (IsDocumentPath(path)) {
        // A document opens its folder, so the files beside it are a step away.
        NameStartFile(ListDocumentFolder(path));
    } else {
        // Only this file, whatever its extension: another kind then fails to
        // load and says so.
        documents.Add(path.Text(), false);
        NameStartFile(0);
    }
}

void MainFrame::NameStartFile(int index) {
    // Selected and named now; read once the window is up (kShowStartFile).
    documents.Select(index);
    RedrawList();
    const char* name = documents.LabelAt(index);
    if (name == nullptr)
        return;
    Str title;
    title.Assign("Tessavel - ");
    title.Append(name);
    SetText(title.Text());
    startFilePending = true;
}

bool MainFrame::OnDropFiles(WPARAM dropHandle) {
    HDROP drop = reinterpret_cast<HDROP>(dropHandle);
    const bool extend = GetKeyState(VK_CONTROL) < 0;
    if (!extend && OpenDroppedDocument(drop))
        return true;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> folders;
    std::vector<std::string> files;
    Str path;
    for (UINT i = 0; i < count; ++i) {
        // A path cut to a fixed buffer could name another file, so the room
        // follows the path's length.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::vector<wchar_t> wide(size_t(length) + 1, L'\0');
        if (DragQueryFileW(drop, i, wide.data(), length + 1) == 0)
            continue;
        path.Reserve(kDropPathRoom);
        Narrow(wide.data(), path);
        const PathKind kind = KindOfPath(path.Text());
        if (kind == PathKind::Folder)
            folders.emplace_back(path.Text());
        else if (kind != PathKind::Missing && IsDocumentPath(path))
            files.emplace_back(path.Text());
    }
    DragFinish(drop);
    SetForegroundWindow(hwnd);
    if (folders.empty() && files.empty()) {
        // A text file dropped by mistake leaves the list, the picture and
        // the folder watched as they were, and says why.
        dropNote = kNoDocumentDropped;
        UpdateStatus();
        return true;
    }
    if (!extend) {
        // Only a single folder dropped alone is one folder's listing, watched.
        ForgetFolder();
        ClearList();
        if (folders.size() == 1 && files.empty() && count == 1) {
            OpenFolder(folders[0].c_str());
            return true;
        }
    }
    // With Ctrl the list is only extended: the selection stays on its file,
    // and the picture and the title stay.
    for (const std::string& folder : folders) {
        PushRecentFolder(folder.c_str());
        documents.AddFolder(folder);
    }
    documents.AddFiles(files, true);
    dropNote.clear();
    RedrawList();
    if (!extend)
        SelectFirst();
    return true;
}
