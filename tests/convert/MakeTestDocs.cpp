// Writes the documents the converter's end-to-end test runs on:
//   make_test_docs FOLDER            the test folder (see below)
//   make_test_docs --large FILE W H  one large QVM document of three layers
//
// FOLDER receives good documents of every shape the loader reads, broken
// ones, a file of another extension and a subfolder that is not searched.
// a.qvm flattens to its top layer exactly; its picture is stored beside it as
// a.expect (RGB bytes, top row first).

#include "tests/support/DocWriter.h"
#include "tools/ToolArguments.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace docwriter;

namespace {

std::string In(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

Bytes PatternPixels(int w, int h, int seed, bool opaque) {
    Bytes pixels;
    for (int y = 0; y < h; ++y) // bottom row first
        for (int x = 0; x < w; ++x)
            pixels.insert(pixels.end(), {uint8_t(x * 5 + seed), uint8_t(y * 7 + seed), uint8_t((x ^ y) + seed * 3),
                                         uint8_t(opaque ? 255 : (x + y) * 9)});
    return pixels;
}

bool WriteTopLayerDocument(const std::string& folder) {
    const int w = 40, h = 30;
    QvmDocument doc;
    doc.width = w;
    doc.height = h;
    doc.layers = {MakeQvmLayer("paper", SolidPixels(w, h, 200, 10, 10, 255)),
                  MakeQvmLayer("ink", PatternPixels(w, h, 1, true))};
    Bytes expected; // RGB, top row first
    const Bytes& top = doc.layers[1].pixels;
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &top[size_t(y * w + x) * 4];
            expected.insert(expected.end(), {p[2], p[1], p[0]});
        }
    return WriteFile(In(folder, "a.qvm"), WriteQvm(doc)) && WriteFile(In(folder, "a.expect"), expected);
}

bool WriteBlendedDocument(const std::string& path) {
    QvmDocument doc;
    doc.width = 64;
    doc.height = 48;
    doc.layers = {MakeQvmLayer("base", PatternPixels(64, 48, 3, true)),
                  MakeQvmLayer("mul", PatternPixels(64, 48, 9, false), 1, 90),
                  MakeQvmLayer("hue", PatternPixels(64, 48, 20, false), 17, 128)};
    doc.layers[2].flags = 0; // hidden: written by the layer export, not flattened
    return WriteFile(path, WriteQvm(doc));
}

bool WriteMaskDocument(const std::string& path) {
    QvrV0Document doc;
    doc.width = 50;
    doc.height = 20;
    QvrMaskLayer layer;
    layer.color = 0x00336699;
    layer.opacity = 100;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 52; ++x)
            layer.mask.push_back(uint8_t(x * 5 + y));
    doc.layers = {layer};
    return WriteFile(path, WriteQvrV0(doc));
}

bool WriteTileDocument(const std::string& path) {
    QvrV1Document doc;
    doc.width = 130;
    doc.height = 70;
    QvrTileLayer layer;
    layer.x = -10;
    layer.y = 5;
    layer.color = 0x00AA2211;
    for (uint16_t column = 0; column < 3; ++column) {
        QvrTile tile;
        tile.column = column;
        tile.row = column % 2;
        for (int i = 0; i < 4096; ++i)
            tile.coverage.push_back(uint8_t(i * (column + 1)));
        layer.tiles.push_back(tile);
    }
    doc.layers = {layer};
    return WriteFile(path, WriteQvrV1(doc));
}

bool WriteCorruptDocument(const std::string& path) {
    QvmDocument doc;
    doc.width = 8;
    doc.height = 8;
    doc.layers = {MakeQvmLayer("one", PatternPixels(8, 8, 1, true)), MakeQvmLayer("two", PatternPixels(8, 8, 2, true)),
                  MakeQvmLayer("three", PatternPixels(8, 8, 3, true))};
    doc.layers[2].stream = Bytes{0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0x00, 0x01};
    return WriteFile(path, WriteQvm(doc));
}

// Layer names that try to leave the folder, and CP932 names whose second
// byte is 0x5C.
bool WriteNamesDocument(const std::string& path) {
    QvmDocument doc;
    doc.width = 4;
    doc.height = 4;
    const char* names[] = {"..", "..\\..\\evil", "../up", "c:d", "\x95\x5C", "\x83\x5C\x94\x5C"};
    int seed = 0;
    for (const char* name : names)
        doc.layers.push_back(MakeQvmLayer(name, PatternPixels(4, 4, ++seed, false)));
    return WriteFile(path, WriteQvm(doc));
}

bool WriteTestFolder(const std::string& folder) {
    std::filesystem::create_directories(In(folder, "sub"));
    const Bytes text = {'n', 'o', 't', 'e', 's', '\n'};
    return WriteTopLayerDocument(folder) && WriteBlendedDocument(In(folder, "B.QVM")) &&
           WriteMaskDocument(In(folder, "c.qvr")) && WriteTileDocument(In(folder, "d.Qvr")) &&
           WriteNamesDocument(In(folder, "names.qvm")) && WriteCorruptDocument(In(folder, "corrupt.qvm")) &&
           WriteFile(In(folder, "fake.qvm"), text) && WriteFile(In(folder, "notes.txt"), text) &&
           WriteBlendedDocument(In(In(folder, "sub"), "e.qvm"));
}

// A picture with smooth areas and detail, roughly like a painting.
Bytes PaintingLayer(int w, int h, int seed, bool opaque) {
    Bytes pixels(size_t(w) * size_t(h) * 4);
    uint32_t noise = 12345u + uint32_t(seed);
    uint8_t* p = pixels.data();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, p += 4) {
            noise = noise * 1103515245u + 12345u;
            const int grain = int((noise >> 16) & 7);
            p[0] = uint8_t(x * 255 / w + grain);
            p[1] = uint8_t(y * 255 / h + seed * 40);
            p[2] = uint8_t(((x / 50 + y / 50) % 2) * 120 + grain * 3);
            p[3] =
                opaque ? 255 : uint8_t(((x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2)) < w * h / 8 ? 255 : 0);
        }
    return pixels;
}

bool WriteLargeDocument(const std::string& path, int w, int h) {
    QvmDocument doc;
    doc.width = uint16_t(w);
    doc.height = uint16_t(h);
    doc.layers = {MakeQvmLayer("paper", PaintingLayer(w, h, 0, true)),
                  MakeQvmLayer("colour", PaintingLayer(w, h, 1, false), 1, 100),
                  MakeQvmLayer("line", PaintingLayer(w, h, 2, false), 0, 128)};
    return WriteFile(path, WriteQvm(doc));
}

} // namespace

const char kUsage[] = "usage: make_test_docs FOLDER\n"
                      "       make_test_docs --large FILE WIDTH HEIGHT\n"
                      "Writes the converter's test folder, or one large QVM document of three layers.\n"
                      "\n"
                      "  --large     one large document instead of the folder\n"
                      "  -h, --help  this text\n"
                      "\n"
                      "Exit status: 0 when written, 1 when a file could not be written, 2 for bad usage.\n";

int main(int argc, char** argv) {
    std::vector<std::string> args;
    const int early = toolargs::Read(argc, argv, "make_test_docs", kUsage, args, {"--large"});
    if (early != toolargs::kGoOn)
        return early;
    if (args.size() == 1 && args[0] != "--large")
        return WriteTestFolder(args[0]) ? 0 : 1;
    if (args.size() == 4 && args[0] == "--large")
        return WriteLargeDocument(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str())) ? 0 : 1;
    std::fprintf(stderr, "%s", kUsage);
    return toolargs::kBadUsage;
}
