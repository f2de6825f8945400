// The real viewer driven from outside (Wine's null driver): the layers pane
// lists the shown document's layers, and clearing or ticking a layer's box
// changes the picture shown and copied, never the file.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/ClipboardDib.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"

#include "res/ResourceIds.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

using viewer::Session;

constexpr int kWidth = 8, kHeight = 6;

// Bottom to top: a hidden red "paper", a green "colour" at half opacity and a
// blue "line" over the left half, each a plain colour, so hiding or showing
// any of them changes the picture.
docwriter::QvmDocument ThreeLayers() {
    docwriter::QvmDocument doc;
    doc.width = kWidth;
    doc.height = kHeight;
    docwriter::Bytes line = docwriter::SolidPixels(kWidth, kHeight, 255, 0, 0, 255);
    for (size_t pixel = 0; pixel < size_t(kWidth) * kHeight; ++pixel)
        if (pixel % kWidth >= kWidth / 2)
            line[pixel * 4 + 3] = 0;
    doc.layers.push_back(docwriter::MakeQvmLayer("paper", docwriter::SolidPixels(kWidth, kHeight, 0, 0, 255, 255)));
    doc.layers.push_back(
        docwriter::MakeQvmLayer("colour", docwriter::SolidPixels(kWidth, kHeight, 0, 255, 0, 255), 0, 64));
    doc.layers.push_back(docwriter::MakeQvmLayer("line", line));
    doc.layers[0].flags = 0;
    return doc;
}

// The same for QVR (version 0, whole masks): a hidden red bottom layer, a
// green one at half opacity and a blue one over the left half.
docwriter::QvrV0Document ThreeQvrLayers() {
    docwriter::QvrV0Document doc;
    doc.width = kWidth;
    doc.height = kHeight;
    const size_t stride = size_t((kWidth + 3) & ~3);
    const uint32_t colours[] = {0x000000FF, 0x0000FF00, 0x00FF0000};
    for (int i = 0; i < 3; ++i) {
        docwriter::QvrMaskLayer layer;
        layer.color = colours[i];
        layer.mask.assign(stride * kHeight, 255);
        doc.layers.push_back(layer);
    }
    doc.layers[0].flags = 0;
    doc.layers[1].opacity = 64;
    for (size_t pixel = 0; pixel < doc.layers[2].mask.size(); ++pixel)
        if (pixel % stride >= kWidth / 2)
            doc.layers[2].mask[pixel] = 0;
    return doc;
}

