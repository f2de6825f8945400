// Every colour against a sample of colours: each vector set this processor
// runs against BlendHcyPixels, for the four HCY modes, with every one of the
// 2^24 picture colours under K layer colours and every layer colour over K
// picture colours (K = 16 unless given; greys, primaries and any colours).
// At full weight the pass writes the mode's colour itself, so every byte it
// can make is compared. Takes about a minute and a half of one core at K = 16
// in the optimised build.
//
// First, for every colour, the two steps where the vector passes reach the
// hue's offsets by another road than ToHcy and FromHcy: the hue from the
// byte-order tables (kHueOrders) is ToHcy's to the bit, and the sextant by
// truncation (kSextantNudge) gives the same offsets as the search of
// kHueSextantEnds. The rest of the passes is the scalar arithmetic step for
// step, which the sweep compares.
//
//     check_hcy_passes [K]
#include "pixels/BlendModes.h"
#include "pixels/Hcy.h"
#include "pixels/MixRunPasses.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kColours = size_t(1) << 24;
constexpr size_t kChunk = 1 << 16; // pixels per call: the vector passes' tails stay a small share

uint32_t SampleColour(size_t k) {
    static const uint32_t fixed[] = {0x000000, 0xFFFFFF, 0x808080, 0xFF0000, 0x00FF00, 0x0000FF,
                                     0xFFFF00, 0x00FFFF, 0xFF00FF, 0x010203, 0xFEFDFC};
    if (k < sizeof fixed / sizeof fixed[0])
        return fixed[k];
    uint32_t v = uint32_t(k) * 0x9E3779B1u;
    v ^= v >> 15;
    v *= 0x85EBCA77u;
    return (v ^ (v >> 13)) & 0xFFFFFF;
}

void Put(uint8_t* p, uint32_t colour) {
    p[0] = uint8_t(colour);
    p[1] = uint8_t(colour >> 8);
    p[2] = uint8_t(colour >> 16);
    p[3] = 255;
}

// Picture and layer pixels for colours first .. first + kChunk of the swept
// side, the other side the sample colour.
size_t CheckChunk(uint8_t code, size_t first, uint32_t sample, bool sweepPicture, std::vector<uint8_t>& target,
                  std::vector<uint8_t>& layer, std::vector<uint8_t>& want, std::vector<uint8_t>& got) {
    for (size_t i = 0; i < kChunk; ++i) {
        Put(&target[4 * i], sweepPicture ? uint32_t(first + i) : sample);
        Put(&layer[4 * i], sweepPicture ? sample : uint32_t(first + i));
    }
    want = target;
    BlendHcyPixels(code, want.data(), layer.data(), kChunk, 128);
    size_t wrong = 0;
    for (size_t s = 0; const MixRunPasses* set = MixRunPassesAt(s); ++s) {
        got = target;
        HcyLayerPixelsWith(*set, code, got.data(), layer.data(), kChunk, 128);
        for (size_t i = 0; i < 4 * kChunk; ++i) {
            if (got[i] != want[i] && wrong++ < 10)
                std::printf("%s code %d picture %06X layer %06X byte %zu: %d, one at a time %d\n", set->name, code,
                            unsigned(sweepPicture ? first + i / 4 : sample),
                            unsigned(sweepPicture ? sample : first + i / 4), i % 4, got[i], want[i]);
        }
    }
    return wrong;
}

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The offsets of the hue's sextant at the hue, as FromHcy takes them.
void OffsetsAt(float hue, int sextant, float offset[3]) {
    const float t = 6.0f * (hue - kHueSextants.origin[sextant]);
    for (int c = 0; c < 3; ++c)
        offset[c] = kHueSextants.offsetBase[c][sextant] + kHueSextants.offsetSlope[c][sextant] * t;
}

size_t CheckHueSteps() {
    size_t wrong = 0;
    for (uint32_t colour = 0; colour < kColours; ++colour) {
        const uint8_t r = uint8_t(colour >> 16), g = uint8_t(colour >> 8), b = uint8_t(colour);
        const Hcy want = ToHcy(r, g, b);
        const float fr = float(r) * kHcyInv255, fg = float(g) * kHcyInv255, fb = float(b) * kHcyInv255;
        const float lowPair = fr < fg ? fr : fg, highPair = fr > fg ? fr : fg;
        const float smallest = lowPair < fb ? lowPair : fb, largest = highPair > fb ? highPair : fb;
        const float median = lowPair > (highPair < fb ? highPair : fb) ? lowPair : (highPair < fb ? highPair : fb);
        const int order = (g > r ? 1 : 0) + (b > r ? 2 : 0) + (b > g ? 4 : 0);
        const float chroma = largest - smallest;
        float difference = median - smallest;
        if (std::signbit(kHueOrders.sign[order]))
            difference = -difference;
        const float turn = 60.0f * difference / (chroma > FLT_MIN ? chroma : FLT_MIN);
        const float hue = (turn + kHueOrders.start[order]) * kHcyInv360;
        int sextant = 0;
        while (sextant < 5 && !(want.hue <= kHueSextantEnds[sextant]))
            ++sextant;
        float got[3], offsets[3];
        OffsetsAt(hue, int(hue * 6.0f - kSextantNudge), got);
        OffsetsAt(want.hue, sextant, offsets);
        bool same = SameBits(hue, want.hue) && SameBits(chroma, want.chroma);
        for (int c = 0; c < 3; ++c)
            same = same && SameBits(got[c], offsets[c]);
        if (!same && wrong++ < 10)
            std::printf("colour %06X: hue %a, one at a time %a\n", unsigned(colour), hue, want.hue);
    }
    std::printf("hue steps: %zu colours, %zu differ\n", kColours, wrong);
    return wrong;
}

} // namespace

int main(int argc, char** argv) {
    const size_t samples = argc > 1 ? size_t(std::atoi(argv[1])) : 16;
    std::vector<uint8_t> target(4 * kChunk), layer(4 * kChunk), want, got;
    size_t wrong = CheckHueSteps(), compared = 0;
    for (uint8_t code : {kBlendHue, kBlendSaturation, kBlendColor, kBlendLuminosity}) {
        for (bool sweepPicture : {true, false}) {
            for (size_t k = 0; k < samples; ++k) {
                for (size_t first = 0; first < kColours; first += kChunk) {
                    wrong += CheckChunk(code, first, SampleColour(k), sweepPicture, target, layer, want, got);
                    compared += kChunk;
                }
            }
        }
        std::printf("code %d: %zu pixel pairs compared per set, %zu bytes differ so far\n", code, compared, wrong);
        std::fflush(stdout);
    }
    size_t sets = 0;
    while (MixRunPassesAt(sets))
        ++sets;
    std::printf("%zu sets, %zu pixel pairs each, %zu bytes differ\n", sets, compared, wrong);
    return wrong == 0 ? 0 : 1;
}
