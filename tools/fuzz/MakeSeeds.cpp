// Writes the fuzz targets' seed inputs, made with the test document writer:
//   make_fuzz_seeds FOLDER
// fills FOLDER/qvm (every blend mode, on small layers and on layers large
// enough for the blend table, codes past the last one, hidden layers,
// stored and compressed streams, extra header and record bytes, streams cut
// short), FOLDER/qvr (version 0 masks and flattened pictures, version 1 with
// plain and compressed tiles on and off every edge) and FOLDER/str (scripts
// over Windows, slash and CP932 paths and quoted command lines) and
// FOLDER/export (layer names that try to leave the folder), FOLDER/mix
// (pixel passes) and FOLDER/settings (settings files).

#include "tools/ToolArguments.h"
#include "tests/support/DocWriter.h"
#include "tests/support/StrScript.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace docwriter;

namespace {

std::string folder;
int failures = 0;

void Save(const std::string& name, const Bytes& bytes) {
    if (!WriteFile(folder + "/" + name, bytes)) {
        std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name.c_str());
        ++failures;
    }
}

// Pixels that differ from one to the next in every channel and in alpha, so
// every blend formula sees a spread of values.
Bytes Gradient(int width, int height, int seed) {
    Bytes out;
    for (int i = 0; i < width * height; ++i) {
        out.push_back(uint8_t(seed + 37 * i));
        out.push_back(uint8_t(seed * 3 + 61 * i));
        out.push_back(uint8_t(255 - 23 * i));
        out.push_back(uint8_t(i % 3 == 0 ? 255 : 40 * i + seed));
    }
    return out;
}

Bytes Coverage(size_t count, int seed) {
    Bytes out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = uint8_t(i * 7 + seed);
    return out;
}

void WriteQvmSeeds() {
    const int w = 8, h = 6;
    for (int mode = 0; mode <= 22; ++mode) {
        QvmDocument doc;
        doc.width = w;
        doc.height = h;
        doc.layers.push_back(MakeQvmLayer("base", Gradient(w, h, 11), 0, 128));
        doc.layers.push_back(MakeQvmLayer("top", Gradient(w, h, mode), uint8_t(mode), uint8_t(40 + 4 * mode)));
        doc.layers.push_back(MakeQvmLayer("again", Gradient(w, h, 200 - mode), uint8_t(mode), 128));
        char name[32];
        std::snprintf(name, sizeof name, "mode-%02d.qvm", mode);
        Save(name, WriteQvm(doc));
    }

    // Layers of 150 x 150 pixels are large enough to be blended through the
    // table (smaller ones are blended entry by entry), so every table mode
    // builds its table once here, after a layer of another mode.
    const int big = 150;
    for (int mode = 0; mode <= 21; ++mode) {
        QvmDocument doc;
        doc.width = big;
        doc.height = big;
        doc.layers.push_back(MakeQvmLayer("base", Gradient(big, big, 3), uint8_t(mode == 1 ? 4 : 1), 128));
        doc.layers.push_back(MakeQvmLayer("top", Gradient(big, big, 5 * mode), uint8_t(mode), 90));
        char name[32];
        std::snprintf(name, sizeof name, "table-%02d.qvm", mode);
        Save(name, WriteQvm(doc));
    }

    QvmDocument odd;
    odd.width = 5;
    odd.height = 3;
    odd.headerExtra = {1, 2, 3, 4, 5, 6};
    odd.block = {9, 8, 7, 6, 5};
    QvmLayer hidden = MakeQvmLayer("hidden", Gradient(5, 3, 3), 1, 128);
    hidden.flags = 0;
    hidden.recordExtra = {0xAA, 0xBB, 0xCC, 0xDD};
    odd.layers.push_back(hidden);
    QvmLayer stored = MakeQvmLayer("stored", Gradient(5, 3, 4), 255, 200);
    stored.recordExtra = {1, 2, 3, 4};
    stored.stream = Compress(stored.pixels, 0);
    odd.layers.push_back(stored);
    QvmLayer packed = MakeQvmLayer("packed-with-a-name-of-32-bytes!!", Gradient(5, 3, 5), 17, 128);
    packed.recordExtra = {5, 6, 7, 8};
    packed.stream = Compress(packed.pixels, 9);
    packed.trailing = {0, 0, 0};
    odd.layers.push_back(packed);
    Save("extras.qvm", WriteQvm(odd));

    QvmDocument cut;
    cut.width = 4;
    cut.height = 4;
    QvmLayer shortLayer = MakeQvmLayer("short", Gradient(2, 2, 8), 6, 100);
    cut.layers.push_back(shortLayer);
    QvmLayer truncated = MakeQvmLayer("truncated", Gradient(4, 4, 9), 19, 128);
    Bytes stream = Compress(truncated.pixels);
    stream.resize(stream.size() / 2);
    truncated.stream = stream;
    cut.layers.push_back(truncated);
    Save("short-streams.qvm", WriteQvm(cut));

    QvmDocument empty;
    empty.width = 3;
    empty.height = 2;
    Save("no-layers.qvm", WriteQvm(empty));
}

