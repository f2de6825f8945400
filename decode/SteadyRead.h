#pragma once
// Reading a file that another program may be saving over. Documents are
// opened sharing writes and deletion (the paint program must be able to save
// while the viewer reads), so a read can meet a save half-way and decode a
// picture that is half old, half new. The file's stamp before and after the
// read tells: a changed file is read once more, and when it changes again the
// read fails instead of handing on a torn picture.

#include <functional>

class ByteFile;

enum class SteadyResult {
    Read,    // the read succeeded on a file that did not change meanwhile
    Failed,  // the file could not be opened, or the read failed unchanged
    Changed, // the file changed during each of the two reads
};

// Opens path and runs read on it, again when the file changed during it.
// read is given the file at its start.
SteadyResult ReadSteadily(const char* path, const std::function<bool(ByteFile&)>& read);
