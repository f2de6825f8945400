// One document opens its folder: a document named on the command line,
// picked alone or dropped alone lists every document beside it and selects
// it; a start without a path lists the last folder again at the last file.
// The folder listed is watched, and listed again (F5, or by itself when a
// file appears, goes or is renamed) with the selection kept on its file.
#include "app/FrameMessages.h"
#include "app/MainFrame.h"
#include "app/RecentFolders.h"
#include "base/Wide.h"
#include "base/FileSystem.h"
#include "decode/DocumentKind.h"

#include "base/Str.h"
#include "base/Text.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

bool IsDocument(const Str& path) {
    return KindByExtension(path.Text()) != DocumentKind::Other;
}

bool IsFolder(const char* path) {
    return filesystem::IsDirectory(path);
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

void MainFrame::NoteShownIn(const char* folder, const char* path) {
    // Kept for the next runs too, while the folder is a recent one.
    NoteRecentShown(settings.RecDir, settings.RecFile, folder, path);
    for (auto& place : lastShownIn)
        if (text::CompareNoCase(place.first.c_str(), folder) == 0) {
            place.second = path;
            return;
        }
    lastShownIn.emplace_back(folder, path);
}

const char* MainFrame::LastShownIn(const char* folder) const {
    for (const auto& place : lastShownIn)
        if (text::CompareNoCase(place.first.c_str(), folder) == 0)
            return place.second.c_str();
    // Before anything is shown in this run, the file shown there last time.
    if (const char* recent = RecentShown(settings.RecDir, settings.RecFile, folder))
        return recent;
    Str lastFolder;
    lastFolder.Assign(settings.LastFile.Text());
    lastFolder.RemoveFileName();
    return text::CompareNoCase(lastFolder.Text(), folder) == 0 ? settings.LastFile.Text() : nullptr;
}

void MainFrame::WatchFolder(const char* folder) {
    // A folder that cannot be watched is still listed; F5 lists it again.
    folderWatch.Watch(folder, hwnd, kFolderChanged);
}

void MainFrame::ForgetFolder() {
    documents.ForgetFolder();
    folderWatch.Stop();
}

int MainFrame::ListDocumentFolder(Str& document) {
    MakeFullPath(document);
    Str folder;
    folder.Assign(document.Text());
    folder.RemoveFileName();
    PushRecentFolder(folder.Text());
    ClearList();
    documents.ListFolder(folder.Text());
    // A document the folder's search does not give back (named by its short
    // name) is still listed.
    if (documents.IndexOf(document.Text()) < 0)
        documents.Add(document.Text(), true);
    WatchFolder(folder.Text());
    RedrawList();
    return documents.IndexOf(document.Text());
}

bool MainFrame::OpenDocument(const char* path) {
    Str document;
    document.Assign(path);
    if (!IsDocument(document))
        return false;
    const int index = ListDocumentFolder(document);
    if (index < 0)
        return false;
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
    if (!filesystem::Exists(path.Text()) || filesystem::IsDirectory(path.Text()) || !IsDocument(path))
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
    documents.ListFolder(folder.Text());
    WatchFolder(folder.Text());
    if (documents.Count() <= 0)
        return -1;
    const int last = documents.IndexOf(settings.LastFile.Text());
    return last >= 0 ? last : 0;
}

bool MainFrame::RefreshFolder() {
    // The file shown, told by its identity, so that a rename keeps it shown.
    const FileStamp shown = shownStamp;
    const auto isShownFile = [&shown](const std::string& path) {
        const FileStamp stamp = FileStamp::Of(path.c_str());
        return shown.exists && stamp.exists && stamp.volume == shown.volume && stamp.fileId == shown.fileId;
    };
    // The pictures decoded ahead stay: they are told apart by path and time
    // written, and the files beside the shown one are mostly the same ones.
    switch (documents.ListAgain(isShownFile)) {
    case DocumentList::Relisted::Kept:
    case DocumentList::Relisted::None:
        RedrawList();
        return false;
    case DocumentList::Relisted::Renamed:
    case DocumentList::Relisted::Replaced:
        // The picture never stands for a file that is no longer listed, and
        // the title names the file under its name now.
        RedrawList();
        ShowFile(documents.Current());
        return true;
    }
    return false;
}

void MainFrame::OnFolderChanged(WPARAM generation) {
    if (!folderWatch.IsCurrent(generation))
        return;
    folderWatch.Acknowledge();
    RefreshFolder();
}
