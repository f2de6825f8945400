#include "export/TempOutput.h"

#include "decode/ByteFile.h"
#include "base/Text.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

// The table is the one piece of process-wide state of the writers: a signal
// handler can reach nothing else. Fixed size and plain bytes, so the handler
// needs no allocation and no lock. 64 slots cover the converter's most jobs,
// each writing one file at a time.
constexpr int kSlots = 64;
constexpr size_t kPathRoom = 4096;
enum SlotState : int { kFree, kFilling, kListed };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kPathRoom];
};

Slot slots[kSlots];
std::atomic<bool> interrupted{false};
std::atomic<unsigned> serial{0};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the interrupt handler reads the table without locks");

constexpr int kTableFull = -1;
constexpr int kInterrupted = -2;

// Longest part of the final name that goes into the temporary's name: with
// the prefix and suffix the name stays within the 255 bytes file systems
// allow, for any final name.
constexpr size_t kNameRoom = 200;

bool IsSeparatorAt(const char* p) {
    return *p == '/' || *p == text::PathSeparator();
}

void BuildTemporaryName(Str& out, const char* finalPath, unsigned long process, unsigned number) {
    // Where the file name starts: after the last separator.
    const char* name = finalPath;
    for (const char* p = finalPath; *p != 0; p = text::NextChar(p))
        if (IsSeparatorAt(p))
            name = p + 1;
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".tmp%lx-%u", process, number);
    // The whole temporary path stays within what the system's calls take as
    // well: beside a final path near that limit the copied part is shorter.
    const size_t fixed = size_t(name - finalPath) + 1 + std::strlen(suffix);
    const size_t pathRoom = tempoutput::PathRoom();
    const size_t room = fixed >= pathRoom ? 0 : pathRoom - fixed < kNameRoom ? pathRoom - fixed : kNameRoom;
    const char* end = name;
    while (*end != 0) {
        const char* next = text::NextChar(end);
        if (size_t(next - name) > room)
            break;
        end = next;
    }
    Str folder;
    folder.Assign(finalPath);
    folder.SetCharAt(int32_t(name - finalPath), 0);
    Str shortName;
    shortName.Assign(name);
    shortName.SetCharAt(int32_t(end - name), 0);
    out.Assign(folder.Text());
    out.AppendChar('.');
    out.Append(shortName.Text());
    out.Append(suffix);
}

} // namespace

int ListPending(const char* path) {
    const size_t length = std::strlen(path);
    if (length >= kPathRoom)
        return kTableFull;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling))
            continue;
        // Once the handler has run, the path bytes of listed slots must stay
        // as it read them: nothing is copied any more.
        if (interrupted.load()) {
            slots[i].state.store(kFree);
            return kInterrupted;
        }
        std::memcpy(slots[i].path, path, length + 1);
        slots[i].state.store(kListed);
        if (interrupted.load())
            return kInterrupted; // the slot stays listed: the process is ending
        return i;
    }
    return kTableFull;
}

void ForgetPending(int slot) {
    if (slot >= 0 && slot < kSlots)
        slots[slot].state.store(kFree);
}

void RemovePendingTemporaries() {
    interrupted.store(true);
    for (Slot& slot : slots)
        if (slot.state.load() == kListed)
            tempoutput::RemoveFileNow(slot.path);
}

void RearmPendingTemporaries() {
    interrupted.store(false);
}

TempOutput::~TempOutput() {
    Discard();
}

bool TempOutput::Open(ByteFile& file, const char* finalPath) {
    ByteFile::ClearFailure();
    final.Assign(finalPath);
    // A device or a pipe (/dev/stdout, a fifo) is written as it is: it
    // cannot be replaced, and a temporary beside it would take its place.
    if (ByteFile::IsSpecial(finalPath)) {
        direct = true;
        return file.OpenWrite(finalPath);
    }
    direct = false;
    // A name left by an earlier process of the same id is passed over.
    for (int attempt = 0; attempt < 16; ++attempt) {
        BuildTemporaryName(temporary, finalPath, tempoutput::ProcessId(), serial++);
        slot = ListPending(temporary.Text());
        if (slot == kInterrupted) {
            slot = -1;
            temporary.Clear();
            return false;
        }
        if (file.OpenNew(temporary.Text())) {
            if (!interrupted.load())
                return true;
            // The handler may have looked before the file existed.
            file.Close();
            Discard();
            return false;
        }
        const bool taken = ByteFile::Exists(temporary.Text());
        ForgetPending(slot);
        slot = -1;
        temporary.Clear();
        if (!taken)
            return false;
    }
    return false;
}

bool TempOutput::Finish(ByteFile& file, bool complete) {
    // The bytes reach the disk before the rename: renamed first, a power cut
    // could leave the final name holding zeros with the previous file gone.
    const bool flushed = direct || !complete || file.Flush();
    const bool closed = file.Close() && flushed;
    if (direct)
        return complete && closed;
    const bool placed = complete && closed && !temporary.IsEmpty() && ByteFile::Replace(temporary.Text(), final.Text());
    if (placed)
        temporary.Clear();
    Discard();
    return placed;
}

void TempOutput::Discard() {
    if (!temporary.IsEmpty())
        ByteFile::Delete(temporary.Text());
    temporary.Clear();
    ForgetPending(slot);
    slot = -1;
}
