#include "framework/AppShell.h"

#include "base/Str.h"
#include "base/Wide.h"

#include <commctrl.h>
#include <ole2.h>

OleApartment::OleApartment() {
    // S_FALSE (already started on this thread) also needs its release.
    started = SUCCEEDED(OleInitialize(nullptr));
}

OleApartment::~OleApartment() {
    if (started)
        OleUninitialize();
}

bool AppShell::Init(bool initCommonControls) {
    if (initCommonControls) {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_WIN95_CLASSES | ICC_USEREX_CLASSES;
        // A failure only costs the progress bar of the conversion dialog.
        InitCommonControlsEx(&controls);
    }
    return true;
}

int32_t AppShell::Run(HWND mainWindow, uint32_t acceleratorId) {
    HACCEL accelerators = LoadAcceleratorsW(ModuleHandle(), MAKEINTRESOURCEW(acceleratorId & 0xFFFF));
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (accelerators != nullptr && TranslateAcceleratorW(mainWindow, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (accelerators != nullptr)
        DestroyAcceleratorTable(accelerators);
    return static_cast<int32_t>(message.wParam);
}

bool AppShell::GetModuleFolder(Str& out) {
    return out.SetToModuleFolder(nullptr);
}

bool AppShell::SetCurrentFolderToModule() {
    Str folder;
    folder.Reserve(500);
    return GetModuleFolder(folder) && SetCurrentDirectoryW(Widen(folder.Text()).c_str());
}

HINSTANCE AppShell::ModuleHandle() {
    return GetModuleHandleW(nullptr);
}
