// The real viewer's dialogs and layer export driven from outside (Wine's
// null driver): the layer files and the boxes that report them, conversions
// through the menu with their outputs decoded, what a run refuses, and the
// Option dialog's values in use and in the settings file.

#include "tests/app/ViewerDialogs.h"
#include "tests/app/ViewerSession.h"
#include "tests/e2e/FileDrop.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/app/OutputPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"
#include "tests/support/WaitUntil.h"

#include "res/Messages.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using docwriter::Bytes;
using viewer::Session;

using outputs::BmpPicture;
using outputs::PictureOf;
using outputs::PngSamples;
using Rgb = outputs::Bytes; // red, green, blue per pixel, top row first

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// ------------------------------------------------------------ layer export

constexpr int kLayerW = 6, kLayerH = 4;

docwriter::QvmDocument ThreeLayers() {
    return paintings::ThreeLayerQvm(kLayerW, kLayerH);
}

// The stored BGRA pixels (bottom row first) as PNG RGBA samples, top row first.
Bytes AsPngSamples(const Bytes& stored) {
    Bytes samples;
    for (int y = kLayerH - 1; y >= 0; --y)
        for (int x = 0; x < kLayerW; ++x) {
            const uint8_t* p = &stored[size_t(y * kLayerW + x) * 4];
            samples.insert(samples.end(), {p[2], p[1], p[0], p[3]});
        }
    return samples;
}

struct ExportRun {
    std::string text;
    std::string caption;
};

// Starts the viewer on file (selected), runs the export and reads the box.
ExportRun ExportThroughTheMenu(const std::string& file, bool loadFails = false) {
    Session viewer;
    // A file that fails to load says so in the window, without a box.
    if (!viewer.Start("\"" + file + "\"") || (loadFails && !viewer.NoBox()))
        return {"start failed", ""};
    if (!viewer.Post(IDM_EXPORT_LAYERS))
        return {"command failed", ""};
    const e2e::Appeared box = viewer.process.WaitMessageBox(10000);
    if (box.hwnd == nullptr)
        return {"no box", ""};
    ExportRun run{box.text, e2e::WindowText(box.hwnd)};
    viewer.process.DismissMessageBox(box.hwnd);
    viewer.Close();
    return run;
}

TEST(ViewerLayerExport, ThreeLayersGiveThreeAlphaFilesBesideTheDocumentAsStored) {
    viewer::DocFolder docs;
    const std::string folder = docs.Sub("v1.2"); // a "." in the folder's name
    const docwriter::QvmDocument doc = ThreeLayers();
    const std::string file = folder + "\\cat.qvm";
    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::WriteQvm(doc)));
    const ExportRun run = ExportThroughTheMenu(file);
    EXPECT_EQ(run.text, msg::kExportDone);
    EXPECT_EQ(run.caption, msg::kExportDoneCaption);
    EXPECT_EQ(FilesIn(folder),
              (std::set<std::string>{"cat.qvm", "cat_00_line.png", "cat_01_colour.png", "cat_02_paper.png"}));
    const char* files[] = {"cat_02_paper.png", "cat_01_colour.png", "cat_00_line.png"};
    for (int i = 0; i < 3; ++i) {
        uint32_t width = 0;
        EXPECT_EQ(PngSamples(folder + "\\" + files[i], 6, &width), AsPngSamples(doc.layers[size_t(i)].pixels))
            << files[i];
        EXPECT_EQ(width, uint32_t(kLayerW));
    }
}

TEST(ViewerLayerExport, CorruptThirdLayerLeavesTwoFilesAndReportsFailure) {
    viewer::DocFolder docs;
    docwriter::QvmDocument doc = ThreeLayers();
    doc.layers[2].stream = Bytes(30, 0xEE);
    const std::string file = docs.Path() + "\\cat.qvm";
    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::WriteQvm(doc)));
    const ExportRun run = ExportThroughTheMenu(file, true); // the viewer cannot show it either
    EXPECT_EQ(run.text, msg::kExportFailed);
    EXPECT_EQ(run.caption, msg::kExportFailedCaption);
    EXPECT_EQ(FilesIn(docs.Path()), (std::set<std::string>{"cat.qvm", "cat_01_colour.png", "cat_02_paper.png"}));
}

