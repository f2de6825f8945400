#pragma once
// Output files that are never seen half-written. A writer creates a
// temporary beside the final file (".NAME.tmpPID-N" in the same folder, so
// the last step is a rename within one volume), writes and closes it, and
// only then puts it in the place of the final name. A failure removes the
// temporary and leaves whatever was at the final name as it was.
//
// The temporaries being written are also listed in a table, so a
// program that is interrupted (Ctrl+C, SIGTERM, the console closing) can
// remove them from its signal or console handler. After a hard kill at most
// a temporary remains, never a broken file under the final name.

#include "base/Str.h"

#include <cstddef>

class FileWriter;

class TempOutput {
public:
    TempOutput() = default;
    ~TempOutput();
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;

    // Creates a temporary of a name no other file has, beside finalPath, and
    // opens file on it. False when it cannot be created (missing folder,
    // access denied, ...; filesystem::LastFailure says why).
    bool Open(FileWriter& file, const char* finalPath);
    // Closes file. When complete is true and the close succeeded, the
    // temporary replaces the final file and the result is true; otherwise the
    // temporary is removed.
    bool Finish(FileWriter& file, bool complete);

    const char* TemporaryPath() const { return temporary.Text(); }

private:
    void Discard();

    Str temporary;
    Str final;
    int slot = -1;
    bool direct = false; // a device or pipe written in place
};

// Removes every temporary being written in this process. Safe to call from a
// signal handler or a console handler: it only reads the table and
// deletes files; from then on no new temporary is listed.
void RemovePendingTemporaries();
// Lets temporaries be made again after RemovePendingTemporaries, for a
// program that carries on after an interruption (and for the tests).
void RearmPendingTemporaries();

// Lists path (any file a program must not leave behind when interrupted)
// in the table, which grows to hold every writer at once; the slot to hand
// back to ForgetPending, negative when memory ran out or the program is
// being interrupted.
int ListPending(const char* path);
void ForgetPending(int slot);

// Platform half (TempOutput_win.cpp, TempOutput_posix.cpp).
namespace tempoutput {
// Deletes the file at path with one system call: unlink, which a POSIX signal
// handler may make, or DeleteFileW from the console handler's own thread.
void RemoveFileNow(const char* path);
unsigned long ProcessId();
// The system's error code for memory running out (filesystem::LastFailure).
int OutOfMemoryError();
// The longest whole path, in bytes, the system's file calls take for a file
// to be created (MAX_PATH - 1 for the ANSI calls on Windows).
size_t PathRoom();
} // namespace tempoutput
