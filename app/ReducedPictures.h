#pragma once
// ReducedPictures: the picture on display scaled down for the zooms below
// 100%, each made once per picture by the area filter (the thumbnails' own,
// so that thin lines and fine patterns stay grey instead of breaking into
// dots) and then drawn 1:1, so scrolling a reduced view costs a copy only.
// The rows are split into bands that the pool scales at the same time.

#include "pixels/ImageBuffer.h"

#include <cstdint>
#include <memory>
#include <vector>

class WorkPool;

// Scales picture down to outWidth x outHeight (no side larger than the
// picture's, none below 1) into out with the area filter, band by band on
// pool (nullptr: on this thread), the result the same whatever the number
// of bands: they split the output rows evenly where each output row is made
// from its own picture rows, and otherwise start at rows where the output
// rows begin exactly on a picture row. When out already holds a picture of that size, its
// memory is written over rather than made anew: fresh memory costs a page
// fault per page on first touch, which takes longer than the filter itself.
// False on a size outside those bounds or when memory is short; out is then
// empty.
bool ReducePicture(const ImageBuffer& picture, int32_t outWidth, int32_t outHeight, ImageBuffer& out, WorkPool* pool);

class ReducedPictures {
public:
    explicit ReducedPictures(WorkPool* workPool) : pool(workPool) {}

    // The picture changed: every reduced one goes, but their memory is kept
    // for the next picture's levels of the same sizes (stepping through a
    // folder of paintings of one size at one zoom).
    void Clear();
    // picture at outWidth x outHeight, made on first use and kept; nullptr
    // when it cannot be made (the caller then stretches the picture itself).
    const ImageBuffer* Get(const ImageBuffer& picture, int32_t outWidth, int32_t outHeight);

private:
    struct Level {
        int32_t width = 0;
        int32_t height = 0;
        std::unique_ptr<ImageBuffer> picture;
    };
    WorkPool* pool;
    std::vector<Level> levels; // the most recently used last
    // The memory of the levels of earlier pictures, the oldest first. The
    // levels and these together stay within the count of kept levels.
    std::vector<std::unique_ptr<ImageBuffer>> spares;
};
