#pragma once
// Loads one document the way a hostile-input check wants it loaded: twice,
// first into an empty picture and then into one that already holds a
// picture, and compares the two. A load must not depend on the target's
// earlier picture nor on anything an earlier load left behind (a stale blend
// table, a buffer of the previous layer), so both must give the same outcome
// and, when a picture was made, the same bytes. A third load reads it on a
// work pool whatever its size, and a fourth from the file's bytes in memory;
// both must agree with them as well, the reason a failed load gives
// included.

#include <cstdint>
#include <string>

struct DocProbe {
    bool loaded = false;
    std::string reason; // why the load failed, as the first load said it
    int32_t width = 0;  // of the picture left in the target; 0 when empty
    int32_t height = 0;
    std::string problem; // empty when the two loads agreed
};

DocProbe ProbeDocument(const char* path);
