#include "app/ReducedPictures.h"
#include "app/ViewGeometry.h"
#include "app/ViewTurn.h"
#include "base/WorkPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <vector>

namespace {

void FillRandom(ImageBuffer& picture, uint32_t seed) {
    std::mt19937 random(seed);
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width * 4; ++x)
            picture.TopRow(y)[x] = uint8_t(random());
}

// The exact area average of one output pixel's channel, by overlaps in
// floating point: what the view must match within rounding.
double ExactAverage(const ImageBuffer& picture, int32_t outWidth, int32_t outHeight, int32_t ox, int32_t oy, int c) {
    const double sx = double(picture.width) / outWidth, sy = double(picture.height) / outHeight;
    double sum = 0;
    for (int32_t y = int32_t(oy * sy); y < picture.height && y < (oy + 1) * sy; ++y) {
        const double h = std::fmin(y + 1, (oy + 1) * sy) - std::fmax(y, oy * sy);
        for (int32_t x = int32_t(ox * sx); x < picture.width && x < (ox + 1) * sx; ++x) {
            const double w = std::fmin(x + 1, (ox + 1) * sx) - std::fmax(x, ox * sx);
            sum += w * h * picture.TopRow(y)[4 * x + c];
        }
    }
    return sum / (sx * sy);
}

TEST(ReducedPicture, MatchesTheExactAreaAverageWhateverTheBands) {
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(97, 120));
    FillRandom(picture, 7);
    // Heights that share many, few and no divisors with 120, on this thread
    // and on pools that split them into bands.
    const int32_t sizes[][2] = {{24, 30}, {48, 60}, {72, 90}, {13, 7}, {96, 119}, {1, 1}, {97, 120}};
    std::vector<std::vector<uint8_t>> alone; // each size made on this thread
    for (unsigned threads : {0u, 1u, 3u}) {
        WorkPool pool(threads == 0 ? 1 : threads);
        for (size_t k = 0; k < std::size(sizes); ++k) {
            const auto& size = sizes[k];
            ImageBuffer out;
            ASSERT_TRUE(ReducePicture(picture, size[0], size[1], out, threads == 0 ? nullptr : &pool));
            ASSERT_EQ(out.width, size[0]);
            // Bands give every pixel exactly as one band does.
            const std::vector<uint8_t> pixels(out.bits, out.bits + out.ByteCount());
            if (threads == 0)
                alone.push_back(pixels);
            else
                EXPECT_EQ(pixels, alone[k]) << size[0] << "x" << size[1] << " on " << threads << " threads";
            double worst = 0;
            for (int32_t y = 0; y < out.height; ++y)
                for (int32_t x = 0; x < out.width; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        const double exact = ExactAverage(picture, size[0], size[1], x, y, c);
                        worst = std::fmax(worst, std::fabs(out.TopRow(y)[4 * x + c] - exact));
                    }
                    EXPECT_EQ(out.TopRow(y)[4 * x + 3], 255);
                }
            // Rounded to the nearest level: never more than half a level off.
            EXPECT_LE(worst, 0.5 + 1e-9) << size[0] << "x" << size[1] << " on " << threads << " threads";
        }
    }
}

TEST(ReducedPicture, AFineCheckerboardTurnsGrey) {
    ImageBuffer board;
    ASSERT_TRUE(board.Create(64, 64));
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x)
            for (int c = 0; c < 4; ++c)
                board.TopRow(y)[4 * x + c] = (x + y) % 2 == 0 ? 0 : 255;
    WorkPool pool(2);
    for (int32_t side : {32, 16}) {
        ImageBuffer out;
        ASSERT_TRUE(ReducePicture(board, side, side, out, &pool));
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x)
                ASSERT_NEAR(out.TopRow(y)[4 * x], 128, 1) << x << "," << y;
    }
}