TEST(ViewerLayerExport, NoLayersWritesNothingAndReportsDone) {
    viewer::DocFolder docs;
    docwriter::QvmDocument doc = ThreeLayers();
    doc.layers.clear();
    const std::string file = docs.Path() + "\\PICTURE.QVM"; // the extension in any case
    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::WriteQvm(doc)));
    EXPECT_EQ(ExportThroughTheMenu(file).text, msg::kExportDone);
    EXPECT_EQ(FilesIn(docs.Path()), (std::set<std::string>{"PICTURE.QVM"}));
}

TEST(ViewerLayerExport, UpperCaseQvmIsExported) {
    viewer::DocFolder docs;
    const std::string file = docs.Path() + "\\PICTURE.QVM";
    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::WriteQvm(ThreeLayers())));
    EXPECT_EQ(ExportThroughTheMenu(file).text, msg::kExportDone);
    EXPECT_EQ(FilesIn(docs.Path()).count("PICTURE_00_line.png"), 1u);
}

TEST(ViewerLayerExport, QvrAndABackupOfAQvmAreRefused) {
    viewer::DocFolder docs;
    const std::string qvr = docs.QvrIn(docs.Path(), "cat.qvr", 4, 4);
    EXPECT_EQ(ExportThroughTheMenu(qvr).text, msg::kQvmOnly);
    const std::string backup = docs.Path() + "\\picture.QVM.bak";
    ASSERT_TRUE(docwriter::WriteFile(backup, docwriter::WriteQvm(ThreeLayers())));
    // Given on the command line it is listed, fails to load, and is refused.
    EXPECT_EQ(ExportThroughTheMenu(backup, true).text, msg::kQvmOnly);
    EXPECT_EQ(FilesIn(docs.Path()), (std::set<std::string>{"cat.qvr", "picture.QVM.bak"}));
}

TEST(ViewerLayerExport, HostileLayerNameCannotWriteOutsideTheFolder) {
    viewer::DocFolder docs;
    const std::string folder = docs.Sub("inner");
    docwriter::QvmDocument doc = ThreeLayers();
    doc.layers[2].name = "..\\..\\escaped";
    const std::string file = folder + "\\cat.qvm";
    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::WriteQvm(doc)));
    EXPECT_EQ(ExportThroughTheMenu(file).text, msg::kExportDone);
    EXPECT_EQ(FilesIn(docs.Path()), (std::set<std::string>{"inner"}));
    EXPECT_EQ(FilesIn(folder).size(), 4u); // the document and its three layers
}

// -------------------------------------------------------------- conversion

// A viewer on a folder of cat.qvr and DOG.QVM, with out as the destination.
struct ConversionFixture {
    explicit ConversionFixture(int convType = 1) {
        src = docs.Sub("src");
        out = docs.Sub("out");
        cat = docs.QvrIn(src, "cat.qvr", 7, 5);
        dog = docs.QvmIn(src, "DOG.QVM", 6, 9, 2);
        viewer::SettingsValues values;
        values.convDir = out;
        values.convType = convType;
        started = viewer.WriteSettings(values.Text())
                      ? viewer.Start("\"" + src + "\"")
                      : testing::AssertionFailure() << "the settings file could not be written";
    }
    HWND Open() { return viewer::OpenDialog(viewer, IDM_CONVERT_ALL, "Conversion"); }
    bool Back(HWND dialog) { return viewer::ClickItem(dialog, IDCANCEL) && viewer::WaitGone(dialog); }
    std::string Out(const std::string& name) const { return out + "\\" + name; }

    viewer::DocFolder docs;
    std::string src, out, cat, dog;
    Session viewer;
    // Says why when the viewer did not start.
    testing::AssertionResult started = testing::AssertionFailure();
};

TEST(ViewerConversion, ConvertsTheListToPngAndThenToBmpAndKeepsTheChoice) {
    ConversionFixture f;
    ASSERT_TRUE(f.started);
    HWND dialog = f.Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CONVERSION_OVERWRITE), UINT(BST_CHECKED));
    EXPECT_EQ(e2e::WindowText(GetDlgItem(dialog, IDC_CONVERSION_FOLDER)), f.out);
    ASSERT_TRUE(viewer::Convert(dialog));
    EXPECT_EQ(viewer::ConversionCaption(dialog), viewer::DoneCaption(2, 2));
    EXPECT_EQ(PngSamples(f.Out("cat.png"), 2), PictureOf(f.cat));
    EXPECT_EQ(PngSamples(f.Out("DOG.png"), 2), PictureOf(f.dog));
    // "Convert" again, now as BMP.
    SendDlgItemMessageA(dialog, IDC_CONVERSION_FORMAT, CB_SETCURSEL, 0, 0);
    ASSERT_TRUE(viewer::Convert(dialog));
    EXPECT_EQ(viewer::ConversionCaption(dialog), viewer::DoneCaption(2, 2));
    EXPECT_EQ(BmpPicture(f.Out("cat.bmp")), PictureOf(f.cat));
    EXPECT_EQ(BmpPicture(f.Out("DOG.bmp")), PictureOf(f.dog));
    EXPECT_FALSE(PictureOf(f.dog).empty());
    ASSERT_TRUE(f.Back(dialog));
    EXPECT_EQ(f.viewer.Close(), 0u);
    const std::string settings = *f.viewer.ReadSettings();
    EXPECT_EQ(viewer::ValueOf(settings, "ConvType"), "0");
    EXPECT_EQ(viewer::ValueOf(settings, "ConvDir"), f.out);
}

