#include "app/ViewTurn.h"

#include "pixels/ImageBuffer.h"

#include <cstdio>
#include <cstring>

namespace {

int32_t Quarter(int32_t turns) {
    return ((turns % 4) + 4) % 4;
}

} // namespace

ViewTurn TurnedRight(ViewTurn turn) {
    turn.quarterTurns = Quarter(turn.quarterTurns + 1);
    return turn;
}

ViewTurn TurnedLeft(ViewTurn turn) {
    turn.quarterTurns = Quarter(turn.quarterTurns + 3);
    return turn;
}

ViewTurn Flipped(ViewTurn turn) {
    // Mirroring what is shown: M R^k = R^-k M, so the mirror joins the
    // picture's own and the turn goes the other way.
    turn.mirrored = !turn.mirrored;
    turn.quarterTurns = Quarter(-turn.quarterTurns);
    return turn;
}

int32_t TurnedWidth(ViewTurn turn, int32_t width, int32_t height) {
    return turn.SwapsSides() ? height : width;
}

int32_t TurnedHeight(ViewTurn turn, int32_t width, int32_t height) {
    return turn.SwapsSides() ? width : height;
}

PicturePoint SourcePoint(ViewTurn turn, int32_t width, int32_t height, int32_t x, int32_t y) {
    // Undo the turn to the mirrored picture (width x height), then the mirror.
    PicturePoint p;
    switch (Quarter(turn.quarterTurns)) {
    case 0:
        p = {x, y};
        break;
    case 1: // (mx, my) was shown at (height - 1 - my, mx)
        p = {y, height - 1 - x};
        break;
    case 2:
        p = {width - 1 - x, height - 1 - y};
        break;
    default: // (mx, my) was shown at (my, width - 1 - mx)
        p = {width - 1 - y, x};
        break;
    }
    if (turn.mirrored)
        p.x = width - 1 - p.x;
    return p;
}

PicturePoint TurnedPoint(ViewTurn turn, int32_t width, int32_t height, int32_t x, int32_t y) {
    if (turn.mirrored)
        x = width - 1 - x;
    switch (Quarter(turn.quarterTurns)) {
    case 0:
        return {x, y};
    case 1:
        return {height - 1 - y, x};
    case 2:
        return {width - 1 - x, height - 1 - y};
    default:
        return {y, width - 1 - x};
    }
}

bool PictureUnderPoint(ViewTurn turn, int32_t width, int32_t height, int32_t shownWidth, int32_t shownHeight,
                       int32_t left, int32_t top, int32_t clientX, int32_t clientY, PicturePoint& point) {
    const int64_t across = int64_t(clientX) - left;
    const int64_t down = int64_t(clientY) - top;
    if (width <= 0 || height <= 0 || across < 0 || down < 0 || across >= shownWidth || down >= shownHeight)
        return false;
    // The displayed pixel's share of the turned picture's side: exact at
    // whole-number zooms, and inside the pixels a reduced pixel averages.
    const int64_t turnedWidth = TurnedWidth(turn, width, height);
    const int64_t turnedHeight = TurnedHeight(turn, width, height);
    int64_t x = across * turnedWidth / shownWidth;
    int64_t y = down * turnedHeight / shownHeight;
    if (x >= turnedWidth)
        x = turnedWidth - 1;
    if (y >= turnedHeight)
        y = turnedHeight - 1;
    point = SourcePoint(turn, width, height, int32_t(x), int32_t(y));
    return true;
}

void CopyTurned(const ImageBuffer& picture, ViewTurn turn, int32_t x, int32_t y, int32_t width, int32_t height,
                ImageBuffer& out) {
    // The shown points of a row lie along a line of the picture: one step of
    // the turned x is a fixed step of the source, so each row is a strided
    // copy from its first pixel.
    for (int32_t row = 0; row < height; ++row) {
        const PicturePoint first = SourcePoint(turn, picture.width, picture.height, x, y + row);
        uint8_t* target = out.TopRow(row);
        if (width == 1) {
            std::memcpy(target, picture.TopRow(first.y) + size_t(first.x) * 4, 4);
            continue;
        }
        const PicturePoint second = SourcePoint(turn, picture.width, picture.height, x + 1, y + row);
        // Picture rows lie bottom-up in memory: one row down is one row back.
        const ptrdiff_t step = ptrdiff_t(second.x - first.x) * 4 - ptrdiff_t(second.y - first.y) * picture.width * 4;
        const uint8_t* source = picture.TopRow(first.y) + size_t(first.x) * 4;
        for (int32_t column = 0; column < width; ++column)
            std::memcpy(target + size_t(column) * 4, source + ptrdiff_t(column) * step, 4);
    }
}

std::string TurnText(ViewTurn turn, const char* mirrored, const char* turned, const char* separator) {
    std::string text;
    if (turn.mirrored)
        text = mirrored;
    const int32_t quarters = Quarter(turn.quarterTurns);
    if (quarters != 0) {
        char degrees[64];
        std::snprintf(degrees, sizeof degrees, turned, int(quarters * 90));
        if (!text.empty())
            text += separator;
        text += degrees;
    }
    return text;
}