TEST(ReducedPicture, SizesOutsideThePictureAreRefusedAndLevelsAreKept) {
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(40, 30));
    FillRandom(picture, 3);
    ImageBuffer out;
    EXPECT_FALSE(ReducePicture(picture, 41, 30, out, nullptr));
    EXPECT_FALSE(ReducePicture(picture, 0, 10, out, nullptr));
    EXPECT_TRUE(out.IsEmpty());

    ReducedPictures levels(nullptr);
    const ImageBuffer* half = levels.Get(picture, 20, 15);
    ASSERT_NE(half, nullptr);
    // Asked again after other sizes, the same picture comes back: made once.
    levels.Get(picture, 10, 7);
    levels.Get(picture, 30, 22);
    EXPECT_EQ(levels.Get(picture, 20, 15), half);
    // A fourth level, then sizes that cannot be made: none of the four goes.
    // The picture changes under them (without Clear) to tell a level kept
    // from one made again.
    const int32_t kept[][2] = {{20, 15}, {10, 7}, {30, 22}, {10, 8}};
    std::vector<std::vector<uint8_t>> pixels;
    for (const auto& size : kept) {
        const ImageBuffer* level = levels.Get(picture, size[0], size[1]);
        ASSERT_NE(level, nullptr);
        pixels.emplace_back(level->bits, level->bits + level->ByteCount());
    }
    FillRandom(picture, 4);
    EXPECT_EQ(levels.Get(picture, 50, 15), nullptr);
    EXPECT_EQ(levels.Get(picture, 20, 0), nullptr);
    for (size_t k = 0; k < std::size(kept); ++k) {
        const ImageBuffer* level = levels.Get(picture, kept[k][0], kept[k][1]);
        ASSERT_NE(level, nullptr);
        EXPECT_EQ(std::vector<uint8_t>(level->bits, level->bits + level->ByteCount()), pixels[k]) << k;
    }
    levels.Clear();
    EXPECT_NE(levels.Get(picture, 20, 15), nullptr);
}

TEST(ReducedPicture, ALevelMadeInKeptMemoryShowsOnlyTheNewPicture) {
    // Each step: the picture's size and seed, and whether the level's memory
    // is the last picture's, kept through Clear.
    struct Step {
        int32_t width, height;
        uint32_t seed;
        bool sameMemory;
    };
    const Step steps[] = {
        {40, 30, 1, false}, // the first picture: fresh memory
        {40, 30, 2, true},  // the next of the same size
        {40, 30, 2, true},  // the same picture loaded again
        {42, 30, 3, false}, // wider: the level's size changes
        {40, 30, 4, false}, // back to the first size, in memory kept from two pictures ago
    };
    WorkPool pool(2);
    ReducedPictures levels(&pool);
    const ImageBuffer* last = nullptr;
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.width << "x" << step.height << " seed " << step.seed);
        ImageBuffer picture;
        ASSERT_TRUE(picture.Create(step.width, step.height));
        FillRandom(picture, step.seed);
        const int32_t outWidth = step.width * 3 / 4, outHeight = step.height / 2;
        levels.Clear();
        // Another zoom first, so that the kept memory is not simply the last.
        ASSERT_NE(levels.Get(picture, step.width / 4, step.height / 4), nullptr);
        const ImageBuffer* level = levels.Get(picture, outWidth, outHeight);
        ASSERT_NE(level, nullptr);
        EXPECT_EQ(level == last, step.sameMemory);
        last = level;
        ImageBuffer fresh;
        ASSERT_TRUE(ReducePicture(picture, outWidth, outHeight, fresh, nullptr));
        ASSERT_EQ(level->width, outWidth);
        ASSERT_EQ(level->height, outHeight);
        EXPECT_TRUE(std::equal(fresh.bits, fresh.bits + fresh.ByteCount(), level->bits));
    }
}

TEST(ReducedPicture, TurningTheReducedPictureGivesTheReducedTurnedPicture) {
    // The view reduces the picture as it is and turns the part that shows:
    // that must be the very pixels of the turned picture reduced, at the
    // finer zooms' uneven ratios as at the others.
    ImageBuffer picture;
    ASSERT_TRUE(picture.Create(53, 31));
    FillRandom(picture, 11);
    for (bool mirrored : {false, true})
        for (int32_t quarters = 0; quarters < 4; ++quarters) {
            const ViewTurn turn{mirrored, quarters};
            const int32_t turnedWidth = TurnedWidth(turn, 53, 31), turnedHeight = TurnedHeight(turn, 53, 31);
            ImageBuffer turned;
            ASSERT_TRUE(turned.Create(turnedWidth, turnedHeight));
            CopyTurned(picture, turn, 0, 0, turnedWidth, turnedHeight, turned);
            for (int32_t scale : {25, 33, 50, 67, 75}) {
                ImageBuffer small, smallTurned, reducedTurned;
                ASSERT_TRUE(ReducePicture(picture, DisplayedSize(53, scale), DisplayedSize(31, scale), small, nullptr));
                const int32_t w = DisplayedSize(turnedWidth, scale), h = DisplayedSize(turnedHeight, scale);
                ASSERT_TRUE(ReducePicture(turned, w, h, reducedTurned, nullptr));
                ASSERT_TRUE(smallTurned.Create(w, h));
                CopyTurned(small, turn, 0, 0, w, h, smallTurned);
                int wrong = 0;
                for (int32_t y = 0; y < h; ++y)
                    for (int32_t x = 0; x < w * 4; ++x)
                        wrong += smallTurned.TopRow(y)[x] != reducedTurned.TopRow(y)[x];
                EXPECT_EQ(wrong, 0) << (mirrored ? "mirrored " : "") << quarters * 90 << " at " << scale;
            }
        }
}

} // namespace
