#pragma once
// Where a picture's pixels live, settled when a program is linked rather than
// when it is compiled: each program links exactly one definition of these
// two. Plain zeroed heap memory (pixels/PictureMemory_heap.cpp) serves the
// native build and the converter; the framework's bitmap sections
// (framework/PictureSections.cpp) serve the viewer, the shell handlers and the
// Windows tests, so that what is drawn already lives where the display
// driver reads it. The top-level CMakeLists.txt makes the choice.

#include <cstdint>

// Allocates width x height x 4 bytes of zeroed pixel memory, rows without
// gaps, and returns what owns it (handed back to FreePictureMemory); *pixels
// is its first byte. Null, or a null *pixels, on failure.
void* AllocatePictureMemory(int32_t width, int32_t height, uint8_t** pixels);
// Releases what AllocatePictureMemory returned; false when the platform
// refused.
bool FreePictureMemory(void* owner);