// The list view's check box of row: 2 ticked, 1 cleared, 0 none.
int BoxOf(HWND pane, int row) {
    return int((SendMessageW(pane, LVM_GETITEMSTATE, WPARAM(row), LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

int RowCount(HWND pane) {
    return int(SendMessageW(pane, LVM_GETITEMCOUNT, 0, 0));
}

// The picture as Copy puts it on the clipboard.
std::vector<uint8_t> CopiedPicture(Session& viewer) {
    e2e::ClearClipboard();
    if (!viewer.Send(viewer::kCopy))
        return {};
    const std::optional<e2e::ClipboardDib> dib = e2e::ReadClipboardDib();
    return dib ? dib->bytes : std::vector<uint8_t>();
}

struct PaneSession {
    explicit PaneSession(const std::string& document) {
        viewer::SettingsValues values;
        values.layersPane = 1;
        started = viewer.WriteSettings(values.Text())
                      ? viewer.Start("\"" + document + "\"")
                      : testing::AssertionFailure() << "the settings file could not be written";
        pane = e2e::FindChild(viewer.main, "SysListView32");
    }
    Session viewer;
    // Says why when the viewer did not start.
    testing::AssertionResult started = testing::AssertionFailure();
    HWND pane = nullptr;
};

TEST(ViewerLayers, PaneListsTheLayersTopFirstWithTheirStoredVisibility) {
    viewer::DocFolder docs;
    const std::string qvm = docs.Path() + "\\three.qvm";
    ASSERT_TRUE(docwriter::WriteFile(qvm, docwriter::WriteQvm(ThreeLayers())));
    const std::string qvr = docs.QvrIn(docs.Path(), "mask.qvr", kWidth, kHeight);
    docwriter::QvrV0Document flat;
    flat.width = kWidth;
    flat.height = kHeight;
    flat.flattened = docwriter::SolidPixels(kWidth, kHeight, 10, 20, 30, 255);
    ASSERT_TRUE(docwriter::WriteFile(docs.Path() + "\\flat.qvr", docwriter::WriteQvrV0(flat)));
    PaneSession s(qvm);
    ASSERT_TRUE(s.started);
    ASSERT_NE(s.pane, nullptr);
    EXPECT_TRUE(IsWindowVisible(s.pane));
    ASSERT_EQ(RowCount(s.pane), 3);
    // line and colour visible, the bottom paper hidden.
    EXPECT_EQ(BoxOf(s.pane, 0), 2);
    EXPECT_EQ(BoxOf(s.pane, 1), 2);
    EXPECT_EQ(BoxOf(s.pane, 2), 1);
    // A QVR document's one visible mask layer, with its box.
    ASSERT_TRUE(s.viewer.Send(viewer::kPrevious)); // flat.qvr and mask.qvr list first
    ASSERT_EQ(RowCount(s.pane), 1);
    EXPECT_EQ(BoxOf(s.pane, 0), 2);
    // One that stores a flattened picture: one line that sums it up, without
    // a box.
    ASSERT_TRUE(s.viewer.Send(viewer::kPrevious));
    ASSERT_EQ(RowCount(s.pane), 1);
    EXPECT_EQ(BoxOf(s.pane, 0), 0);

    // Ctrl+L hides the pane, and the settings keep it so.
    ASSERT_TRUE(e2e::PressKey(s.viewer.main, 'L', e2e::kCtrl));
    EXPECT_FALSE(IsWindowVisible(s.pane));
    EXPECT_EQ(s.viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*s.viewer.ReadSettings(), "LayersPane"), "0");
}

TEST(ViewerLayers, ClearingABoxHidesTheLayerInTheViewAndTickingItShowsItAgain) {
    viewer::DocFolder docs;
    const std::string qvm = docs.Path() + "\\three.qvm";
    const docwriter::Bytes stored = docwriter::WriteQvm(ThreeLayers());
    ASSERT_TRUE(docwriter::WriteFile(qvm, stored));
    PaneSession s(qvm);
    ASSERT_TRUE(s.started);
    ASSERT_EQ(RowCount(s.pane), 3);
    const std::vector<uint8_t> asStored = CopiedPicture(s.viewer);
    ASSERT_FALSE(asStored.empty());

    // The keyboard on the pane: Home puts the focus on the top layer, the
    // space bar flips its box.
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_HOME));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    ASSERT_EQ(BoxOf(s.pane, 0), 1);
    const std::vector<uint8_t> withoutLine = CopiedPicture(s.viewer);
    ASSERT_FALSE(withoutLine.empty());
    EXPECT_NE(withoutLine, asStored) << "hiding the top layer left the picture as it was";

    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    ASSERT_EQ(BoxOf(s.pane, 0), 2);
    EXPECT_EQ(CopiedPicture(s.viewer), asStored);

    // Showing the hidden bottom layer changes the picture too.
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_END));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    ASSERT_EQ(BoxOf(s.pane, 2), 2);
    const std::vector<uint8_t> withPaper = CopiedPicture(s.viewer);
    EXPECT_NE(withPaper, asStored);

    // The pane closed and opened again shows the choice the view still
    // shows, not the stored one.
    ASSERT_TRUE(e2e::PressKey(s.viewer.main, 'L', e2e::kCtrl));
    ASSERT_FALSE(IsWindowVisible(s.pane));
    ASSERT_TRUE(e2e::PressKey(s.viewer.main, 'L', e2e::kCtrl));
    ASSERT_TRUE(IsWindowVisible(s.pane));
    EXPECT_EQ(BoxOf(s.pane, 2), 2);
    EXPECT_EQ(CopiedPicture(s.viewer), withPaper);
    EXPECT_EQ(s.viewer.Close(), 0u);
    EXPECT_EQ(docwriter::ReadFile(qvm), stored) << "the document was written";
    EXPECT_EQ(viewer::ValueOf(*s.viewer.ReadSettings(), "LayersPane"), "1");
}

