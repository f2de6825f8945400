// The real viewer driven from outside (Wine's null driver): the document
// shown follows its file when another program saves over it, whole or in
// place, and a load that met a save half-way is retried once the file is
// complete; the list keeps its place when files are added above the shown
// one, and a drop with no document in it changes nothing.

#include "tests/app/ViewerSession.h"
#include "tests/e2e/ClipboardDib.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"
#include "tests/support/WaitUntil.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "res/ResourceIds.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

using viewer::Lines;
using viewer::Session;
using viewer::Title;

// The bytes of a one-layer document of width x 8.
docwriter::Bytes Document(int width) {
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = 8;
    doc.layers.push_back(docwriter::MakeQvmLayer("paint", docwriter::SolidPixels(width, 8, 40, 90, 200, 255)));
    return docwriter::WriteQvm(doc);
}

// Writes bytes through a handle that other programs may read beside, and
// keeps it open until the end: a save still under way.
class OpenWriter {
public:
    explicit OpenWriter(const std::string& path)
        : file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OpenWriter() {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    bool Write(const docwriter::Bytes& bytes) {
        DWORD written = 0;
        return file != INVALID_HANDLE_VALUE && WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
               written == bytes.size() && FlushFileBuffers(file);
    }

private:
    HANDLE file;
};

TEST(ViewerFollow, AShownDocumentSavedOverIsShownAnewKeepingItsZoom) {
    const struct {
        const char* how;
        bool byRename;
    } saves[] = {{"replaced whole by a rename", true}, {"rewritten in place", false}};
    for (const auto& save : saves) {
        viewer::DocFolder docs;
        const std::string shown = docs.Path() + "\\pic.qvm";
        ASSERT_TRUE(docwriter::WriteFile(shown, Document(20)));
        docs.Qvm("next.qvm", 30, 8);
        Session viewer;
        ASSERT_TRUE(viewer.Start("\"" + shown + "\""));
        ASSERT_EQ(viewer.TitleNow(), Title(20, 8, "pic.qvm")) << save.how;
        ASSERT_TRUE(viewer.Send(viewer::kZoomFirst + 5)); // 300%
        if (save.byRename) {
            const std::string written = docs.Path() + "\\pic.qvm.new";
            ASSERT_TRUE(docwriter::WriteFile(written, Document(44)));
            // A file that a reader has open, even sharing deletion, is not
            // replaced; programs that save by rename try again, as here.
            ASSERT_TRUE(waits::WaitUntil([&] {
                return MoveFileExA(written.c_str(), shown.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
            })) << save.how
                << ": error " << GetLastError();
        } else {
            ASSERT_TRUE(docwriter::WriteFile(shown, Document(44)));
        }
        EXPECT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(44, 8, "pic.qvm"); }))
            << save.how << ": " << viewer.TitleNow();
        EXPECT_EQ(viewer.StatusPart(1), "44 x 8, 300%") << save.how;
        EXPECT_EQ(viewer.Items(), (Lines{"next.qvm", "pic.qvm"})) << save.how;
        EXPECT_EQ(viewer.Selection(), 1) << save.how;
        EXPECT_EQ(viewer.Close(), 0u);
    }
}

// Red under blue, both stored visible; with the blue one stored hidden when
// blueHidden.
docwriter::Bytes TwoLayers(int width, bool blueHidden) {
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = 8;
    doc.layers.push_back(docwriter::MakeQvmLayer("red", docwriter::SolidPixels(width, 8, 0, 0, 255, 255)));
    doc.layers.push_back(docwriter::MakeQvmLayer("blue", docwriter::SolidPixels(width, 8, 255, 0, 0, 255)));
    doc.layers[1].flags = blueHidden ? 0 : 1;
    return docwriter::WriteQvm(doc);
}