void WriteQvrV0Seeds() {
    QvrV0Document masks;
    masks.width = 7; // rows padded to 8 bytes
    masks.height = 5;
    for (int i = 0; i < 3; ++i) {
        QvrMaskLayer layer;
        layer.opacity = uint8_t(60 + 50 * i);
        layer.flags = i == 1 ? 0 : 1;
        layer.color = 0x00102030u * uint32_t(i + 1);
        layer.mask = Coverage(8 * 5, i);
        if (i == 2)
            layer.stream = Compress(layer.mask, 0);
        masks.layers.push_back(layer);
    }
    Save("v0-masks.qvr", WriteQvrV0(masks));

    QvrV0Document flat;
    flat.width = 6;
    flat.height = 4;
    flat.flattened = Gradient(6, 4, 21);
    Save("v0-flattened.qvr", WriteQvrV0(flat));

    QvrV0Document shortMask;
    shortMask.width = 9;
    shortMask.height = 3;
    QvrMaskLayer layer;
    layer.color = 0x00FF8000;
    layer.mask = Coverage(12, 5); // one row of three
    shortMask.layers.push_back(layer);
    Save("v0-short-mask.qvr", WriteQvrV0(shortMask));
}

QvrTile Tile(uint16_t column, uint16_t row, int seed, bool plain) {
    QvrTile tile;
    tile.column = column;
    tile.row = row;
    tile.coverage = Coverage(4096, seed);
    tile.plain = plain;
    return tile;
}

void WriteQvrV1Seeds() {
    QvrV1Document doc;
    doc.width = 100;
    doc.height = 70;
    QvrTileLayer inside;
    inside.color = 0x00204080;
    inside.opacity = 100;
    inside.tiles.push_back(Tile(0, 0, 1, false));
    inside.tiles.push_back(Tile(1, 0, 2, true));
    inside.tiles.push_back(Tile(1, 1, 3, false));
    doc.layers.push_back(inside);
    QvrTileLayer shifted;
    shifted.x = -30;
    shifted.y = -50;
    shifted.color = 0x00FF0000;
    shifted.tiles.push_back(Tile(0, 0, 4, false));
    shifted.tiles.push_back(Tile(2, 1, 5, false));
    doc.layers.push_back(shifted);
    QvrTileLayer hidden;
    hidden.flags = 0;
    hidden.tiles.push_back(Tile(0, 0, 6, true));
    doc.layers.push_back(hidden);
    Save("v1-tiles.qvr", WriteQvrV1(doc));

    QvrV1Document extras;
    extras.width = 64;
    extras.height = 64;
    extras.block = {1, 2, 3};
    extras.headerExtra = {4, 5, 6, 7};
    QvrTileLayer layer;
    layer.x = 40;
    layer.y = 40;
    layer.opacity = 255;
    layer.recordExtra = {8, 9};
    layer.tiles.push_back(Tile(0, 0, 7, false));
    layer.tiles.push_back(Tile(65535, 65535, 8, false)); // far outside
    extras.layers.push_back(layer);
    Save("v1-extras.qvr", WriteQvrV1(extras));

    QvrV1Document shortTile;
    shortTile.width = 20;
    shortTile.height = 20;
    QvrTileLayer partial;
    QvrTile tile = Tile(0, 0, 9, false);
    tile.data = Compress(Coverage(1000, 9));
    partial.tiles.push_back(tile);
    shortTile.layers.push_back(partial);
    Save("v1-short-tile.qvr", WriteQvrV1(shortTile));
}

