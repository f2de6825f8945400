// One document opens its folder: a document named on the command line,
// picked alone or dropped alone lists every document beside it and selects
// it; a start without a path lists the last folder again at the last file.
// The folder listed is watched, and listed again (F5, or by itself when a
// file appears, goes or is renamed) with the selection kept on its file.
#include "app/FrameMessages.h"
#include "app/MainFrame.h"
#include "base/Wide.h"
#include "decode/ByteFile.h"

#include "base/Str.h"
#include "base/Text.h"

#include <shellapi.h>

#include <vector>

namespace {

bool IsDocument(const Str& path) {
    Str extension;
    path.GetExtension(extension);
    return extension.CompareNoCase("qvm") == 0 || extension.CompareNoCase("qvr") == 0;
}

bool IsFolder(const char* path) {
    return ByteFile::IsDirectory(path);
}

// A relative path ("a.qvm" typed in a console) has no folder of its own to
// list: it is made whole against the current folder. Left as it is when the
// system cannot.
void MakeFullPath(Str& path) {
    const std::wstring wide = Widen(path.Text());
    const DWORD fullLength = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (fullLength == 0)
        return;
    std::vector<wchar_t> full(fullLength);
    if (GetFullPathNameW(wide.c_str(), fullLength, full.data(), nullptr) >= fullLength)
        return;
    Narrow(full.data(), path);
}

} // namespace

int MainFrame::IndexOfPath(const char* path) {
    if (path == nullptr || path[0] == '\0')
        return -1;
    const int count = static_cast<int>(list.Send(LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const char* item = list.PathAt(i);
        if (item != nullptr && text::CompareNoCase(item, path) == 0)
            return i;
    }
    return -1;
}

void MainFrame::WatchFolder(const char* folder) {
    listedFolder.Assign(folder);
    // A folder that cannot be watched is still listed; F5 lists it again.
    folderWatch.Watch(folder, hwnd, kFolderChanged);
}

void MainFrame::ForgetFolder() {
    listedFolder.Clear();
    folderWatch.Stop();
}

int MainFrame::ListDocumentFolder(Str& document) {
    MakeFullPath(document);
    Str folder;
    folder.Assign(document.Text());
    folder.RemoveFileName();
    PushRecentFolder(folder.Text());
    list.BeginFill();
    ClearList();
    ScanFolder(folder.Text());
    // A document the folder's search does not give back (named by its short
    // name) is still listed.
    if (IndexOfPath(document.Text()) < 0)
        list.AddFile(document, true);
    list.EndFill();
    WatchFolder(folder.Text());
    return IndexOfPath(document.Text());
}

bool MainFrame::OpenDocument(const char* path) {
    Str document;
    document.Assign(path);
    if (!IsDocument(document))
        return false;
    const int index = ListDocumentFolder(document);
    if (index < 0)
        return false;
    list.SetCurSel(index);
    ShowFile(index);
    return true;
}

bool MainFrame::OpenDroppedDocument(HDROP drop) {
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) != 1)
        return false;
    // The whole path, however long: one cut short would name another file.
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::vector<wchar_t> wide(size_t(length) + 1, L'\0');
    if (DragQueryFileW(drop, 0, wide.data(), length + 1) == 0)
        return false;
    Str path;
    Narrow(wide.data(), path);
    if (!ByteFile::Exists(path.Text()) || ByteFile::IsDirectory(path.Text()) || !IsDocument(path))
        return false;
    DragFinish(drop);
    SetForegroundWindow(hwnd);
    OpenDocument(path.Text());
    return true;
}

int MainFrame::ReopenLastFolder() {
    const Str& folder = settings.RecDir[0];
    if (folder.IsEmpty() || !IsFolder(folder.Text()))
        return -1;
    list.BeginFill();
    ScanFolder(folder.Text());
    list.EndFill();
    WatchFolder(folder.Text());
    if (list.Send(LB_GETCOUNT, 0, 0) <= 0)
        return -1;
    const int last = IndexOfPath(settings.LastFile.Text());
    return last >= 0 ? last : 0;
}

void MainFrame::RefreshFolder() {
    if (listedFolder.IsEmpty())
        return;
    const int selected = static_cast<int>(list.Send(LB_GETCURSEL, 0, 0));
    Str kept;
    if (const char* path = list.PathAt(selected))
        kept.Assign(path);
    Str folder;
    folder.Assign(listedFolder.Text());
    // The pictures decoded ahead stay: they are told apart by path and time
    // written, and the files beside the shown one are mostly the same ones.
    list.BeginFill();
    list.ClearFiles();
    ScanFolder(folder.Text());
    list.EndFill();
    const int count = static_cast<int>(list.Send(LB_GETCOUNT, 0, 0));
    const int index = IndexOfPath(kept.Text());
    if (index >= 0) {
        // The same file, at its new place: the picture shown is its own.
        list.SetCurSel(index);
        return;
    }
    if (selected < 0 || count <= 0)
        return;
    // The file shown has gone: the one now at its place is shown, so the
    // picture never stands for a file that is no longer listed.
    const int next = selected < count ? selected : count - 1;
    list.SetCurSel(next);
    ShowFile(next);
}

void MainFrame::OnFolderChanged(WPARAM generation) {
    if (!folderWatch.IsCurrent(generation))
        return;
    folderWatch.Acknowledge();
    RefreshFolder();
}
