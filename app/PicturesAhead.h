#pragma once
// PicturesAhead: the decoded pictures of the files beside the one shown, so
// that stepping to the next or previous file shows a picture decoded
// beforehand instead of reading the file then. It holds at most two pictures
// beside the shown one, each with the stamp its file had when it was decoded,
// and shows one only while its file is still that file, unchanged; otherwise
// the file is read again at once. It decides what to decode next; the
// decoding itself runs wherever the caller likes (the viewer's decode thread,
// DecodeWorker) through DecodeFile, and comes back through Accept. Everything
// else here runs on one thread.
//
// Memory: the picture shown and those held ahead stay within a budget (a
// quarter of the physical memory, as for the conversion dialog's documents
// in flight). A file is decoded ahead only when the picture its header
// declares fits beside the shown one and the nearer ones held; the next file
// counts as nearer than the previous one, since stepping on is what a viewer
// mostly does. When the pictures no longer fit (a larger one is shown), the
// farthest is dropped first. A file read while the user waits makes room
// first for its picture and what its reader holds beside it, the pictures
// held ahead giving way farthest first.

#include "app/FileStamp.h"
#include "pixels/ImageBuffer.h"
#include "decode/LoadResult.h"
#include "base/WorkPool.h"
#include "export/BatchQueue.h"
#include "base/Str.h"

// One file decoded, or tried.
struct DecodedFile {
    Str path;            // empty: nothing held
    FileStamp stamp;     // taken before the decode; not existing when the file changed during it
    bool loaded = false; // picture holds the whole document
    LoadResult result;   // what the load came to
    ImageBuffer picture;

    bool Holds(const char* file) const;
    void Clear();
    // Exchanges everything with other.
    void Swap(DecodedFile& other);
};

// Decodes the document at path into decoded (path, stamps and picture);
// touches nothing else, so it may run on any thread. pool, when given,
// inflates a large document on its threads.
void DecodeFile(const char* path, DecodedFile& decoded, WorkPool* pool = nullptr);

class PicturesAhead {
public:
    static constexpr int kSlots = 2;

    // memoryBudget: the bytes the shown picture and those held ahead may
    // take together; 0 for no bound. The tests give a small one.
    explicit PicturesAhead(uint64_t memoryBudget = DefaultMemoryBudget()) : budget(memoryBudget) {}

    // Before a file is shown: showing is that file, next and previous the
    // files beside it in the list (null or empty where there is none).
    // Pictures of any other file are dropped.
    void Want(const char* showing, const char* next, const char* previous);
    // Puts the picture of path into image: the one held for it while its
    // file is unchanged, otherwise the file read now. The picture replaced
    // is kept when it is a file beside. False when the file could not be
    // loaded: image is then left as it was, and failure (when given) says
    // why.
    bool Show(const char* path, ImageBuffer& image, LoadResult* failure = nullptr);

    // Takes the picture on display out of image (left empty), after the
    // file selected instead failed to load: it is kept like a picture decoded
    // ahead while its file is beside the selected one.
    void Withdraw(ImageBuffer& image);

    // The file to decode ahead now, or null: a file beside the shown one
    // with nothing held for it, while no decode runs and a slot is free.
    const char* NextJob() const;
    // The caller started decoding path (the result must come to Accept).
    void Started(const char* path);
    bool InFlight(const char* path) const { return inFlight.Holds(path); }
    bool Busy() const { return !inFlight.path.IsEmpty(); }
    // A finished decode: kept when its file is still wanted, else freed.
    // decoded is left empty either way.
    void Accept(DecodedFile& decoded);

    // Drops every picture held ahead (the list was replaced, or the window
    // goes); the shown picture stays described.
    void Clear();
    // The picture on display is no longer its file's as stored (layers
    // hidden in the view): it is never kept for the file, and showing the
    // file again reads it.
    void Disown() { shown.path.Clear(); }
    // The pool a file shown is decoded on, for other decodes of the
    // interface thread.
    WorkPool& Pool() { return pool; }
    // Files held ahead, decoded or failed.
    int Held() const;
    // The bytes of the pictures held ahead.
    uint64_t HeldBytes() const;

private:
    bool Wanted(const char* path) const;
    DecodedFile* Find(const char* path);
    const DecodedFile* Find(const char* path) const;
    int FreeSlotCount() const;
    void DropUnwanted();
    // How near path is to the shown file: 0 for the next one, 1 for the
    // previous one, 2 for any other. Farther pictures give way to nearer ones.
    int Rank(const char* path) const;
    // Whether bytes more fit in the budget beside the shown picture and the
    // pictures held nearer than rank (the farther ones could be dropped).
    bool FitsBeside(uint64_t bytes, int rank) const;
    // Drops the pictures held farther than rank, farthest first, until bytes
    // more fit; false, with nothing dropped, when they cannot.
    bool MakeRoom(uint64_t bytes, int rank);
    // Before a file is read while the user waits: drops the farthest
    // pictures held until bytes more fit beside the shown one and the rest,
    // or none is held.
    void MakeRoomToRead(uint64_t bytes);
    // Drops the farthest pictures until those held fit beside the shown one.
    void KeepWithinBudget();
    // Shows decoded's picture: it goes into image, and decoded takes the
    // picture replaced with the description of what it shows.
    void ShowPicture(DecodedFile& decoded, ImageBuffer& image);
    // Keeps the picture in decoded, if still wanted, in a free slot.
    void Keep(DecodedFile& decoded);

    DecodedFile slots[kSlots];
    // Describes the picture on display (its picture field stays empty: the
    // picture itself is the caller's image).
    DecodedFile shown;
    DecodedFile inFlight; // only its path: the file being decoded elsewhere
    const uint64_t budget;
    uint64_t shownBytes = 0; // of the picture on display
    // A file not decoded ahead is decoded while the user waits, on every
    // core. Files decoded ahead take one thread, so they never hold up this.
    WorkPool pool;
    Str next;
    Str previous;
    Str showing; // the file about to be shown, until Show is done
};