TEST(ViewerLayers, AQvrDocumentsBoxesHideAndShowItsLayersToo) {
    viewer::DocFolder docs;
    const std::string qvr = docs.Path() + "\\three.qvr";
    const docwriter::Bytes stored = docwriter::WriteQvrV0(ThreeQvrLayers());
    ASSERT_TRUE(docwriter::WriteFile(qvr, stored));
    PaneSession s(qvr);
    ASSERT_TRUE(s.started);
    ASSERT_EQ(RowCount(s.pane), 3);
    EXPECT_EQ(BoxOf(s.pane, 0), 2);
    EXPECT_EQ(BoxOf(s.pane, 1), 2);
    EXPECT_EQ(BoxOf(s.pane, 2), 1);
    const std::vector<uint8_t> asStored = CopiedPicture(s.viewer);
    ASSERT_FALSE(asStored.empty());

    ASSERT_TRUE(e2e::PressKey(s.pane, VK_HOME));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    ASSERT_EQ(BoxOf(s.pane, 0), 1);
    const std::vector<uint8_t> withoutTop = CopiedPicture(s.viewer);
    ASSERT_FALSE(withoutTop.empty());
    EXPECT_NE(withoutTop, asStored) << "hiding the top layer left the picture as it was";
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    ASSERT_EQ(BoxOf(s.pane, 0), 2);
    EXPECT_EQ(CopiedPicture(s.viewer), asStored);

    // The hidden red bottom layer shown: the right half, under nothing but
    // the half-opaque green, turns from green on white to green on red.
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_END));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    ASSERT_EQ(BoxOf(s.pane, 2), 2);
    EXPECT_NE(CopiedPicture(s.viewer), asStored);
    EXPECT_EQ(s.viewer.Close(), 0u);
    EXPECT_EQ(docwriter::ReadFile(qvr), stored) << "the document was written";
}

// The width text takes in the system's message font, the pane's (the prefix
// is at 96 DPI, where it is used as it is).
int MessageTextWidth(const wchar_t* text) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return 0;
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ kept = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, kept);
    DeleteDC(dc);
    DeleteObject(font);
    return int(size.cx);
}

// The header draws a title three edges (6 pixels at 96 DPI) in from each
// side: each column leaves that room beside its title.
TEST(ViewerLayers, ColumnTitlesAreNeverCut) {
    viewer::DocFolder docs;
    const std::string qvm = docs.Path() + "\\three.qvm";
    ASSERT_TRUE(docwriter::WriteFile(qvm, docwriter::WriteQvm(ThreeLayers())));
    PaneSession s(qvm);
    ASSERT_TRUE(s.started);
    const wchar_t* titles[] = {L"Layer", L"Blend", L"Opacity", L"Stored"};
    for (int i = 0; i < 4; ++i) {
        const int text = MessageTextWidth(titles[i]);
        ASSERT_GT(text, 0);
        EXPECT_GE(SendMessageW(s.pane, LVM_GETCOLUMNWIDTH, i, 0), text + 12) << "column " << i;
    }
    EXPECT_EQ(s.viewer.Close(), 0u);
}

HWND FocusOf(const Session& viewer) {
    const std::optional<e2e::ThreadState> state = e2e::ReadThreadState(viewer.main);
    return state ? state->focus : nullptr;
}

TEST(ViewerLayers, TabTakesTheKeysToThePaneWhereSpaceTogglesAndBack) {
    viewer::DocFolder docs;
    const std::string qvm = docs.Path() + "\\three.qvm";
    ASSERT_TRUE(docwriter::WriteFile(qvm, docwriter::WriteQvm(ThreeLayers())));
    PaneSession s(qvm);
    ASSERT_TRUE(s.started);
    ASSERT_EQ(FocusOf(s.viewer), s.viewer.list);
    const std::vector<uint8_t> asStored = CopiedPicture(s.viewer);
    ASSERT_TRUE(e2e::PressKey(s.viewer.list, VK_TAB));
    ASSERT_EQ(FocusOf(s.viewer), s.pane);
    // The top layer has the pane's focus: Space clears its box.
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    EXPECT_EQ(BoxOf(s.pane, 0), 1);
    EXPECT_NE(CopiedPicture(s.viewer), asStored);
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_TAB, e2e::kShift));
    EXPECT_EQ(FocusOf(s.viewer), s.viewer.list);
    EXPECT_EQ(s.viewer.Close(), 0u);
}