bool HoldsTemporary(const std::string& folder) {
    for (const std::string& name : FilesIn(folder))
        if (name[0] == '.' && name.find(".tmp") != std::string::npos)
            return true;
    return false;
}

TEST(ViewerConversion, EndOfTheSessionDuringARunLeavesNoTemporary) {
    // Large pictures of noise, so that PNG files are being written for a
    // while on every job.
    viewer::DocFolder docs;
    const std::string src = docs.Sub("src");
    const std::string out = docs.Sub("out");
    for (int i = 0; i < 8; ++i)
        docs.QvmIn(src, "big" + std::to_string(i) + ".qvm", 1600, 1600, i);
    viewer::SettingsValues values;
    values.convDir = out;
    values.convType = 1;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + src + "\""));
    HWND dialog = viewer::OpenDialog(viewer, IDM_CONVERT_ALL, "Conversion");
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONVERSION_START, BN_CLICKED), 0);
    ASSERT_TRUE(waits::WaitUntil([&] { return HoldsTemporary(out); }, 60000)) << "no file was being written";
    // As Windows ends a session: WM_ENDSESSION to each top-level window,
    // then the process is ended.
    ASSERT_TRUE(e2e::SendWithTimeout(dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
    ASSERT_TRUE(e2e::SendWithTimeout(viewer.main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
    viewer.process.Kill();
    EXPECT_FALSE(HoldsTemporary(out));
    // Whatever was renamed into place is whole.
    for (const std::string& name : FilesIn(out))
        EXPECT_EQ(PngSamples(out + "\\" + name, 2).size(), size_t(1600) * 1600 * 3) << name;
}

TEST(ViewerLayerExport, EndOfTheSessionStopsTheExportAndLeavesNoTemporary) {
    // Layers of noise, so that each PNG file is being written for a while.
    constexpr int kSide = 1200, kLayers = 8;
    docwriter::QvmDocument doc;
    doc.width = doc.height = uint16_t(kSide);
    uint32_t noise = 12345;
    for (int i = 0; i < kLayers; ++i) {
        Bytes pixels(size_t(kSide) * kSide * 4);
        for (uint8_t& byte : pixels) {
            noise = noise * 1664525u + 1013904223u;
            byte = uint8_t(noise >> 24);
        }
        doc.layers.push_back(docwriter::MakeQvmLayer("l" + std::to_string(i), std::move(pixels)));
    }
    viewer::DocFolder docs;
    const std::string file = docs.Path() + "\\big.qvm";
    ASSERT_TRUE(docwriter::WriteFile(file, docwriter::WriteQvm(doc)));
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    ASSERT_TRUE(viewer.Post(IDM_EXPORT_LAYERS));
    ASSERT_TRUE(waits::WaitUntil([&] { return HoldsTemporary(docs.Path()); }, 60000)) << "no layer was being written";
    // The window answers during the export, and the end of the session
    // returns only once the export has stopped.
    ASSERT_TRUE(e2e::SendWithTimeout(viewer.main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
    EXPECT_FALSE(HoldsTemporary(docs.Path()));
    size_t written = 0;
    for (const std::string& name : FilesIn(docs.Path())) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0)
            continue;
        ++written;
        EXPECT_EQ(PngSamples(docs.Path() + "\\" + name, 6).size(), size_t(kSide) * kSide * 4) << name;
    }
    EXPECT_LT(written, size_t(kLayers)) << "the export ran to its end";
    // Stopped, not failed: no box holds the logoff up.
    EXPECT_TRUE(viewer.NoBox());
    viewer.process.Kill();
}

TEST(ViewerConversion, OverwriteOffWithEveryOutputPresentWritesNothing) {
    ConversionFixture f;
    ASSERT_TRUE(f.started);
    for (const char* name : {"cat.png", "DOG.png"})
        ASSERT_TRUE(docwriter::WriteFile(f.Out(name), Bytes{'k', 'e', 'e', 'p'}));
    HWND dialog = f.Open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(viewer::ClickItem(dialog, IDC_CONVERSION_OVERWRITE));
    ASSERT_TRUE(viewer::Convert(dialog));
    EXPECT_EQ(viewer::ConversionCaption(dialog), viewer::DoneCaption(0, 2));
    for (const char* name : {"cat.png", "DOG.png"})
        EXPECT_EQ(docwriter::ReadFile(f.Out(name)), (Bytes{'k', 'e', 'e', 'p'})) << name;
    ASSERT_TRUE(f.Back(dialog));
}

// Two listed documents that would write one file: the earlier is written,
// the later fails and is named with the earlier, rather than replacing its
// picture while both count as converted.
TEST(ViewerConversion, SameNameFromTwoFoldersWritesTheEarlierAndNamesTheLater) {
    viewer::DocFolder docs;
    const std::string a = docs.Sub("a"), b = docs.Sub("b"), out = docs.Sub("out");
    const std::string first = docs.QvmIn(a, "x.qvm", 5, 5, 1);
    const std::string second = docs.QvmIn(b, "x.qvm", 5, 5, 3);
    viewer::SettingsValues values;
    values.convDir = out;
    values.convType = 1;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + a + "\""));
    ASSERT_TRUE(viewer.Drop({b}, true));
    ASSERT_EQ(viewer.Items(), (viewer::Lines{"a\\x.qvm", "b\\x.qvm"}));
    HWND dialog = viewer::OpenDialog(viewer, IDM_CONVERT_ALL, "Conversion");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(viewer::Convert(dialog));
    EXPECT_EQ(viewer::ConversionCaption(dialog), viewer::DoneCaption(1, 2));
    const std::string failures = viewer.DismissBox();
    EXPECT_NE(failures.find(second), std::string::npos) << failures;
    EXPECT_NE(failures.find(first), std::string::npos) << failures;
    EXPECT_EQ(PngSamples(out + "\\x.png", 2), PictureOf(first));
    ASSERT_TRUE(viewer::ClickItem(dialog, IDCANCEL));
}

TEST(ViewerConversion, FormatOutOfRangeOpensWithoutChoiceWritesPngAndBackStoresMinusOne) {
    ConversionFixture f(5);
    ASSERT_TRUE(f.started);
    HWND dialog = f.Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CONVERSION_FORMAT, CB_GETCURSEL, 0, 0), CB_ERR);
    ASSERT_TRUE(viewer::Convert(dialog));
    EXPECT_EQ(FilesIn(f.out), (std::set<std::string>{"DOG.png", "cat.png"}));
    ASSERT_TRUE(f.Back(dialog));
    EXPECT_EQ(f.viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*f.viewer.ReadSettings(), "ConvType"), "-1");
}

