#pragma once
// ImageView: the right-hand pane. It paints the current picture at the
// current scale anchored at its top-left corner, fills the rest with the
// background colour, scrolls by its two window scroll bars or by dragging with
// the left button, and hands three mouse events to the main frame's bindings.

#include "framework/ScrollBar.h"
#include "framework/Window.h"

#include <cstdint>

class ImageBuffer;
class MouseActionSink;
struct Settings;

class ImageView : public Window {
public:
    // The view as a child of parent. It reads the scale and the background
    // colour from settings and paints image; both outlive the view.
    bool CreateView(HWND parent, Settings& settings, const ImageBuffer& image, MouseActionSink& sink);

    // Recomputes both scroll ranges from the picture, the scale and the
    // client size; reset puts both positions back to 0 first.
    void UpdateScroll(bool reset);
    // Scale = percent; the positions are kept (the system shrinks them to the
    // new ranges).
    void SetScale(int32_t percent);
    // One step of the zoom sequence; nothing at all at either end.
    void ZoomStep(bool up);

    bool OnPaint() override;
    bool OnHScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) override;
    bool OnVScroll(uint32_t code, uint32_t thumb, LPARAM scrollBar) override;
    bool OnMouseMove(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnRButtonDown(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnMButtonDown(WPARAM keys, uint32_t x, uint32_t y) override;
    bool OnLButtonDblClk(WPARAM keys, uint32_t x, uint32_t y) override;

    ScrollBar horzBar;
    ScrollBar vertBar;
    // The previous mouse move in client coordinates; x is -1 until the first.
    int32_t lastMouseX = -1;
    int32_t lastMouseY = 0;

private:
    // The scale the arithmetic may use: a value from the settings file of 0
    // or below counts as 100.
    int32_t Scale() const;
    void RunBinding(int event);

    Settings* settings = nullptr;
    const ImageBuffer* image = nullptr;
    MouseActionSink* sink = nullptr;
};