// A document of solid layers named names (bottom first), colours as given
// (blue, green, red), each over the whole picture at half opacity.
std::string SolidLayers(const viewer::DocFolder& docs, const std::string& name,
                        const std::vector<std::pair<std::string, uint32_t>>& layers) {
    docwriter::QvmDocument doc;
    doc.width = kWidth;
    doc.height = kHeight;
    for (const auto& [layerName, colour] : layers)
        doc.layers.push_back(docwriter::MakeQvmLayer(
            layerName,
            docwriter::SolidPixels(kWidth, kHeight, uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16), 255),
            0, 64));
    const std::string path = docs.Path() + "\\" + name;
    return docwriter::WriteFile(path, docwriter::WriteQvm(doc)) ? path : std::string();
}

TEST(ViewerLayers, ALayerHiddenByNameStaysHiddenInTheNextDocumentsUntilShownAgain) {
    viewer::DocFolder docs;
    const std::string a = SolidLayers(docs, "a.qvm", {{"paper", 0x0000FF}, {"draft", 0x00FF00}, {"line", 0xFF0000}});
    SolidLayers(docs, "b.qvm", {{"base", 0x0000FF}, {"draft", 0x00FF00}});
    SolidLayers(docs, "c.qvm", {{"base", 0x0000FF}}); // b without its draft
    PaneSession s(a);
    ASSERT_TRUE(s.started);
    ASSERT_EQ(RowCount(s.pane), 3);
    ASSERT_TRUE(e2e::PressKey(s.viewer.main, 'H', e2e::kCtrl | e2e::kShift));
    // "draft" is the second row (top first).
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_HOME));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_DOWN));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    ASSERT_EQ(BoxOf(s.pane, 1), 1);

    ASSERT_TRUE(s.viewer.Send(viewer::kNext));
    ASSERT_EQ(RowCount(s.pane), 2);
    EXPECT_EQ(BoxOf(s.pane, 0), 1) << "b's draft is shown";
    EXPECT_EQ(BoxOf(s.pane, 1), 2);
    const std::vector<uint8_t> bWithoutDraft = CopiedPicture(s.viewer);
    ASSERT_TRUE(s.viewer.Send(viewer::kNext));
    const std::vector<uint8_t> baseAlone = CopiedPicture(s.viewer);
    ASSERT_FALSE(baseAlone.empty());
    EXPECT_EQ(bWithoutDraft, baseAlone);

    // Shown again in b: no longer carried.
    ASSERT_TRUE(s.viewer.Send(viewer::kPrevious));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_HOME));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE));
    ASSERT_EQ(BoxOf(s.pane, 0), 2);
    ASSERT_TRUE(s.viewer.Send(viewer::kPrevious));
    EXPECT_EQ(BoxOf(s.pane, 1), 2) << "a's draft stays hidden";
    EXPECT_EQ(s.viewer.Close(), 0u);
    EXPECT_EQ(viewer::ValueOf(*s.viewer.ReadSettings(), "CarryLayerChoices"), "1");
}

// A client point on the check box of the pane's first row: a few pixels in
// from the left, half a thumbnail below the header (the rows are at least
// a thumbnail high). The list view's rectangles cannot be asked for from
// another process.
POINT FirstBoxPoint(HWND pane) {
    RECT header{};
    GetWindowRect(e2e::FindChild(pane, "SysHeader32"), &header);
    return POINT{8, header.bottom - header.top + 14};
}