TEST(ViewerConversion, DroppedFileLeavesTheFolderAndADroppedFolderIsTaken) {
    ConversionFixture f;
    ASSERT_TRUE(f.started);
    const std::string other = f.docs.Sub("other");
    HWND dialog = f.Open();
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, IDC_CONVERSION_FOLDER);
    ASSERT_TRUE(e2e::DropFiles(f.viewer.process.Process(), dialog, {f.cat}));
    EXPECT_EQ(e2e::WindowText(edit), f.out);
    ASSERT_TRUE(e2e::DropFiles(f.viewer.process.Process(), dialog, {f.cat, other}));
    EXPECT_EQ(e2e::WindowText(edit), f.out); // a folder after a file is not looked at
    ASSERT_TRUE(e2e::DropFiles(f.viewer.process.Process(), dialog, {other, f.cat}));
    EXPECT_EQ(e2e::WindowText(edit), other);
    ASSERT_TRUE(f.Back(dialog));
    EXPECT_EQ(f.viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*f.viewer.ReadSettings(), "ConvDir"), other);
}

TEST(ViewerConversion, CheckBoxIsCheckedAtEveryOpening) {
    ConversionFixture f;
    ASSERT_TRUE(f.started);
    for (int opening = 0; opening < 2; ++opening) {
        HWND dialog = f.Open();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CONVERSION_OVERWRITE), UINT(BST_CHECKED)) << opening;
        ASSERT_TRUE(viewer::ClickItem(dialog, IDC_CONVERSION_OVERWRITE));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CONVERSION_OVERWRITE), UINT(BST_UNCHECKED));
        ASSERT_TRUE(f.Back(dialog));
    }
}

