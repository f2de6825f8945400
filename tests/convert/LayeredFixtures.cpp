// Writes the documents the layered-export checks read (check_layered.py):
//   layers.qvm    named layers of every kind the PSD keeps (a Japanese
//                 name, one of bytes no file name may hold, modes,
//                 opacities, a hidden, an empty, an undecodable hidden and
//                 a trimmed layer)
//   modes.qvm     one layer per blend mode over an opaque one
//   wide.qvm      65535 x 3 pixels, beyond PSD: its rows hold runs and
//                 literals of 1, 128 and 129 bytes
//   masks.qvr, tiles.qvr   QVR documents of both versions
//   broken.qvm    a visible layer with a corrupt stream: it fails to load
//   reference/layers.qvm   layers.qvm without its undecodable layer
//   fidelity/mode-NN.qvm   an opaque layer under a partly clear one of blend
//                 code NN, for what other programs' compositing makes of
//                 each mode (psd_fidelity.py)
//   zip64.zip     an archive of the zip writer with ZIP64 records from 100
//                 bytes on, as it writes them beyond 4 GiB
// Usage: layered_fixtures FOLDER
#include "base/FileWriter.h"
#include "export/OutputBuffer.h"
#include "export/ZipWriter.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <cstdio>
#include <cstring>
#include <string>

using docwriter::Bytes;
using docwriter::QvmDocument;
using docwriter::QvmLayer;

namespace {

constexpr int kW = 48;
constexpr int kH = 40;

QvmLayer Layer(const std::string& name, uint8_t mode, uint8_t opacity, Bytes pixels, uint8_t flags = 1) {
    QvmLayer layer = docwriter::MakeQvmLayer(name, std::move(pixels), mode, opacity);
    layer.flags = flags;
    return layer;
}

// Clear everywhere but the rectangle [left, right) x [top, bottom), y from
// the top, which holds partly clear paint.
Bytes Inside(int left, int top, int right, int bottom, uint32_t seed) {
    Bytes pixels = paintings::LayerPixels(kW, kH, seed, paintings::Cover::Partial);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint8_t* p = &pixels[(size_t(kH - 1 - y) * kW + size_t(x)) * 4];
            if (x < left || x >= right || y < top || y >= bottom)
                p[3] = 0;
            else if (x == left || y == top || x == right - 1 || y == bottom - 1)
                p[3] = 200; // the rectangle's edge is never clear
        }
    return pixels;
}

QvmDocument LayersDocument() {
    QvmDocument doc;
    doc.width = kW;
    doc.height = kH;
    doc.layers.push_back(Layer("paper", 0, 128, paintings::LayerPixels(kW, kH, 1, paintings::Cover::Opaque)));
    doc.layers.push_back(Layer("\x90\xFC\x89\xE6", 1, 64, Inside(5, 7, 30, 20, 2))); // "line art" in CP932
    doc.layers.push_back(Layer("\\/:*?\"<>|\x01\x1F.", 4, 200, Inside(0, 0, 48, 40, 3)));
    doc.layers.push_back(Layer("hidden", 5, 100, Inside(10, 10, 20, 39, 4), 0));
    doc.layers.push_back(Layer("empty", 2, 128, Bytes(size_t(kW) * kH * 4, 0)));
    QvmLayer broken = Layer("broken", 0, 128, Inside(1, 1, 2, 2, 5), 0);
    broken.stream = Bytes(40, 0x55);
    doc.layers.push_back(broken);
    doc.layers.push_back(Layer("odd mode", 25, 128, Inside(40, 30, 41, 31, 6)));
    doc.layers.push_back(Layer("top", 3, 0, Inside(2, 2, 47, 39, 7)));
    return doc;
}

