#pragma once
// The texts of the main window's status bar: where the shown file is in the
// list, the picture's size and zoom, the document's format and layer count,
// and the file's size and date. Free of the platform so the wording can be
// checked directly.

#include <cstdint>
#include <string>

struct DocumentSummary {
    enum class Format { Unknown, Qvm, QvrV0, QvrV1 };
    Format format = Format::Unknown;
    uint32_t layers = 0;
};

// Reads the format and the layer count from the start of the document at
// path; Unknown when it is neither a QVM nor a QVR header.
DocumentSummary SummariseDocument(const char* path);

// "3 / 12"; empty with nothing selected.
std::string PositionText(int index, int count);
// "4096 x 3072, 25%"; empty for no picture.
std::string PictureText(int32_t width, int32_t height, int32_t scale);
// "QVM, 3 layers", "QVR v1, 1 layer"; empty when unknown.
std::string DocumentText(const DocumentSummary& summary);

// A colour of the picture: "#0CC8FF" (red, green, blue), and with its
// parts in decimal before it, "R 12 G 200 B 255  #0CC8FF".
std::string HexColourText(uint8_t red, uint8_t green, uint8_t blue);
std::string ColourText(uint8_t red, uint8_t green, uint8_t blue);

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};
// "1.5 MB, 2026-12-08 21:04": bytes below 1 KB as such, then KB and MB with
// one decimal.
std::string FileText(uint64_t bytes, const LocalTime& written);
