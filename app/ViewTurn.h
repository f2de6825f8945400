#pragma once
// How the image view mirrors and turns the picture it shows: the file and the
// picture in memory stay as they are, only the drawing, the scroll extents,
// the fit and the picture point under the pointer follow the turned size.
// Free of the platform so that every one of the eight turns can be checked
// directly.

#include <cstdint>
#include <string>

class ImageBuffer;

// The picture mirrored left to right first (when mirrored), then turned
// clockwise by quarterTurns quarter turns (0 to 3).
struct ViewTurn {
    bool mirrored = false;
    int32_t quarterTurns = 0;

    bool IsIdentity() const { return !mirrored && quarterTurns == 0; }
    // Whether width and height change places.
    bool SwapsSides() const { return (quarterTurns & 1) != 0; }
};

// A quarter turn to the right (clockwise) or to the left of what is shown.
ViewTurn TurnedRight(ViewTurn turn);
ViewTurn TurnedLeft(ViewTurn turn);
// What is shown mirrored left to right on the screen, whatever its turn: a
// picture turned 90 degrees and then flipped is the mirrored picture turned
// 270 degrees.
ViewTurn Flipped(ViewTurn turn);

// The size of a width x height picture as shown.
int32_t TurnedWidth(ViewTurn turn, int32_t width, int32_t height);
int32_t TurnedHeight(ViewTurn turn, int32_t width, int32_t height);

struct PicturePoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The pixel of a width x height picture shown at (x, y) of the turned
// picture, and the other way round. Both points lie inside their pictures.
PicturePoint SourcePoint(ViewTurn turn, int32_t width, int32_t height, int32_t x, int32_t y);
PicturePoint TurnedPoint(ViewTurn turn, int32_t width, int32_t height, int32_t x, int32_t y);

// The picture pixel under client point (clientX, clientY) of a view that
// shows the turned picture at shownWidth x shownHeight with its left top
// corner at (left, top) in client coordinates (a centring offset, or minus
// the scroll position); false when the point is off the picture.
bool PictureUnderPoint(ViewTurn turn, int32_t width, int32_t height, int32_t shownWidth, int32_t shownHeight,
                       int32_t left, int32_t top, int32_t clientX, int32_t clientY, PicturePoint& point);

// Copies the turned picture's rectangle from (x, y), width x height (turned
// coordinates, inside the turned picture), to the top left corner of out,
// which holds at least that many pixels each way. Every pixel is copied as
// it is, so a turned picture reduced by area holds the same pixels as the
// reduced picture turned.
void CopyTurned(const ImageBuffer& picture, ViewTurn turn, int32_t x, int32_t y, int32_t width, int32_t height,
                ImageBuffer& out);

// "Mirrored", "90°", "Mirrored, 270°" from the user's language's words:
// mirrored alone, turned (a format taking the degrees as %d) and the
// separator between the two; empty for the picture as it is.
std::string TurnText(ViewTurn turn, const char* mirrored, const char* turned, const char* separator);
