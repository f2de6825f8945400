#include "tests/e2e/FileDrop.h"

#include <shlobj.h>

#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/WindowQuery.h"

namespace e2e {

namespace {

// The block as the shell builds it: the header, then the wide paths, each
// with its terminator, and one more terminator at the end.
std::vector<BYTE> DropBlock(const std::vector<std::string>& paths, POINT at) {
    std::wstring names;
    for (const std::string& path : paths) {
        names += Widen(path);
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    std::vector<BYTE> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.pt = at;
    header.fNC = FALSE;
    header.fWide = TRUE;
    CopyMemory(block.data(), &header, sizeof header);
    CopyMemory(block.data() + sizeof header, names.data(), names.size() * sizeof(wchar_t));
    return block;
}

} // namespace

bool DropFiles(HANDLE process, HWND target, const std::vector<std::string>& paths, POINT at, unsigned modifiers,
               DWORD timeoutMs) {
    const std::vector<BYTE> block = DropBlock(paths, at);
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr)
        return false;
    SIZE_T written = 0;
    bool handled = false;
    if (WriteProcessMemory(process, remote, block.data(), block.size(), &written) && written == block.size()) {
        HeldKeys held(target, modifiers);
        handled = PostMessageW(target, WM_DROPFILES, WPARAM(remote), 0) && Sync(target, timeoutMs);
    }
    // Freed only once handled: a drop still queued would read freed memory.
    if (handled || !IsWindow(target))
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return handled;
}

} // namespace e2e