TEST(ViewerLayers, AltShowsOneLayerAloneAndAgainPutsTheBoxesBack) {
    viewer::DocFolder docs;
    const std::string qvm = SolidLayers(docs, "a.qvm", {{"paper", 0x0000FF}, {"draft", 0x00FF00}, {"line", 0xFF0000}});
    SolidLayers(docs, "b.qvm", {{"draft", 0x00FF00}}); // a's draft alone
    SolidLayers(docs, "c.qvm", {{"line", 0xFF0000}});  // a's line alone
    PaneSession s(qvm);
    ASSERT_TRUE(s.started);
    const std::vector<uint8_t> asStored = CopiedPicture(s.viewer);
    ASSERT_TRUE(s.viewer.Send(viewer::kNext));
    const std::vector<uint8_t> draftAlone = CopiedPicture(s.viewer);
    ASSERT_TRUE(s.viewer.Send(viewer::kNext));
    const std::vector<uint8_t> lineAlone = CopiedPicture(s.viewer);
    ASSERT_TRUE(s.viewer.Send(viewer::kPrevious));
    ASSERT_TRUE(s.viewer.Send(viewer::kPrevious));
    ASSERT_FALSE(draftAlone.empty());
    ASSERT_NE(draftAlone, asStored);
    ASSERT_NE(lineAlone, draftAlone);

    // Alt+Space on the focused layer.
    ASSERT_TRUE(e2e::PressKey(s.viewer.list, VK_TAB));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_DOWN));
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE, e2e::kAlt));
    EXPECT_EQ(BoxOf(s.pane, 0), 1);
    EXPECT_EQ(BoxOf(s.pane, 1), 2);
    EXPECT_EQ(BoxOf(s.pane, 2), 1);
    EXPECT_EQ(CopiedPicture(s.viewer), draftAlone);
    EXPECT_NE(s.viewer.StatusPart(1).find("solo: draft"), std::string::npos) << s.viewer.StatusPart(1);
    ASSERT_TRUE(e2e::PressKey(s.pane, VK_SPACE, e2e::kAlt));
    EXPECT_EQ(BoxOf(s.pane, 0), 2);
    EXPECT_EQ(BoxOf(s.pane, 2), 2);
    EXPECT_EQ(CopiedPicture(s.viewer), asStored);
    EXPECT_EQ(s.viewer.StatusPart(1).find("solo"), std::string::npos);

    // Alt+click on the line's box: alone; again: back.
    const POINT box = FirstBoxPoint(s.pane);
    ASSERT_TRUE(e2e::PostClick(s.pane, box.x, box.y, e2e::Button::kLeft, e2e::kAlt));
    EXPECT_EQ(BoxOf(s.pane, 0), 2);
    EXPECT_EQ(BoxOf(s.pane, 1), 1);
    EXPECT_EQ(BoxOf(s.pane, 2), 1);
    EXPECT_EQ(CopiedPicture(s.viewer), lineAlone);
    ASSERT_TRUE(e2e::PostClick(s.pane, box.x, box.y, e2e::Button::kLeft, e2e::kAlt));
    EXPECT_EQ(BoxOf(s.pane, 1), 2);
    EXPECT_EQ(BoxOf(s.pane, 2), 2);
    EXPECT_EQ(CopiedPicture(s.viewer), asStored);
    // A plain click flips the box alone.
    ASSERT_TRUE(e2e::PostClick(s.pane, box.x, box.y));
    EXPECT_EQ(BoxOf(s.pane, 0), 1);
    EXPECT_EQ(BoxOf(s.pane, 1), 2);
    EXPECT_EQ(s.viewer.Close(), 0u);
}

TEST(ViewerLayers, AClickInAnEmptyPaneLeavesTheKeysStepping) {
    viewer::DocFolder docs;
    docs.Raw("a.qvm", "QVMDATA but nothing after it"); // shown first, it fails: no layers
    docs.Qvm("b.qvm", 4, 3);
    viewer::SettingsValues values;
    values.layersPane = 1;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + docs.Path() + "\""));
    HWND pane = e2e::FindChild(viewer.main, "SysListView32");
    ASSERT_EQ(RowCount(pane), 0);
    ASSERT_TRUE(e2e::PostClick(pane, 10, 10));
    ASSERT_TRUE(e2e::PressKey(viewer.list, VK_TAB)) << "Tab finds nothing to go to";
    const HWND focus = FocusOf(viewer);
    EXPECT_EQ(focus, viewer.list);
    ASSERT_TRUE(e2e::PressKey(focus, VK_DOWN));
    EXPECT_EQ(viewer.Selection(), 1);
    EXPECT_EQ(viewer.TitleNow(), viewer::Title(4, 3, "b.qvm"));
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
