#include "app/PicturesAhead.h"

#include "decode/DocumentHeader.h"
#include "decode/DocumentLoader.h"
#include "decode/LoadingMemory.h"

#include <cstring>
#include <utility>

namespace {

// The bytes of the picture the document at path declares, 0 when its header
// cannot be read (such a file fails at once and holds nothing).
uint64_t DeclaredPictureBytes(const char* path) {
    uint32_t width = 0, height = 0;
    if (!PeekDocumentSize(path, width, height))
        return 0;
    return uint64_t(width) * height * 4;
}

// The bytes reading the document at path on pool holds at most: its
// picture and what the reader holds beside it. 0 when its header cannot be
// read (such a file fails at once).
uint64_t LoadingBytes(const char* path, const WorkPool& pool) {
    DocumentHeader header;
    LoadingMemory loading;
    if (!PeekDocumentHeader(path, header) || !LoadingMemoryOf(header, pool.Size(), loading))
        return 0;
    return loading.picture + loading.beside;
}

bool SameText(const Str& held, const char* text) {
    return text != nullptr && text[0] != '\0' && !held.IsEmpty() && std::strcmp(held.Text(), text) == 0;
}

void AssignOrEmpty(Str& target, const char* text) {
    target.Assign(text != nullptr ? text : "");
}

} // namespace

bool DecodedFile::Holds(const char* file) const {
    return SameText(path, file);
}

void DecodedFile::Clear() {
    path.Clear();
    stamp = FileStamp{};
    loaded = false;
    result = LoadResult();
    picture.Free();
}

void DecodedFile::Swap(DecodedFile& other) {
    path.Swap(other.path);
    std::swap(stamp, other.stamp);
    std::swap(loaded, other.loaded);
    std::swap(result, other.result);
    picture.Swap(other.picture);
}

void DecodeFile(const char* path, DecodedFile& decoded, WorkPool* pool) {
    decoded.path.Assign(path);
    const FileStamp before = FileStamp::Of(path);
    decoded.result = LoadDocument(decoded.picture, path, pool);
    decoded.loaded = bool(decoded.result);
    if (!decoded.loaded) {
        decoded.picture.Free();
        decoded.stamp = FileStamp{};
        return;
    }
    // A file written while it was read may have given a mix of old and new
    // bytes: such a picture is never taken for the file.
    decoded.stamp = before.SameFile(FileStamp::Of(path)) ? before : FileStamp{};
}

void PicturesAhead::Want(const char* showingFile, const char* nextFile, const char* previousFile) {
    AssignOrEmpty(showing, showingFile);
    AssignOrEmpty(next, nextFile);
    AssignOrEmpty(previous, previousFile);
    DropUnwanted();
}

bool PicturesAhead::Show(const char* path, ImageBuffer& image, LoadResult* failure) {
    // From here a picture of path is wanted only as a file beside (the same
    // file may be listed twice).
    showing.Clear();
    const FileStamp now = FileStamp::Of(path);
    bool done = shown.Holds(path) && StillFresh(shown.stamp, now); // on display already, unchanged
    if (!done) {
        DecodedFile* held = Find(path);
        if (held != nullptr && held->loaded && StillFresh(held->stamp, now)) {
            ShowPicture(*held, image); // the slot now holds the picture replaced
            done = true;
        } else {
            if (held != nullptr)
                held->Clear(); // changed since, or failed before: read it again
            // The shown picture stays until the new one is whole (a failed
            // read leaves it); the pictures held ahead give way to the read.
            MakeRoomToRead(LoadingBytes(path, pool));
            DecodedFile fresh;
            DecodeFile(path, fresh, &pool);
            if (fresh.loaded) {
                ShowPicture(fresh, image);
                Keep(fresh);
                done = true;
            } else if (failure != nullptr) {
                *failure = std::move(fresh.result);
            }
        }
    }
    DropUnwanted();
    KeepWithinBudget();
    return done;
}

void PicturesAhead::ShowPicture(DecodedFile& decoded, ImageBuffer& image) {
    image.Swap(decoded.picture);
    shownBytes = image.ByteCount();
    decoded.path.Swap(shown.path);
    std::swap(decoded.stamp, shown.stamp);
    decoded.loaded = !decoded.picture.IsEmpty();
}

void PicturesAhead::Withdraw(ImageBuffer& image) {
    // Showing "nothing" swaps the displayed picture and its description out.
    DecodedFile previousPicture;
    ShowPicture(previousPicture, image);
    Keep(previousPicture);
}