// ------------------------------------------------------------------ option

constexpr int kDocWidth = 40;

int RangeAt(int scale) {
    return kDocWidth * scale / 100 - 1;
}

TEST(ViewerOption, CancelAfterPickingAColourChangesNothing) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("z.qvm", kDocWidth, 20);
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    HWND option = viewer::OpenDialog(viewer, IDM_OPTION, "Option");
    ASSERT_NE(option, nullptr);
    ASSERT_TRUE(viewer::PickColourWithSwatch(viewer, option, RGB(255, 0, 0)));
    SetDlgItemTextA(option, IDC_OPTION_VELMORA_PATH, "C:\\velmora.exe");
    SendDlgItemMessageA(option, IDC_OPTION_MOUSE_RIGHT, CB_SETCURSEL, 4, 0);
    ASSERT_TRUE(viewer::ClickItem(option, IDCANCEL));
    ASSERT_TRUE(viewer::WaitGone(option));
    ASSERT_TRUE(e2e::PostClick(viewer.view, 5, 5, e2e::Button::kRight));
    EXPECT_EQ(viewer.HorzMax(), RangeAt(100));
    EXPECT_EQ(viewer.Close(), 0u);
    viewer::SettingsValues defaults;
    const std::string settings = *viewer.ReadSettings();
    EXPECT_EQ(viewer::ValueOf(settings, "ColBk"), std::to_string(defaults.colBk));
    EXPECT_EQ(viewer::ValueOf(settings, "Velmora"), "");
    EXPECT_EQ(viewer::ValueOf(settings, "MouseRight"), "0");
}

TEST(ViewerOption, OkStoresEverythingTheBindingsActAndTheFileHoldsThem) {
    viewer::DocFolder docs;
    const std::string file = docs.Qvm("z.qvm", kDocWidth, 20);
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + file + "\""));
    HWND option = viewer::OpenDialog(viewer, IDM_OPTION, "Option");
    ASSERT_NE(option, nullptr);
    // The default double-click binding shows its label.
    // (Wine copies list texts across processes for the wide message only.)
    wchar_t label[64] = {};
    SendDlgItemMessageW(option, IDC_OPTION_LEFT_DOUBLE, CB_GETLBTEXT,
                        WPARAM(SendDlgItemMessageW(option, IDC_OPTION_LEFT_DOUBLE, CB_GETCURSEL, 0, 0)), LPARAM(label));
    EXPECT_EQ(e2e::Narrow(label), "Open in Velmora");
    const COLORREF colour = RGB(0x33, 0x66, 0x99);
    ASSERT_TRUE(viewer::PickColourWithSwatch(viewer, option, colour));
    const std::string path = "C:\\" + std::string(700, 'v') + ".exe";
    SetDlgItemTextA(option, IDC_OPTION_VELMORA_PATH, path.c_str());
    const int bindings[5] = {4, 5, 2, 3, 6}; // right: "Scaling up"
    for (int i = 0; i < 5; ++i)
        SendDlgItemMessageA(option, IDC_OPTION_MOUSE_RIGHT + i, CB_SETCURSEL, WPARAM(bindings[i]), 0);
    ASSERT_TRUE(viewer::ClickItem(option, IDOK));
    ASSERT_TRUE(viewer::WaitGone(option));
    ASSERT_TRUE(e2e::PostClick(viewer.view, 5, 5, e2e::Button::kRight)); // the next step up
    EXPECT_EQ(viewer.HorzMax(), RangeAt(150));
    EXPECT_EQ(viewer.Close(), 0u);
    const std::string settings = *viewer.ReadSettings();
    EXPECT_EQ(viewer::ValueOf(settings, "ColBk"), std::to_string(int(colour)));
    EXPECT_EQ(viewer::ValueOf(settings, "Velmora"), path.substr(0, 511));
    const char* keys[5] = {"MouseRight", "MouseMid", "MouseUp", "MouseDown", "MouseLDbl"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(viewer::ValueOf(settings, keys[i]), std::to_string(bindings[i])) << keys[i];
    EXPECT_EQ(viewer::ValueOf(settings, "Scale"), "150");
    // The 26 lines, and the file last shown in the folder listed.
    EXPECT_EQ(viewer::LinesOf(settings).size(), 27u);
    EXPECT_FALSE(viewer::ValueOf(settings, "RecFile1").empty());
}

} // namespace
