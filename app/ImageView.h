#pragma once
// ImageView: the right-hand pane. It paints the current picture at the
// current scale, centred when it is smaller than the view, fills the rest
// with the background colour, and scrolls by its scroll bars (shown only in
// a direction that scrolls) or by dragging with the left button. Below 100%
// it draws the picture area-averaged (ReducedPictures). A document that
// failed to load is named in the view with the reason. It hands three mouse
// events to the main frame's bindings.

#include "app/ReducedPictures.h"
#include "app/StepPlace.h"
#include "app/ViewTurn.h"
#include "framework/ScrollBar.h"
#include "base/Str.h"
#include "framework/Window.h"

#include <cstdint>
#include <memory>

class MouseActionSink;
class WorkPool;
struct Settings;

class ImageView : public Window {
public:
    ImageView();
    ~ImageView();

    // The view as a child of parent. It reads the scale and the background
    // colour from settings and paints image; both outlive the view.
    bool CreateView(HWND parent, Settings& settings, const ImageBuffer& image, MouseActionSink& sink);

    // Recomputes both scroll ranges from the picture, the scale and the
    // client size; reset (a new picture) puts both positions back to 0 and
    // drops the reduced pictures of the one before.
    void UpdateScroll(bool reset);
    // The picture was replaced by another of the same document (layers
    // shown or hidden, the file read again): the reduced pictures of the old
    // one go, while the zoom and the scroll positions stay.
    void PictureReplaced();
    // Where the view stands in the picture, and a new picture shown at that
    // place (ImageViewPlace.cpp): stepping keeps the zoom's place.
    StepPlace Place();
    void ShowAtPlace(const StepPlace& place);
    // A fixed zoom in percent, keeping the view's centre where it is.
    void SetScale(int32_t percent);
    // The picture fitted to the view, kept through resizes and new pictures
    // until another zoom is chosen. A picture smaller than the view is
    // enlarged to fit where the settings say so (FitEnlarge in the window,
    // FitEnlargeFullScreen in full screen).
    void FitToWindow();
    // One step of the zoom sequence about the view's centre; nothing at all
    // at either end.
    void ZoomStep(bool up);
    // One step about the point at (x, y), client coordinates of the view.
    void ZoomStepAt(bool up, int32_t x, int32_t y);
    // The scale in use, the fitted one included.
    int32_t ShownScale();

    // The view mirrored and turned (for this session only): the picture in
    // memory stays as it is. The picture point at the view's centre stays
    // there.
    void SetTurn(ViewTurn next);
    ViewTurn Turn() const { return turn; }
    // Full screen fits by its own setting.
    void SetFullScreen(bool on);
    // The colour of the picture shown under the pointer (red, green, blue);
    // false when the pointer is off the picture or not over the view.
    bool ColourUnderPointer(uint8_t (&rgb)[3]);

    // Shows reason (with the load-failure message) instead of a picture;
    // an empty reason goes back to the picture.
    void ShowFailure(const char* reason);
    const Str& Failure() const { return failure; }

    bool OnPaint() override;
    bool OnHScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) override;
    bool OnVScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) override;
    bool OnMouseMove(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnRButtonDown(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnMButtonDown(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnLButtonDblClk(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnMouseLeave() override;

    ScrollBar horzBar;
    ScrollBar vertBar;
    // The previous mouse move in client coordinates; x is -1 until the first.
    int32_t lastMouseX = -1;
    int32_t lastMouseY = 0;

private:
    // The client size with no scroll bar shown, and the bars' thickness.
    void FullClientSize(int32_t& width, int32_t& height);
    void BarThickness(int32_t& width, int32_t& height);
    // Zooms to percent (or fits) keeping the picture point under (x, y).
    void ZoomTo(int32_t percent, bool fit, int32_t x, int32_t y);
    // The picture's size as shown: turned, and its sides swapped by a
    // quarter turn.
    int32_t PictureWidth() const;
    int32_t PictureHeight() const;
    // Where the shown picture's left top corner lies in client coordinates
    // (centred, or moved by the scroll position), at scale.
    void PictureOrigin(int32_t scale, int32_t& left, int32_t& top);
    void PaintPicture(HDC dc, int32_t clientWidth, int32_t clientHeight);
    // The turned picture's part in shown (client-clipped) from a copy
    // turned at draw time, so that only what shows is ever turned.
    void PaintTurned(HDC dc, int32_t scale, int32_t left, int32_t top, const RECT& shown);
    // A turned copy of at least width x height pixels in scratch.
    bool ScratchFor(int32_t width, int32_t height);
    void PaintFailure(HDC dc, int32_t clientWidth, int32_t clientHeight);
    void RunBinding(int event);

    Settings* settings = nullptr;
    const ImageBuffer* image = nullptr;
    MouseActionSink* sink = nullptr;
    std::unique_ptr<WorkPool> pool; // made with the window: no thread before the program runs
    std::unique_ptr<ReducedPictures> reduced;
    Str failure;
    ViewTurn turn;
    bool fullScreen = false;
    ImageBuffer scratch; // the turned part of the picture painted last, kept for the next paint
    // The pointer over the view, in client coordinates, while it is there.
    bool pointerOver = false;
    int32_t pointerX = 0;
    int32_t pointerY = 0;
};
