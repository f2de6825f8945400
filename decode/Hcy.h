#pragma once
// The HCY colour model of the Hue, Saturation, Color and Luminosity blend
// modes: hue 0 to 1 around the colour wheel (0 red), chroma (largest minus
// smallest channel, 0 to 1) and luma (0.3 red + 0.59 green + 0.11 blue).
// Single-precision arithmetic throughout, as the documents were made with.

#include <cstdint>

struct Hcy {
    float hue;
    float chroma;
    float luma;
};

struct Rgb {
    int red;
    int green;
    int blue;
};

Hcy ToHcy(uint8_t red, uint8_t green, uint8_t blue);
// Channel bytes 0 to 255 of the colour with that hue and chroma at that luma;
// where the colour leaves the gamut the chroma is scaled down, keeping the luma.
Rgb FromHcy(float hue, float chroma, float luma);
// The luma the Color and Luminosity modes take straight from a pixel's bytes.
float LumaOfBytes(uint8_t red, uint8_t green, uint8_t blue);
