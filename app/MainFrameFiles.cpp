// What the file list holds and which of its files is shown: folders scanned,
// drops, the command-line path, stepping, the recent folders and their menu.
#include "app/MainFrame.h"

#include "decode/ByteFile.h"

#include "app/RecentFolders.h"
#include "decode/LoadDiagnosis.h"
#include "framework/FileFind.h"
#include "framework/Menu.h"
#include "framework/Platform.h"
#include "base/Str.h"
#include "app/UserLanguage.h"
#include "res/ResourceIds.h"
#include "base/Wide.h"

#include <vector>
#include <shellapi.h>

#include <cstdio>

namespace {

// Room for one dropped path; a longer one gets the room it needs.
constexpr int32_t kDropPathRoom = 511;

bool IsDocumentPath(const Str& path) {
    Str extension;
    path.GetExtension(extension);
    return extension.CompareNoCase("qvm") == 0 || extension.CompareNoCase("qvr") == 0;
}

int ItemCount(FileListBox& list) {
    return static_cast<int>(list.Send(LB_GETCOUNT, 0, 0));
}

int Selection(FileListBox& list) {
    return static_cast<int>(list.Send(LB_GETCURSEL, 0, 0)); // LB_ERR (-1) when none
}

} // namespace

void MainFrame::ShowFile(int index) {
    if (index == -1)
        return;
    const char* path = list.PathAt(index);
    if (path == nullptr)
        return;
    // A start without a path comes back to it.
    settings.LastFile.Assign(path);
    HCURSOR kept = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const bool loaded = LoadShownFile(index, path);
    SetCursor(kept);
    Str name;
    list.GetText(index, name);
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
        title.Append(name.Text());
        SetText(title.Text());
        // Said in the view, with the reason the converter gives: a message
        // box would stop the stepping and take the keys pressed meanwhile.
        view.ShowFailure(DiagnoseLoadFailure(path).c_str());
        UpdateStatus();
        DecodeAhead();
        return;
    }
    view.ShowFailure(nullptr);
    view.UpdateScroll(true);
    FillLayersPane(path);
    Str title(name.Length() + 64);
    std::snprintf(title.data, static_cast<size_t>(title.BufferSize()), "Tessavel - (%dx%d) %s", image.width,
                  image.height, name.Text());
    SetText(title.Text());
    UpdateStatus();
    DecodeAhead();
}

void MainFrame::StepFile(bool forward) {
    int index = Selection(list);
    if (forward) {
        // With nothing selected (-1) this selects the first item.
        ++index;
        if (index >= ItemCount(list))
            return;
    } else {
        if (index <= 0)
            return;
        --index;
    }
    list.SetCurSel(index);
    ShowFile(index);
}

void MainFrame::SelectFirst() {
    if (ItemCount(list) <= 0)
        return;
    list.SetCurSel(0);
    ShowFile(0);
}

void MainFrame::ClearList() {
    list.ClearFiles();
    ahead.Clear();
}

void MainFrame::ScanFolder(const char* folder) {
    Str pattern;
    pattern.Assign(folder);
    pattern.Append("\\*.*");
    FileFind find;
    if (!find.FindFirst(pattern.Text()))
        return; // a folder that cannot be searched adds nothing
    Str path;
    do {
        if (find.IsDirectory())
            continue;
        path.Assign(folder);
        path.Append("\\");
        path.Append(find.Name());
        if (IsDocumentPath(path))
            list.AddFile(path, false);
    } while (find.FindNext());
}

void MainFrame::OpenFolder(const char* folder) {
    // Even a missing or empty folder becomes the most recent one.
    PushRecentFolder(folder);
    list.BeginFill();
    ClearList();
    ScanFolder(folder);
    list.EndFill();
    WatchFolder(folder);
    SelectFirst();
}

void MainFrame::PushRecentFolder(const char* folder) {
    ::PushRecentFolder(settings.RecDir, folder);
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
        list.BeginFill();
        ScanFolder(path.Text());
        list.EndFill();
        WatchFolder(path.Text());
        NameStartFile(0);
    } else if (IsDocumentPath(path)) {
        // A document opens its folder, so the files beside it are a step away.
        NameStartFile(ListDocumentFolder(path));
    } else {
        // Only this file, whatever its extension: another kind then fails to
        // load and says so.
        list.BeginFill();
        list.AddFile(path, false);
        list.EndFill();
        NameStartFile(0);
    }
}

void MainFrame::NameStartFile(int index) {
    // Selected and named now; read once the window is up (kShowStartFile).
    if (index < 0 || index >= ItemCount(list))
        return;
    list.SetCurSel(index);
    Str name;
    list.GetText(index, name);
    Str title;
    title.Assign("Tessavel - ");
    title.Append(name.Text());
    SetText(title.Text());
    startFilePending = true;
}

bool MainFrame::OnDropFiles(WPARAM dropHandle) {
    HDROP drop = reinterpret_cast<HDROP>(dropHandle);
    const bool extend = GetKeyState(VK_CONTROL) < 0;
    if (!extend && OpenDroppedDocument(drop))
        return true;
    // Only a single folder dropped alone is one folder's listing, watched.
    ForgetFolder();
    list.BeginFill();
    if (!extend)
        ClearList();
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
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
        if (kind == PathKind::Missing)
            continue;
        if (kind == PathKind::Folder) {
            PushRecentFolder(path.Text());
            ScanFolder(path.Text());
        } else if (IsDocumentPath(path)) {
            list.AddFile(path, true);
        }
    }
    DragFinish(drop);
    SetForegroundWindow(hwnd);
    list.EndFill();
    if (!extend && count == 1 && ByteFile::IsDirectory(path.Text()))
        WatchFolder(path.Text());
    // With Ctrl the list is only extended: selection, picture and title stay.
    if (!extend)
        SelectFirst();
    return true;
}