// Each row of one channel walks through runs and literals of the lengths
// PackBits cuts at: 1, 2, 3, 127, 128, 129, 130 bytes, then noise to the end.
QvmDocument WideDocument() {
    const int width = 65535, height = 3;
    QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    Bytes pixels(size_t(width) * height * 4);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        int x = 0;
        auto put = [&](uint8_t value) {
            if (x >= width)
                return;
            uint8_t* p = &pixels[(size_t(y) * width + size_t(x)) * 4];
            p[0] = value;
            p[1] = uint8_t(value ^ 0x5A);
            p[2] = uint8_t(y * 40 + (x & 1));
            p[3] = uint8_t(x % 7 == 0 ? 255 : 1 + x % 200);
            ++x;
        };
        uint8_t value = 0;
        for (int length : {1, 2, 3, 127, 128, 129, 130, 255, 256, 257}) {
            for (int i = 0; i < length; ++i)
                put(value); // a run
            ++value;
            for (int i = 0; i < length; ++i)
                put(uint8_t(value + i)); // literals
            value = uint8_t(value + 37);
        }
        while (x < width) {
            noise = noise * 1103515245u + 12345u;
            put(uint8_t(noise >> 24));
        }
    }
    doc.layers.push_back(Layer("wide", 0, 128, pixels));
    return doc;
}

bool Write(const std::string& folder, const char* name, const Bytes& bytes) {
    const std::string path = folder + "/" + name;
    if (docwriter::WriteFile(path, bytes))
        return true;
    std::fprintf(stderr, "layered_fixtures: cannot write %s\n", path.c_str());
    return false;
}

bool WriteModes(const std::string& folder) {
    for (uint8_t code = 0; code <= 20; ++code) {
        QvmDocument doc;
        doc.width = 64;
        doc.height = 64;
        doc.layers.push_back(Layer("base", 0, 128, paintings::LayerPixels(64, 64, 99, paintings::Cover::Opaque)));
        // Clear at the left, solid from the middle on, so that both the mix
        // of partial alpha and the mode's own formula show.
        Bytes top = paintings::LayerPixels(64, 64, 10u + code, paintings::Cover::Opaque);
        for (size_t i = 0; i < top.size(); i += 4) {
            const size_t x = i / 4 % 64;
            top[i + 3] = uint8_t(x * 8 > 255 ? 255 : x * 8);
        }
        doc.layers.push_back(Layer("mode", code, 128, top));
        char name[32];
        std::snprintf(name, sizeof name, "mode-%02u.qvm", unsigned(code));
        if (!Write(folder, name, docwriter::WriteQvm(doc)))
            return false;
    }
    return true;
}

bool WriteZip64(const std::string& path) {
    FileWriter file;
    if (!file.OpenWrite(path.c_str()))
        return false;
    OutputBuffer out(file, 64);
    ZipWriter zip(out, 100);
    zip.AddStored("mimetype", "image/openraster", 16);
    Bytes big(300);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = uint8_t(i * 7);
    zip.AddStored("big.bin", big.data(), big.size());
    zip.BeginStored("pieces.bin", 1000);
    for (int i = 0; i < 5; ++i)
        zip.Append(big.data(), 60);
    zip.EndStored();
    const std::string text(500, 'x');
    zip.AddDeflated("far/text.txt", text.data(), text.size());
    const bool written = zip.Finish() && out.Finish();
    return file.Close() && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: layered_fixtures FOLDER\nWrites the documents of the layered-export checks.\n");
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: layered_fixtures FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    QvmDocument broken = LayersDocument();
    broken.layers[1].stream = Bytes(40, 0x55);
    // The same without its undecodable layer, whose --layers files are the
    // pixels to compare with (--layers stops at that layer).
    QvmDocument whole = LayersDocument();
    whole.layers.erase(whole.layers.begin() + 5);
    const bool ok = Write(folder, "layers.qvm", docwriter::WriteQvm(LayersDocument())) &&
                    Write(folder, "modes.qvm", docwriter::WriteQvm(paintings::EveryModeQvm(kW, kH))) &&
                    Write(folder, "wide.qvm", docwriter::WriteQvm(WideDocument())) &&
                    Write(folder, "masks.qvr", docwriter::WriteQvrV0(paintings::MaskQvr(kW, kH, 4))) &&
                    Write(folder, "tiles.qvr", docwriter::WriteQvrV1(paintings::SparseTileQvr(150, 100, 3))) &&
                    Write(folder, "broken.qvm", docwriter::WriteQvm(broken)) &&
                    Write(folder, "reference/layers.qvm", docwriter::WriteQvm(whole)) &&
                    WriteZip64(folder + "/reference/zip64.zip") && WriteModes(folder + "/fidelity");
    return ok ? 0 : 1;
}