TEST(ViewerFollow, ALayerHiddenInThePaneStaysHiddenWhenTheFileIsSavedOver) {
    viewer::DocFolder docs;
    const std::string shown = docs.Path() + "\\pic.qvm";
    ASSERT_TRUE(docwriter::WriteFile(shown, TwoLayers(20, false)));
    // Beside, in a folder of its own: not listed with the shown one.
    const std::string reference = docs.Sub("reference") + "\\pic.qvm";
    ASSERT_TRUE(docwriter::WriteFile(reference, TwoLayers(30, true)));
    ImageBuffer expected;
    ASSERT_TRUE(LoadDocument(expected, reference.c_str()));
    viewer::SettingsValues values;
    values.layersPane = 1;
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + shown + "\""));
    HWND pane = e2e::FindChild(viewer.main, "SysListView32");
    ASSERT_NE(pane, nullptr);
    const auto boxOfBlue = [&] {
        return SendMessageW(pane, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK;
    };
    ASSERT_TRUE(e2e::PressKey(pane, VK_HOME)); // the top row: blue
    ASSERT_TRUE(e2e::PressKey(pane, VK_SPACE));
    ASSERT_EQ(boxOfBlue(), 1u << 12);

    ASSERT_TRUE(docwriter::WriteFile(shown, TwoLayers(30, false)));
    ASSERT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(30, 8, "pic.qvm"); })) << viewer.TitleNow();
    EXPECT_EQ(boxOfBlue(), 1u << 12) << "the box was ticked again";
    e2e::ClearClipboard();
    ASSERT_TRUE(viewer.Send(viewer::kCopy));
    const std::optional<e2e::ClipboardDib> copied = e2e::ReadClipboardDib();
    ASSERT_TRUE(copied.has_value());
    ASSERT_EQ(copied->Width(), 30);
    const uint8_t* middle = expected.TopRow(4) + 15 * 4;
    EXPECT_EQ(copied->ColourAt(15, 4), RGB(middle[2], middle[1], middle[0])) << "the blue layer shows again";
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerFollow, ALoadThatMetASaveHalfWayIsRetriedAndF5ReadsTheShownDocumentAgain) {
    viewer::DocFolder docs;
    const std::string shown = docs.Path() + "\\pic.qvm";
    const docwriter::Bytes whole = Document(20);
    ASSERT_TRUE(docwriter::WriteFile(shown, docwriter::Bytes(whole.begin(), whole.begin() + whole.size() / 2)));
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + shown + "\""));
    ASSERT_EQ(viewer.TitleNow(), viewer::FailedTitle("pic.qvm"));
    // The save ends: the document is read again by itself.
    ASSERT_TRUE(docwriter::WriteFile(shown, whole));
    EXPECT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(20, 8, "pic.qvm"); })) << viewer.TitleNow();

    // A save that keeps the file open is waited for; F5 reads it at once.
    {
        OpenWriter writer(shown);
        ASSERT_TRUE(writer.Write(Document(36)));
        ASSERT_TRUE(viewer.Send(IDM_REFRESH));
        EXPECT_EQ(viewer.TitleNow(), Title(36, 8, "pic.qvm"));
    }
    EXPECT_EQ(viewer.Close(), 0u);
}

TEST(ViewerFollow, TheListKeepsItsPlaceThroughDropsRenamesAndRecentFolders) {
    viewer::DocFolder docs;
    const std::string folder = docs.Sub("paintings");
    docs.QvmIn(folder, "m.qvm", 10, 5);
    const std::string n = docs.QvmIn(folder, "n.qvm", 20, 5);
    docs.QvmIn(folder, "o.qvm", 30, 5);
    const std::string notes = docs.Raw("notes.txt", "not a picture");
    const std::string other = docs.Sub("other");
    const std::string a = docs.QvmIn(other, "a.qvm", 40, 5);
    const std::string b = docs.QvmIn(other, "b.qvm", 50, 5);
    Session viewer;
    ASSERT_TRUE(viewer.Start("\"" + n + "\""));
    ASSERT_EQ(viewer.StatusPart(0), "2 / 3");

    ASSERT_TRUE(viewer.Drop({a, b}, true));
    EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "b.qvm", "m.qvm", "n.qvm", "o.qvm"}));
    EXPECT_EQ(viewer.Selection(), 3);
    EXPECT_EQ(viewer.StatusPart(0), "4 / 5");
    EXPECT_EQ(viewer.TitleNow(), Title(20, 5, "n.qvm"));
    ASSERT_TRUE(e2e::PressKey(viewer.list, VK_DOWN));
    EXPECT_EQ(viewer.TitleNow(), Title(30, 5, "o.qvm"));
    EXPECT_EQ(viewer.StatusPart(0), "5 / 5");

    // A text file dropped by mistake: the list, the picture and the place
    // stay, and the status bar says why.
    ASSERT_TRUE(viewer.Drop({notes}));
    EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "b.qvm", "m.qvm", "n.qvm", "o.qvm"}));
    EXPECT_EQ(viewer.TitleNow(), Title(30, 5, "o.qvm"));
    EXPECT_EQ(viewer.StatusPart(0), "5 / 5");
    EXPECT_NE(viewer.StatusPart(1).find("QVM or QVR"), std::string::npos) << viewer.StatusPart(1);
    // The folder is still the one listed: a file appearing in it is listed.
    docs.QvmIn(folder, "p.qvm", 60, 5);
    EXPECT_TRUE(waits::WaitUntil([&] { return viewer.Items().size() == 6; })) << "the folder is no longer watched";
    EXPECT_EQ(viewer.Selection(), 4);
    EXPECT_EQ(viewer.StatusPart(0), "5 / 6");

    // The shown file renamed stays shown, under its new name.
    ASSERT_TRUE(MoveFileA((folder + "\\o.qvm").c_str(), (folder + "\\q.qvm").c_str()));
    EXPECT_TRUE(waits::WaitUntil([&] { return viewer.TitleNow() == Title(30, 5, "q.qvm"); })) << viewer.TitleNow();
    EXPECT_EQ(viewer.Items(), (Lines{"a.qvm", "b.qvm", "m.qvm", "n.qvm", "p.qvm", "q.qvm"}));
    EXPECT_EQ(viewer.Selection(), 5);

    // Another folder opened, the recent one reopens at the file shown there.
    ASSERT_TRUE(viewer.Drop({other}));
    ASSERT_EQ(viewer.TitleNow(), Title(40, 5, "a.qvm"));
    ASSERT_TRUE(viewer.Send(viewer::kRecentFirst + 1));
    EXPECT_EQ(viewer.Items(), (Lines{"m.qvm", "n.qvm", "p.qvm", "q.qvm"}));
    EXPECT_EQ(viewer.TitleNow(), Title(30, 5, "q.qvm"));
    EXPECT_EQ(viewer.StatusPart(0), "4 / 4");
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
