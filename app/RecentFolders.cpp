#include "app/RecentFolders.h"

namespace {

int IndexOf(const Str (&recent)[kRecentFolderCount], const char* folder) {
    for (int k = 0; k < kRecentFolderCount; ++k)
        if (recent[k].CompareNoCase(folder) == 0)
            return k;
    return -1;
}

// Moves entries 0 .. last - 1 one down over entry last.
void MoveDown(Str (&entries)[kRecentFolderCount], int last) {
    for (int k = last; k > 0; --k)
        entries[k].Assign(entries[k - 1].Text());
}

} // namespace

void PushRecentFolder(Str (&recent)[kRecentFolderCount], const char* folder) {
    const int found = IndexOf(recent, folder);
    MoveDown(recent, found >= 0 ? found : kRecentFolderCount - 1);
    recent[0].Assign(folder);
}

void PushRecentFolder(Str (&recent)[kRecentFolderCount], Str (&shown)[kRecentFolderCount], const char* folder) {
    const int found = IndexOf(recent, folder);
    const int last = found >= 0 ? found : kRecentFolderCount - 1;
    Str kept;
    kept.Assign(found >= 0 ? shown[found].Text() : "");
    MoveDown(recent, last);
    MoveDown(shown, last);
    recent[0].Assign(folder);
    shown[0].Assign(kept.Text());
}

void NoteRecentShown(const Str (&recent)[kRecentFolderCount], Str (&shown)[kRecentFolderCount], const char* folder,
                     const char* path) {
    const int found = IndexOf(recent, folder);
    if (found >= 0)
        shown[found].Assign(path);
}

const char* RecentShown(const Str (&recent)[kRecentFolderCount], const Str (&shown)[kRecentFolderCount],
                        const char* folder) {
    const int found = IndexOf(recent, folder);
    return found >= 0 && !shown[found].IsEmpty() ? shown[found].Text() : nullptr;
}

void RecentMenuText(const char* folder, Str& out) {
    out.Clear();
    for (const char* p = folder; *p != 0; ++p) {
        if (*p == '&')
            out.AppendChar('&');
        out.AppendChar(*p);
    }
}