const char* PicturesAhead::NextJob() const {
    if (Busy() || FreeSlotCount() == 0)
        return nullptr;
    // Forward first: stepping on is what a viewer mostly does.
    for (const Str* candidate : {&next, &previous}) {
        const char* path = candidate->Text();
        if (!candidate->IsEmpty() && !shown.Holds(path) && Find(path) == nullptr &&
            FitsBeside(DeclaredPictureBytes(path), Rank(path)))
            return path;
    }
    return nullptr;
}

void PicturesAhead::Started(const char* path) {
    inFlight.path.Assign(path);
    // Room for the picture it will be: farther pictures go now, before the
    // decode takes the memory.
    MakeRoom(DeclaredPictureBytes(path), Rank(path));
}

void PicturesAhead::Accept(DecodedFile& decoded) {
    inFlight.Clear();
    if (!shown.Holds(decoded.path.Text()) && Find(decoded.path.Text()) == nullptr)
        Keep(decoded);
    decoded.Clear();
}

void PicturesAhead::Clear() {
    for (DecodedFile& slot : slots)
        slot.Clear();
    next.Clear();
    previous.Clear();
    showing.Clear();
}

uint64_t PicturesAhead::HeldBytes() const {
    uint64_t bytes = 0;
    for (const DecodedFile& slot : slots)
        bytes += slot.picture.ByteCount();
    return bytes;
}

int PicturesAhead::Held() const {
    int count = 0;
    for (const DecodedFile& slot : slots)
        count += slot.path.IsEmpty() ? 0 : 1;
    return count;
}

bool PicturesAhead::Wanted(const char* path) const {
    return SameText(next, path) || SameText(previous, path) || SameText(showing, path);
}

DecodedFile* PicturesAhead::Find(const char* path) {
    return const_cast<DecodedFile*>(static_cast<const PicturesAhead*>(this)->Find(path));
}

const DecodedFile* PicturesAhead::Find(const char* path) const {
    for (const DecodedFile& slot : slots)
        if (slot.Holds(path))
            return &slot;
    return nullptr;
}

int PicturesAhead::FreeSlotCount() const {
    return kSlots - Held();
}

void PicturesAhead::DropUnwanted() {
    for (DecodedFile& slot : slots)
        if (!slot.path.IsEmpty() && !Wanted(slot.path.Text()))
            slot.Clear();
}

int PicturesAhead::Rank(const char* path) const {
    if (SameText(next, path))
        return 0;
    return SameText(previous, path) ? 1 : 2;
}

bool PicturesAhead::FitsBeside(uint64_t bytes, int rank) const {
    if (budget == 0)
        return true;
    uint64_t taken = shownBytes;
    for (const DecodedFile& slot : slots)
        if (!slot.path.IsEmpty() && Rank(slot.path.Text()) <= rank)
            taken += slot.picture.ByteCount();
    return taken <= budget && bytes <= budget - taken;
}

bool PicturesAhead::MakeRoom(uint64_t bytes, int rank) {
    if (!FitsBeside(bytes, rank))
        return false;
    for (int farthest = 2; farthest > rank; --farthest) {
        if (budget == 0 ||
            (shownBytes <= budget && HeldBytes() <= budget - shownBytes && bytes <= budget - shownBytes - HeldBytes()))
            return true;
        for (DecodedFile& slot : slots)
            if (!slot.path.IsEmpty() && Rank(slot.path.Text()) == farthest)
                slot.Clear();
    }
    return true;
}

void PicturesAhead::MakeRoomToRead(uint64_t bytes) {
    for (int farthest = 2; farthest >= 0; --farthest) {
        if (budget == 0 ||
            (shownBytes <= budget && HeldBytes() <= budget - shownBytes && bytes <= budget - shownBytes - HeldBytes()))
            return;
        for (DecodedFile& slot : slots)
            if (!slot.path.IsEmpty() && Rank(slot.path.Text()) == farthest)
                slot.Clear();
    }
}

void PicturesAhead::KeepWithinBudget() {
    for (int farthest = 2; farthest >= 0; --farthest) {
        if (budget == 0 || (shownBytes <= budget && HeldBytes() <= budget - shownBytes))
            return;
        for (DecodedFile& slot : slots)
            if (!slot.path.IsEmpty() && Rank(slot.path.Text()) == farthest)
                slot.Clear();
    }
}

void PicturesAhead::Keep(DecodedFile& decoded) {
    if (decoded.path.IsEmpty() || !Wanted(decoded.path.Text()) ||
        !MakeRoom(decoded.picture.ByteCount(), Rank(decoded.path.Text()))) {
        decoded.Clear();
        return;
    }
    for (DecodedFile& slot : slots) {
        if (slot.path.IsEmpty()) {
            slot.Swap(decoded);
            return;
        }
    }
    decoded.Clear();
}