// Documents whose layer names try to leave the folder or break the file
// name: parent references, separators of both kinds, drive letters, CP932
// lead bytes in front of separators and at the end of a name, a 32-byte name
// without NUL, and more than 100 layers (three-digit numbers).
void WriteExportSeeds() {
    const std::vector<std::string> names = {"..",
                                            "../up",
                                            "..\\up",
                                            "a/b\\c",
                                            "C:\\x",
                                            ":stream",
                                            "\x81\\..\\x",
                                            "\x81/../x",
                                            "ends in a lead byte \x81",
                                            "\x95\x5C\x95\x5C.\x83\x5C",
                                            "...",
                                            ".hidden",
                                            "",
                                            std::string(31, 'n') + "\x81"};
    QvmDocument doc;
    doc.width = 6;
    doc.height = 4;
    int seed = 0;
    for (const std::string& name : names)
        doc.layers.push_back(MakeQvmLayer(name.c_str(), Gradient(6, 4, seed++), 0, 128));
    Save("hostile-names.qvm", WriteQvm(doc));

    QvmDocument many;
    many.width = 2;
    many.height = 2;
    for (int i = 0; i < 102; ++i)
        many.layers.push_back(MakeQvmLayer("layer", Gradient(2, 2, i), 0, 128));
    Save("102-layers.qvm", WriteQvm(many));

    QvmDocument shortOne;
    shortOne.width = 4;
    shortOne.height = 3;
    shortOne.layerCount = 3; // one record missing
    shortOne.layers.push_back(MakeQvmLayer("first", Gradient(4, 3, 1), 0, 128));
    shortOne.layers.push_back(MakeQvmLayer("second", Gradient(2, 1, 2), 0, 128));
    Save("missing-record.qvm", WriteQvm(shortOne));
}

// Inputs of the pixel-pass check (tests/support/MixCheck.h): every pass, the
// formula pass with every code, opacities at and past full, and pixel counts
// on both sides of the four-pixel vector step.
void WriteMixSeeds() {
    int n = 0;
    const uint8_t opacities[] = {0, 64, 128, 129, 255};
    for (int pass = 0; pass < 7; ++pass) {
        for (int code = 0; code < (pass == 2 ? 23 : pass == 6 ? 4 : 1); ++code) {
            const size_t pixels[] = {1, 4, 7, 37};
            Bytes input = {uint8_t(pass), uint8_t(code), opacities[n % 5], 0x10, 0x80, 0xF0, 0};
            const size_t count = pixels[n % 4];
            for (size_t i = 0; i < count * 12; ++i)
                input.push_back(uint8_t(i * 73 + n * 19 + (i % 7 == 0 ? 255 : 0)));
            Save("mix-" + std::to_string(n++) + ".bin", input);
        }
    }
}

// A script: the operation bytes, then the texts, each ended by NUL.
Bytes Script(const Bytes& ops, const std::vector<std::string>& texts) {
    Bytes out;
    out.push_back(uint8_t(ops.size()));
    Append(out, ops);
    for (const std::string& text : texts) {
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
    return out;
}

void WriteStrSeeds() {
    const Bytes pathOps = {kStrOpAssign,
                           0,
                           kStrOpGetFileName,
                           kStrOpGetExtension,
                           kStrOpFindLast,
                           '\\',
                           kStrOpFindChar,
                           0,
                           '.',
                           kStrOpReplaceExtension,
                           1,
                           kStrOpMid,
                           2,
                           5,
                           kStrOpRemoveFileName,
                           kStrOpAppendChar,
                           '\\',
                           kStrOpAppend,
                           2,
                           kStrOpCompareNoCase,
                           0};
    const std::vector<std::vector<std::string>> paths = {
        {"C:\\dir\\a.qvm", "png", "B.QVR"},
        {"x/y\\z/w", "bmp", "c.qvm"},
        {"C:\\old.2\\file", "", "a.tar.gz"},
        {"C:\\\x95\x5C\\\x83\x5C.qvm", "png", "\x83\x5C\x95\x5C"}, // second bytes 0x5C
        {"\x81", "\xE0", "\xFC\x5C"},                              // lead bytes at the end
        {"/usr/share/doc.qvr", "qvm", "doc"},
    };
    int n = 0;
    for (const auto& texts : paths)
        Save("path-" + std::to_string(n++) + ".txt", Script(pathOps, texts));

    const Bytes quoteOps = {kStrOpAssign, 0, kStrOpUnquote, kStrOpGetFileName, kStrOpAssign, 1, kStrOpUnquote,
                            kStrOpAssign, 2, kStrOpUnquote};
    Save("unquote.txt", Script(quoteOps, {"\"C:\\Program Files\\x.qvr\"", "\"a", "\"C:\\no end quote"}));

    const Bytes listOps = {kStrOpAssign,        0, kStrOpReplaceChar, ';', 0, kStrOpGetFileName, kStrOpAssignOther,
                           kStrOpAppendOwnTail, 1};
    Save("list.txt", Script(listOps, {"a;b;\x83;c"}));

    const Bytes storageOps = {kStrOpReserve,
                              0x10,
                              0x04,
                              kStrOpAssign,
                              0,
                              kStrOpCharAt,
                              0xFF,
                              0x03,
                              kStrOpSetCharAt,
                              0x3F,
                              0,
                              'x',
                              kStrOpCharAt,
                              0x40,
                              0,
                              kStrOpClear,
                              kStrOpAppendChar,
                              0x81,
                              kStrOpFindLast,
                              0x81};
    Save("storage.txt", Script(storageOps, {std::string(300, 'a')}));
}

bool MakeFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return !error;
}

