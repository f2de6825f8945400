#include "app/RecentFolders.h"

void PushRecentFolder(Str (&recent)[kRecentFolderCount], const char* folder) {
    int last = kRecentFolderCount - 1; // the entry that gets overwritten
    for (int k = 0; k < kRecentFolderCount; ++k) {
        if (recent[k].CompareNoCase(folder) == 0) {
            last = k;
            break;
        }
    }
    for (int k = last; k > 0; --k)
        recent[k].Assign(recent[k - 1].Text());
    recent[0].Assign(folder);
}

void RecentMenuText(const char* folder, Str& out) {
    out.Clear();
    for (const char* p = folder; *p != 0; ++p) {
        if (*p == '&')
            out.AppendChar('&');
        out.AppendChar(*p);
    }
}
