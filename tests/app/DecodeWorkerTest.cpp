// The viewer's decode thread driven directly, with a named pipe as the file:
// the decode waits inside its first read until the test writes the
// document, so the test chooses when the job is running and when it ends.

#include "app/DecodeWorker.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

constexpr UINT kDecoded = WM_APP + 7;

// Two pipe instances: the decode opens the name once for the file's stamp
// and once to read it.
class PipeGate {
public:
    PipeGate() : name("\\\\.\\pipe\\tessavel-gate-" + std::to_string(GetCurrentProcessId()) + ".qvm") {
        for (HANDLE& pipe : pipes)
            pipe = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 2, 65536, 65536, 0,
                                    nullptr);
    }
    ~PipeGate() {
        for (HANDLE pipe : pipes)
            if (pipe != INVALID_HANDLE_VALUE)
                CloseHandle(pipe);
    }
    bool Made() const { return pipes[0] != INVALID_HANDLE_VALUE && pipes[1] != INVALID_HANDLE_VALUE; }

    // Returns once the decode has opened both instances: it then waits in
    // its read.
    void WaitUntilOpened() {
        for (HANDLE pipe : pipes)
            ConnectNamedPipe(pipe, nullptr); // connected, or already connected and closed again
    }
    // Hands the decode its bytes and the end of the file.
    void Open(const docwriter::Bytes& bytes) {
        for (HANDLE& pipe : pipes) {
            DWORD written = 0;
            WriteFile(pipe, bytes.data(), DWORD(bytes.size()), &written, nullptr);
            FlushFileBuffers(pipe);
            CloseHandle(pipe);
            pipe = INVALID_HANDLE_VALUE;
        }
    }

    const std::string name;

private:
    HANDLE pipes[2];
};

docwriter::Bytes RedDocument() {
    docwriter::QvmDocument doc;
    doc.width = 2;
    doc.height = 2;
    doc.layers.push_back(docwriter::MakeQvmLayer("red", docwriter::SolidPixels(2, 2, 0, 0, 255, 255)));
    return docwriter::WriteQvm(doc);
}

// A message-only window of this thread that the worker posts to.
struct Listener {
    Listener() { window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
    ~Listener() { DestroyWindow(window); }
    // Blocks until the worker's message arrives.
    bool Notified() {
        MSG message;
        return GetMessageA(&message, window, kDecoded, kDecoded) > 0;
    }
    HWND window;
};

TEST(DecodeWorker, JobIsRefusedWhileOneRunsAndCollectedOnceDone) {
    PipeGate gate;
    ASSERT_TRUE(gate.Made());
    Listener listener;
    DecodeWorker worker;
    ASSERT_TRUE(worker.Begin(gate.name.c_str(), listener.window, kDecoded));
    gate.WaitUntilOpened();
    EXPECT_TRUE(worker.Busy());
    EXPECT_EQ(worker.Finished(false), nullptr); // held in its read
    EXPECT_FALSE(worker.Begin(gate.name.c_str(), listener.window, kDecoded));
    // A pipe cannot be read as a document (the reader moves within it), so
    // this decode fails; what matters is that it was held until now.
    gate.Open(RedDocument());
    ASSERT_TRUE(listener.Notified());
    DecodedFile* done = worker.Finished(true);
    ASSERT_NE(done, nullptr);
    EXPECT_STREQ(done->path.Text(), gate.name.c_str());
    EXPECT_FALSE(worker.Busy());
    // The next job is taken once the last was collected.
    TempDir dir;
    const std::string file = dir.File("red.qvm");
    ASSERT_TRUE(docwriter::WriteFile(file, RedDocument()));
    ASSERT_TRUE(worker.Begin(file.c_str(), listener.window, kDecoded));
    ASSERT_TRUE(listener.Notified());
    done = worker.Finished(true);
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(done->loaded);
    ASSERT_EQ(done->picture.width, 2);
    EXPECT_EQ(done->picture.bits[2], 255); // red
}

TEST(DecodeWorker, StopDuringADecodeWaitsForItAndTakesNoMoreJobs) {
    PipeGate gate;
    ASSERT_TRUE(gate.Made());
    Listener listener;
    DecodeWorker worker;
    ASSERT_TRUE(worker.Begin(gate.name.c_str(), listener.window, kDecoded));
    gate.WaitUntilOpened();
    // Stop cannot return before the decode it waits for has its bytes.
    std::thread opener([&] { gate.Open(RedDocument()); });
    worker.Stop();
    opener.join();
    EXPECT_FALSE(worker.Busy());
    EXPECT_EQ(worker.Finished(true), nullptr);
    EXPECT_FALSE(worker.Begin(gate.name.c_str(), listener.window, kDecoded));
}

} // namespace
