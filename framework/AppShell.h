#pragma once
// AppShell: the application object. It prepares the process for the window
// framework, runs the message loop with the program's accelerator table and
// answers where the running executable lives. It keeps no state between
// calls, so its operations are static; the program still has one instance.

#include <windows.h>

#include <cstdint>

class Str;

// COM as a single-threaded apartment (OleInitialize) on the interface
// thread, for as long as the object lives: the shell's dialogs (the item
// dialog of the pickers) require it. Made in the entry point before any
// window, released when the entry point returns.
class OleApartment {
public:
    OleApartment();
    ~OleApartment();
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;

    bool Started() const { return started; }

private:
    bool started = false;
};

class AppShell {
public:
    // Initialises the common controls (the progress control of the conversion
    // dialog needs them) when asked to; always true.
    static bool Init(bool initCommonControls);

    // Runs the message loop until the quit message (or a retrieval error).
    // Keys of accelerator table acceleratorId are translated for mainWindow,
    // whichever window of the thread has the focus. Returns the wParam of the
    // last message retrieved: the exit code given to PostQuitMessage.
    static int32_t Run(HWND mainWindow, uint32_t acceleratorId);

    // Folder of the running executable, without a trailing backslash.
    static bool GetModuleFolder(Str& out);
    // Makes that folder the current directory, so a relative program path in
    // the settings resolves beside the viewer.
    static bool SetCurrentFolderToModule();

    static HINSTANCE ModuleHandle();
};
