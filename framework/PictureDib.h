#pragma once
// A picture (pixels/ImageBuffer.h) on the screen and on the clipboard, read
// as the device-independent bitmap its memory already is: 32 bits a pixel,
// bottom-up rows. Any picture memory serves; the viewer's are bitmap sections
// (framework/PictureSections.cpp).

#include <windows.h>

class ImageBuffer;

// Stretches the source rectangle of picture (picture coordinates, y from the
// top) onto the destination rectangle of dc. Draws nothing for an empty
// picture.
void DrawPicture(HDC dc, const ImageBuffer& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh);

// Replaces the clipboard's content with picture as a 24-bit packed DIB
// (CF_DIB), alpha dropped and each row's padding zeroed. False when memory is
// short or the clipboard could not be opened.
bool CopyPictureToClipboard(const ImageBuffer& picture);
