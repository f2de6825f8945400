#include "app/ReducedPictures.h"

#include "base/WorkPool.h"
#include "pixels/AreaReduce.h"

#include <algorithm>
#include <numeric>

namespace {

// The zooms below 100% plus one fitted size: what a user flips between.
// Each further size drops the one used longest ago.
constexpr size_t kKeptLevels = 4;

// One band: output rows [firstOut, firstOut + outRows), from the whole
// picture (anyRows) or from picture rows [firstRow, firstRow + rows) scaled
// on their own.
class ReduceBand : public WorkJob {
public:
    const ImageBuffer* picture = nullptr;
    ImageBuffer* out = nullptr;
    bool anyRows = false;
    int32_t firstRow = 0, rows = 0, firstOut = 0, outRows = 0;
    bool done = false;

    void Run(const std::atomic<bool>& cancelled) override {
        // The output is stored bottom-up as every picture: its top row is
        // the last in memory, and the next row down lies one row before; so
        // are the picture's.
        const ptrdiff_t stride = -ptrdiff_t(out->width) * 4;
        const ptrdiff_t sourceStride = -ptrdiff_t(picture->width) * 4;
        if (anyRows)
            done = ReduceRowsByArea(picture->TopRow(0), sourceStride, picture->width, picture->height, out->width,
                                    out->height, firstOut, outRows, out->TopRow(firstOut), stride, cancelled);
        else
            done = ReduceByArea(picture->TopRow(firstRow), sourceStride, picture->width, rows, out->width, outRows,
                                out->TopRow(firstOut), stride, cancelled);
    }
};

bool SizeFits(const ImageBuffer& picture, int32_t outWidth, int32_t outHeight) {
    return !picture.IsEmpty() && outWidth >= 1 && outHeight >= 1 && outWidth <= picture.width &&
           outHeight <= picture.height;
}

} // namespace

bool ReducePicture(const ImageBuffer& picture, int32_t outWidth, int32_t outHeight, ImageBuffer& out, WorkPool* pool) {
    if (!SizeFits(picture, outWidth, outHeight)) {
        out.Free();
        return false;
    }
    // Every output pixel is written below, so memory of the right size is
    // taken as it is.
    if ((out.IsEmpty() || out.width != outWidth || out.height != outHeight) && !out.Create(outWidth, outHeight))
        return false;
    // Where the area filter's own sums make the picture, every output row
    // is made from its own picture rows, and a band may start at any of
    // them. The row filter instead takes a band's rows as a picture of their
    // own: output row boundaries fall on picture row boundaries every
    // height / g picture rows (g the greatest common divisor of the two
    // heights), and a band made of such whole units sees exactly the
    // weights the whole picture would give it.
    const bool anyRows = ReducesByAreaItself(picture.width, picture.height, outWidth, outHeight);
    const int64_t units = anyRows ? outHeight : std::gcd(picture.height, outHeight);
    const int64_t unitRows = anyRows ? 0 : picture.height / units;
    const int64_t unitOut = outHeight / units;
    const int64_t threads = pool != nullptr ? int64_t(pool->Size()) : 1;
    const int64_t bands = std::min<int64_t>(units, threads);
    std::vector<ReduceBand> jobs(static_cast<size_t>(bands));
    int64_t unit = 0;
    for (int64_t b = 0; b < bands; ++b) {
        const int64_t take = (units - unit) / (bands - b);
        ReduceBand& job = jobs[size_t(b)];
        job.picture = &picture;
        job.out = &out;
        job.anyRows = anyRows;
        job.firstRow = int32_t(unit * unitRows);
        job.rows = int32_t(take * unitRows);
        job.firstOut = int32_t(unit * unitOut);
        job.outRows = int32_t(take * unitOut);
        unit += take;
    }
    bool ok = true;
    if (pool != nullptr) {
        for (size_t b = 1; b < jobs.size(); ++b)
            pool->Post(jobs[b]);
        jobs[0].Run(std::atomic<bool>(false));
        for (size_t b = 1; b < jobs.size(); ++b)
            pool->Wait(jobs[b]);
    } else {
        jobs[0].Run(std::atomic<bool>(false));
    }
    for (const ReduceBand& job : jobs)
        ok = ok && job.done;
    if (!ok)
        out.Free();
    return ok;
}

void ReducedPictures::Clear() {
    for (Level& level : levels)
        spares.push_back(std::move(level.picture));
    levels.clear();
}

const ImageBuffer* ReducedPictures::Get(const ImageBuffer& picture, int32_t outWidth, int32_t outHeight) {
    for (size_t i = 0; i < levels.size(); ++i) {
        if (levels[i].width == outWidth && levels[i].height == outHeight) {
            std::rotate(levels.begin() + ptrdiff_t(i), levels.begin() + ptrdiff_t(i) + 1, levels.end());
            return levels.back().picture.get();
        }
    }
    // A size that cannot be made takes no room from the kept levels.
    if (!SizeFits(picture, outWidth, outHeight))
        return nullptr;
    Level level;
    level.width = outWidth;
    level.height = outHeight;
    const auto same = std::find_if(spares.begin(), spares.end(), [&](const std::unique_ptr<ImageBuffer>& spare) {
        return spare->width == outWidth && spare->height == outHeight;
    });
    if (same != spares.end()) {
        level.picture = std::move(*same);
        spares.erase(same);
    } else {
        // Room is made before the new memory is taken, so that no more than
        // the kept levels' memory is ever held: first the oldest spare, whose
        // size the pictures since have not asked for, then the level used
        // longest ago.
        if (levels.size() + spares.size() >= kKeptLevels) {
            if (!spares.empty())
                spares.erase(spares.begin());
            else
                levels.erase(levels.begin());
        }
        level.picture = std::make_unique<ImageBuffer>();
    }
    if (!ReducePicture(picture, outWidth, outHeight, *level.picture, pool))
        return nullptr;
    levels.push_back(std::move(level));
    return levels.back().picture.get();
}
