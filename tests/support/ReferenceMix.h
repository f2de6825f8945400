#pragma once
// The mix of a colour c onto a target t at weight w (0-255), per channel, in
// the plain integer form the pixel arithmetic is checked against: the
// program computes it without a division, the tests with one.

inline int ReferenceMix(int t, int c, int w) {
    return t + (c - t) * w / 255;
}
