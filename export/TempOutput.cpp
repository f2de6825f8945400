#include "export/TempOutput.h"

#include "base/FileFailure.h"
#include "base/FileSystem.h"
#include "base/FileWriter.h"
#include "base/Text.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// The table is the one piece of process-wide state of the writers: a signal
// handler can reach nothing else. Plain bytes in chunks of fixed size, so the
// handler needs no allocation and no lock. The first chunk is static; when
// every slot is taken (more writers at once than it holds: the converter runs
// one job per core by default) another chunk is chained on. Chunks are never
// freed, so the handler can walk the chain at any moment.
constexpr int kChunkSlots = 64;
constexpr size_t kPathRoom = 4096;
enum SlotState : int { kFree, kFilling, kListed };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kPathRoom];
};

struct Chunk {
    Slot slots[kChunkSlots];
    std::atomic<Chunk*> next{nullptr};
};

Chunk firstChunk;
std::atomic<bool> interrupted{false};
std::atomic<unsigned> serial{0};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
                  std::atomic<Chunk*>::is_always_lock_free,
              "the interrupt handler reads the table without locks");

// The chunk after chunk, chained on when there is none yet; null when memory
// ran out.
Chunk* NextChunk(Chunk& chunk) {
    Chunk* next = chunk.next.load();
    if (next != nullptr)
        return next;
    Chunk* made = new (std::nothrow) Chunk;
    if (made == nullptr)
        return nullptr;
    if (chunk.next.compare_exchange_strong(next, made))
        return made;
    delete made; // another writer chained one on first: next is it
    return next;
}

Slot* SlotAt(int index) {
    Chunk* chunk = &firstChunk;
    for (; index >= kChunkSlots && chunk != nullptr; index -= kChunkSlots)
        chunk = chunk->next.load();
    return chunk != nullptr && index >= 0 ? &chunk->slots[index] : nullptr;
}

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
    int base = 0;
    for (Chunk* chunk = &firstChunk; chunk != nullptr; chunk = NextChunk(*chunk), base += kChunkSlots) {
        for (int i = 0; i < kChunkSlots; ++i) {
            Slot& slot = chunk->slots[i];
            int expected = kFree;
            if (!slot.state.compare_exchange_strong(expected, kFilling))
                continue;
            // Once the handler has run, the path bytes of listed slots must
            // stay as it read them: nothing is copied any more.
            if (interrupted.load()) {
                slot.state.store(kFree);
                return kInterrupted;
            }
            std::memcpy(slot.path, path, length + 1);
            slot.state.store(kListed);
            if (interrupted.load())
                return kInterrupted; // the slot stays listed: the process is ending
            return base + i;
        }
    }
    return kTableFull;
}

void ForgetPending(int slot) {
    if (Slot* listed = slot >= 0 ? SlotAt(slot) : nullptr)
        listed->state.store(kFree);
}

void RemovePendingTemporaries() {
    interrupted.store(true);
    for (Chunk* chunk = &firstChunk; chunk != nullptr; chunk = chunk->next.load())
        for (Slot& slot : chunk->slots)
            if (slot.state.load() == kListed)
                tempoutput::RemoveFileNow(slot.path);
}

void RearmPendingTemporaries() {
    interrupted.store(false);
}

TempOutput::~TempOutput() {
    Discard();
}

bool TempOutput::Open(FileWriter& file, const char* finalPath) {
    filesystem::ClearFailure();
    final.Assign(finalPath);
    // A device or a pipe (/dev/stdout, a fifo) is written as it is: it
    // cannot be replaced, and a temporary beside it would take its place.
    if (filesystem::IsSpecial(finalPath)) {
        direct = true;
        return file.OpenWrite(finalPath);
    }
    direct = false;
    // A name left by an earlier process of the same id is passed over.
    for (int attempt = 0; attempt < 16; ++attempt) {
        BuildTemporaryName(temporary, finalPath, tempoutput::ProcessId(), serial++);
        slot = ListPending(temporary.Text());
        // A temporary the interrupt handler could not find would outlive an
        // interruption: none is made unlisted.
        if (slot < 0) {
            if (slot == kTableFull)
                filesystem::SetFailure(tempoutput::OutOfMemoryError());
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
        const bool taken = filesystem::Exists(temporary.Text());
        ForgetPending(slot);
        slot = -1;
        temporary.Clear();
        if (!taken)
            return false;
    }
    return false;
}

bool TempOutput::Finish(FileWriter& file, bool complete) {
    // The bytes reach the disk before the rename: renamed first, a power cut
    // could leave the final name holding zeros with the previous file gone.
    const bool flushed = direct || !complete || file.Flush();
    const bool closed = file.Close() && flushed;
    if (direct)
        return complete && closed;
    const bool placed =
        complete && closed && !temporary.IsEmpty() && filesystem::Replace(temporary.Text(), final.Text());
    if (placed)
        temporary.Clear();
    Discard();
    return placed;
}

void TempOutput::Discard() {
    if (!temporary.IsEmpty())
        filesystem::Delete(temporary.Text());
    temporary.Clear();
    ForgetPending(slot);
    slot = -1;
}
