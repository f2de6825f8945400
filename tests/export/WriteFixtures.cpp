// Writes PNG and BMP files of known pictures into a folder, for the checks
// with other programs' decoders (check_writers.py):
//   export_fixtures FOLDER
// Each picture is pattern or noise (tests/export/TestPictures.h) at the size
// in its name: pattern_5x3.png (RGB), pattern_5x3_alpha.png, pattern_5x3.bmp.

#include "export/BmpWriter.h"
#include "export/PngWriter.h"
#include "pixels/ImageBuffer.h"
#include "tests/export/TestPictures.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: export_fixtures FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + testpictures::Sep();
    struct Shape {
        const char* kind;
        int width, height;
    };
    const Shape shapes[] = {{"pattern", 1, 1},
                            {"pattern", 5, 3},
                            {"pattern", 300, 200},
                            {"noise", 400, 300},
                            {"noise", 1, 7},
                            // Large enough to be deflated in bands.
                            {"noise", 1200, 1200}};
    for (const Shape& s : shapes) {
        ImageBuffer image;
        if (!image.Create(s.width, s.height))
            return 1;
        if (std::string(s.kind) == "noise")
            testpictures::Paint(image, testpictures::NoiseAt);
        else
            testpictures::Paint(image, testpictures::PatternAt);
        const std::string stem = folder + s.kind + "_" + std::to_string(s.width) + "x" + std::to_string(s.height);
        if (!SavePng(image, (stem + ".png").c_str(), false) || !SavePng(image, (stem + "_alpha.png").c_str(), true) ||
            !SaveBmp(image, (stem + ".bmp").c_str())) {
            std::fprintf(stderr, "cannot write %s\n", stem.c_str());
            return 1;
        }
    }
    return 0;
}
