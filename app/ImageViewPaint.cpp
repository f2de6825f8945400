// The view's painting: the picture at its scale, reduced or turned where it
// has to be, the background around it, or the reason a document failed.
#include "app/ImageView.h"

#include "app/Settings.h"
#include "app/UserLanguage.h"
#include "app/ViewGeometry.h"
#include "base/Wide.h"
#include "framework/PictureDib.h"
#include "pixels/ImageBuffer.h"

#include <algorithm>

bool ImageView::OnPaint() {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    if (failure.IsEmpty())
        PaintPicture(dc, clientWidth, clientHeight);
    else
        PaintFailure(dc, clientWidth, clientHeight);
    EndPaint(hwnd, &paint);
    return true;
}

void ImageView::PictureOrigin(int32_t scale, int32_t& left, int32_t& top) {
    int32_t clientWidth = 0, clientHeight = 0;
    GetClientSize(clientWidth, clientHeight);
    const int32_t shownWidth = DisplayedSize(PictureWidth(), scale);
    const int32_t shownHeight = DisplayedSize(PictureHeight(), scale);
    left = shownWidth < clientWidth ? (clientWidth - shownWidth) / 2 : -horzBar.GetPos();
    top = shownHeight < clientHeight ? (clientHeight - shownHeight) / 2 : -vertBar.GetPos();
}

