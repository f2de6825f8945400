#include "app/CellThumbnail.h"

#include "base/ByteFile.h"
#include "decode/ThumbnailPicture.h"
#include "decode/ThumbnailScale.h"

CellOutcome MakeCellThumbnail(const char* path, int32_t side, CellPicture& picture, const std::atomic<bool>& cancel) {
    picture = CellPicture{};
    ByteFile file;
    if (!file.OpenRead(path))
        return CellOutcome::Failed;
    int32_t width = 0, height = 0;
    if (!PeekPictureSize(file, width, height))
        return CellOutcome::Failed;
    const ThumbnailSize fit = FitThumbnail(width, height, side);
    if (fit.width < 1 || fit.height < 1)
        return CellOutcome::Failed;
    picture.width = fit.width;
    picture.height = fit.height;
    picture.pixels.assign(size_t(fit.width) * size_t(fit.height) * 4, 0);
    // Memory bounded as one thumbnail of the handler is: several cells are
    // made at once, one per thread of the grid's pool. No time limit, unlike
    // the handler's: the user waits for this grid, on a machine as busy as
    // it may be, and closing it or another folder cancels the work.
    const Deadline deadline = Deadline().OrWhen(cancel);
    const ThumbnailPictureStatus status =
        DrawThumbnail(file, fit, picture.pixels.data(), ptrdiff_t(fit.width) * 4, nullptr, kThumbnailBytes, deadline);
    if (status == ThumbnailPictureStatus::Decoded)
        return CellOutcome::Made;
    picture = CellPicture{};
    return cancel.load() ? CellOutcome::Cancelled : CellOutcome::Failed;
}
