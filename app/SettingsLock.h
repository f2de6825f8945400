#pragma once
// Several viewers may close at once. Each save reads the settings file,
// merges its own changes over what it holds and writes it back
// (SettingsMerge.h); two such saves side by side would each write over the
// other's, and one viewer's changes would be lost while both report
// success. A save holds this lock from its read to its write, so the second
// reads what the first wrote.
//
// One lock for every copy of the program in the session (copies in other
// folders share the per-user file). A viewer that ends holding it, killed
// mid-save, lets it go with its process.

#include <windows.h>

class SettingsLock {
public:
    // Waits up to waitMs for the lock. A save must end even when another
    // viewer hangs in its own: past the wait, it goes on without the lock.
    explicit SettingsLock(DWORD waitMs = kSaveWaitMs);
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    bool Held() const { return held; }

    // Far longer than a save takes (a read, a merge and a write of a few
    // kilobytes), short enough for the system's end of session.
    static constexpr DWORD kSaveWaitMs = 5000;

private:
    HANDLE mutex = nullptr;
    bool held = false;
};
