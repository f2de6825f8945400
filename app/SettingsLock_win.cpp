#include "app/SettingsLock.h"

namespace {

// Per session ("Local"): one user's viewers of this desktop.
constexpr wchar_t kLockName[] = L"Local\\Tessavel.SettingsSave";

} // namespace

SettingsLock::SettingsLock(DWORD waitMs) {
    mutex = CreateMutexW(nullptr, FALSE, kLockName);
    if (mutex == nullptr)
        return;
    // WAIT_ABANDONED: the viewer that held it ended mid-save; the lock is
    // this one's now, and the file is whole, since saves replace it in one
    // step.
    const DWORD waited = WaitForSingleObject(mutex, waitMs);
    held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

SettingsLock::~SettingsLock() {
    if (held)
        ReleaseMutex(mutex);
    if (mutex != nullptr)
        CloseHandle(mutex);
}