// Settings files: the one the program writes, hand-edited ones with values
// past every limit, and broken layouts.
void WriteSettingsSeeds() {
    const std::string written =
        "[Tessaven]\r\nWinLeft=10\r\nWinTop=20\r\nWinRight=530\r\nWinBottom=420\r\nShowCmd=3\r\n"
        "ListWidth=150\r\nScale=200\r\nColBk=8421504\r\nMouseRight=0\r\nMouseMid=1\r\nMouseUp=2\r\n"
        "MouseDown=3\r\nMouseLDbl=7\r\nConvType=1\r\nVelmora=C:\\Velmora\\velmora.exe\r\n"
        "OpenDir=C:\\pictures\r\nConvDir=C:\\out\r\nRecDir1=C:\\a\r\nRecDir2=C:\\\x95\x5c\r\n"
        "RecDir3=\r\nRecDir4=\r\nRecDir5=\r\n";
    const std::string extremes =
        "[tessaven]\nWinLeft=-2147483648\nWinTop=2147483647\nWinRight=4294967295\nWinBottom=0x7fffffff\n"
        "ShowCmd=2\nListWidth=-1\nScale=-100\nColBk=0xffffffff\nMouseRight=99\nMouseMid=-7\nMouseUp=7\n"
        "ConvType=9\n  Velmora = \"quoted\" \nRecDir1='a'\nRecDir2=\x81\n";
    const std::string broken = "Scale=5\n[Tessaven\nScale=6\n[Other]\nScale=7\n[Tessaven]\nScale\n=8\nScale=9\n";
    const std::string longValue =
        "[Tessaven]\nRecDir1=" + std::string(600, 'x') + "\nOpenDir=" + std::string(600, '\x81') + "\n";
    Save("written.ini", Bytes(written.begin(), written.end()));
    Save("extremes.ini", Bytes(extremes.begin(), extremes.end()));
    Save("broken.ini", Bytes(broken.begin(), broken.end()));
    Save("long.ini", Bytes(longValue.begin(), longValue.end()));
}

} // namespace

const char kUsage[] = "usage: make_fuzz_seeds FOLDER\n"
                      "Writes the seed inputs of every fuzz target into subfolders of FOLDER.\n"
                      "\n"
                      "  -h, --help  this text\n"
                      "  --          what follows is the folder, even when it starts with '-'\n"
                      "\n"
                      "Exit status: 0 when every seed was written, 1 when one could not be,\n"
                      "2 for bad usage.\n";

int main(int argc, char** argv) {
    std::vector<std::string> args;
    const int early = toolargs::Read(argc, argv, "make_fuzz_seeds", kUsage, args);
    if (early != toolargs::kGoOn)
        return early;
    if (args.size() != 1) {
        std::fprintf(stderr, "%s", kUsage);
        return toolargs::kBadUsage;
    }
    const std::string root = args[0];
    for (const char* sub : {"", "/qvm", "/qvr", "/str", "/export", "/mix", "/settings"}) {
        if (!MakeFolder(root + sub)) {
            std::fprintf(stderr, "cannot make %s%s\n", root.c_str(), sub);
            return 1;
        }
    }
    folder = root + "/qvm";
    WriteQvmSeeds();
    folder = root + "/qvr";
    WriteQvrV0Seeds();
    WriteQvrV1Seeds();
    folder = root + "/str";
    WriteStrSeeds();
    folder = root + "/export";
    WriteExportSeeds();
    folder = root + "/mix";
    WriteMixSeeds();
    folder = root + "/settings";
    WriteSettingsSeeds();
    return failures == 0 ? 0 : 1;
}
