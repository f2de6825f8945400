#pragma once
// FolderWatch: notices files appearing, going or being renamed in one folder
// and tells a window so, from a thread of its own (a WindowJob) that sleeps
// in the system until something changes or the job is cancelled (no
// polling). The owner joins the thread in Stop (and the destructor); the
// thread touches nothing but its handles and the window's message queue.
//
// A burst of changes (a copy of a hundred files) posts one message until the
// window has taken it with Acknowledge: the window lists the folder once for
// what has changed meanwhile, and a change after that posts again.

#include "framework/WindowJob.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

class FolderWatch {
public:
    FolderWatch() = default;
    ~FolderWatch() { Stop(); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches folder (in the program's code page) instead of the folder
    // watched so far; posts message to notify with wParam the watch's
    // generation, so a message of a folder left meanwhile is told apart.
    // False when the folder cannot be watched (missing, no access). With
    // writes, writes inside its files are told too (the shown document
    // being saved over in place), not only names appearing, going or
    // renamed.
    bool Watch(const char* folder, HWND notify, UINT message, bool writes = false);
    // Ends the watch and waits for its thread.
    void Stop();
    // The window has the message and lists the folder now.
    void Acknowledge() { pending.store(false); }
    // True while the message of wParam generation belongs to the folder
    // watched now.
    bool IsCurrent(WPARAM generation) const { return job.Busy() && generation == WPARAM(current); }

private:
    void Run(const JobControl& control, WPARAM generation);

    HANDLE change = nullptr; // the system's change notification
    uint32_t current = 0;    // generation of the watch running
    std::atomic<bool> pending{false};
    WindowJob job; // last: its thread ends before the handle goes
};