void ImageView::PaintPicture(HDC dc, int32_t clientWidth, int32_t clientHeight) {
    const int32_t scale = ShownScale();
    const int32_t shownWidth = DisplayedSize(PictureWidth(), scale);
    const int32_t shownHeight = DisplayedSize(PictureHeight(), scale);
    // The picture's displayed rectangle in client coordinates: centred where
    // it is smaller than the view, else moved by the scroll position.
    int32_t left = 0, top = 0;
    PictureOrigin(scale, left, top);
    const RECT shown{std::clamp(left, 0, clientWidth), std::clamp(top, 0, clientHeight), std::clamp(left + shownWidth, 0, clientWidth),
                     std::clamp(top + shownHeight, 0, clientHeight)};

    HBRUSH background = CreateSolidBrush(static_cast<COLORREF>(settings->ColBk));
    const RECT bands[4] = {{0, 0, clientWidth, shown.top},
                           {0, shown.bottom, clientWidth, clientHeight},
                           {0, shown.top, shown.left, shown.bottom},
                           {shown.right, shown.top, clientWidth, shown.bottom}};
    for (const RECT& band : bands)
        if (band.right > band.left && band.bottom > band.top)
            FillRect(dc, &band, background);
    DeleteObject(background);
    const int32_t width = shown.right - shown.left;
    const int32_t height = shown.bottom - shown.top;
    if (image->IsEmpty() || width <= 0 || height <= 0)
        return;
    if (!turn.IsIdentity()) {
        PaintTurned(dc, scale, left, top, shown);
        return;
    }

    if (scale < 100) {
        // Drawn 1:1 from the picture reduced once for this size.
        if (const ImageBuffer* small = reduced->Get(*image, shownWidth, shownHeight)) {
            DrawPicture(dc, *small, shown.left, shown.top, width, height, shown.left - left, shown.top - top, width,
                        height);
            return;
        }
        // Without memory for it the system averages, more slowly.
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        // At 100% and above each picture pixel stays a sharp square.
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    // From the first picture column and row that show; the system clips the
    // rest at the client area's edges.
    const int32_t sourceX = int32_t(int64_t(shown.left - left) * 100 / scale);
    const int32_t sourceY = int32_t(int64_t(shown.top - top) * 100 / scale);
    const int32_t x = left + int32_t(int64_t(sourceX) * scale / 100);
    const int32_t y = top + int32_t(int64_t(sourceY) * scale / 100);
    DrawPicture(dc, *image, x, y, DisplayedSize(image->width - sourceX, scale),
                DisplayedSize(image->height - sourceY, scale), sourceX, sourceY, image->width - sourceX,
                image->height - sourceY);
}

bool ImageView::ScratchFor(int32_t width, int32_t height) {
    if (!scratch.IsEmpty() && scratch.width >= width && scratch.height >= height)
        return true;
    // Grown to the larger of each side: a view resized one way and then the
    // other does not make it again on every paint.
    const int32_t newWidth = scratch.width > width ? scratch.width : width;
    const int32_t newHeight = scratch.height > height ? scratch.height : height;
    return scratch.Create(newWidth, newHeight);
}

void ImageView::PaintTurned(HDC dc, int32_t scale, int32_t left, int32_t top, const RECT& shown) {
    const int32_t width = shown.right - shown.left;
    const int32_t height = shown.bottom - shown.top;
    if (scale < 100) {
        // The area filter gives the same pixels to a turned picture as to
        // the picture turned after reducing (its weights are the same each
        // way), so the reduced picture is made as without a turn and only
        // its part that shows is turned.
        const ImageBuffer* small =
            reduced->Get(*image, DisplayedSize(image->width, scale), DisplayedSize(image->height, scale));
        if (small != nullptr && ScratchFor(width, height)) {
            CopyTurned(*small, turn, shown.left - left, shown.top - top, width, height, scratch);
            DrawPicture(dc, scratch, shown.left, shown.top, width, height, 0, 0, width, height);
            return;
        }
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    // The picture columns and rows that show, whole: each picture pixel t
    // covers the displayed pixels from t x scale / 100 on.
    const int64_t s = scale;
    const int32_t firstX = int32_t((int64_t(shown.left) - left) * 100 / s);
    const int32_t firstY = int32_t((int64_t(shown.top) - top) * 100 / s);
    int32_t endX = int32_t(((int64_t(shown.right) - left) * 100 + s - 1) / s);
    int32_t endY = int32_t(((int64_t(shown.bottom) - top) * 100 + s - 1) / s);
    if (endX > PictureWidth())
        endX = PictureWidth();
    if (endY > PictureHeight())
        endY = PictureHeight();
    const int32_t columns = endX - firstX;
    const int32_t rows = endY - firstY;
    if (columns <= 0 || rows <= 0)
        return;
    // Reduced pictures that could not be made take a copy of their own: the
    // part of the picture that shows below 100% is larger than the view.
    ImageBuffer own;
    ImageBuffer* part = &scratch;
    if (scale < 100) {
        if (!own.Create(columns, rows))
            return;
        part = &own;
    } else if (!ScratchFor(columns, rows)) {
        return;
    }
    CopyTurned(*image, turn, firstX, firstY, columns, rows, *part);
    const int32_t x = left + int32_t(firstX * s / 100);
    const int32_t y = top + int32_t(firstY * s / 100);
    DrawPicture(dc, *part, x, y, left + int32_t(endX * s / 100) - x, top + int32_t(endY * s / 100) - y, 0, 0, columns,
                rows);
}

void ImageView::PaintFailure(HDC dc, int32_t clientWidth, int32_t clientHeight) {
    const RECT all{0, 0, clientWidth, clientHeight};
    HBRUSH background = CreateSolidBrush(static_cast<COLORREF>(settings->ColBk));
    FillRect(dc, &all, background);
    DeleteObject(background);
    Str text;
    text.Assign(UserTexts(*settings).loadFailed);
    text.Append("\n");
    text.Append(failure.Text());
    // Black on a light background, white on a dark one.
    const uint32_t colour = uint32_t(settings->ColBk);
    const uint32_t light = (colour & 0xFF) * 3 + ((colour >> 8) & 0xFF) * 6 + ((colour >> 16) & 0xFF);
    SetTextColor(dc, light >= 128 * 10 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ kept = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT measured = all;
    // The text names the file, which may hold any character.
    const std::wstring wide = Widen(text.Text());
    DrawTextW(dc, wide.c_str(), -1, &measured, DT_CALCRECT | DT_NOPREFIX | DT_CENTER);
    const int32_t textHeight = measured.bottom - measured.top;
    RECT place{0, (clientHeight - textHeight) / 2, clientWidth, (clientHeight + textHeight) / 2};
    DrawTextW(dc, wide.c_str(), -1, &place, DT_NOPREFIX | DT_CENTER);
    SelectObject(dc, kept);
}
