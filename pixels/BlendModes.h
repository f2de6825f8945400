#pragma once
// Blend mode codes as stored in a QVM layer record.

#include <cstdint>

enum BlendMode : uint8_t {
    kBlendNormal = 0,
    kBlendMultiply = 1,
    kBlendAdd = 2,
    kBlendSubtract = 3,
    kBlendScreen = 4,
    kBlendOverlay = 5,
    kBlendSoftLight = 6,
    kBlendHardLight = 7,
    kBlendDodge = 8,
    kBlendBurn = 9,
    kBlendLinearBurn = 10,
    kBlendVividLight = 11,
    kBlendLinearLight = 12,
    kBlendPinLight = 13,
    kBlendDifference = 14,
    kBlendLighten = 15,
    kBlendDarken = 16,
    kBlendHue = 17,
    kBlendSaturation = 18,
    kBlendColor = 19,
    kBlendLuminosity = 20,
};
