#pragma once
// A 32-bit top-down bitmap selected into a memory context, for painting a
// control into and reading back what it drew. It starts filled with
// kUntouched, so a painter that draws nothing can be told apart.

#include <windows.h>

#include <cstdint>
#include <set>

class Canvas {
public:
    static constexpr uint8_t kUntouched = 0x5A;

    Canvas(int w, int h);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    COLORREF At(int x, int y) const;
    // The colours found in columns [from, to).
    std::set<COLORREF> ColoursIn(int from, int to) const;
    // No byte was painted.
    bool Untouched() const;

    HDC dc = nullptr;
    const int width;
    const int height;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint8_t* bits = nullptr;
};
